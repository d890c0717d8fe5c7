// lmpack export and lmpack import over a real embedded database: both formats written and read
// back row for row, the title levels, and nothing left at OUT when the export fails.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "clirun.h"

using lmtest::runLmpack;

namespace {

class CliExport : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = std::filesystem::temp_directory_path() / ("lmpack-cli-export-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        db = (dir / "demo.fdb").string();
        const auto r = runLmpack({"demo-db", db, "--rows", "60"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(dir); }

    static lmtest::CliResult exportTo(const std::string& format, const std::string& out, const std::string& query)
    {
        return runLmpack({"export", "--db", db, "--query", query, format, out, "--title", "Товары", "--sheet", "Остатки",
                          "--multiheader", "--label", "NAME=Товар|Название", "--label", "PRICE=Товар|Цена"});
    }

    static inline std::filesystem::path dir;
    static inline std::string db;
};

const char* const kQuery = "SELECT ID, NAME, PRICE, QUANTITY, REG_DATE FROM GOODS WHERE ID <= 40 ORDER BY ID";

TEST_F(CliExport, BothFormatsImportBackRowForRow)
{
    const std::string xlsx = (dir / "goods.xlsx").string(), ods = (dir / "goods.ods").string();
    auto r = exportTo("--xlsx", xlsx, kQuery);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = exportTo("--ods", ods, kQuery);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // Two title rows, so the records start in row 3.
    const auto fromXlsx = runLmpack({"import", "--file", xlsx, "--start-row", "3", "--key-col", "1"});
    const auto fromOds = runLmpack({"import", "--file", ods, "--start-row", "3", "--key-col", "1", "--sheet", "1"});
    ASSERT_EQ(fromXlsx.exitCode, 0) << fromXlsx.err;
    ASSERT_EQ(fromOds.exitCode, 0) << fromOds.err;
    EXPECT_EQ(fromXlsx.out, fromOds.out);
    std::istringstream lines(fromXlsx.out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_EQ(line.substr(0, line.find('\t')), std::to_string(count));
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
    }
    EXPECT_EQ(count, 40);

    const auto titles = runLmpack({"import", "--file", xlsx, "--start-row", "1", "--key-col", "2"});
    ASSERT_EQ(titles.exitCode, 0) << titles.err;
    EXPECT_EQ(titles.out.substr(0, titles.out.find('\n')), "ID\tТовар\t\tQUANTITY\tREG_DATE");
}

TEST_F(CliExport, FailuresLeaveNothingAtTheTarget)
{
    const std::string out = (dir / "bad.ods").string();
    auto r = exportTo("--ods", out, "SELECT NO_SUCH_COLUMN FROM GOODS");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    r = exportTo("--xlsx", (dir / "missing" / "sub" / "a.xlsx").string(), kQuery);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Ошибка записи файла"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

    r = runLmpack({"import", "--file", (dir / "demo.fdb").string(), "--start-row", "1", "--key-col", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("не является книгой xlsx или ods"), std::string::npos) << r.err;
    EXPECT_EQ(runLmpack({"import", "--file", out, "--start-row", "0", "--key-col", "1"}).exitCode, 2);
    EXPECT_EQ(runLmpack({"export", "--db", db, "--query", kQuery}).exitCode, 2);
}

} // namespace
