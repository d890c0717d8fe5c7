// lmpack script eval and lmpack reg import/export: the exact text printed, the exit codes and the
// messages of bad input, with the settings store in a temporary file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "clirun.h"

using lmtest::runLmpack;

namespace {

TEST(CliScript, EvalPrintsValuesAsThePackageShowsThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1 + 2 * 3", "7\n"},
        {"5 / 2", "2,5\n"},
        {"Null + 1", "Null\n"},
        {"(1 > 0) and ('а' < 'б')", "True\n"},
        {"UpperCase('ёлка') + #33", "ЁЛКА!\n"},
        {"IIF(VarIsNull(Null), 'пусто', 'есть')", "пусто\n"},
    };
    for (const auto& [expr, out] : cases) {
        const auto r = runLmpack({"script", "eval", expr});
        EXPECT_EQ(r.exitCode, 0) << expr << r.err;
        EXPECT_EQ(r.out, out) << expr;
    }
    auto r = runLmpack({"script", "eval", "1 div 0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Division by zero\n");
    r = runLmpack({"script", "eval", "(1 +"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Строка 1, столбец 5: Ожидается выражение\n");
    EXPECT_EQ(runLmpack({"script", "run", "1"}).exitCode, 2);
}

class CliReg : public testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("lmpack-cli-reg-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        setenv("LMPACK_REGISTRY", (dir / "registry.db").c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("LMPACK_REGISTRY");
        std::filesystem::remove_all(dir);
    }
    std::string write(const std::string& name, const std::string& bytes)
    {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::filesystem::path dir;
};

TEST_F(CliReg, ImportThenExport)
{
    // REGEDIT4 in Windows-1251: "Цвет" is \xD6\xE2\xE5\xF2
    const std::string file = write("a.reg",
                                   "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\T\\\xD6\xE2\xE5\xF2]\r\n"
                                   "\"N\"=dword:0000002a\r\n\"S\"=\"a\\\\b\"\r\n\"B\"=hex:00\r\n");
    auto r = runLmpack({"reg", "import", file});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "Строка 6: параметр B пропущен: двоичные и прочие типы не поддерживаются\n");
    r = runLmpack({"reg", "export", "\\Software\\T"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\T\\Цвет]\r\n\"N\"=dword:0000002a\r\n\"S\"=\"a\\\\b\"\r\n\r\n");
    // the export, saved as it is, imports again
    r = runLmpack({"reg", "import", write("b.reg", r.out)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST_F(CliReg, AMalformedFileChangesNothing)
{
    const std::string file = write("bad.reg",
                                   "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n\"A\"=\"1\"\r\n\"B\"=dword:zz\r\n");
    auto r = runLmpack({"reg", "import", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, file + ": Строка 4: недопустимое значение dword\n");
    r = runLmpack({"reg", "export", "\\Software\\T"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Раздел не найден: \\Software\\T\n");
    EXPECT_EQ(runLmpack({"reg", "import", (dir / "none.reg").string()}).exitCode, 1);
    EXPECT_EQ(runLmpack({"reg", "import"}).exitCode, 2);
}

} // namespace
