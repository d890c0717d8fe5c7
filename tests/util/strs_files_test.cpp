// Whole-file helpers, directory listing by mask, INI values and freeing list objects, on a
// temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/fastlist.h"
#include "util/stringrecs.h"
#include "util/strs_files.h"

using namespace lm;
namespace fs = std::filesystem;

namespace {

class StrsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "lmstrsXXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const std::string& name) const { return m_dir + "/" + name; }
    // The names left in the folder, to see that no temporary file stays behind.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string m_dir;
};

} // namespace

TEST_F(StrsFiles, WholeFilesRoundTripRawBytes)
{
    const std::string bytes = std::string("a\0b\r\n\xFF", 6) + "Ёж"_w;
    StrtoFile(bytes, path("f.bin"));
    EXPECT_EQ(FileToStr(path("f.bin")), bytes);
    ::chmod(path("f.bin").c_str(), 0640);
    StrtoFile("new", path("f.bin"));
    EXPECT_EQ(FileToStr(path("f.bin")), "new");
    struct stat st {};
    ASSERT_EQ(::stat(path("f.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its permission bits
    FileAppend(path("f.bin"), "+more");
    EXPECT_EQ(FileToStr(path("f.bin")), "new+more");
    EXPECT_EQ(entries(), std::vector<std::string>{"f.bin"});
}

TEST_F(StrsFiles, AppendingWhileAnotherWriterHoldsTheFileFails)
{
    StrtoFile("a", path("log.txt"));
    const int other = ::open(path("log.txt").c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    EXPECT_THROW(FileAppend(path("log.txt"), "b"), EInOutError);
    ::close(other);
    FileAppend(path("log.txt"), "c");
    EXPECT_EQ(FileToStr(path("log.txt")), "ac");
}

TEST_F(StrsFiles, RussianNamesReachTheFileSystemAsUtf8)
{
    StrtoFile("x", path("отчёт.txt"_w));
    EXPECT_TRUE(fs::exists(cp1251ToUtf8(path("отчёт.txt"_w))));
    EXPECT_EQ(FileToStr(path("отчёт.txt"_w)), "x");
}

TEST_F(StrsFiles, FailuresRaiseWithTheSystemError)
{
    try {
        FileToStr(path("missing"));
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_TRUE(e.Message().starts_with("Cannot open file \"" + path("missing") + "\". "));
    }
    EXPECT_THROW(FileToStr(m_dir), EInOutError);                  // a directory
    EXPECT_THROW(FileAppend(path("missing"), "x"), EInOutError);  // appending needs the file
    EXPECT_THROW(StrtoFile("x", path("no/such/dir/f")), EInOutError);
    EXPECT_TRUE(entries().empty());
}

TEST_F(StrsFiles, DirectoryListingsTakeMasksAndBothSeparators)
{
    for (const char* name : {"b.frf", "a.FRF", "c.fr3", "README", ".hidden.frf"})
        StrtoFile("", path(name));
    fs::create_directory(path("sub.frf"));
    TFastList list;
    list.Add("stale");
    DirectorytoStringList(m_dir + "/*.frf", list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(0), "a.FRF");
    EXPECT_EQ(list.Strings(1), "b.frf");
    DirectorytoStringList(m_dir + "\\", list);
    EXPECT_EQ(list.Count(), 4);  // every file, README included, no folder, no dot file
    DirectorytoStringList(m_dir + "/nope/*.*", list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(StrsFiles, IniValuesAreReadAndWritten)
{
    const std::string ini = path("app.ini");
    EXPECT_EQ(ReadIni(ini, "Main", "Key"), "");
    WriteIni(ini, "Main", "Key", "1");
    WriteIni(ini, "Main", "Other", "two words");
    WriteIni(ini, "Second", "Key", "x");
    WriteIni(ini, "main", "KEY", "3");  // names ignore letter case
    EXPECT_EQ(FileToStr(ini), "[Main]\r\nKEY=3\r\nOther=two words\r\n\r\n[Second]\r\nKey=x\r\n");
    EXPECT_EQ(ReadIni(ini, "MAIN", "key"), "3");
    EXPECT_EQ(ReadIni(ini, "Second", "Other"), "");
    EXPECT_EQ(ReadIni(ini, "Third", "Key"), "");
    EXPECT_EQ(entries(), std::vector<std::string>{"app.ini"});
}

TEST_F(StrsFiles, IniFilesWrittenByHandAreUnderstood)
{
    const std::string ini = path("hand.ini");
    StrtoFile("top=0\n; comment=no\n[ Db ]\n  Path = \"C:\\base.gdb\" \nUser=SYSDBA\n\n[Ui]\nLang=ru\n", ini);
    EXPECT_EQ(ReadIni(ini, "Db", "Path"), "C:\\base.gdb");
    EXPECT_EQ(ReadIni(ini, "Db", "Lang"), "");
    WriteIni(ini, "Db", "Role", "admin");
    EXPECT_EQ(ReadIni(ini, "Db", "Role"), "admin");
    EXPECT_EQ(ReadIni(ini, "Ui", "Lang"), "ru");
    EXPECT_EQ(FileToStr(ini),
              "top=0\r\n; comment=no\r\n[ Db ]\r\n  Path = \"C:\\base.gdb\" \r\nUser=SYSDBA\r\nRole=admin\r\n"
              "\r\n[Ui]\r\nLang=ru\r\n");
}

TEST_F(StrsFiles, IniWritesThatWouldForgeOtherEntriesAreRefused)
{
    const std::string ini = path("safe.ini");
    WriteIni(ini, "Main", "Key", "1");
    EXPECT_THROW(WriteIni(ini, "Main", "Key", "1\r\n[Admin]\r\nPass=x"), Exception);
    EXPECT_THROW(WriteIni(ini, "Main", "K=V", "1"), Exception);
    EXPECT_THROW(WriteIni(ini, "Ma]in", "Key", "1"), Exception);
    EXPECT_EQ(FileToStr(ini), "[Main]\r\nKey=1\r\n");
}

TEST(StrsLists, FreeListObjectsDeletesAndClearsTheLinks)
{
    TFastList list;
    list.AddObject("a", new TStringRec("x"));
    list.Add("b");
    FreeListObjects(list);  // leak checkers see a leak when this frees nothing
    EXPECT_EQ(list.Objects(0), nullptr);
    EXPECT_EQ(list.Count(), 2);
}
