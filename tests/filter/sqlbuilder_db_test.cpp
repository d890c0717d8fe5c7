// Statements of the SQL builder run on the demo database and give the rows and totals that
// plain SQL written by hand gives.
#include <gtest/gtest.h>

#include <algorithm>

#include "../db/demofixture.h"
#include "db/fibdataset.h"
#include "demobuilder.h"
#include "filter/sqlbuilder.h"
#include "util/cp1251.h"
#include "util/dfmobject.h"

using namespace lm;
using namespace lm::sqlbuilder;

namespace {

class SQLBuilderDb : public lmtest::DemoDbTest {
protected:
    void SetUp() override
    {
        DemoDbTest::SetUp();
        builder.LoadFromDfm(*ReadDfmText(utf8ToCp1251(lmtest::kDemoBuilderDfm)).FindClass("TSQLBuilder"));
    }

    TFieldItem* activate(const char* name) { return builder.AddToActive(*builder.Fields().FindByName(name)); }

    // Every row of `ds` as its fields' texts joined by tabs, in the dataset's order.
    static std::vector<std::string> rowsOf(TDataSet& ds)
    {
        std::vector<std::string> rows;
        ds.ScanRecords([&] {
            std::string line;
            for (int i = 0; i < ds.FieldCount(); ++i)
                line += (i ? "\t" : "") + ds.Fields(i)->AsString();
            rows.push_back(line);
        });
        return rows;
    }

    std::vector<std::string> rows(const std::string& sql, bool sorted = true)
    {
        TpFIBDataSet q;
        q.SetDatabase(&db);
        q.SetTransaction(&read);
        q.SetSelectSQL(sql);
        q.Open();
        std::vector<std::string> out = rowsOf(q);
        if (sorted)
            std::sort(out.begin(), out.end());
        return out;
    }

    TSQLBuilder builder;
};

TEST_F(SQLBuilderDb, OneTableGroupsEveryNonSumColumn)
{
    activate("NAME");
    activate("QTY");
    const auto built = rows(builder.BuildSQL());
    EXPECT_EQ(built, rows("select NAME, sum(QUANTITY) from GOODS group by NAME"));
    EXPECT_GT(built.size(), 50u);
}

TEST_F(SQLBuilderDb, JoinsThroughTheParentChain)
{
    activate("VENDOR_COUNTRY");
    activate("QTY");
    EXPECT_EQ(rows(builder.BuildSQL()),
              rows("select C.NAME, sum(G.QUANTITY) from GOODS G join VENDOR V on V.ID = G.VENDOR_ID "
                   "join COUNTRY C on C.ID = V.COUNTRY_ID group by C.NAME"));
}

TEST_F(SQLBuilderDb, OuterJoinWithAFilterAndAFilterOnTheFirstTable)
{
    activate("GOODS_COUNTRY")->SetFilters({"'Россия'"_w, "'Индия'"_w});
    activate("NAME")->AddFilter("'Аспирин таблетки 500 мг №10'"_w);
    activate("QTY");
    builder.Tables().Items(0)->SetJoinSQL("G.ACTIVE = 1");
    const auto built = rows(builder.BuildSQL());
    EXPECT_EQ(built, rows("select C.NAME as CN, G.NAME as GN, sum(G.QUANTITY) from GOODS G left join COUNTRY C on C.ID = G.COUNTRY_ID "
                          "where G.ACTIVE = 1 and C.NAME in ('Россия', 'Индия') "
                          "and G.NAME = 'Аспирин таблетки 500 мг №10' group by C.NAME, G.NAME"_w));
    EXPECT_FALSE(built.empty());
}

TEST_F(SQLBuilderDb, MonthsSumsAndTheirOrder)
{
    activate("REG_MONTH")->SortKind = skAsc;
    activate("PRICE_SUM");
    activate("QTY");
    const auto built = rows(builder.BuildSQL(), false);
    const auto plain = rows("select lpad(extract(month from REG_DATE), 2, '0') || '.' || extract(year from REG_DATE), "
                            "cast(sum(PRICE) as numeric(15,2)), sum(QUANTITY) from GOODS "
                            "group by extract(year from REG_DATE), extract(month from REG_DATE) "
                            "order by extract(year from REG_DATE), extract(month from REG_DATE)",
                            false);
    ASSERT_EQ(built.size(), plain.size());
    for (std::size_t i = 0; i < built.size(); ++i)
        EXPECT_EQ(built[i], "01." + plain[i].substr(0, 7) + plain[i].substr(7)) << i;
    EXPECT_GT(built.size(), 60u);  // six years of months

    // the total of the rounded sums is the total of all prices
    TpFIBDataSet q;
    q.SetDatabase(&db);
    q.SetTransaction(&read);
    q.SetSelectSQL(builder.BuildSQL());
    q.Open();
    Currency total;
    q.ScanRecords([&] { total = total + q.FieldByName("PRICE_SUM")->AsCurrency(); });
    EXPECT_EQ(CurrToStr(total), column("select sum(PRICE) from GOODS").at(0));
}

TEST_F(SQLBuilderDb, SortsByColumnPosition)
{
    activate("VENDOR_NAME");
    activate("QTY")->SortKind = skDesc;
    TpFIBDataSet q;
    q.SetDatabase(&db);
    q.SetTransaction(&read);
    q.SetSelectSQL(builder.BuildSQL());
    q.Open();
    std::vector<int> quantities;
    q.ScanRecords([&] { quantities.push_back(q.FieldByName("QTY")->AsInteger()); });
    EXPECT_TRUE(std::is_sorted(quantities.rbegin(), quantities.rend()));
    EXPECT_EQ(quantities.size(), 26u);
}

TEST_F(SQLBuilderDb, ResultFieldsGetLabelsFormatsAndLookups)
{
    TComponent form;
    auto* vendors = new TpFIBDataSet(&form);
    vendors->SetName("dsVendors");
    vendors->SetDatabase(&db);
    vendors->SetTransaction(&read);
    vendors->SetSelectSQL("select ID, NAME from VENDOR");
    auto* owned = new TSQLBuilder(&form);
    owned->LoadFromDfm(*ReadDfmText(utf8ToCp1251(lmtest::kDemoBuilderDfm)).FindClass("TSQLBuilder"));
    owned->AddToActive(*owned->Fields().FindByName("VENDOR_ID"));
    owned->AddToActive(*owned->Fields().FindByName("PRICE_SUM"));

    TpFIBDataSet result;
    result.SetDatabase(&db);
    result.SetTransaction(&read);
    result.SetSelectSQL(owned->BuildSQL());
    result.Prepare();
    owned->CreateDataSetFields(&result);
    result.Open();
    TField* name = result.FieldByName("VENDOR_ID_Name");
    EXPECT_EQ(name->Index(), 0);
    EXPECT_TRUE(vendors->Active());
    EXPECT_FALSE(result.FieldByName("VENDOR_ID")->Visible());
    EXPECT_EQ(name->DisplayLabel(), "Товар|Поставщик товара"_w);
    EXPECT_EQ(result.FieldByName("PRICE_SUM")->DisplayLabel(), "Сумма"_w);
    result.Locate("VENDOR_ID", Variant(1));
    EXPECT_EQ(name->AsString(), "Фармстандарт"_w);
    const std::string sum = result.FieldByName("PRICE_SUM")->DisplayText();  // the format "0.00"
    ASSERT_GE(sum.size(), 4u);
    EXPECT_EQ(sum[sum.size() - 3], ',');
}

} // namespace
