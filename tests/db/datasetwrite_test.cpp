// TpFIBDataSet writing: posts and deletes reach the table (read back through a second
// connection), failures keep the dataset as it was, and datasets that cannot write say why.
#include <gmock/gmock.h>

#include "../util/messageof.h"
#include "demofixture.h"
#include "db/fibdataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;
using lm::test::messageOf;
using lmtest::DemoDbTest;
using ::testing::HasSubstr;

class DataSetWriteTest : public DemoDbTest {
protected:
    void SetUp() override
    {
        DemoDbTest::SetUp();
        other.SetDatabaseName(file());
        other.Open();
        ds.SetName("Goods");
        ds.SetTransaction(&write);
    }

    // The first column of the first row of `sql` through the second connection.
    std::string stored(const std::string& sql)
    {
        TFIBTransaction tr;
        tr.SetDefaultDatabase(&other);
        TpFIBQuery q;
        q.SetTransaction(&tr);
        q.SetOptions(TpFIBQuery::qoStartTransaction);
        q.SetSQL(sql);
        q.ExecQuery();
        return q.Eof() ? "<none>" : q.Fields(0).IsNull() ? "<null>" : q.Fields(0).AsString();
    }

    void openGoods(int fromId, int toId)
    {
        ds.SetSelectSQL("select g.id, g.name, g.price, g.quantity, g.vendor_id, v.name as vendor from goods g "
                        "left join vendor v on v.id = g.vendor_id where g.id between " + std::to_string(fromId) +
                        " and " + std::to_string(toId) + " order by g.id");
        ds.Open();
    }

    TFIBDatabase other;
    TpFIBDataSet ds;
};

TEST_F(DataSetWriteTest, EditAppendAndDeleteReachTheTable)
{
    openGoods(1, 10);
    ASSERT_TRUE(ds.CanModify());
    const std::string vendorBefore = stored("select vendor_id from goods where id = 1");

    ds.Edit();
    ds.FBN("NAME")->SetAsString("Аспирин Кардио"_w);
    ds.FBN("QUANTITY")->SetValue(Variant(77));
    ds.Post();
    EXPECT_EQ(stored("select name from goods where id = 1"), "Аспирин Кардио"_w);
    EXPECT_EQ(stored("select quantity from goods where id = 1"), "77");
    EXPECT_EQ(stored("select vendor_id from goods where id = 1"), vendorBefore);  // not touched

    ds.Append();
    ds.FBN("ID")->SetValue(Variant(900001));
    ds.FBN("NAME")->SetAsString("Новинка"_w);
    ds.FBN("PRICE")->SetAsString("12,5");
    ds.Post();
    EXPECT_EQ(stored("select name || '/' || price from goods where id = 900001"), "Новинка/12.50"_w);
    EXPECT_EQ(stored("select vendor_id from goods where id = 900001"), "<null>");
    EXPECT_EQ(ds.RecordCount(), 11);

    ASSERT_TRUE(ds.Locate("ID", Variant(2)));
    ds.Delete();
    EXPECT_EQ(stored("select count(*) from goods where id = 2"), "0");
    EXPECT_EQ(ds.RecordCount(), 10);

    // what the dataset holds is what a fresh read gives
    ds.CloseOpen();
    ASSERT_TRUE(ds.Locate("ID", Variant(1)));
    EXPECT_EQ(ds.FBN("NAME")->AsString(), "Аспирин Кардио"_w);
}

