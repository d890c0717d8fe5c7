// File functions on real files in a temporary folder, and the service path rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"

#include "messageof.h"
#include "tempfolder.h"

using namespace lm;
using lm::test::messageOf;

namespace {

using FileFuncTest = lm::test::TempFolderTest;

} // namespace

TEST(FileFuncText, LastErrorStrCarriesCodeAndTrimmedSystemText)
{
    // The C library's text for ENOENT has no final period; EINVAL's neither, but the trim
    // must leave letters alone and drop nothing else.
    EXPECT_EQ(LastErrorStr(ENOENT), "Код: 2: No such file or directory"_w);
    errno = EACCES;
    EXPECT_EQ(LastErrorStr(), "Код: 13: Permission denied"_w);
    const std::string unknown = LastErrorStr(99999);
    EXPECT_EQ(unknown.rfind("Код: 99999: "_w, 0), 0u);
    EXPECT_NE(unknown.back(), '.');
    EXPECT_NE(unknown.back(), ' ');
}

TEST(FileFuncText, NormalDirKeepsTheWindowsBackslashRules)
{
    EXPECT_EQ(NormalDir(""), "");
    EXPECT_EQ(NormalDir("C"), "C:\\");
    EXPECT_EQ(NormalDir("z"), "z:\\");
    EXPECT_EQ(NormalDir("1"), "1\\");
    EXPECT_EQ(NormalDir("C:\\Data"), "C:\\Data\\");
    EXPECT_EQ(NormalDir("C:\\Data\\"), "C:\\Data\\");
    EXPECT_EQ(IncludeTrailingSlash("/tmp"), "/tmp/");
    EXPECT_EQ(IncludeTrailingSlash("/tmp/"), "/tmp/");
    EXPECT_EQ(IncludeTrailingSlash(""), "");
}

