// TpFIBDataSet: fetching, preparing, column origins, local sort, reopening and scroll events.
#include "demofixture.h"

#include "db/fibdataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;
using lmtest::DemoDbTest;

class DataSetTest : public DemoDbTest {
protected:
    void SetUp() override
    {
        DemoDbTest::SetUp();
        ds.SetTransaction(&read);
    }
    TpFIBDataSet ds;
};

TEST_F(DataSetTest, FetchesEveryRowWithTheColumnTypes)
{
    ds.SetSelectSQL("select * from goods order by id");
    ds.Open();
    EXPECT_EQ(ds.RecordCount(), lmtest::kDemoRows);
    EXPECT_EQ(ds.VisibleRecordCount(), lmtest::kDemoRows);
    const std::vector<std::pair<const char*, TFieldType>> expected = {
        {"ID", ftInteger}, {"NAME", ftString}, {"VENDOR_ID", ftInteger}, {"COUNTRY_ID", ftInteger},
        {"PRICE", ftBCD}, {"QUANTITY", ftInteger}, {"REG_DATE", ftDate}, {"EXPIRY_DATE", ftDate},
        {"ACTIVE", ftBoolean}, {"RECIPE", ftBoolean}, {"BARCODE", ftString}, {"NOTE", ftString},
        {"UPDATED", ftDateTime}};
    ASSERT_EQ(ds.FieldCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < ds.FieldCount(); ++i) {
        EXPECT_EQ(ds.Fields(i)->FieldName(), expected[i].first);
        EXPECT_EQ(ds.Fields(i)->DataType(), expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(ds.FBN("NAME")->Size(), 150);
    EXPECT_EQ(ds.FBN("PRICE")->Size(), 2);

    // every value equals what a plain query reads
    TpFIBQuery q;
    q.SetTransaction(&read);
    q.SetSQL("select * from goods order by id");
    q.ExecQuery();
    int rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next(), q.Next(), ++rows) {
        ASSERT_FALSE(q.Eof());
        for (int i = 0; i < ds.FieldCount(); ++i) {
            const Variant a = ds.Fields(i)->Value(), b = q.Fields(i);
            ASSERT_EQ(a.IsNull(), b.IsNull()) << ds.Fields(i)->FieldName() << " row " << rows;
            if (a.IsNull())
                continue;
            if (ds.Fields(i)->DataType() == ftBoolean)  // the query reads the SMALLINT as it is
                ASSERT_EQ(a.AsBoolean(), b.AsInteger() != 0) << ds.Fields(i)->FieldName() << " row " << rows;
            else
                ASSERT_EQ(a.AsString(), b.AsString()) << ds.Fields(i)->FieldName() << " row " << rows;
        }
    }
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(rows, lmtest::kDemoRows);
}

TEST_F(DataSetTest, ParametersAndPrepareWithoutFetching)
{
    ds.SetSelectSQL("select id, name from goods where vendor_id = :vendor and id < :maxid");
    ds.Prepare();
    EXPECT_FALSE(ds.Active());
    EXPECT_TRUE(ds.Prepared());
    ASSERT_EQ(ds.FieldCount(), 2);
    EXPECT_EQ(ds.GetFieldOriginAlias("NAME"), "GOODS.NAME");
    ds.SetParamValue("VENDOR", Variant(3));
    ds.SetParamValue("maxid", Variant(500));
    ds.Open();
    const auto expected = column("select count(*) from goods where vendor_id = 3 and id < 500");
    EXPECT_EQ(std::to_string(ds.RecordCount()), expected[0]);
    EXPECT_GT(ds.RecordCount(), 0);
    // not a select
    TpFIBDataSet bad;
    bad.SetTransaction(&read);
    bad.SetSelectSQL("update goods set quantity = 0");
    EXPECT_THROW(bad.Open(), Exception);
}

TEST_F(DataSetTest, OriginAliasesComeFromTheStatementAndItsFromClause)
{
    ds.SetSelectSQL(
        "select g.id, g.name as goods_name, v.name as vendor, c.name, g.price * 2 as double_price, "
        "\"Lower\".code from goods g "
        "left join vendor v on v.id = g.vendor_id "
        "join country c on c.id = g.country_id "
        "join country \"Lower\" on \"Lower\".id = v.country_id");
    // inactive: the dataset is prepared by the call
    EXPECT_EQ(ds.GetFieldOriginAlias("ID"), "G.ID");
    EXPECT_EQ(ds.GetFieldOriginAlias("GOODS_NAME"), "G.NAME");
    EXPECT_EQ(ds.GetFieldOriginAlias("VENDOR"), "V.NAME");
    EXPECT_EQ(ds.GetFieldOriginAlias("NAME"), "C.NAME");
    EXPECT_EQ(ds.GetFieldOriginAlias("DOUBLE_PRICE"), ".DOUBLE_PRICE");  // an expression: no table
    EXPECT_EQ(ds.GetFieldOriginAlias("CODE"), "\"Lower\".CODE");          // quoted as needed
    EXPECT_FALSE(ds.Active());

    // the same table twice is told apart by alias
    TpFIBDataSet self;
    self.SetTransaction(&read);
    self.SetSelectSQL("select a.id, b.id as other_id from goods a join goods b on b.id = a.id + 1");
    EXPECT_EQ(self.GetFieldOriginAlias("ID"), "A.ID");
    EXPECT_EQ(self.GetFieldOriginAlias("OTHER_ID"), "B.ID");

    EXPECT_THROW(ds.GetFieldOriginAlias(static_cast<TField*>(nullptr)), Exception);
}

TEST_F(DataSetTest, ColumnsOfTheSameNameEachReadTheirOwnColumn)
{
    ds.SetSelectSQL("select g.id, g.name, v.name, v.id, g.name as name_1 from goods g "
                    "join vendor v on v.id = g.vendor_id order by g.id");
    ds.Open();
    ASSERT_EQ(ds.FieldCount(), 5);
    EXPECT_EQ(ds.Fields(1)->FieldName(), "NAME");
    EXPECT_EQ(ds.Fields(2)->FieldName(), "NAME_1");
    EXPECT_EQ(ds.Fields(3)->FieldName(), "ID_1");
    EXPECT_EQ(ds.Fields(4)->FieldName(), "NAME_1_1");  // the later column keeps clear of the given name
    EXPECT_EQ(ds.GetFieldOriginAlias("NAME"), "G.NAME");
    EXPECT_EQ(ds.GetFieldOriginAlias("NAME_1"), "V.NAME");
    EXPECT_EQ(ds.GetFieldOriginAlias("ID_1"), "V.ID");
    const auto vendors = column("select v.name from goods g join vendor v on v.id = g.vendor_id order by g.id");
    ASSERT_EQ(ds.RecordCount(), static_cast<int>(vendors.size()));
    const auto vendorIds = column("select g.vendor_id from goods g join vendor v on v.id = g.vendor_id order by g.id");
    std::size_t row = 0;
    for (ds.First(); !ds.Eof(); ds.Next(), ++row) {
        ASSERT_EQ(ds.FBN("NAME_1")->AsString(), vendors[row]) << row;
        ASSERT_EQ(ds.FBN("ID_1")->AsString(), vendorIds[row]) << row;
    }
}

// A condition built from an origin is appended to the select itself, so only tables of its own
// FROM list may appear in it; every alias given must work there.
TEST_F(DataSetTest, ColumnsFromSubQueriesDerivedTablesAndUnionsHaveNoTableAlias)
{
    struct Case { const char* sql; std::vector<std::pair<const char*, const char*>> origins; };
    const Case cases[] = {
        {"select g.id, (select c.name from country c where c.id = g.country_id) as country, "
         "(select first 1 v.id from vendor v where v.id = g.vendor_id) from goods g",
         {{"ID", "G.ID"}, {"COUNTRY", ".COUNTRY"}, {"ID_1", ".ID_1"}}},
        // the sub-query's alias is also an outer alias: still not the outer table's column
        {"select c.id, (select c.name from country c where c.id = g.country_id) as name, c.code "
         "from goods g join country c on c.id = g.country_id",
         {{"ID", "C.ID"}, {"NAME", ".NAME"}, {"CODE", "C.CODE"}}},
        {"select g.id, g.name from goods g where g.id < 10 union all "
         "select v.id, v.name from vendor v",
         {{"ID", ".ID"}, {"NAME", ".NAME"}}},
        {"select d.id, d.name, v.city from (select id, name, vendor_id from goods) d "
         "join vendor v on v.id = d.vendor_id",
         {{"ID", ".ID"}, {"NAME", ".NAME"}, {"CITY", "V.CITY"}}},
        {"select first 5 distinct g.*, v.name from goods g join vendor v on v.id = g.vendor_id",
         {{"ID", "G.ID"}, {"UPDATED", "G.UPDATED"}, {"NAME_1", "V.NAME"}}},
        {"select g.name, g.name as copy, upper(g.name) as up from goods g",
         {{"NAME", "G.NAME"}, {"COPY", "G.NAME"}, {"UP", ".UP"}}},
    };
    for (const Case& c : cases) {
        TpFIBDataSet q;
        q.SetTransaction(&read);
        q.SetSelectSQL(c.sql);
        for (const auto& [field, origin] : c.origins)
            EXPECT_EQ(q.GetFieldOriginAlias(field), origin) << c.sql << " / " << field;
        // each alias given works in a condition on the select (none of them has an outer WHERE)
        for (int i = 0; i < q.FieldCount(); ++i) {
            const std::string origin = q.GetFieldOriginAlias(q.Fields(i));
            if (origin[0] == '.')
                continue;
            TpFIBDataSet filtered;
            filtered.SetTransaction(&read);
            filtered.SetSelectSQL(std::string(c.sql) + " where " + origin + " is not null");
            EXPECT_NO_THROW(filtered.Open()) << filtered.SelectSQL();
        }
    }
}

TEST_F(DataSetTest, LocalSortMatchesTheServersOrder)
{
    ds.SetSelectSQL("select id, name, price, expiry_date from goods order by id");
    ds.Open();
    EXPECT_FALSE(ds.IsSorted());
    ds.DoSortEx(std::vector<std::string>{"PRICE", "NAME"}, {false, true});
    EXPECT_TRUE(ds.IsSorted());
    ASSERT_EQ(ds.SortFieldsCount(), 2);
    EXPECT_EQ(ds.SortFieldInfo(0).FieldName, "PRICE");
    EXPECT_FALSE(ds.SortFieldInfo(0).Asc);
    EXPECT_EQ(ds.SortFieldInfo(1).InDataSetIndex, 1);
    EXPECT_EQ(ds.SortFieldInfo(1).InOrderIndex, 2);
    EXPECT_THROW(ds.SortFieldInfo(2), Exception);

    std::vector<std::string> local;
    for (ds.First(); !ds.Eof(); ds.Next())
        local.push_back(ds.FBN("ID")->AsString());
    EXPECT_EQ(local, column("select id from goods order by price desc nulls last, name, id"));

    ds.DoSortEx(std::vector<std::string>{"EXPIRY_DATE"}, {true});
    local.clear();
    for (ds.First(); !ds.Eof(); ds.Next())
        local.push_back(ds.FBN("ID")->AsString());
    EXPECT_EQ(local, column("select id from goods order by expiry_date nulls first, id"));

    ds.DoSortEx(std::vector<std::string>{}, {});
    EXPECT_FALSE(ds.IsSorted());
    ds.First();
    EXPECT_EQ(ds.FBN("ID")->AsInteger(), 1);  // load order again
    EXPECT_THROW(ds.DoSortEx(std::vector<std::string>{"NOSUCH"}, {true}), Exception);
}

TEST_F(DataSetTest, MemosScaledNumbersTimesAndChars)
{
    db.ExecImmediate("create table DOCS (ID integer, BODY blob sub_type text, RATE numeric(9, 6), "
                     "T time, CODE char(5))");
    TpFIBQuery ins;
    ins.SetTransaction(&write);
    ins.SetOptions(TpFIBQuery::qoStartTransaction | TpFIBQuery::qoAutoCommit);
    ins.SetSQL("insert into docs values (?, ?, ?, ?, ?)");
    const std::string body = std::string(70000, 'x') + "Накладная №5"_w;
    ins.ExecWP({Variant(1), Variant(body), Variant(1.234567), Variant::FromDate(EncodeTime(13, 45, 30, 0)), Variant("AB")});
    ins.ExecWP({Variant(2), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()});

    ds.SetSelectSQL("select id, body, rate, t, code from docs order by id");
    ds.Open();
    EXPECT_EQ(ds.FBN("BODY")->DataType(), ftMemo);
    EXPECT_EQ(ds.FBN("RATE")->DataType(), ftFloat);  // more than four decimals
    EXPECT_EQ(ds.FBN("T")->DataType(), ftTime);
    EXPECT_EQ(ds.FBN("CODE")->DataType(), ftFixedChar);
    EXPECT_EQ(ds.FBN("ID")->AsInteger(), 1);
    EXPECT_EQ(ds.FBN("BODY")->AsString(), body);
    EXPECT_NEAR(ds.FBN("RATE")->AsFloat(), 1.234567, 1e-9);
    EXPECT_EQ(ds.FBN("T")->AsString(), "13:45:30");
    EXPECT_EQ(ds.FBN("CODE")->AsString(), "AB");
    ds.Next();
    for (int i = 1; i < ds.FieldCount(); ++i)
        EXPECT_TRUE(ds.Fields(i)->IsNull()) << ds.Fields(i)->FieldName();
}

TEST_F(DataSetTest, CloseOpenAndScrollEvents)
{
    ds.SetSelectSQL("select id from goods order by id");
    ds.Open();
    int scrolls = 0;
    ds.AfterScroll = [&](TDataSet*) { ++scrolls; };
    ds.Next();
    EXPECT_EQ(scrolls, 1);
    ds.DisableScrollEvents();
    ds.DisableScrollEvents();
    ds.Next();
    ds.EnableScrollEvents();
    ds.Next();
    EXPECT_EQ(scrolls, 1);
    ds.EnableScrollEvents();
    ds.Next();
    EXPECT_EQ(scrolls, 2);
    EXPECT_EQ(ds.RecNo(), 5);

    // rows added meanwhile show after CloseOpen; the position is kept when asked
    TpFIBQuery ins;
    ins.SetTransaction(&write);
    ins.SetOptions(TpFIBQuery::qoStartTransaction | TpFIBQuery::qoAutoCommit);
    ins.SetSQL("insert into goods (id, name, active) values (?, ?, 1)");
    ins.ExecWP({Variant(lmtest::kDemoRows + 1), Variant("Новый товар"_w)});
    write.Commit();
    ds.CloseOpen(true);
    EXPECT_EQ(ds.RecordCount(), lmtest::kDemoRows + 1);
    EXPECT_EQ(ds.RecNo(), 5);
    ds.CloseOpen();
    EXPECT_EQ(ds.RecNo(), 1);
    // the prepared select survives the end of its transaction
    read.Commit();
    ds.CloseOpen();
    EXPECT_EQ(ds.RecordCount(), lmtest::kDemoRows + 1);
}

} // namespace
