// The registry object over both stores, and the SQLite store shared by processes.
#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "host/registry.h"
#include "host/sqliteregistrystore.h"
#include "util/cp1251.h"

#include "../util/messageof.h"

extern char** environ;

namespace {

using namespace lm;
using lm::test::messageOf;
namespace fs = std::filesystem;

fs::path tempDir()
{
    // one folder per test process, removed when the process ends
    static const struct Folder {
        fs::path path = fs::temp_directory_path() / ("lmpack-store-" + std::to_string(getpid()));
        ~Folder()
        {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    } folder;
    fs::create_directories(folder.path);
    return folder.path;
}

// Both back ends run the same behavioural tests.
class RegistryTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (GetParam()) {
            m_file = tempDir() / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".db");
            fs::remove(m_file);
            store = std::make_unique<TSqliteRegistryStore>(m_file.string());
        } else {
            store = std::make_unique<TMemoryRegistryStore>();
        }
    }
    void TearDown() override
    {
        store.reset();
        if (!m_file.empty()) {
            std::error_code ec;
            fs::remove(m_file, ec);
            fs::remove(m_file.string() + "-wal", ec);
            fs::remove(m_file.string() + "-shm", ec);
        }
    }
    std::unique_ptr<TRegistryStore> store;

private:
    fs::path m_file;
};

TEST_P(RegistryTest, TypedValuesRoundTripAndKeepTheirTypes)
{
    TRegistry reg(store.get());
    ASSERT_TRUE(reg.OpenKey("\\Software\\Lumora\\LMPack\\Forms", true));
    reg.WriteInteger("Top", -2147483647 - 1);
    const std::string caption = std::string("Фильтр «Товары» "_w) + "\x98";  // 0x98: no character
    reg.WriteString("Caption", caption);
    reg.WriteBool("UFilterOn", true);
    EXPECT_EQ(reg.ReadInteger("Top"), -2147483647 - 1);
    EXPECT_EQ(reg.ReadString("Caption"), caption);
    EXPECT_TRUE(reg.ReadBool("UFilterOn"));
    EXPECT_EQ(reg.ReadInteger("UFilterOn"), 1);  // booleans are integers 0/1
    // a value of the other type or a missing one is refused with the platform's message
    EXPECT_EQ(messageOf<ERegistryException>([&] { reg.ReadInteger("Caption"); }), "Invalid data type for 'Caption'");
    EXPECT_THROW(reg.ReadString("Top"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
    EXPECT_EQ(reg.ReadString("Missing"), "");
    // rewriting with the other type replaces the value
    reg.WriteString("Top", "10");
    EXPECT_EQ(reg.ReadString("Top"), "10");
}

TEST_P(RegistryTest, KeysAreCaseInsensitiveAndRelativeToTheOpenKey)
{
    TRegistry reg(store.get());
    EXPECT_FALSE(reg.OpenKey("\\Software\\Лумора"_w, false));
    ASSERT_TRUE(reg.OpenKey("\\Software\\Лумора"_w, true));
    ASSERT_TRUE(reg.OpenKey("Фильтры\\Список"_w, true));  // relative
    EXPECT_EQ(reg.CurrentPath(), "\\Software\\Лумора\\Фильтры\\Список"_w);
    reg.WriteString("Мой"_w, "a");
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\ЛУМОРА\\фильтры"_w));
    ASSERT_TRUE(reg.OpenKey("\\software\\лумора\\ФИЛЬТРЫ\\список"_w, false));
    EXPECT_TRUE(reg.ValueExists("МОЙ"_w));
    std::vector<std::string> names;
    reg.GetValueNames(names);
    EXPECT_EQ(names, std::vector<std::string>{"Мой"_w});  // the spelling of creation
    // no key open: writes fail with the platform's message
    reg.CloseKey();
    EXPECT_EQ(messageOf<ERegistryException>([&] { reg.WriteInteger("X", 1); }), "Failed to set data for 'X'");
}

TEST_P(RegistryTest, DeleteKeyRemovesTheSubtreeButNotSiblings)
{
    TRegistry reg(store.get());
    reg.OpenKey("\\A\\B\\C", true);
    reg.WriteInteger("v", 1);
    reg.OpenKey("\\A\\BC", true);
    reg.WriteInteger("v", 2);
    reg.OpenKey("\\A\\BЖ"_w, true);
    reg.WriteInteger("v", 3);
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey("\\A\\B"));
    EXPECT_FALSE(reg.DeleteKey("\\A\\B"));
    EXPECT_FALSE(reg.KeyExists("\\A\\B\\C"));
    EXPECT_FALSE(store->ReadValue("A\\B\\C", "v").has_value());
    ASSERT_TRUE(reg.OpenKey("\\A", false));
    std::vector<std::string> keys;
    reg.GetKeyNames(keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"BC", "BЖ"_w}));
    // a key created again after deletion starts empty
    reg.OpenKey("\\A\\B\\C", true);
    EXPECT_FALSE(reg.ValueExists("v"));
}