TEST(FileFuncText, MasksMatchLikeWindowsFileMasks)
{
    EXPECT_TRUE(MatchesMask("Report.FRF", "*.frf"));
    EXPECT_TRUE(MatchesMask("ОТЧЁТ.txt"_w, "отчёт.*"_w));
    EXPECT_TRUE(MatchesMask("noext", "*.*"));
    EXPECT_TRUE(MatchesMask("abc", "a?c"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.c"));
    EXPECT_TRUE(MatchesMask("aXbXc", "a*b*c"));
    EXPECT_FALSE(MatchesMask("a.txt.bak", "*.txt"));
    EXPECT_FALSE(MatchesMask("ac", "a?c"));
    EXPECT_FALSE(MatchesMask("abc", ""));
    EXPECT_TRUE(MatchesMask("", "*"));
}

TEST(FileFuncText, RussianRegionSettingsRestoresTheRussianConventions)
{
    const TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ThousandSeparator = ',';
    FormatSettings.ShortDateFormat = "M/d/yyyy";
    FormatSettings.DateSeparator = '/';
    RussianRegionSettings();
    EXPECT_EQ(FormatSettings.DecimalSeparator, ',');
    EXPECT_EQ(FormatSettings.DateSeparator, '.');
    EXPECT_EQ(FormatSettings.TimeSeparator, ':');
    EXPECT_EQ(FormatSettings.ShortTimeFormat, "h:nn");
    EXPECT_EQ(FormatSettings.LongTimeFormat, "h:nn:ss");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1\xA0" "234,50");
    EXPECT_EQ(DateToStr(EncodeDate(2007, 3, 5)), "05.03.2007");
    FormatSettings = saved;
}

TEST_F(FileFuncTest, CopyOverwritesAndKeepsContentModeAndTime)
{
    write("src.txt", std::string("line\r\n\0binary", 14));
    write("dst.txt", "old and longer text");
    ::chmod(ToSysPath(path("src.txt")).c_str(), 0640);
    ASSERT_TRUE(SetFileDateTime(path("src.txt"), EncodeDate(2007, 3, 5) + EncodeTime(10, 20, 30, 0)));
    CopyFileExcept(path("src.txt"), path("dst.txt"));
    EXPECT_EQ(read("dst.txt"), std::string("line\r\n\0binary", 14));
    struct stat st {};
    ::stat(ToSysPath(path("dst.txt")).c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_DOUBLE_EQ(FileDateTime(path("dst.txt")), EncodeDate(2007, 3, 5) + EncodeTime(10, 20, 30, 0));
    EXPECT_EQ(entries(), (std::vector<std::string>{"dst.txt", "src.txt"}));  // no temporary left
}

TEST_F(FileFuncTest, FailedOperationsRaiseTheirMessagesWithTheSystemError)
{
    write("file", "x");
    const std::string src = path("file");
    const std::string underFile = path("file/sub");  // fails for root as well
    EXPECT_EQ(messageOf([&] { CopyFileExcept(src, underFile); }),
              "Ошибка копирования файла "_w + src + " в "_w + underFile + ".\r\nКод: 20: Not a directory"_w);
    EXPECT_EQ(messageOf([&] { CopyFileExcept(dir, path("b")); }),
              "Ошибка копирования файла "_w + dir + " в "_w + path("b") + ".\r\nКод: 21: Is a directory"_w);
    EXPECT_EQ(messageOf([&] { MoveFileExcept(path("none"), path("b")); }),
              "Ошибка переименования файла "_w + path("none") + " в "_w + path("b") +
                  ":\r\nКод: 2: No such file or directory."_w);
    EXPECT_EQ(messageOf([&] { DeleteFileExcept(path("none")); }),
              "Ошибка удаления файла "_w + path("none") + " : Код: 2: No such file or directory."_w);
    EXPECT_EQ(messageOf([&] { CreateDirExcept(underFile); }),
              "Ошибка создания директории "_w + underFile + " : Код: 20: Not a directory"_w);
    EXPECT_EQ(messageOf([] { ForceDirectories(""); }), "Невозможно создать директорию \"\""_w);
    EXPECT_EQ(messageOf([&] { CheckDirectory(src); }), "Не найдена директория \""_w + src + "\"");
    try {
        DeleteFileExcept(path("none"));
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
    }
    EXPECT_FALSE(MoveFileRes(path("none"), path("b")));
    EXPECT_EQ(entries(), std::vector<std::string>{"file"});
}

TEST_F(FileFuncTest, MoveReplacesTheTargetAndDeleteRemoves)
{
    write("a", "new");
    write("b", "old");
    MoveFileExcept(path("a"), path("b"));
    EXPECT_EQ(read("b"), "new");
    EXPECT_FALSE(FileExists(path("a")));
    DeleteFileExcept(path("b"));
    EXPECT_TRUE(entries().empty());
}

TEST_F(FileFuncTest, ForceDirectoriesCreatesTheWholeChain)
{
    EXPECT_TRUE(ForceDirectories(path("a/b/c/")));
    EXPECT_TRUE(DirectoryExists(path("a/b/c")));
    EXPECT_TRUE(ForceDirectories(path("a/b")));
    EXPECT_TRUE(ForceDirectories("/"));
    EXPECT_EQ(CreateDirExcept(path("a/d")), path("a/d"));
    write("f", "");
    EXPECT_FALSE(ForceDirectories(path("f/g/h")));
    EXPECT_NO_THROW(CheckDirectory(path("a/d")));
}

TEST_F(FileFuncTest, ListingsSkipDirectoriesDuplicatesAndConvertNames)
{
    write("one.frf", "1");
    write("two.FRF", "22");
    write("Отчёт.frf"_w, "333");
    write("skip.txt", "");
    ForceDirectories(path("sub.frf"));
    ForceDirectories(path("sub.frf/deep"));
    write("sub.frf/deep/in.frf", "");

    std::vector<std::string> list{"one.frf"};
    CreateFileList(dir, "*.frf", list);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{"one.frf", "two.FRF", "Отчёт.frf"_w}));

    std::vector<std::string> dirs;
    CreateDirList(dir, dirs);
    EXPECT_EQ(dirs, std::vector<std::string>{"sub.frf"});

    std::vector<std::string> all;
    RecursiveFileList(dir, "*.frf", all);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{path("one.frf"), path("sub.frf/deep/in.frf"), path("two.FRF"),
                                             path("Отчёт.frf"_w)}));

    EXPECT_EQ(GetFileSize(path("Отчёт.frf"_w)), 3);
    EXPECT_EQ(GetFileSize(path("sub.frf")), -1);
    EXPECT_EQ(GetFileSize(path("none")), -1);
    EXPECT_EQ(FileDateTime(path("none")), 0);
    EXPECT_GT(GetDiskFreeSpace(dir), 0);
    EXPECT_EQ(GetDiskFreeSpace(path("none")), 0);
    EXPECT_EQ(GetFileVersion(path("one.frf")), "");
}

TEST_F(FileFuncTest, CopyFilesCountsCopiesAndStopsAtTheFirstFailure)
{
    write("a.txt", "a");
    write("b.txt", "b");
    write("c.dat", "c");
    ForceDirectories(path("d.txt"));
    ForceDirectories(path("out"));
    EXPECT_EQ(CopyFiles(dir, path("out"), "*.txt"), 2);
    EXPECT_EQ(read("out/b.txt"), "b");
    write("blocker", "");
    EXPECT_EQ(CopyFiles(dir, path("blocker/sub"), "*.txt"), -1);
    EXPECT_EQ(CopyFiles(dir, path("out/"), "*.none"), 0);
}

