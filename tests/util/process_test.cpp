// Command-line switches and real child processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/strs_files.h"

#include "messageof.h"

using namespace lm;
using lm::test::messageOf;

namespace {

std::vector<std::string> runLines(const std::string& cmdLine, int* exitCode = nullptr, const std::string& dir = "")
{
    std::vector<std::string> lines;
    const int code = ExecLogOutput(cmdLine, dir, [&](const std::string& line) { lines.push_back(line); });
    if (exitCode)
        *exitCode = code;
    return lines;
}

bool noChildLeft()
{
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

} // namespace

TEST(CmdLine, SwitchesAndTheirParameters)
{
    const auto saved = CmdLineArgs();
    SetCmdLineArgs({"prog", "-DB", "base.gdb", "/Log", "/var/log/x.log", "-user"});
    EXPECT_EQ(FindCmdLineSwitchN("db"), 1);
    EXPECT_EQ(FindCmdLineSwitchN("log"), 3);
    EXPECT_EQ(FindCmdLineSwitchN("prog"), 0);
    EXPECT_EQ(FindCmdLineSwitchN("base.gdb"), 0);
    EXPECT_EQ(FindCmdLineParam("db"), "base.gdb");
    EXPECT_EQ(FindCmdLineParam("LOG"), "/var/log/x.log");
    EXPECT_EQ(FindCmdLineParam("user"), "");  // last argument
    EXPECT_EQ(FindCmdLineParam("none"), "");
    SetCmdLineArgs({"prog", "-db", "-x"});
    EXPECT_EQ(FindCmdLineParam("db"), "");
    const char* argv[] = {"prog", "-отчёт", "файл"};
    SetCmdLineArgs(3, argv);
    EXPECT_EQ(FindCmdLineParam("ОТЧЁТ"_w), "файл"_w);
    SetCmdLineArgs(saved);
}

TEST(CmdLine, DefaultArgumentsComeFromTheProcess)
{
    ASSERT_FALSE(CmdLineArgs().empty());
    EXPECT_EQ(CmdLineArgs()[0], program_invocation_name);
}

TEST(CmdLine, SplitFollowsShellQuotingWithoutExpansion)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitCmdLine("  a  b\tc "), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitCmdLine("/bin/sh -c 'printf \"%s\" $HOME'"), (V{"/bin/sh", "-c", "printf \"%s\" $HOME"}));
    EXPECT_EQ(SplitCmdLine("\"a b\"c \"q\\\"\\\\\" x\\ y ''"), (V{"a bc", "q\"\\", "x y", ""}));
    EXPECT_EQ(SplitCmdLine("'unclosed"), (V{"unclosed"}));
    EXPECT_TRUE(SplitCmdLine("   ").empty());
}

