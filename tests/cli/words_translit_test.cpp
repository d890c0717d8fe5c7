// lmpack words and lmpack translit: exact output bytes (UTF-8, trailing blank kept) and exit
// codes, as scripts rely on them.
#include <gtest/gtest.h>

#include "clirun.h"

using lmtest::runLmpack;

TEST(CliWords, PrintsTheAmountExactlyWithItsTrailingBlank)
{
    auto r = runLmpack({"words", "rur", "21.01"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "двадцать один рубль одна копейка\n");
    EXPECT_EQ(r.err, "");
    r = runLmpack({"words", "rur", "1000"});
    EXPECT_EQ(r.out, "одна тысяча рублей \n");
    r = runLmpack({"words", "usd", "1,21"});  // a comma works as well as a point
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "один доллар двадцать один цент\n");
    r = runLmpack({"words", "rur", "-5"});
    EXPECT_EQ(r.out, "минус пять рублей \n");
}

TEST(CliWords, BadArgumentsPrintUsageAndExitWithTwo)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"words"}, {"words", "eur", "1"}, {"words", "rur"}, {"words", "rur", "1", "2"},
             {"words", "rur", "12abc"}, {"words", "rur", ""}}) {
        const auto r = runLmpack(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("lmpack words rur|usd AMOUNT"), std::string::npos) << r.err;
    }
}

TEST(CliWords, AnAmountOutOfRangeFailsWithItsMessage)
{
    const auto r = runLmpack({"words", "rur", "1e15"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Сумма вне допустимого диапазона\n");
}

TEST(CliTranslit, ConvertsUtf8BothWays)
{
    auto r = runLmpack({"translit", "re", "Щука"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "SCHuka\n");
    r = runLmpack({"translit", "er", "yozh i schuka "});
    EXPECT_EQ(r.out, "ёж и щука \n");
    r = runLmpack({"translit", "re", ""});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "\n");
}

TEST(CliTranslit, BadArgumentsPrintUsageAndExitWithTwo)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"translit"}, {"translit", "ru", "x"}, {"translit", "re"}, {"translit", "re", "a", "b"}}) {
        const auto r = runLmpack(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("lmpack translit re|er TEXT"), std::string::npos) << r.err;
    }
}