TEST_F(FileFuncTest, RemoveDirKeepsTheRootOnRequestAndNeverFollowsLinks)
{
    char outside[] = "/tmp/lmoutsideXXXXXX";
    ASSERT_NE(::mkdtemp(outside), nullptr);
    const std::string keep = std::string(outside) + "/keep";
    std::ofstream(keep) << "k";
    ForceDirectories(path("tree/a/b"));
    write("tree/a/b/f", "");
    write("tree/g", "");
    ASSERT_EQ(::symlink(outside, ToSysPath(path("tree/link")).c_str()), 0);

    std::vector<std::string> all;
    RecursiveFileList(path("tree"), "*", all);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{path("tree/a/b/f"), path("tree/g")}));

    RemoveDir(path("tree"), true);
    EXPECT_TRUE(DirectoryExists(path("tree")));
    std::vector<std::string> left;
    CreateDirList(path("tree"), left);
    CreateFileList(path("tree"), "*", left);
    EXPECT_TRUE(left.empty());
    EXPECT_TRUE(FileExists(keep));
    RemoveDir(path("tree"));
    EXPECT_FALSE(DirectoryExists(path("tree")));
    RemoveDir(outside);
}

TEST_F(FileFuncTest, ClearReadOnlyAttrAndSetFileDateTimeOnOddInput)
{
    write("ro", "x");
    const std::string sys = ToSysPath(path("ro"));
    ::chmod(sys.c_str(), 0444);
    ClearReadOnlyAttr(path("ro"));
    struct stat st {};
    ::stat(sys.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ClearReadOnlyAttr(path("none"));
    EXPECT_FALSE(SetFileDateTime(path("ro"), 1e300));
    EXPECT_FALSE(SetFileDateTime(path("none"), EncodeDate(2007, 3, 5)));
}

TEST(ServiceExe, ImagePathRulesTakeTheProgramPath)
{
    const TEnvLookup env = [](const std::string& name) {
        return name == "SystemRoot" ? std::string("C:\\Windows") : std::string();
    };
    EXPECT_EQ(ServiceExeFromImagePath("  \"C:\\Program Files\\Fb\\fbserver.exe\" -s x ", env),
              "C:\\Program Files\\Fb\\fbserver.exe");
    EXPECT_EQ(ServiceExeFromImagePath("\"unterminated path", env), "unterminated path");
    EXPECT_EQ(ServiceExeFromImagePath("C:\\Program Files\\Firebird\\bin\\fbguard.exe -s", env),
              "C:\\Program Files\\Firebird\\bin\\fbguard.exe");
    EXPECT_EQ(ServiceExeFromImagePath("c:\\program files\\a b\\x.exe", env), "c:\\program files\\a");
    EXPECT_EQ(ServiceExeFromImagePath("%SystemRoot%\\System32\\svchost.exe -k netsvcs", env),
              "C:\\Windows\\System32\\svchost.exe");
    EXPECT_EQ(ServiceExeFromImagePath("%SystemRoot%\\a\\%SystemRoot%\\b.exe", env), "C:\\Windows\\a\\C:\\Windows\\b.exe");
    EXPECT_EQ(ServiceExeFromImagePath("%%\\a.exe", env), "%%\\a.exe");
    EXPECT_EQ(ServiceExeFromImagePath("%Unset%\\a.exe", env), "\\a.exe");
    EXPECT_EQ(ServiceExeFromImagePath("/usr/sbin/fbguard -pidfile /run/fb.pid", env), "/usr/sbin/fbguard");
    EXPECT_EQ(ServiceExeFromImagePath("", env), "");
}

TEST(ServiceExe, ExecStartIsReadFromTheServiceSection)
{
    EXPECT_EQ(UnitExecStart("[Unit]\nExecStart=/wrong\n[Service]\r\n# ExecStart=/comment\n"
                            "ExecStart = -@/usr/bin/a \\\n  --flag\nExecStart=/usr/bin/second\n"),
              "/usr/bin/a    --flag");
    EXPECT_EQ(UnitExecStart("[Service]\nExecStart=/first\nExecStart=\nExecStart=/after/reset\n"), "/after/reset");
    EXPECT_EQ(UnitExecStart("[Service]\nType=simple\n"), "");
}

TEST_F(FileFuncTest, GetServiceExeSearchesTheUnitFoldersInOrder)
{
    ForceDirectories(path("etc"));
    ForceDirectories(path("lib"));
    write("etc/fb.service", "[Service]\nExecStart=/opt/firebird/bin/fbguard -daemon\n");
    write("lib/fb.service", "[Service]\nExecStart=/lib/other\n");
    write("lib/only.service", "[Service]\nExecStart=\"/opt/My App/run\" --x\n");
    SetServiceUnitDirs({path("etc"), path("lib")});
    EXPECT_EQ(GetServiceExe("fb"), "/opt/firebird/bin/fbguard");
    EXPECT_EQ(GetServiceExe("only.service"), "/opt/My App/run");
    EXPECT_EQ(GetServiceExe("missing"), "");
    EXPECT_EQ(GetServiceExe("../lib/fb"), "");
    SetServiceUnitDirs({});
    EXPECT_EQ(ServiceUnitDirs().front(), "/etc/systemd/system");
}