TEST(ExecLogOutput, PassesCrLfLinesAndReturnsTheExitCode)
{
    int code = -1;
    EXPECT_EQ(runLines("/bin/sh -c 'printf \"a\\r\\nb\\r\\n\"'", &code), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(runLines("/bin/sh -c 'printf \"x\\n\\ny\\rz\\n\"; echo err >&2; printf last; exit 3'", &code),
              (std::vector<std::string>{"x", "", "y\rz", "err", "last"}));
    EXPECT_EQ(code, 3);
    EXPECT_EQ(runLines("sh -c 'kill -9 $$'", &code), std::vector<std::string>{});
    EXPECT_EQ(code, 128 + 9);
    EXPECT_TRUE(noChildLeft());
}

TEST(ExecLogOutput, ConvertsUtf8EvenWhenACharacterSpansTwoReads)
{
    // 1023 bytes, then a two-byte letter across the 1024-byte read boundary.
    const std::string line = std::string(1023, 'x') + "Щука"_w;
    EXPECT_EQ(runLines("printf '%s\\n' '" + line + "'"),
              std::vector<std::string>{std::string(1023, 'x') + "Щука"_w});
    EXPECT_EQ(runLines("echo " + std::string("Ёж"_w)), std::vector<std::string>{"Ёж"_w});
}

TEST(ExecLogOutput, RunsInTheGivenFolderAndReportsStartFailures)
{
    EXPECT_EQ(runLines("pwd", nullptr, "/usr"), std::vector<std::string>{"/usr"});
    auto message = [](const std::string& cmd, const std::string& dir) {
        return messageOf([&] { ExecLogOutput(cmd, dir, nullptr); });
    };
    EXPECT_EQ(message("/no/such/program -x", ""),
              "Ошибка запуска программы \"/no/such/program -x\":\r\nКод: 2: No such file or directory"_w);
    EXPECT_EQ(message("pwd", "/no/such/dir"), "Ошибка запуска программы \"pwd\":\r\nКод: 2: No such file or directory"_w);
    EXPECT_EQ(message("  ", "").rfind("Ошибка запуска программы \"  \":\r\nКод: 2:"_w, 0), 0u);
    EXPECT_TRUE(noChildLeft());
}

TEST(ExecLogOutput, TheProgramGetsNoOtherOpenFiles)
{
    ASSERT_EQ(::dup2(2, 50), 50);  // inheritable, as files opened by other libraries may be
    const auto fds = runLines("ls /proc/self/fd");
    ::close(50);
    EXPECT_EQ(std::count(fds.begin(), fds.end(), "50"), 0);
    EXPECT_EQ(std::count(fds.begin(), fds.end(), "1"), 1);
}

TEST(ExecLogOutput, AnAbortInTheCallbackEndsTheProgramAndReapsIt)
{
    int calls = 0;
    EXPECT_THROW(ExecLogOutput("yes", "",
                               [&](const std::string&) {
                                   if (++calls == 3)
                                       throw EAbort();
                               }),
                 EAbort);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(noChildLeft());
}

TEST(ExecAndWait, KeepsTheInterfaceLiveUntilTheProgramEnds)
{
    char tmpl[] = "/tmp/lmexecXXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string marker = std::string(tmpl) + "/done";
    int polls = 0;
    SetProcessMessagesHook([&] { ++polls; return true; });
    EXPECT_TRUE(ExecAndWait("/bin/sh", "-c 'sleep 0.2; echo > " + marker + "'"));
    EXPECT_TRUE(FileExists(marker));
    EXPECT_GT(polls, 3);
    EXPECT_TRUE(noChildLeft());
    EXPECT_FALSE(ExecAndWait("/no/such/program", ""));
    EXPECT_FALSE(ExecAndWait("", ""));

    // A terminating application stops waiting: the program is still running afterwards.
    polls = 0;
    SetProcessMessagesHook([&] { ++polls; return false; });
    EXPECT_TRUE(ExecAndWait("sleep", "0.5"));
    EXPECT_EQ(polls, 1);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), 0);
    SetProcessMessagesHook(nullptr);
    ::wait(nullptr);
    RemoveDir(tmpl);
}

TEST(ExecAndWait, OpensDocumentsAndUrlsWithTheDesktopOpener)
{
    // A stand-in for the desktop's xdg-open that notes what it was asked to open; it fails for
    // a target that no application would take.
    char tmpl[] = "/tmp/lmopenXXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl, log = dir + "/opened";
    StrtoFile("#!/bin/sh\ncase \"$1\" in *.none) exit 3;; esac\necho \"$#:$1\" >> " + log + "\n",
              dir + "/xdg-open");
    ASSERT_EQ(::chmod((dir + "/xdg-open").c_str(), 0755), 0);
    StrtoFile("report", dir + "/report.pdf");
    StrtoFile("x", dir + "/x.none");
    const std::string savedPath = std::getenv("PATH");
    ::setenv("PATH", (dir + ":" + savedPath).c_str(), 1);
    SetProcessMessagesHook([] { return true; });

    EXPECT_TRUE(ExecAndWait(dir + "/report.pdf", "ignored args"));
    EXPECT_TRUE(ExecAndWait("https://example.org/a b?x=1", ""));
    EXPECT_TRUE(ExecAndWait("mailto:shop@example.org", ""));
    EXPECT_TRUE(ExecAndWait(dir, ""));
    EXPECT_FALSE(ExecAndWait(dir + "/x.none", ""));
    // A program is still run, not opened.
    EXPECT_TRUE(ExecAndWait("/bin/sh", "-c 'echo 1:program >> " + log + "'"));

    SetProcessMessagesHook(nullptr);
    ::setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(FileToStr(log), "1:" + dir + "/report.pdf\n1:https://example.org/a b?x=1\n"
                              "1:mailto:shop@example.org\n1:" + dir + "\n1:program\n");
    EXPECT_TRUE(noChildLeft());
    RemoveDir(dir);
}
