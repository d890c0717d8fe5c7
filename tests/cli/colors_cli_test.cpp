// lmpack colors over the demo database: rules imported from a .reg file colour the rows, and
// --check answers "ok" or the check's message.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "clirun.h"

using lmtest::runLmpack;

namespace {

class CliColors : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = std::filesystem::temp_directory_path() / ("lmpack-cli-colors-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        setenv("LMPACK_REGISTRY", (dir / "registry.db").c_str(), 1);
        db = (dir / "demo.fdb").string();
        const auto r = runLmpack({"demo-db", db, "--rows", "60"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite()
    {
        unsetenv("LMPACK_REGISTRY");
        std::filesystem::remove_all(dir);
    }
    static lmtest::CliResult colors(std::vector<std::string> extra)
    {
        std::vector<std::string> args = {"colors", "--db", db, "--query",
                                         "select g.ID, g.PRICE, g.QUANTITY from GOODS g where g.ID <= 6 order by g.ID",
                                         "--reg-path", "\\Software\\Demo\\Goods", "--label", "PRICE=Цена",
                                         "--label", "QUANTITY=Кол"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runLmpack(args);
    }
    static inline std::filesystem::path dir;
    static inline std::string db;
};

TEST_F(CliColors, RulesFromARegFileColourTheRows)
{
    // one formula rule (red font when the price is above 1000) and one field rule (yellow back
    // when the quantity is empty), written as REGEDIT4 in Windows-1251
    const std::string reg =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Demo\\Goods\\ColorGrid\\0]\r\n"
        "\"Type\"=dword:00000003\r\n\"ID\"=\"\"\r\n\"Operator\"=\"\"\r\n"
        "\"Value\"=\"<\xD6\xE5\xED\xE0> > 1000\"\r\n\"FontColor\"=dword:000000ff\r\n\"BackColor\"=dword:ff000005\r\n"
        "[HKEY_CURRENT_USER\\Software\\Demo\\Goods\\ColorGrid\\1]\r\n"
        "\"Type\"=dword:00000000\r\n\"ID\"=\"QUANTITY\"\r\n\"Operator\"=\"\xCF\xD3\xD1\xD2\xCE\"\r\n\"Value\"=\"\"\r\n"
        "\"FontColor\"=dword:ff000008\r\n\"BackColor\"=dword:0000ffff\r\n";
    std::ofstream(dir / "rules.reg", std::ios::binary) << reg;
    ASSERT_EQ(runLmpack({"reg", "import", (dir / "rules.reg").string()}).exitCode, 0);

    // each row carries the colours its SQL conditions give as its first field, printed before
    // the colours the rules give
    const auto r = runLmpack({"colors", "--db", db, "--query",
                              "select trim(iif(g.PRICE > 1000, 'clRed', 'clWindowText')) || ascii_char(9) || "
                              "trim(iif(g.QUANTITY is null, 'clYellow', 'clWindow')) as EXPECTED, g.PRICE, g.QUANTITY "
                              "from GOODS g order by g.ID",
                              "--reg-path", "\\Software\\Demo\\Goods", "--label", "PRICE=Цена", "--label",
                              "QUANTITY=Кол", "--print", "EXPECTED"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    int count = 0, red = 0, yellow = 0;
    while (std::getline(lines, line)) {
        ++count;
        const size_t mid = line.find('\t', line.find('\t') + 1);
        ASSERT_NE(mid, std::string::npos) << line;
        EXPECT_EQ(line.substr(0, mid), line.substr(mid + 1)) << line;
        red += line.rfind("clRed", 0) == 0;
        yellow += line.find("clYellow") != std::string::npos;
    }
    EXPECT_EQ(count, 60);
    EXPECT_GT(red, 0);
    EXPECT_GT(yellow, 0);
}

TEST_F(CliColors, CheckAnswersOkOrTheMessage)
{
    auto r = colors({"--check", "(<Цена> > 100) and (<Кол> < 5)"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "ok\n");
    r = colors({"--check", "<Цена> * 2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("Ошибка в формуле:\nНе правильный результат ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(". Ожидается True или False.\n"), std::string::npos);
    r = colors({"--check", "<Нет такого поля> = 1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Ошибка в формуле:\nПоле <Нет такого поля> не найдено\n");
    r = colors({"--check", ""});
    EXPECT_EQ(r.err, "Пустая формула!\n");
    EXPECT_EQ(runLmpack({"colors", "--db", db}).exitCode, 2);
}

} // namespace
