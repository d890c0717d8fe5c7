// TFIBDatabase: database files at Cyrillic paths, and one file used by several processes at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "../util/messageof.h"
#include "db/demodb.h"
#include "db/fibdatabase.h"
#include "db/fibquery.h"
#include "db/fibtransaction.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;
namespace fs = std::filesystem;

class DatabaseFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("lmpack-dbfile-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // The first column of the first row of `sql` on `db`, as text.
    static std::string value(TFIBDatabase& db, const std::string& sql)
    {
        TFIBTransaction tr;
        tr.SetDefaultDatabase(&db);
        TpFIBQuery q;
        q.SetTransaction(&tr);
        q.SetOptions(TpFIBQuery::qoStartTransaction);
        q.SetSQL(sql);
        q.ExecQuery();
        return q.Eof() ? "<none>" : q.Fields(0).AsString();
    }

    fs::path dir;
};

TEST_F(DatabaseFile, CyrillicPathsAreCreatedAndOpenedInBothEncodings)
{
    const std::string utf8 = (dir / "аптека.fdb").string();
    {
        TFIBDatabase db;
        db.SetDatabaseName(utf8);
        db.CreateDatabase();
        db.ExecImmediate("create table T (NAME varchar(20))");
        db.ExecImmediate("insert into T values ('" + std::string("склад"_w) + "')");
    }
    ASSERT_TRUE(fs::exists(utf8));  // the very name asked for, not a transliteration
    // the package's own Windows-1251 text names the same file
    TFIBDatabase db;
    db.SetDatabaseName(utf8ToCp1251(utf8));
    db.Open();
    EXPECT_EQ(value(db, "select NAME from T"), "склад"_w);
    db.Close();

    const std::string demo = (dir / "Склад №2" / "демо.fdb").string();
    fs::create_directories(fs::path(demo).parent_path());
    CreateDemoDatabase(demo, 10);
    TFIBDatabase demoDb;
    demoDb.SetDatabaseName(demo);
    demoDb.Open();
    EXPECT_EQ(value(demoDb, "select count(*) from GOODS"), "10");
}

} // namespace
