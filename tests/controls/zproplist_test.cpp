// The property list: display and conversion of the four data types, change tracking, sorting,
// the current row across changes, commits that fail and auto-completion.
#include <gtest/gtest.h>

#include "../util/messageof.h"
#include "controls/zproplist.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

using namespace lm;
using lm::test::messageOf;

namespace {

std::vector<std::string> names(const TZPropList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.RowCount(); ++i)
        out.push_back(list.GetName(i));
    return out;
}

} // namespace

TEST(ZPropList, ShowsAndStoresEachDataType)
{
    TZPropList list;
    list.AddProperty(1, "Flag", zdtYesNo, 0, 1, 1);
    list.AddProperty(2, "Sum", zdtMoney, 0, Variant(Currency::FromDouble(1234.5)), Variant::Null());
    list.AddProperty(3, "Day", zdtDate, 0, Variant::FromDate(EncodeDate(2026, 3, 8)), Variant::Null());
    list.AddProperty(4, "Odd", 9, 0, "x", "x");
    EXPECT_EQ(list.GetValue(0), "Да"_w);
    EXPECT_EQ(list.GetValue(1), "1\xA0" "234,50");
    EXPECT_EQ(list.GetValue(2), "08.03.2026");
    EXPECT_EQ(list.GetValue(3), "");

    // yes/no is compared exactly: lower case is refused with the allowed-values message
    EXPECT_EQ(messageOf([&] { list.SetValue(0, "да"_w); }), "Допустимые значения \"Да\" или \"Нет\""_w);
    list.SetValue(0, "Нет  "_w);
    EXPECT_EQ(list.Editors().Items(0)->Value, Variant(0));
    list.SetValue(0, "");
    EXPECT_EQ(list.Editors().Items(0)->Value, Variant(0));
    EXPECT_THROW(list.SetValue(1, "12,3,4"), EConvertError);
    list.SetValue(1, "12,5");
    EXPECT_EQ(list.GetValue(1), "12,50");
    EXPECT_THROW(list.SetValue(2, "31.02.2026"), EConvertError);
}

TEST(ZPropList, TracksModifiedValuesAndTheNoValueChoice)
{
    TZPropList list;
    list.AddProperty(1, "Name", zdtText, 0, "abc", "abc");
    list.AddProperty(2, "Day", zdtDate, 0, Variant::FromDate(EncodeDate(2026, 1, 1)),
                     Variant::FromDate(EncodeDate(2026, 1, 1)));
    EXPECT_FALSE(list.Modified());
    list.SetValue(0, "");
    EXPECT_TRUE(list.Editors().Items(0)->Value.IsNull());
    EXPECT_TRUE(list.Editors().Items(0)->ValueModified());

    // "Нет" is a plain (failing) date until AllowNull offers it as the no-value entry
    EXPECT_THROW(list.SetValue(1, "Нет"_w), EConvertError);
    list.AllowNull = true;
    list.SetValue(1, "Нет"_w);
    EXPECT_EQ(list.GetValue(1), "Нет"_w);
    EXPECT_TRUE(list.Editors().Items(1)->ValueModified());
    list.MoveCurrent(1);
    EXPECT_EQ(list.GetPropType(), ptPickList);
    EXPECT_EQ(list.Editors().Items(1)->GetValues(), std::vector<std::string>{"Нет"_w});
}

TEST(ZPropList, SortsAndKeepsTheCurrentRowByName)
{
    TZPropList list;
    list.AddProperty(10, "b", zdtText, 3, "", "");
    list.AddProperty(20, "c", zdtText, 1, "", "");
    list.AddProperty(30, "a", zdtText, 2, "", "");
    list.AddProperty(40, "d", zdtText, 2, "", "");
    list.InitCurrent("c");
    list.SetSortOrder(soSortByNum);
    EXPECT_EQ(names(list), (std::vector<std::string>{"c", "a", "d", "b"}));
    EXPECT_EQ(list.CurrentEditor()->Name, "c");
    list.AddProperty(5, "aa", zdtText, 0, "", "");
    EXPECT_EQ(list.CurrentEditor()->Name, "c");
    list.SetSortOrder(soSortByID);
    EXPECT_EQ(names(list).front(), "aa");

    // only a..z fold: "B" sorts with "b", but Cyrillic capitals stay before small letters
    TZPropList byName;
    byName.SetSortOrder(soSortByName);
    for (const char* n : {"b", "A", "я"_w, "Я"_w, "c"})
        byName.AddProperty(0, n, zdtText, 0, "", "");
    EXPECT_EQ(names(byName), (std::vector<std::string>{"A", "b", "c", "Я"_w, "я"_w}));
}

