// lmpack demo-db and lmpack filter over a real embedded database: the printed statement, the
// rows after applying it both ways, and the failure paths scripts see.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "clirun.h"

using lmtest::runLmpack;

namespace {

class CliFilter : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = std::filesystem::temp_directory_path() / ("lmpack-cli-filter-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        db = (dir / "demo.fdb").string();
        const auto r = runLmpack({"demo-db", db, "--rows", "400"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir); }

    static lmtest::CliResult filter(std::vector<std::string> options, const std::string& expr)
    {
        std::vector<std::string> args = {"filter", "--db", db, "--query",
                                         "SELECT G.ID, G.NAME, G.PRICE, G.ACTIVE FROM GOODS G",
                                         "--label", "NAME=Наименование", "--label", "PRICE=Цена",
                                         "--label", "ACTIVE=Активен"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(expr);
        return runLmpack(args);
    }

    static int rows(const lmtest::CliResult& r)
    {
        const auto at = r.out.find("rows: ");
        return at == std::string::npos ? -1 : std::stoi(r.out.substr(at + 6));
    }

    static inline std::filesystem::path dir;
    static inline std::string db;
};

TEST_F(CliFilter, PrintsTheLocalOrTheSqlStatement)
{
    auto r = filter({}, "[Наименование] = 'аспирин*'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "local: NAME LIKE 'аспирин%'\n");

    r = filter({"--sql-enabled", "--prefer-sql"}, "[Активен] И [Цена] > 1,5");
    EXPECT_EQ(r.out, "sql: AND (G.ACTIVE=1 AND G.PRICE>1.5)\n");

    r = filter({"--ignore-case"}, "[Наименование] = 'аспирин*'");
    EXPECT_EQ(r.out, "local: UPPER(NAME) LIKE 'АСПИРИН%'\n");
}

TEST_F(CliFilter, BothRoutesSelectTheSameRowsWhenRun)
{
    for (const std::string expr : {"[Активен] И [Цена] > 100,5", "[Наименование] = '*ин*' ИЛИ [Цена] = ПУСТО",
                                   "НЕ [Цена] < 50"}) {
        const auto local = filter({"--run"}, expr);
        const auto sql = filter({"--run", "--sql-enabled", "--prefer-sql"}, expr);
        ASSERT_EQ(local.exitCode, 0) << local.err;
        ASSERT_EQ(sql.exitCode, 0) << sql.err;
        EXPECT_EQ(local.out.rfind("local: ", 0), 0u) << local.out;
        EXPECT_EQ(sql.out.rfind("sql: ", 0), 0u) << sql.out;
        EXPECT_GT(rows(local), 0) << expr;
        EXPECT_LT(rows(local), 400) << expr;
        EXPECT_EQ(rows(local), rows(sql)) << expr;
    }
}

TEST_F(CliFilter, TheSqlRouteBracketsTheQuerysOwnCondition)
{
    // The query's WHERE has a top-level OR; the appended condition must hold for both branches.
    const auto run = [](std::vector<std::string> options) {
        std::vector<std::string> args = {"filter", "--db", db, "--query",
                                         "SELECT G.ID, G.PRICE FROM GOODS G WHERE G.ID < 100 OR G.ID > 300 ORDER BY G.ID",
                                         "--label", "ID=Код", "--run"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("[Код] = 5 ИЛИ [Код] = 305 ИЛИ [Код] = 200");
        return runLmpack(args);
    };
    const auto local = run({});
    const auto sql = run({"--sql-enabled", "--prefer-sql"});
    ASSERT_EQ(local.exitCode, 0) << local.err;
    ASSERT_EQ(sql.exitCode, 0) << sql.err;
    EXPECT_EQ(rows(local), 2);
    EXPECT_EQ(sql.out, "sql: AND (G.ID=5 OR G.ID=305 OR G.ID=200)\nrows: 2\n");
}

TEST_F(CliFilter, TheSqlRouteOpensTheQueryOnlyFiltered)
{
    // Row 5 cannot be fetched (a division by zero): only a query that is never opened without
    // the filter gets through.
    const auto r = runLmpack({"filter", "--db", db, "--query", "SELECT G.ID, 1/(G.ID-5) AS X FROM GOODS G", "--label",
                              "ID=Код", "--sql-enabled", "--prefer-sql", "--run", "[Код] > 10"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "sql: AND (G.ID>10)\nrows: 390\n");
}

TEST_F(CliFilter, ALabelThatWouldBecomeAnotherIsRefused)
{
    // "Цена☃" and "Цена♥" would both have become "Цена?", and the filter would compare the
    // field that took that label last.
    const auto r = runLmpack({"filter", "--db", db, "--query", "SELECT G.ID, G.PRICE FROM GOODS G", "--label",
                              "PRICE=Цена\xe2\x98\x83", "--label", "ID=Цена\xe2\x99\xa5", "[Цена?] > 1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "lmpack: --label is not UTF-8 text that Windows-1251 can hold\n");
}

TEST_F(CliFilter, BlankExpressionPrintsNothingAndBadOnesFail)
{
    auto r = filter({}, "   ");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");

    r = filter({}, "[Наименование] = = 5");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Ошибка составления фильтра", 0), 0u) << r.err;

    r = runLmpack({"filter", "--db", db});
    EXPECT_EQ(r.exitCode, 2);

    r = runLmpack({"filter", "--db", (dir / "missing.fdb").string(), "--query", "SELECT 1 FROM RDB$DATABASE", "x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.empty());
}

TEST_F(CliFilter, DemoDatabaseRefusesToOverwriteAFile)
{
    const auto r = runLmpack({"demo-db", db, "--rows", "10"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.empty());
}

} // namespace
