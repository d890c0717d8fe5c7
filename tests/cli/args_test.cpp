// What lmpack does with arguments it cannot take as given and with output it cannot write:
// refused or failed, never done on other text or reported as success.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "clirun.h"

using lmtest::runLmpack;

TEST(CliArgs, TextThatWindows1251CannotHoldIsRefusedByName)
{
    // Malformed UTF-8, an overlong zero (it would end the text), a surrogate, a character the
    // code page lacks: each once became "?" or cut the text short.
    for (const std::string bad : {"a\xff", "a\xc0\x80z", "\xed\xa0\x80", "\xe2\x98\x83", "\xd0", "\xe4\xb8\xad"}) {
        auto r = runLmpack({"translit", "re", bad});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "lmpack: TEXT is not UTF-8 text that Windows-1251 can hold\n");
        r = runLmpack({"words", "rur", "1" + bad});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find("AMOUNT"), std::string::npos) << r.err;
        r = runLmpack({"xml", "get", "/nonexistent.xml", "a/" + bad});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find("PATH"), std::string::npos) << r.err;
    }
    // Everything the code page holds goes through: Ё, №, the euro sign, the no-break space.
    const auto r = runLmpack({"translit", "re", "Ёж № € \xc2\xa0"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(CliArgs, OutputThatCannotBeWrittenIsAFailure)
{
    const std::string exe = LMPACK_EXE;
    const auto status = [](const std::string& command) {
        const int s = std::system(command.c_str());
        return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    };
    EXPECT_EQ(status(exe + " words rur 5 > /dev/full 2>/dev/null"), 1);
    EXPECT_EQ(status(exe + " translit re abc >&- 2>/dev/null"), 1);
    EXPECT_EQ(status(exe + " words rur 5 > /dev/null"), 0);
    // The message says why.
    EXPECT_EQ(status(exe + " words rur 5 2>&1 > /dev/full | grep -q 'cannot write the output: No space left on device'"), 0);
}

TEST(CliArgs, DemoDbRowsMustBeANumber)
{
    for (const std::string rows : {"", " 5", "+5", "5x", "-1", "1000000000"}) {
        const auto r = runLmpack({"demo-db", "/nonexistent/demo.fdb", "--rows", rows});
        EXPECT_EQ(r.exitCode, 2) << "[" << rows << "]";
        EXPECT_NE(r.err.find("lmpack demo-db PATH [--rows N]"), std::string::npos) << r.err;
    }
}
