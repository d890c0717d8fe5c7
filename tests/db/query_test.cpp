// Queries, parameters, transactions, server errors, boolean columns and the locale queries.
#include "demofixture.h"
#include "../util/messageof.h"

#include <gmock/gmock.h>

#include "app/globals.h"
#include "app/lmtranslate.h"
#include "db/fibdataset.h"
#include "host/registrystore.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;
using lmtest::DemoDbTest;
using lm::test::messageOf;
using ::testing::HasSubstr;

using QueryTest = DemoDbTest;

TEST_F(QueryTest, ExecWPBindsParametersInOrderAndReadsTypedValues)
{
    TpFIBQuery q;
    q.SetTransaction(&read);
    q.SetOptions(TpFIBQuery::qoStartTransaction);
    q.SetSQL("select g.id, g.name, v.name, g.price, g.reg_date, g.active, g.recipe "
             "from goods g join vendor v on v.id = g.vendor_id where g.id between :lo and :hi order by g.id");
    EXPECT_EQ(q.ParamCount(), 0);  // not prepared yet
    q.ExecWP({Variant(10), Variant(12)});
    EXPECT_TRUE(read.InTransaction());  // started by the query
    EXPECT_EQ(q.ParamCount(), 2);
    EXPECT_EQ(q.ParamName(0), "LO");
    int rows = 0;
    for (; !q.Eof(); q.Next(), ++rows) {
        EXPECT_GE(q.Fields(0).AsInteger(), 10);
        EXPECT_FALSE(q.Fields(1).AsString().empty());
        EXPECT_EQ(q.Fields(3).VarType(), TVarType::varCurrency);  // NUMERIC(15,2)
        EXPECT_EQ(q.Fields(4).VarType(), TVarType::varDate);
        EXPECT_EQ(q.Fields(6).VarType(), TVarType::varBoolean);   // native BOOLEAN
    }
    EXPECT_LE(rows, 3);
    EXPECT_GE(rows, 2);  // vendor is missing for a few goods only
    EXPECT_THROW(q.Fields(0), Exception);                        // past the end
    EXPECT_THROW(q.ExecWP({Variant(1), Variant(2), Variant(3)}), Exception);  // too many values
}

TEST_F(QueryTest, WritesWithAutoCommitAreSeenByOtherTransactions)
{
    TpFIBQuery ins;
    ins.SetTransaction(&write);
    ins.SetOptions(TpFIBQuery::qoStartTransaction | TpFIBQuery::qoAutoCommit);
    ins.SetSQL("insert into country (id, name, code) values (?, ?, ?) returning id");
    ins.ExecWP({Variant(100), Variant("Кыргызстан «Тест» 'кавычки'"_w), Variant("KG")});
    EXPECT_EQ(ins.Fields(0).AsInteger(), 100);  // RETURNING fills the output row

    TpFIBQuery q;
    q.SetTransaction(&read);
    q.SetOptions(TpFIBQuery::qoStartTransaction);
    q.SetSQL("select name, code from country where id = :id");
    q.SetParamByName("id", Variant(100));
    q.ExecQuery();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.Fields(0).AsString(), "Кыргызстан «Тест» 'кавычки'"_w);  // bytes pass unchanged
    EXPECT_EQ(q.FieldByName("CODE").AsString(), "KG");                  // CHAR(2), no padding

    // null parameters and null results
    ins.SetSQL("update country set code = ? where id = ?");
    ins.ExecWP({Variant::Null(), Variant(100)});
    q.Close();
    q.ExecQuery();
    EXPECT_TRUE(q.Fields(1).IsNull());
}

TEST_F(QueryTest, ServerErrorsCarryTheServersMessage)
{
    TpFIBQuery q;
    q.SetTransaction(&write);
    q.SetOptions(TpFIBQuery::qoStartTransaction);
    q.SetSQL("select nosuch from goods");
    const std::string unknown = messageOf([&] { q.ExecQuery(); });
    EXPECT_THAT(unknown, HasSubstr("Column unknown"));
    EXPECT_THAT(unknown, HasSubstr("NOSUCH"));
    // a constraint violation at execution, and a user exception with Russian text
    q.SetSQL("insert into country (id, name) values (1, 'dup')");
    EXPECT_THAT(messageOf([&] { q.ExecQuery(); }), HasSubstr("PRIMARY or UNIQUE KEY"));
    db.ExecImmediate("create exception E_NO_GOODS 'Нет товара на складе'"_w);
    q.SetSQL("execute block as begin exception E_NO_GOODS; end");
    EXPECT_THAT(messageOf([&] { q.ExecQuery(); }), HasSubstr("Нет товара на складе"_w));
    // a bad database name
    TFIBDatabase missing;
    missing.SetDatabaseName((dir() / "missing.fdb").string());
    EXPECT_THAT(messageOf([&] { missing.Open(); }), HasSubstr("missing.fdb"));
}

