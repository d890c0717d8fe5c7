// The server route: a Firebird server started on the loopback interface serves a demo database
// that reads the same as its twin through the embedded engine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "db/demodb.h"
#include "db/fibdataset.h"
#include "db/fibdatabase.h"
#include "db/fibquery.h"
#include "db/fibtransaction.h"
#include "../util/messageof.h"
#include "loopbackserver.h"
#include "util/exceptions.h"

namespace {

using namespace lm;
using lm::test::messageOf;
using lmtest::LoopbackServer;
using ::testing::HasSubstr;

// Every value of `sql` through a dataset, row by row, as text.
std::vector<std::vector<std::string>> readAll(TFIBDatabase& db, const std::string& sql)
{
    TFIBTransaction tr;
    tr.SetDefaultDatabase(&db);
    TpFIBDataSet ds;
    ds.SetTransaction(&tr);
    ds.SetSelectSQL(sql);
    ds.Open();
    std::vector<std::vector<std::string>> rows;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        std::vector<std::string> row;
        for (int i = 0; i < ds.FieldCount(); ++i)
            row.push_back(ds.Fields(i)->IsNull() ? "<null>" : ds.Fields(i)->AsString());
        rows.push_back(std::move(row));
    }
    return rows;
}

TEST(ServerRoute, LoopbackServerReadsTheSameDataAsTheEmbeddedEngine)
{
    const std::string why = LoopbackServer::Unavailable();
    if (!why.empty())
        GTEST_SKIP() << why;

    LoopbackServer server;
    // Twin databases: the demo data is the same on every run.
    const std::string served = server.DataDir() + "/served.fdb";
    const std::string local = server.DataDir() + "/local.fdb";
    CreateDemoDatabase(served, 2000);
    CreateDemoDatabase(local, 2000);
    const std::string cyrillic = server.DataDir() + "/аптека.fdb";
    CreateDemoDatabase(cyrillic, 10);
    server.GiveToServer(served);
    server.GiveToServer(cyrillic);
    server.Start();
    ASSERT_TRUE(server.Running());

    TFIBDatabase remote;
    remote.SetDatabaseName(server.ConnectString(served));
    remote.SetUserName("SYSDBA");
    remote.SetPassword(LoopbackServer::SysdbaPassword());
    EXPECT_FALSE(remote.IsEmbedded());
    remote.Open();

    TFIBDatabase embedded;
    embedded.SetDatabaseName(local);
    EXPECT_TRUE(embedded.IsEmbedded());
    embedded.Open();

    const std::string sql =
        "select g.*, v.name as vendor, c.name as country from goods g "
        "left join vendor v on v.id = g.vendor_id left join country c on c.id = g.country_id order by g.id";
    const auto viaServer = readAll(remote, sql);
    EXPECT_EQ(viaServer.size(), 2000u);
    EXPECT_EQ(viaServer, readAll(embedded, sql));

    // boolean domains and origins work the same through the server
    TFIBTransaction tr;
    tr.SetDefaultDatabase(&remote);
    TpFIBDataSet ds;
    ds.SetTransaction(&tr);
    ds.SetSelectSQL("select g.active, v.name from goods g join vendor v on v.id = g.vendor_id");
    ds.Prepare();
    EXPECT_EQ(ds.Fields(0)->DataType(), ftBoolean);
    EXPECT_EQ(ds.GetFieldOriginAlias("NAME"), "V.NAME");

    // the server's own error text arrives through the wire
    TpFIBQuery q;
    q.SetTransaction(&tr);
    q.SetOptions(TpFIBQuery::qoStartTransaction);
    q.SetSQL("select nosuch from goods");
    EXPECT_THAT(messageOf([&] { q.ExecQuery(); }), HasSubstr("NOSUCH"));
    tr.Rollback();

    // a Cyrillic file name reaches the server intact
    TFIBDatabase named;
    named.SetDatabaseName(server.ConnectString(cyrillic));
    named.SetPassword(LoopbackServer::SysdbaPassword());
    named.Open();
    EXPECT_EQ(readAll(named, "select count(*) from goods"), std::vector<std::vector<std::string>>{{"10"}});
    named.Close();

    // a wrong password is refused with the server's message
    TFIBDatabase wrong;
    wrong.SetDatabaseName(server.ConnectString(served));
    wrong.SetPassword("not-the-password");
    EXPECT_THAT(messageOf([&] { wrong.Open(); }), HasSubstr("password"));

    remote.Close();
    if (server.External())
        return;  // not ours to stop
    server.Stop();
    EXPECT_FALSE(server.Running());
    TFIBDatabase afterStop;
    afterStop.SetDatabaseName(server.ConnectString(served));
    afterStop.SetPassword(LoopbackServer::SysdbaPassword());
    EXPECT_THROW(afterStop.Open(), Exception);
}

} // namespace
