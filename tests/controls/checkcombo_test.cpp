// The checked combos: the summary text, checks kept across item changes, the drop-down's
// placement, and the integer key lists of the dataset-filled combo.
#include <gtest/gtest.h>

#include "../util/messageof.h"
#include "controls/checkcombodb.h"
#include "host/memdataset.h"
#include "util/cp1251.h"

using namespace lm;
using lm::test::messageOf;

TEST(CheckedComboBox, SummaryTextFollowsTheChecks)
{
    TCheckedComboBox c;
    int changes = 0;
    c.OnChange = [&](TCheckedComboBox*) { ++changes; };
    c.EmptyValue = "(нет)"_w;
    c.SetItems({"a", "b", "c"});
    EXPECT_EQ(c.Text(), "(нет)"_w);
    c.SetChecked(0, true);
    c.SetChecked(2, true);
    EXPECT_EQ(c.Text(), "2: a, c");
    c.ShowCount = false;
    EXPECT_EQ(c.GetText(), "a, c");
    c.SetUnCheckedAll();
    c.SetChecked(1, true);
    EXPECT_EQ(c.Text(), "b");
    const int before = changes;
    c.SetChecked(1, true);  // no change, no event
    EXPECT_EQ(changes, before);
    c.SetCheckedAll();
    EXPECT_EQ(c.Text(), "Все"_w);
    EXPECT_EQ(changes, before + 1);
    c.OnGetText = [](TCheckedComboBox*, std::string& t) { t = "[" + t + "]"; };
    EXPECT_EQ(c.GetText(), "[Все]"_w);
}

TEST(CheckedComboBox, ItemsKeepTheirChecksByTextIgnoringCase)
{
    TCheckedComboBox c;
    c.SetItems({"Аптека"_w, "Склад"_w});
    c.SetChecked(1, true);
    c.SetItems({"СКЛАД"_w, "Офис"_w, "аптека"_w});
    EXPECT_TRUE(c.IsChecked(0));
    EXPECT_FALSE(c.IsChecked(2));
    c.SetSorted(true);
    EXPECT_EQ(c.Items(), (std::vector<std::string>{"аптека"_w, "Офис"_w, "СКЛАД"_w}));
    EXPECT_TRUE(c.IsChecked(2));
}

TEST(CheckedComboBox, DropDownSizeAndPlacement)
{
    TCheckedComboBox c;
    std::vector<std::string> many(30, "x");
    c.SetItems(many);
    c.SetDropDownLines(5);
    c.SetDropDownLines(51);
    EXPECT_EQ(c.DropDownLines(), 6);
    c.SetDropDownLines(10);
    EXPECT_EQ(c.DropDownRows(), 10);
    c.Columns = 4;
    EXPECT_EQ(c.DropDownRows(), 8);

    const TAFBounds control{100, 100, 121, 24};
    EXPECT_EQ(c.DropDownBounds(control, 1000, 16), (TAFBounds{100, 124, 121, 136}));
    // within 20 pixels of the screen's bottom it opens above
    EXPECT_EQ(c.DropDownBounds(control, 124 + 136 + 19, 16).Top, 100 - 136);

    // a close caused by a click on the button swallows that click; the size is remembered
    c.CloseCheckList(true, 200, 90);
    EXPECT_FALSE(c.BeginShowCheckList());
    EXPECT_TRUE(c.BeginShowCheckList());
    EXPECT_EQ(c.DropDownBounds(control, 1000, 16), (TAFBounds{100, 124, 200, 90}));
}

namespace {

struct Vendors {
    TMemDataSet ds;
    TCheckedComboDB combo;

    Vendors()
    {
        ds.FieldDefs().Add("ID", ftInteger);
        ds.FieldDefs().Add("NAME", ftString, 40);
        ds.CreateDataSet();
        ds.AppendRecord({1, "Фармстандарт"_w});
        ds.AppendRecord({2, "Bayer"});
        ds.AppendRecord({12, "O'Neil & Co"});
        combo.DataSet = &ds;
        combo.KeyField = "ID";
        combo.ResultField = "NAME";
    }
};

} // namespace

TEST(CheckedComboDB, KeysSelectExactNumbers)
{
    Vendors v;
    v.combo.SetCheckedKeys("1,12");  // fills the items first
    ASSERT_EQ(v.combo.Count(), 3);
    EXPECT_TRUE(v.ds.Eof());
    EXPECT_TRUE(v.combo.IsChecked(0));
    EXPECT_FALSE(v.combo.IsChecked(1));
    EXPECT_TRUE(v.combo.IsChecked(2));
    EXPECT_EQ(v.combo.CheckedKeys(), "1,12");
    EXPECT_EQ(v.combo.GetCheckedKey(1), 12);
    EXPECT_EQ(v.combo.Text(), "2: Фармстандарт, O'Neil & Co"_w);
    // a name list is a list of SQL literals even when a name holds a quote
    EXPECT_EQ(v.combo.CheckedKeysName(), "'Фармстандарт','O''Neil & Co'"_w);

    // words that are not keys check nothing; typed SQL never reaches the key list
    v.combo.SetCheckedKeys("1) or (1=1");
    EXPECT_EQ(v.combo.CheckedKeys(), "");
    v.combo.KeySeparator = ';';
    v.combo.SetCheckedKeys("2; 12");
    EXPECT_EQ(v.combo.CheckedKeys(), "2;12");
    v.combo.SetCheckedKeys("");
    EXPECT_EQ(v.combo.GetCheckedCount(), 0);
}

TEST(CheckedComboDB, AllKeyStandsForEverything)
{
    Vendors v;
    v.combo.AllKey = "-1";
    v.combo.SetCheckedKeys("-1");
    EXPECT_TRUE(v.combo.AllChecked());
    EXPECT_EQ(v.combo.CheckedKeys(), "-1");
    v.combo.SetChecked(1, false);
    EXPECT_EQ(v.combo.CheckedKeys(), "1,12");
}

TEST(CheckedComboDB, RefillKeepsCheckedKeysOnlyWhenAsked)
{
    Vendors v;
    v.combo.FillItems(false);
    v.combo.SetChecked(1, true);
    v.ds.First();
    v.ds.Insert();
    v.ds.FieldByName("ID")->SetAsInteger(7);
    v.ds.FieldByName("NAME")->SetAsString("Bayer");
    v.ds.Post();
    v.combo.FillItems(true);
    EXPECT_EQ(v.combo.Count(), 4);
    EXPECT_EQ(v.combo.CheckedKeys(), "2");
    v.combo.FillItems(false);
    EXPECT_EQ(v.combo.CheckedKeys(), "");
}

TEST(CheckedComboDB, MissingSettingsAreNamed)
{
    Vendors v;
    v.combo.KeyField.clear();
    EXPECT_EQ(messageOf([&] { v.combo.FillItems(false); }), "TCheckedComboDB: KeyField is not set");
    v.combo.KeyField = "ID";
    v.combo.ResultField.clear();
    EXPECT_EQ(messageOf([&] { v.combo.FillItems(false); }), "TCheckedComboDB: ResultField is not set");
    v.combo.DataSet = nullptr;
    EXPECT_EQ(messageOf([&] { v.combo.FillItems(false); }), "(no exception)");
}
