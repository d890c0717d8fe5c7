// lmpack search, sort and sqlbuild over a real embedded database: exact output, both search
// modes agreeing, and the failures scripts see.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "../filter/demobuilder.h"
#include "clirun.h"
#include "util/cp1251.h"

using lmtest::runLmpack;

namespace {

const char* const kQuery = "select G.ID, G.NAME, G.PRICE, G.NOTE from GOODS G where G.ID <= 200";

class CliSearch : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = std::filesystem::temp_directory_path() / ("lmpack-cli-search-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        db = (dir / "demo.fdb").string();
        const auto r = runLmpack({"demo-db", db, "--rows", "300"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir); }

    static lmtest::CliResult search(std::vector<std::string> extra)
    {
        std::vector<std::string> args = {"search", "--db", db, "--query", kQuery, "--print", "NAME"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runLmpack(args);
    }

    static std::string file(const std::string& name, const std::string& bytes)
    {
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static inline std::filesystem::path dir;
    static inline std::string db;
};

TEST_F(CliSearch, LocalAndServerSearchPrintTheSameRows)
{
    const auto local = search({"NAME=таблетки аспирин", "NOTE=*"});
    ASSERT_EQ(local.exitCode, 0) << local.err;
    const auto server = search({"--server", "NAME=таблетки аспирин", "NOTE=*"});
    ASSERT_EQ(server.exitCode, 0) << server.err;
    const std::string sql = "sql:  and upper(G.NAME) like '%ТАБЛЕТКИ%' and upper(G.NAME) like '%АСПИРИН%' and 1=1\n";
    ASSERT_EQ(server.out.substr(0, sql.size()), sql);
    EXPECT_EQ(server.out.substr(sql.size()), local.out);
    EXPECT_NE(local.out.find("Аспирин таблетки"), std::string::npos);
    EXPECT_NE(local.out.find("\nrows: "), std::string::npos);

    const auto quoted = search({"--server", "NOTE='под заказ'"});
    ASSERT_EQ(quoted.exitCode, 0) << quoted.err;
    EXPECT_EQ(quoted.out.substr(0, quoted.out.find('\n')),
              "sql:  and upper(G.NOTE) like '%''ПОД%' and upper(G.NOTE) like '%ЗАКАЗ''%'");
    EXPECT_EQ(quoted.out.substr(quoted.out.find('\n') + 1), search({"NOTE='под заказ'"}).out);
}

TEST_F(CliSearch, MultiFieldSearchAndFailures)
{
    const auto multi = search({"--multi", "NAME;NOTE;", "*=заказ"});
    ASSERT_EQ(multi.exitCode, 0) << multi.err;
    const auto note = search({"NOTE=заказ"});
    EXPECT_EQ(multi.out, note.out);
    EXPECT_EQ(search({"NOPE=1"}).exitCode, 1);
    EXPECT_EQ(search({"--server", "PRICE=abc"}).exitCode, 1);
    EXPECT_EQ(search({}).exitCode, 2);
}

TEST_F(CliSearch, SortAppliesTextOrFileOrders)
{
    const std::vector<std::string> base = {"sort", "--db", db, "--query", "select G.ID, G.NAME, G.PRICE from GOODS G where G.ID <= 5"};
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        return runLmpack(args);
    };
    const auto plain = run({"--fields", "NOPE;", "--direct", "1", "--print", "ID"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, "1\n2\n3\n4\n5\n");  // an unknown field leaves the query's order
    const auto byPrice = run({"--fields", "PRICE;ID;", "--direct", "01", "--print", "PRICE,ID"});
    ASSERT_EQ(byPrice.exitCode, 0) << byPrice.err;
    const auto fromFile = run({"--srt", file("p.srt", "PRICE;ID;\r\n01\r\n"), "--print", "PRICE", "--print", "ID"});
    EXPECT_EQ(fromFile.out, byPrice.out);
    // tab-separated and by descending price
    double previous = 1e18;
    std::size_t start = 0, lines = 0;
    while (start < byPrice.out.size()) {
        const std::size_t end = byPrice.out.find('\n', start);
        std::string line = byPrice.out.substr(start, end - start);
        ASSERT_NE(line.find('\t'), std::string::npos);
        line = line.substr(0, line.find('\t'));
        std::replace(line.begin(), line.end(), ',', '.');
        const double price = line.empty() ? -1 : std::stod(line);
        EXPECT_LE(price, previous);
        previous = price;
        start = end + 1;
        ++lines;
    }
    EXPECT_EQ(lines, 5u);
    EXPECT_EQ(run({"--print", "ID"}).exitCode, 2);
}

TEST_F(CliSearch, SqlBuildPrintsTheStatementAndRunsIt)
{
    const std::string def = file("b.dfm", lm::utf8ToCp1251(lmtest::kDemoBuilderDfm));
    const std::string report = file("r.rpt",
                                    "object S: TSQLBuilderState\r\n  Fields = <\r\n    item\r\n      FieldName = 'VENDOR_COUNTRY'\r\n"
                                    "      SortKind = skAsc\r\n    end\r\n    item\r\n      FieldName = 'QTY'\r\n    end>\r\nend\r\n");
    const auto r = runLmpack({"sqlbuild", def, "--report", report});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "select \r\n\tC.NAME as VENDOR_COUNTRY,\r\n\tsum(G.QUANTITY) as QTY\r\n"
                     "from \tGOODS G\r\n\tinner join VENDOR V on (V.ID = G.VENDOR_ID) \r\n"
                     "\tinner join COUNTRY C on (C.ID = V.COUNTRY_ID) \r\ngroup by\r\n\tC.NAME\r\norder by 1\n");
    const auto run = runLmpack({"sqlbuild", def, "--report", report, "--db", db, "--run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\nРоссия\t"), std::string::npos);
    EXPECT_NE(run.out.find("\nrows: 12\n"), std::string::npos);

    const auto all = runLmpack({"sqlbuild", def, "--db", db, "--run"});
    ASSERT_EQ(all.exitCode, 0) << all.err;

    const std::string broken = file("x.dfm", "object B: TSQLBuilder\r\n  Tables = <\r\n    item\r\n      TableName = 'G'\r\n"
                                              "    end>\r\nend\r\n");
    const auto invalid = runLmpack({"sqlbuild", broken});
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.err, "B :\r\nСписок полей пуст\n");
    const auto unreadable = runLmpack({"sqlbuild", file("y.dfm", "object B: TSQLBuilder\r\n  X = )\r\nend")});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_EQ(unreadable.err, "Строка 2: неверное значение свойства\n");
}

} // namespace