TEST_F(QueryTest, BooleanDomainRuleIsConfigurable)
{
    db.ExecImmediate("create domain D_FLAG_YN as smallint");
    db.ExecImmediate("create table FLAGS (A D_BOOL, B D_FLAG_YN, C smallint, D boolean)");
    db.ExecImmediate("insert into FLAGS values (1, 0, 1, true)");
    auto types = [&] {
        TpFIBDataSet ds;
        ds.SetTransaction(&read);
        ds.SetSelectSQL("select a, b, c, d from flags");
        ds.Open();
        std::vector<TFieldType> out;
        for (int i = 0; i < ds.FieldCount(); ++i)
            out.push_back(ds.Fields(i)->DataType());
        return out;
    };
    EXPECT_EQ(types(), (std::vector<TFieldType>{ftBoolean, ftSmallint, ftSmallint, ftBoolean}));
    db.SetBoolDomainMask("FLAG");
    EXPECT_EQ(types(), (std::vector<TFieldType>{ftSmallint, ftBoolean, ftSmallint, ftBoolean}));
    db.SetBoolDomainMask("");
    EXPECT_EQ(types(), (std::vector<TFieldType>{ftSmallint, ftSmallint, ftSmallint, ftBoolean}));
}

TEST_F(QueryTest, LocaleQueriesReadPrLocale)
{
    TMemoryRegistryStore store;
    TGlobalVars vars(nullptr, &store);
    vars.Database = &db;
    vars.ReadTransaction = &read;
    vars.WriteTransaction = &write;
    EXPECT_EQ(GetCountryID(), 1);
    EXPECT_EQ(GetLocale(), "RU");
    EXPECT_EQ(GetLocaleFont(), "");
    EXPECT_EQ(GetLocaleFields(), "USER_NAME;FULL_NAME;USER_ID_NAME;USERNAME");

    // the single-value query: a statement without result gives true
    EXPECT_TRUE(SelectValue("update pr_locale set country = ?, country_id = 2", {Variant("KZ")}, &write).AsBoolean());
    write.Commit();
    read.Commit();
    EXPECT_EQ(GetLocale(), "KZ");
    EXPECT_EQ(GetCountryID(), 2);
    EXPECT_EQ(GetLocaleFont(), "LM Microsoft Sans Serif KZ");
    SetTranslateLocale("");
    EXPECT_EQ(static_cast<unsigned char>(Translate(51, 0, '?')), 191);  // locale read from the database
    SetTranslateLocale("");

    TpFIBQuery q;
    vars.WriteQuerySet(&q, true);
    EXPECT_EQ(q.Transaction(), &write);
    q.SetSQL("delete from pr_locale");
    q.ExecQuery();
    read.Commit();
    EXPECT_TRUE(SelectValue("select country from pr_locale").IsNull());  // no row
    EXPECT_EQ(GetCountryID(), 0);
    EXPECT_EQ(GetLocale(), "");
}

TEST_F(QueryTest, QueriesAndDataSetsOutliveTheirConnection)
{
    const std::string countries = column("select count(*) from country")[0];
    auto q = std::make_unique<TpFIBQuery>();
    auto ds = std::make_unique<TpFIBDataSet>();
    {
        TFIBDatabase other;
        other.SetDatabaseName(file());
        other.Open();
        TFIBTransaction t;
        t.SetDefaultDatabase(&other);
        q->SetTransaction(&t);
        q->SetOptions(TpFIBQuery::qoStartTransaction);
        q->SetSQL("select id from goods");
        q->ExecQuery();  // a cursor left open
        ds->SetTransaction(&t);
        ds->SetSelectSQL("select id from country");
        ds->Open();
    }  // the transaction, then the database go away under them
    EXPECT_EQ(q->Transaction(), nullptr);
    EXPECT_EQ(q->Database(), nullptr);
    EXPECT_THROW(q->ExecQuery(), Exception);
    EXPECT_TRUE(ds->Active());  // the fetched records stay
    EXPECT_EQ(std::to_string(ds->RecordCount()), countries);
    ds->Close();
    EXPECT_THROW(ds->Open(), Exception);
}

TEST_F(QueryTest, ClosingTheDatabaseEndsItsTransactions)
{
    read.StartTransaction();
    write.StartTransaction();
    db.Close();
    EXPECT_FALSE(read.InTransaction());
    EXPECT_FALSE(write.InTransaction());
    EXPECT_THROW(read.StartTransaction(), Exception);
    db.Open();
    read.StartTransaction();
    EXPECT_TRUE(read.InTransaction());
}

} // namespace