TEST_P(RegistryTest, KeyInfoCountsSubKeysAndValues)
{
    TRegistry reg(store.get());
    reg.OpenKey("\\K\\Sub1", true);
    reg.OpenKey("\\K\\LongerSub", true);
    reg.OpenKey("\\K", true);
    reg.WriteString("Name", "12345");
    reg.WriteInteger("I", 5);
    TRegKeyInfo info;
    ASSERT_TRUE(reg.GetKeyInfo(info));
    EXPECT_EQ(info.NumSubKeys, 2);
    EXPECT_EQ(info.MaxSubKeyLen, 9);
    EXPECT_EQ(info.NumValues, 2);
    EXPECT_EQ(info.MaxValueLen, 4);
    EXPECT_EQ(info.MaxDataLen, 6);
    EXPECT_TRUE(reg.DeleteValue("Name"));
    EXPECT_FALSE(reg.DeleteValue("Name"));
    ASSERT_TRUE(reg.GetKeyInfo(info));
    EXPECT_EQ(info.NumValues, 1);
}

INSTANTIATE_TEST_SUITE_P(Stores, RegistryTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Sqlite" : "Memory"; });

// --- processes ----------------------------------------------------------------------------

pid_t spawn(const std::vector<std::string>& args, int* stdoutFd = nullptr)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int fds[2] = {-1, -1};
    if (stdoutFd) {
        if (pipe(fds) != 0)
            return -1;
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
    }
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (stdoutFd) {
        close(fds[1]);
        *stdoutFd = fds[0];
    }
    return pid;
}

int waitExit(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RegistryProcesses, TwoWritersAtOnceLoseNothing)
{
    const std::string file = (tempDir() / "concurrent.db").string();
    fs::remove(file);
    const int n = 400;
    const pid_t a = spawn({STORE_WRITER, file, "distinct", "A", std::to_string(n)});
    const pid_t b = spawn({STORE_WRITER, file, "distinct", "B", std::to_string(n)});
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(waitExit(a), 0);
    EXPECT_EQ(waitExit(b), 0);
    TSqliteRegistryStore store(file);
    TRegistry reg(&store);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Shared", false));
    std::vector<std::string> names;
    reg.GetValueNames(names);
    EXPECT_EQ(names.size(), 4u * n);
    for (int i = 0; i < n; ++i) {
        for (const char* p : {"A", "B"}) {
            EXPECT_EQ(reg.ReadInteger(p + std::to_string(i)), i);
            EXPECT_EQ(reg.ReadString(p + std::string("s") + std::to_string(i)).size(), 100u + i);
        }
    }
}

