// How the file writers replace a file: permissions honoured, links followed, modes kept, the
// file written in place when its folder takes no new file, leftovers of killed saves removed.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/filereplacer.h"
#include "util/fastlist.h"
#include "util/strs_files.h"

#include "asnobody.h"
#include "messageof.h"

using namespace lm;
using lm::test::asNobody;
using lm::test::messageOf;

namespace {

class FileReplacerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/lmreplaceXXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    }
    void TearDown() override
    {
        ::chmod(dir.c_str(), 0755);
        RemoveDir(dir);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& text, mode_t mode = 0644) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
        ::chmod(path(name).c_str(), mode);
    }
    static std::string read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static mode_t modeOf(const std::string& file)
    {
        struct stat st {};
        return ::lstat(file.c_str(), &st) == 0 ? st.st_mode : 0;
    }
    void giveToNobody(const std::string& file) const { ASSERT_EQ(::chown(file.c_str(), test::kNobody, test::kNogroup), 0); }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> list;
        CreateFileList(dir, "*", list);
        std::sort(list.begin(), list.end());
        return list;
    }

    std::string dir;
};

// Each writer, given a file name and the text to write.
const std::pair<const char*, std::function<void(const std::string&, const std::string&)>> kWriters[] = {
    {"StrtoFile", [](const std::string& f, const std::string& text) { StrtoFile(text, f); }},
    {"WriteIni", [](const std::string& f, const std::string& text) { WriteIni(f, "S", "K", text); }},
    {"SaveToFile",
     [](const std::string& f, const std::string& text) {
         TFastList list;
         list.Add(text);
         list.SaveToFile(f);
     }},
    {"CopyFileExcept",
     [](const std::string& f, const std::string& text) {
         // The source sits in /tmp; a copy takes its mode, so it gets the file's.
         const std::string src = "/tmp/lmreplace-src-" + std::to_string(::getpid());
         StrtoFile(text, src);
         struct stat st {};
         ::chmod(src.c_str(), ::stat(f.c_str(), &st) == 0 ? st.st_mode & 07777 : 0644);
         struct Remove {
             std::string name;
             ~Remove() { ::unlink(name.c_str()); }
         } remove{src};
         CopyFileExcept(src, f);
     }},
};

} // namespace

TEST_F(FileReplacerTest, ReadOnlyFileIsRefusedAsADirectWriteWouldBe)
{
    // The folder is nobody's, so a rename over the file would succeed: only the check stops it.
    giveToNobody(dir);
    write("ro.txt", "old", 0444);
    giveToNobody(path("ro.txt"));
    const std::string result = asNobody([&]() -> std::string {
        for (const auto& [name, writer] : kWriters) {
            const std::string message = messageOf([&] { writer(path("ro.txt"), "new"); });
            if (message.find("Код: 13: Permission denied"_w) == std::string::npos)
                return std::string(name) + ": " + message;
            if (read(path("ro.txt")) != "old")
                return std::string(name) + " changed the file";
        }
        return {};
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(modeOf(path("ro.txt")) & 07777, 0444u);
    EXPECT_EQ(entries(), (std::vector<std::string>{"ro.txt"}));
}

TEST_F(FileReplacerTest, WritableFileInAReadOnlyFolderIsWrittenInPlace)
{
    write("w.txt", "a much longer old content", 0644);
    giveToNobody(path("w.txt"));
    write("ro.txt", "old", 0444);
    giveToNobody(path("ro.txt"));
    // dir stays root's with mode 0755: nobody cannot make a file in it.
    const std::string result = asNobody([&]() -> std::string {
        for (const auto& [name, writer] : kWriters) {
            writer(path("w.txt"), name);
            if (read(path("w.txt")).find(name) == std::string::npos)
                return std::string(name) + " wrote " + read(path("w.txt"));
        }
        // Nothing of the longer old content is left behind the new one.
        if (read(path("w.txt")) != "CopyFileExcept")
            return "content left: " + read(path("w.txt"));
        return {};
    });
    EXPECT_EQ(result, "");
    EXPECT_EQ(entries(), (std::vector<std::string>{"ro.txt", "w.txt"}));
}

TEST_F(FileReplacerTest, LinksAreFollowedAndTheTargetReplacedInItsOwnFolder)
{
    ASSERT_TRUE(ForceDirectories(path("conf")));
    ASSERT_TRUE(ForceDirectories(path("links")));
    write("conf/settings.ini", "[S]\r\nK=old\r\n", 0640);
    ASSERT_EQ(::symlink("../conf/settings.ini", path("links/settings.ini").c_str()), 0);
    ASSERT_EQ(::symlink("settings.ini", path("links/second").c_str()), 0);  // a link to the link
    for (const auto& [name, writer] : kWriters) {
        writer(path("links/second"), name);
        EXPECT_TRUE(S_ISLNK(modeOf(path("links/settings.ini")))) << name;
        EXPECT_TRUE(S_ISLNK(modeOf(path("links/second")))) << name;
        EXPECT_NE(read(path("conf/settings.ini")).find(name), std::string::npos) << name;
        EXPECT_EQ(modeOf(path("conf/settings.ini")) & 07777, 0640u) << name;
    }
    std::vector<std::string> links;
    CreateFileList(path("links"), "*", links);
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, (std::vector<std::string>{"second", "settings.ini"}));
    // A link that names a file not yet there makes that file.
    ASSERT_EQ(::symlink("../conf/new.txt", path("links/new").c_str()), 0);
    StrtoFile("made", path("links/new"));
    EXPECT_EQ(read(path("conf/new.txt")), "made");
    EXPECT_TRUE(S_ISLNK(modeOf(path("links/new"))));
}

TEST_F(FileReplacerTest, LeftoversOfAKilledSaveGoWithTheNextSave)
{
    // A process that has ended, and this one, which is still running.
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    write("doc.xml", "old");
    write("doc.xml.~" + std::to_string(dead) + ".3", "half");
    write("doc.xml.~" + std::to_string(::getpid()) + ".999999", "in progress");
    write("other.xml.~" + std::to_string(dead) + ".1", "not ours");
    write("doc.xml.~x.1", "no process id");
    StrtoFile("new", path("doc.xml"));
    EXPECT_EQ(read(path("doc.xml")), "new");
    EXPECT_EQ(entries(), (std::vector<std::string>{"doc.xml", "doc.xml.~" + std::to_string(::getpid()) + ".999999",
                                                   "doc.xml.~x.1", "other.xml.~" + std::to_string(dead) + ".1"}));
}

TEST_F(FileReplacerTest, AFailedReplacementKeepsTheOldFile)
{
    write("keep.txt", "old");
    {
        // Abandoned before Commit: the temporary goes, the file stays.
        TFileReplacer file;
        ASSERT_TRUE(file.Open(path("keep.txt")));
        ASSERT_TRUE(file.Write("half"));
    }
    EXPECT_EQ(read(path("keep.txt")), "old");
    EXPECT_EQ(entries(), (std::vector<std::string>{"keep.txt"}));
    TFileReplacer file;
    EXPECT_FALSE(file.Open(dir));
    EXPECT_EQ(errno, EISDIR);
}
