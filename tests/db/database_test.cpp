// TFIBDatabase: database files at Cyrillic paths, and one file used by several processes at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../util/messageof.h"
#include "db/demodb.h"
#include "db/fibengineconfig.h"
#include "db/fibdatabase.h"
#include "db/fibquery.h"
#include "db/fibtransaction.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

extern char** environ;

namespace {

using namespace lm;
using lm::test::messageOf;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

constexpr int kRowsPerProcess = 150;

// Inserts kRowsPerProcess rows marked `who` into T, one transaction each, reading the table's
// row count between them, so that the processes' writes and reads interleave.
void insertRows(TFIBDatabase& db, const std::string& who)
{
    TFIBTransaction tr;
    tr.SetDefaultDatabase(&db);
    TpFIBQuery ins, count;
    ins.SetTransaction(&tr);
    ins.SetOptions(TpFIBQuery::qoStartTransaction | TpFIBQuery::qoAutoCommit);
    ins.SetSQL("insert into T (WHO, N) values (?, ?)");
    count.SetTransaction(&tr);
    count.SetOptions(TpFIBQuery::qoStartTransaction);
    count.SetSQL("select count(*) from T");
    for (int n = 0; n < kRowsPerProcess; ++n) {
        ins.ExecWP({Variant(who), Variant(n)});
        count.ExecQuery();
        ASSERT_GE(count.Fields(0).AsInteger(), n + 1);
        count.Close();
        tr.Commit();
    }
}

// Runs this test program with `filter` as a child process with extra environment entries.
pid_t spawnSelf(const std::string& filter, const std::vector<std::string>& env)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string arg = "--gtest_filter=" + filter;
    std::vector<std::string> vars(env);
    for (char** e = environ; *e; ++e)
        vars.emplace_back(*e);
    std::vector<char*> envp, argv = {const_cast<char*>(self.c_str()), const_cast<char*>(arg.c_str()), nullptr};
    for (std::string& v : vars)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int waitExit(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool waitForFile(const fs::path& file)
{
    for (int i = 0; i < 600 && !fs::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fs::exists(file);
}

const char* env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The children of the tests below; they do nothing when run on their own.
TEST(DatabaseFileChild, WritesWhileOthersDo)
{
    if (!*env("LMPACK_SHARED_DB"))
        GTEST_SKIP() << "runs only as a child of DatabaseFile.SeveralProcessesReadAndWriteOneFileAtOnce";
    TFIBDatabase db;
    db.SetDatabaseName(env("LMPACK_SHARED_DB"));
    db.Open();
    insertRows(db, env("LMPACK_SHARED_WHO"));
}

TEST(DatabaseFileChild, HoldsTheFileExclusively)
{
    if (!*env("LMPACK_EXCLUSIVE_DB"))
        GTEST_SKIP() << "runs only as a child of DatabaseFile.AProgramHoldingTheFileAloneIsReportedPlainly";
    TFIBDatabase db;
    db.SetDatabaseName(env("LMPACK_EXCLUSIVE_DB"));
    db.Open();
    const fs::path ready = std::string(env("LMPACK_EXCLUSIVE_DB")) + ".ready";
    std::ofstream(ready).put('1');
    EXPECT_TRUE(waitForFile(std::string(env("LMPACK_EXCLUSIVE_DB")) + ".release"));
}

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

TEST_F(DatabaseFile, SeveralProcessesReadAndWriteOneFileAtOnce)
{
    const std::string file = (dir / "shared.fdb").string();
    TFIBDatabase db;
    db.SetDatabaseName(file);
    db.CreateDatabase();
    db.ExecImmediate("create table T (WHO varchar(10), N integer)");

    // two more programs open the file while this one holds it and writes too
    std::vector<pid_t> children;
    for (const char* who : {"first", "second"})
        children.push_back(spawnSelf("DatabaseFileChild.WritesWhileOthersDo",
                                     {"LMPACK_SHARED_DB=" + file, std::string("LMPACK_SHARED_WHO=") + who}));
    insertRows(db, "parent");
    for (pid_t pid : children) {
        ASSERT_GT(pid, 0);
        EXPECT_EQ(waitExit(pid), 0);
    }
    for (const char* who : {"first", "second", "parent"})
        EXPECT_EQ(value(db, std::string("select count(distinct N) from T where WHO = '") + who + "'"),
                  std::to_string(kRowsPerProcess)) << who;
}

TEST_F(DatabaseFile, AProgramHoldingTheFileAloneIsReportedPlainly)
{
    const std::string file = (dir / "exclusive.fdb").string();
    {
        TFIBDatabase db;
        db.SetDatabaseName(file);
        db.CreateDatabase();
    }
    // an engine configured to open files exclusively, as a program of its own may be: our
    // engine root with the other mode
    const std::string ours = fib::ConfigureEmbeddedEngine();
    ASSERT_FALSE(ours.empty());
    const fs::path root = dir / "exclusive-root";
    fs::copy(ours, root, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    std::string conf;
    std::getline(std::ifstream(root / "firebird.conf"), conf, '\0');
    conf.replace(conf.find("ServerMode = SuperClassic"), 25, "ServerMode = Super");
    std::ofstream(root / "firebird.conf", std::ios::trunc) << conf;
    const pid_t child = spawnSelf("DatabaseFileChild.HoldsTheFileExclusively",
                                  {"LMPACK_EXCLUSIVE_DB=" + file, "FIREBIRD=" + root.string()});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(waitForFile(file + ".ready"));
    TFIBDatabase db;
    db.SetDatabaseName(file);
    EXPECT_EQ(messageOf([&] { db.Open(); }), "Database " + file + " is in use by another program");
    EXPECT_FALSE(db.Connected());
    std::ofstream(file + ".release").put('1');
    EXPECT_EQ(waitExit(child), 0);
    db.Open();  // free again
}

TEST_F(DatabaseFile, DemoDatabaseLeavesOtherFilesAlone)
{
    const std::string path = (dir / "demo.fdb").string();
    std::ofstream(path + ".tmp") << "somebody's notes";
    CreateDemoDatabase(path, 5);
    std::string kept;
    std::getline(std::ifstream(path + ".tmp"), kept);
    EXPECT_EQ(kept, "somebody's notes");
    // nothing else is left beside the database
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"demo.fdb", "demo.fdb.tmp"}));
    TFIBDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    EXPECT_EQ(value(db, "select count(*) from GOODS"), "5");
    db.Close();
    // an existing database is refused and stays as it was
    const auto size = fs::file_size(path);
    EXPECT_EQ(messageOf([&] { CreateDemoDatabase(path, 7); }), "File already exists: " + path);
    EXPECT_EQ(fs::file_size(path), size);
}

} // namespace