TEST(RegistryProcesses, WriterKilledMidWriteLeavesOldOrNewValue)
{
    const std::string file = (tempDir() / "killed.db").string();
    fs::remove(file);
    for (int round = 0; round < 4; ++round) {
        int out = -1;
        const pid_t pid = spawn({STORE_WRITER, file, "loop"}, &out);
        ASSERT_GT(pid, 0);
        char buf[16] = {};
        ASSERT_GT(read(out, buf, sizeof buf - 1), 0);  // "ready": the loop is writing
        close(out);
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 37 * round));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        TSqliteRegistryStore store(file);
        TRegistry reg(&store);
        ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\Kill", false));
        const std::string big = reg.ReadString("Big");
        ASSERT_EQ(big.size(), 200000u);
        EXPECT_TRUE(big == std::string(200000, 'A') || big == std::string(200000, 'B'));
        EXPECT_GE(reg.ReadInteger("Counter"), 10);
        // the file stays writable after the crash
        reg.WriteInteger("After", round);
        EXPECT_EQ(reg.ReadInteger("After"), round);
    }
}

TEST(RegistryDefaultStore, FileNameFollowsTheEnvironment)
{
    const char* old = std::getenv("LMPACK_REGISTRY");
    const std::string saved = old ? old : "";
    setenv("LMPACK_REGISTRY", "/tmp/x/reg.db", 1);
    EXPECT_EQ(DefaultRegistryFileName(), "/tmp/x/reg.db");
    unsetenv("LMPACK_REGISTRY");
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(DefaultRegistryFileName(), "/tmp/cfg/lmpack/registry.db");
    unsetenv("XDG_CONFIG_HOME");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(DefaultRegistryFileName(), "/home/u/.config/lmpack/registry.db");
    setenv("HOME", home.c_str(), 1);
    if (old)
        setenv("LMPACK_REGISTRY", saved.c_str(), 1);
}

TEST(RegistryDefaultStore, NotAStoreFileIsReportedNotCrashed)
{
    const fs::path file = tempDir() / "garbage.db";
    {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fputs("this is not an sqlite database, just text that is long enough to matter....", f);
        std::fclose(f);
    }
    EXPECT_THROW(TSqliteRegistryStore store(file.string()), EInOutError);
}

// A store file the user may only read (a shared profile, a locked-down workstation) still gives
// its settings; writing reports that the store is read-only. Run as "nobody", since root writes
// any file.
TEST(RegistryDefaultStore, ReadOnlyFileIsReadAndRefusesWrites)
{
    const passwd* nobody = getpwnam("nobody");
    if (!nobody)
        GTEST_SKIP() << "no user nobody";
    const fs::path dir = tempDir() / "readonly";
    fs::create_directories(dir);
    const std::string file = (dir / "registry.db").string();
    {
        TSqliteRegistryStore store(file);
        TRegistry reg(&store);
        reg.OpenKey("\\Software\\Apteka", true);
        reg.WriteString("Name", "Аптека №1"_w);
    }
    // the folder and the file are the owner's: nobody can neither write them nor add a journal
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(out[0]);
        std::string report;
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) {
            report = "cannot become nobody";
        } else {
            try {
                TSqliteRegistryStore store(file);
                TRegistry reg(&store);
                report = reg.OpenKey("\\Software\\Apteka", false) ? cp1251ToUtf8(reg.ReadString("Name")) : "<no key>";
                report += "|" + messageOf<EInOutError>([&] { reg.WriteString("Name", "x"); });
                report += "|" + messageOf<EInOutError>([&] { reg.OpenKey("\\Software\\Other", true); });
            } catch (const std::exception& e) {
                report = std::string("raised: ") + e.what();
            }
        }
        (void)!write(out[1], report.data(), report.size());
        _exit(0);
    }
    close(out[1]);
    std::string report;
    char buf[512];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;)
        report.append(buf, static_cast<std::size_t>(n));
    close(out[0]);
    waitpid(pid, nullptr, 0);
    const std::string refusal = "Registry store " + file + " is read-only";
    EXPECT_EQ(report, "Аптека №1|" + refusal + "|" + refusal);
}

} // namespace
