// The context search on the demo database: the local record filter and the server statement
// of the same conditions select the same records; the lines, the dataset hook, the dialog
// model and the stored multi-field list.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "contextfixture.h"
#include "filter/contextfilter.h"
#include "filter/contextsearchmodel.h"
#include "host/registrystore.h"
#include "util/exceptions.h"

using namespace lm;

namespace {

class ContextFilterDb : public lmtest::GoodsDbTest {
protected:
    void SetUp() override
    {
        GoodsDbTest::SetUp();
        filter.SetDataSet(&goods);
        filter.SetMultiFields("NAME;VENDOR;");
    }

    // Sets the conditions ("FIELD=value" lines, UTF-8) locally and on the server; expects
    // both to keep the same non-trivial set of records, which is returned.
    std::set<int> bothWays(const std::string& text)
    {
        filter.SetServer(false);
        filter.SetFiltersText(utf8ToCp1251(text));
        const std::set<int> local = ids(goods);
        const std::string sql = filter.GetSQL();
        EXPECT_EQ(serverIds(sql), local) << text << "\n" << cp1251ToUtf8(sql);
        return local;
    }

    int count(const std::string& sql) { return std::stoi(column(sql).at(0)); }

    TContextFilter filter;
};

TEST_F(ContextFilterDb, LocalAndServerSearchesKeepTheSameRecords)
{
    const int all = count("select count(*) from GOODS");
    const auto one = bothWays("NAME=аспирин");
    EXPECT_EQ(static_cast<int>(one.size()), count("select count(*) from GOODS where NAME starting 'Аспирин'"_w));
    // two words in any order and position
    const auto two = bothWays("NAME=таблетки аспирин");
    EXPECT_EQ(two, bothWays("NAME=АСПИРИН ТАБЛЕТКИ"));
    EXPECT_GT(two.size(), 0u);
    EXPECT_LE(two.size(), one.size());
    // a lookup field searches its lookup list: every vendor whose name holds "фарм"
    EXPECT_EQ(static_cast<int>(bothWays("VENDOR=фарм").size()),
              count("select count(*) from GOODS G join VENDOR V on V.ID = G.VENDOR_ID "
                    "where upper(V.NAME) like '%ФАРМ%'"_w));
    EXPECT_TRUE(bothWays("VENDOR=нет такого").empty());
    // booleans: a smallint domain and a native boolean column
    EXPECT_EQ(static_cast<int>(bothWays("ACTIVE=да").size()), count("select count(*) from GOODS where ACTIVE = 1"));
    EXPECT_EQ(static_cast<int>(bothWays("RECIPE=Нет").size()),
              count("select count(*) from GOODS where RECIPE = false"));
    EXPECT_TRUE(bothWays("ACTIVE=может быть").empty());
    // dates by their displayed text, numbers as numbers
    const std::string date = column("select first 1 REG_DATE from GOODS order by ID").at(0);
    EXPECT_EQ(static_cast<int>(bothWays("REG_DATE=" + cp1251ToUtf8(date)).size()),
              count("select count(*) from GOODS where REG_DATE = '" + date + "'"));
    EXPECT_EQ(static_cast<int>(bothWays("QUANTITY=7").size()), count("select count(*) from GOODS where QUANTITY = 7"));
    const std::string price = column("select first 1 PRICE from GOODS where PRICE is not null order by ID").at(0);
    EXPECT_FALSE(bothWays("PRICE=" + cp1251ToUtf8(price)).empty());
    // a null price is no 0
    EXPECT_TRUE(bothWays("PRICE=0").empty());
    // "*" keeps every record in both places
    EXPECT_EQ(static_cast<int>(bothWays("NOTE=*").size()), all);
    // search within results: both conditions hold
    const auto within = bothWays("NAME=аспирин\r\nVENDOR=фарм");
    for (int id : within)
        EXPECT_TRUE(one.count(id));
}

TEST_F(ContextFilterDb, QuotesInTheValueFindTheirRecordsAndNeverChangeTheStatement)
{
    const auto quoted = bothWays("NOTE='под заказ'");
    EXPECT_EQ(static_cast<int>(quoted.size()), count("select count(*) from GOODS where NOTE like '%''под заказ''%'"_w));
    EXPECT_GT(quoted.size(), 0u);
    filter.SetFilter("NOTE", "x'or'1'='1");
    EXPECT_EQ(filter.GetSQL(), " and upper(G.NOTE) like '%X''OR''1''=''1%'");
    EXPECT_TRUE(serverIds(filter.GetSQL()).empty());
}

TEST_F(ContextFilterDb, StatementsHaveTheirFixedShapes)
{
    filter.SetFilterMultiVals("VENDOR", "x", {Variant(1), Variant(2)});
    EXPECT_EQ(filter.GetSQL(), " and G.VENDOR_ID in (1,2)");
    filter.SetFilterMultiVals("VENDOR", "x", {Variant(1)});
    EXPECT_EQ(filter.GetSQL(), " and G.VENDOR_ID = 1");
    filter.SetFilter("NAME", "аспирин"_w);
    EXPECT_EQ(filter.GetSQL(), " and upper(G.NAME) like '%АСПИРИН%'"_w);
    filter.SetFilter("NAME", "*");
    EXPECT_EQ(filter.GetSQL(), " and 1=1");
    filter.SetFilter("PRICE", "12,5");
    EXPECT_EQ(filter.GetSQL(), " and G.PRICE = 12.5");
    filter.SetFilter("QUANTITY", "1 or 1=1");
    EXPECT_THROW(filter.GetSQL(), EConvertError);
    filter.OnSQLLine = [](TContextFilter*, TField* f, const std::string& v, std::string& sql) {
        if (f->FieldName() == "QUANTITY")
            sql = "G.QUANTITY > " + v;
    };
    filter.SetFilter("QUANTITY", "5");
    EXPECT_EQ(filter.GetSQL(), " AND G.QUANTITY > 5");
    filter.SetFiltersText("NAME=\r\nQUANTITY=5");
    EXPECT_EQ(filter.GetFilterLineCount(), 1);
    EXPECT_EQ(filter.GetFiltersText(), "QUANTITY=5");
}

TEST_F(ContextFilterDb, ServerModeLeavesTheRecordsToTheHost)
{
    const int all = goods.RecordCount();
    int applied = 0;
    filter.SetServer(true);
    filter.OnApply = [&](TContextFilter*) { ++applied; };
    filter.SetFilter("NAME", "аспирин"_w);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(goods.RecordCount(), all);
    filter.OnApply = nullptr;
    filter.ApplyFilter();  // without a handler the server mode still filters nothing locally
    EXPECT_EQ(goods.RecordCount(), all);
    EXPECT_FALSE(filter.CanMulti());
}

TEST_F(ContextFilterDb, HookChainsAndRestoresTheDataSetsOwnRecordFilter)
{
    TContextFilter other;
    int ownCalls = 0;
    other.SetDataSet(nullptr);
    filter.SetDataSet(nullptr);
    goods.OnFilterRecord = [&](TDataSet* ds, bool& accept) {
        ++ownCalls;
        accept = ds->FieldByName("ACTIVE")->AsBoolean();
    };
    filter.SetDataSet(&goods);
    filter.SetFilter("NAME", "аспирин"_w);
    EXPECT_GT(ownCalls, 0);
    for (int id : ids(goods))
        EXPECT_EQ(column("select ACTIVE from GOODS where ID = " + std::to_string(id)).at(0), "1");
    // a handler of the component runs before the dataset's own
    filter.OnCheckLine = [&](TContextFilter* s, TField* f, const std::string& v, bool& a) { s->DefCheckLine(s, f, v, a); };
    const auto checked = ids(goods);
    filter.ApplyFilter();
    EXPECT_EQ(ids(goods), checked);
    filter.SetDataSet(nullptr);
    ownCalls = 0;
    goods.SetFiltered(false);
    goods.SetFiltered(true);
    EXPECT_GT(ownCalls, 0);
    EXPECT_EQ(goods.RecordCount(), count("select count(*) from GOODS where ACTIVE = 1"));
}

TEST_F(ContextFilterDb, BookmarkSurvivesANarrowingSearch)
{
    goods.Locate("ID", Variant(std::stoi(column("select first 1 ID from GOODS where NAME starting 'Аспирин' order by ID desc"_w).at(0))));
    const int id = goods.FieldByName("ID")->AsInteger();
    filter.SetFilter("NAME", "аспирин"_w);
    EXPECT_EQ(goods.FieldByName("ID")->AsInteger(), id);
}

TEST_F(ContextFilterDb, MultiFieldSearchLooksAtEveryListedField)
{
    EXPECT_TRUE(filter.CanMulti());
    filter.SetFilter("*", "аспирин фармстандарт"_w);
    const auto found = ids(goods);
    EXPECT_EQ(static_cast<int>(found.size()),
              count("select count(*) from GOODS G left join VENDOR V on V.ID = G.VENDOR_ID where "
                    "upper(G.NAME || ' ' || coalesce(V.NAME, '')) like '%АСПИРИН%' and "
                    "upper(G.NAME || ' ' || coalesce(V.NAME, '')) like '%ФАРМСТАНДАРТ%'"_w));
    EXPECT_GT(found.size(), 0u);
    EXPECT_EQ(filter.GetSQL(), "");  // the server has no column for it
}

TEST_F(ContextFilterDb, DialogModelDrivesTheLines)
{
    TContextSearchModel model(filter, goods.FieldByName("NAME"));
    ASSERT_GE(model.FieldItems().size(), 3u);
    EXPECT_EQ(model.FieldItems()[0], "  Мульти поиск"_w);
    EXPECT_TRUE(model.MultiSelected());
    for (const std::string& item : model.FieldItems())
        EXPECT_NE(item, "VENDOR_ID");  // hidden fields are no search fields
    model.SetItemIndex(static_cast<int>(std::find(model.FieldItems().begin(), model.FieldItems().end(),
                                                  "Наименование"_w) - model.FieldItems().begin()));
    model.Finish(TContextSearchModel::saSearch, "  аспирин "_w);
    const auto first = ids(goods);
    model.SetItemIndex(static_cast<int>(std::find(model.FieldItems().begin(), model.FieldItems().end(),
                                                  "Поставщик"_w) - model.FieldItems().begin()));
    EXPECT_EQ(model.ValueListDataSet(), &vendors);
    model.Finish(TContextSearchModel::saInFound, "фарм"_w);
    EXPECT_EQ(model.MemoText(), "[Наименование]=аспирин И [Поставщик]=фарм"_w);
    EXPECT_LT(ids(goods).size(), first.size());
    // "Удалить", then Enter on an empty editor: the first condition alone again
    model.DeleteLast();
    EXPECT_EQ(TContextSearchModel::EnterAction(""), TContextSearchModel::saInFound);
    model.Finish(TContextSearchModel::EnterAction(""), "");
    EXPECT_EQ(ids(goods), first);
    // "Поиск" with text starts over; Cancel drops everything
    model.Finish(TContextSearchModel::EnterAction("ибупрофен"_w), "ибупрофен"_w);
    EXPECT_EQ(filter.GetFilterLineCount(), 1);
    model.Finish(TContextSearchModel::saCancel, "");
    EXPECT_EQ(filter.GetFilterLineCount(), 0);
    EXPECT_EQ(goods.RecordCount(), lmtest::kDemoRows);

    bool replace = false;
    EXPECT_EQ(TContextSearchModel::PasteText("one\r\ntwo", replace), "one");
    EXPECT_TRUE(replace);
    EXPECT_EQ(TContextSearchModel::PasteText("one", replace), "one");
    EXPECT_FALSE(replace);
}

TEST_F(ContextFilterDb, MultiFieldListIsStoredPerComponent)
{
    TMemoryRegistryStore store;
    TGlobalVars vars(nullptr, &store);
    vars.RegRoot = "\\Software\\Test";
    filter.SetName("cfGoods");
    filter.SetRegKey("Goods");
    EXPECT_EQ(filter.MultiFields(), "");  // nothing stored yet
    TContextMultiModel dlg(filter);
    dlg.UncheckAll();
    for (int i = 0; i < static_cast<int>(dlg.Items().size()); ++i)
        dlg.SetChecked(i, dlg.Items()[i] == "NOTE" || dlg.Items()[i] == "Наименование"_w);
    dlg.Accept();
    EXPECT_EQ(filter.MultiFields(), "NAME;NOTE;");
    TContextFilter again;
    again.SetName("cfGoods");
    again.SetRegKey("Goods");
    EXPECT_EQ(again.MultiFields(), "NAME;NOTE;");
    EXPECT_EQ(LMReadRegStr("MultiFields", "", "\\Software\\Test\\Goods\\cfGoods"), "NAME;NOTE;");
}

} // namespace