TEST(ZPropList, FindsNamesAlongAPath)
{
    TZPropList list;
    for (const char* n : {"Group", "Size", "Other", "Size"})
        list.AddProperty(0, n, zdtText, 0, "", "");
    EXPECT_EQ(list.Editors().FindPropName("Size"), 1);
    EXPECT_EQ(list.Editors().FindPropName("Other\\Size"), 3);
    EXPECT_EQ(list.Editors().FindPropName("Other\\Missing"), 2);
    EXPECT_EQ(list.Editors().FindPropName("size"), -1);
}

TEST(ZPropList, AFailedCommitKeepsTheRowAndTheText)
{
    TZPropList list;
    list.AddProperty(1, "Flag", zdtYesNo, 0, 1, 1);
    list.AddProperty(2, "Note", zdtText, 0, "", "");
    list.MoveCurrent(0);
    list.SetEditText("может быть"_w);
    EXPECT_THROW(list.KeyDown(zkDown), Exception);
    EXPECT_EQ(list.Row(), 0);
    EXPECT_EQ(list.EditText(), "может быть"_w);
    EXPECT_TRUE(list.EditModified());

    list.SetEditText("Нет"_w);
    list.KeyDown(zkDown);
    EXPECT_EQ(list.Row(), 1);
    EXPECT_EQ(list.GetValue(0), "Нет"_w);
    EXPECT_EQ(list.EditText(), "");
}

TEST(ZPropList, PagesByTheVisibleRowsAndClamps)
{
    TZPropList list;
    for (int i = 0; i < 20; ++i)
        list.AddProperty(i, "p" + std::to_string(i), zdtText, 0, "", "");
    list.SetVisibleRows(5);
    list.MoveCurrent(0);
    list.KeyDown(zkPageDown);
    EXPECT_EQ(list.Row(), 4);
    list.KeyDown(zkPageDown);
    EXPECT_EQ(list.Row(), 8);
    EXPECT_EQ(list.TopRow(), 4);
    list.MoveCurrent(100);
    EXPECT_EQ(list.Row(), 19);
    EXPECT_EQ(list.TopRow(), 15);
    list.KeyDown(zkUp);
    list.KeyDown(zkPageUp);
    list.KeyDown(zkPageUp);
    list.KeyDown(zkPageUp);
    list.KeyDown(zkPageUp);
    list.KeyDown(zkPageUp);
    EXPECT_EQ(list.Row(), 0);
}

TEST(ZPropList, PrintableValueAndCompletion)
{
    TZPropList list;
    list.AddProperty(1, "Memo", zdtText, 0, "a\rb", "");
    list.AddProperty(2, "Flag", zdtYesNo, 0, 0, 0);
    list.AddProperty(3, "Kind", zdtText, 0, "", "", {"Alpha", "Бета"_w});
    EXPECT_EQ(list.GetPrintableValue(0), "a.b");

    list.MoveCurrent(0);
    EXPECT_FALSE(list.Complete("a"));  // not a pick list
    list.MoveCurrent(1);
    auto c = list.Complete("Д"_w);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Text, "Да"_w);
    EXPECT_EQ(c->SelStart, 1);
    EXPECT_FALSE(list.Complete("д"_w));
    list.MoveCurrent(2);
    ASSERT_TRUE(list.Complete("al"));
    EXPECT_EQ(list.Complete("al")->Text, "Alpha");
    EXPECT_FALSE(list.Complete("б"_w));
}

TEST(ZPropList, PopupSearchBuildsAPrefixThatTimesOut)
{
    TZPopupSearch search;
    const std::vector<std::string> items{"Алмаз"_w, "Апрель"_w, "Берег"_w};
    EXPECT_EQ(search.Type("а"_w[0], items, 1000), 0);
    EXPECT_EQ(search.Type("п"_w[0], items, 1500), 1);
    EXPECT_EQ(search.Type("б"_w[0], items, 4000), 2);  // more than 2 s: a new prefix
    for (int i = 0; i < 40; ++i)
        search.Type('x', items, 4000);
    EXPECT_EQ(search.Prefix().size(), 32u);
}