TEST_F(DataSetWriteTest, ServerRefusalsLeaveTheRecordAsItWas)
{
    openGoods(11, 20);
    const std::string name = ds.FBN("NAME")->AsString();
    const std::string vendor = ds.FBN("VENDOR_ID")->AsString();

    // a foreign key the server refuses: its message, the edit still open with the typed value
    ds.Edit();
    ds.FBN("VENDOR_ID")->SetValue(Variant(99999));
    ds.FBN("NAME")->SetAsString("Другое"_w);
    EXPECT_THAT(messageOf([&] { ds.Post(); }), HasSubstr("FOREIGN KEY"));
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.FBN("VENDOR_ID")->AsInteger(), 99999);
    ds.Cancel();
    EXPECT_EQ(ds.FBN("NAME")->AsString(), name);
    EXPECT_EQ(ds.FBN("VENDOR_ID")->AsString(), vendor);
    EXPECT_EQ(stored("select name from goods where id = 11"), name);

    // a text longer than the column: the server's own message, the text kept in the record
    const std::string longText(200, 'x');
    ds.Edit();
    ds.FBN("NAME")->SetAsString(longText);
    const std::string msg = messageOf([&] { ds.Post(); });
    EXPECT_THAT(msg, HasSubstr("string right truncation"));
    EXPECT_THAT(msg, HasSubstr("150"));
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.FBN("NAME")->AsString(), longText);
    ds.Cancel();
    EXPECT_EQ(stored("select name from goods where id = 11"), name);

    // a duplicate key on insert: nothing added, here or there
    ds.Append();
    ds.FBN("ID")->SetValue(Variant(12));
    ds.FBN("NAME")->SetAsString("Дубль"_w);
    EXPECT_THAT(messageOf([&] { ds.Post(); }), HasSubstr("PRIMARY"));
    EXPECT_EQ(ds.State(), dsInsert);
    ds.Cancel();
    EXPECT_EQ(ds.RecordCount(), 10);
    EXPECT_EQ(stored("select count(*) from goods where name = '" + std::string("Дубль"_w) + "'"), "0");

    // a record deleted by another user meanwhile
    ASSERT_TRUE(ds.Locate("ID", Variant(13)));
    other.ExecImmediate("delete from goods where id = 13");
    ds.Edit();
    ds.FBN("QUANTITY")->SetValue(Variant(1));
    EXPECT_THAT(messageOf([&] { ds.Post(); }), HasSubstr("another user"));
    ds.Cancel();
    EXPECT_THAT(messageOf([&] { ds.Delete(); }), HasSubstr("another user"));
    EXPECT_EQ(ds.RecordCount(), 10);
}

TEST_F(DataSetWriteTest, DataSetsThatCannotWriteSayWhy)
{
    struct Case { const char* sql; TFIBTransaction* tr; const char* reason; };
    const Case cases[] = {
        {"select id, name from goods", &read, "the update transaction is read-only"},
        {"select name, price * 2 as twice from goods", &write, "no table of the query has its primary key"},
        {"select count(*) from goods", &write, "no table of the query has its primary key"},
        {"select (select g.id from goods g where g.id = v.id) as id, v.name from vendor v", &write,
         "no table of the query has its primary key"},
    };
    for (const Case& c : cases) {
        TpFIBDataSet q;
        q.SetName("Q");
        q.SetTransaction(c.tr);
        q.SetSelectSQL(c.sql);
        q.Open();
        EXPECT_FALSE(q.CanModify()) << c.sql;
        EXPECT_FALSE(q.Fields(0)->CanModify()) << c.sql;
        EXPECT_THAT(messageOf([&] { q.Edit(); }), HasSubstr(c.reason)) << c.sql;
        EXPECT_EQ(q.State(), dsBrowse);
    }
    // the host's statement makes a keyless dataset writable for that kind only
    TpFIBDataSet q;
    q.SetTransaction(&write);
    q.SetSelectSQL("select name, quantity from goods where id = 21");
    q.SetUpdateSQL("update goods set quantity = :quantity where name = :old_name and id = 21");
    q.Open();
    EXPECT_TRUE(q.CanModify());
    EXPECT_THAT(messageOf([&] { q.Delete(); }), HasSubstr("DeleteSQL is not set"));
    q.Edit();
    q.FBN("QUANTITY")->SetValue(Variant(5));
    q.Post();
    EXPECT_EQ(stored("select quantity from goods where id = 21"), "5");
}

TEST_F(DataSetWriteTest, HostStatementsRunInTheHostsUpdateTransaction)
{
    TFIBTransaction updates;
    updates.SetDefaultDatabase(&db);
    ds.SetUpdateTransaction(&updates);
    ds.SetUpdateSQL("update goods set quantity = :new_quantity where id = :old_id");
    ds.SetDeleteSQL("delete from goods where id = :old_id");
    ds.SetRefreshSQL("select quantity * 10 as quantity from goods where id = :id");
    openGoods(30, 32);
    ds.Edit();
    ds.FBN("QUANTITY")->SetValue(Variant(4));
    ds.Post();
    EXPECT_EQ(ds.FBN("QUANTITY")->AsInteger(), 40);  // as the refresh read it back
    ds.Last();
    ds.Delete();
    // the host commits its own transaction
    EXPECT_NE(stored("select quantity from goods where id = 30"), "4");
    EXPECT_EQ(stored("select count(*) from goods where id = 32"), "1");
    updates.Commit();
    EXPECT_EQ(stored("select quantity from goods where id = 30"), "4");
    EXPECT_EQ(stored("select count(*) from goods where id = 32"), "0");
}

} // namespace
