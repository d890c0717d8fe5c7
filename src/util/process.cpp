// Command-line switches and child processes over posix_spawn and pipes.
#include "util/process.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"

extern char** environ;

namespace lm {

namespace {

struct CmdLineState {
    bool set = false;
    std::vector<std::string> args;
};

CmdLineState& cmdLineState()
{
    static CmdLineState state;
    return state;
}

std::vector<std::string> readProcCmdLine()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        args.push_back(utf8ToCp1251(std::string_view(all).substr(start, end - start)));
        start = end + 1;
    }
    return args;
}

bool sameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upCase(a[i]) != upCase(b[i]))
            return false;
    return true;
}

TProcessMessagesHook& hookStore()
{
    static TProcessMessagesHook hook;
    return hook;
}

// argv for posix_spawn: the arguments in the system's encoding, kept alive by `storage`.
std::vector<char*> makeArgv(const std::vector<std::string>& args, std::vector<std::string>& storage)
{
    storage.clear();
    for (const auto& a : args)
        storage.push_back(ToSysPath(a));
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    return argv;
}

// Waits for the child; the exit code, 128 + signal, or -1 when it cannot be waited for.
int reap(pid_t pid)
{
    int status = 0;
    for (;;) {
        if (::waitpid(pid, &status, 0) == pid)
            break;
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

class SpawnActions {
public:
    SpawnActions() { ::posix_spawn_file_actions_init(&m_actions); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

// Passes every complete line of `pending` (raw UTF-8) to onLine and keeps the rest.
void passLines(std::string& pending, const TLogLineEvent& onLine)
{
    size_t start = 0;
    for (size_t lf; (lf = pending.find('\n', start)) != std::string::npos; start = lf + 1) {
        size_t end = lf;
        if (end > start && pending[end - 1] == '\r')
            --end;
        if (onLine)
            onLine(utf8ToCp1251(std::string_view(pending).substr(start, end - start)));
    }
    pending.erase(0, start);
}

} // namespace

void SetCmdLineArgs(int argc, const char* const* argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(utf8ToCp1251(argv[i] ? argv[i] : ""));
    SetCmdLineArgs(std::move(args));
}

void SetCmdLineArgs(std::vector<std::string> args)
{
    auto& state = cmdLineState();
    state.args = std::move(args);
    state.set = true;
}

const std::vector<std::string>& CmdLineArgs()
{
    auto& state = cmdLineState();
    if (!state.set)
        SetCmdLineArgs(readProcCmdLine());
    return state.args;
}

int FindCmdLineSwitchN(std::string_view name)
{
    const auto& args = CmdLineArgs();
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!a.empty() && (a[0] == '-' || a[0] == '/') && sameNoCase(std::string_view(a).substr(1), name))
            return static_cast<int>(i);
    }
    return 0;
}

std::string FindCmdLineParam(std::string_view name)
{
    const auto& args = CmdLineArgs();
    const size_t n = static_cast<size_t>(FindCmdLineSwitchN(name));
    if (n == 0 || n + 1 >= args.size())
        return std::string();
    const std::string& value = args[n + 1];
    if (!value.empty() && value[0] == '-')
        return std::string();
    return value;
}

std::vector<std::string> SplitCmdLine(std::string_view cmdLine)
{
    std::vector<std::string> args;
    std::string cur;
    bool inWord = false;
    for (size_t i = 0; i < cmdLine.size(); ++i) {
        const char c = cmdLine[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord)
                args.push_back(std::move(cur));
            cur.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const size_t close = cmdLine.find('\'', i + 1);
            const size_t end = close == std::string_view::npos ? cmdLine.size() : close;
            cur.append(cmdLine.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '"') {
            for (++i; i < cmdLine.size() && cmdLine[i] != '"'; ++i) {
                if (cmdLine[i] == '\\' && i + 1 < cmdLine.size() && (cmdLine[i + 1] == '"' || cmdLine[i + 1] == '\\'))
                    ++i;
                cur += cmdLine[i];
            }
        } else if (c == '\\' && i + 1 < cmdLine.size()) {
            cur += cmdLine[++i];
        } else {
            cur += c;
        }
    }
    if (inWord)
        args.push_back(std::move(cur));
    return args;
}

int ExecLogOutput(const std::string& cmdLine, const std::string& currentDir, const TLogLineEvent& onLine)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw Exception("Ошибка CreatePipe:\r\n"_w + LastErrorStr());

    std::vector<std::string> storage;
    std::vector<char*> argv = makeArgv(SplitCmdLine(cmdLine), storage);
    int rc = ENOENT;
    pid_t pid = 0;
    if (argv.size() > 1) {
        SpawnActions actions;
        ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_adddup2(actions.get(), fds[1], 1);
        ::posix_spawn_file_actions_adddup2(actions.get(), fds[1], 2);
        ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
        const std::string dir = ToSysPath(currentDir);
        if (!dir.empty())
            ::posix_spawn_file_actions_addchdir_np(actions.get(), dir.c_str());
        rc = ::posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ);
    }
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        throw Exception("Ошибка запуска программы \""_w + cmdLine + "\":\r\n" + LastErrorStr(rc));
    }

    try {
        std::string pending;
        char buf[1024];
        for (;;) {
            const ssize_t n = ::read(fds[0], buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            pending.append(buf, static_cast<size_t>(n));
            passLines(pending, onLine);
        }
        if (!pending.empty()) {
            pending += '\n';
            passLines(pending, onLine);
        }
    } catch (...) {
        ::close(fds[0]);
        reap(pid);
        throw;
    }
    ::close(fds[0]);
    return reap(pid);
}

void SetProcessMessagesHook(TProcessMessagesHook hook)
{
    hookStore() = std::move(hook);
}

const TProcessMessagesHook& ProcessMessagesHook()
{
    return hookStore();
}

namespace {

// True for what the desktop opens rather than runs: a URL ("scheme:...", the scheme two or more
// letters, digits, "+", "-" or "." starting with a letter, so that "C:" is no scheme), a folder,
// or an existing file that may not be executed.
bool isDocument(const std::string& fileName)
{
    const auto latin = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const std::size_t colon = fileName.find(':');
    if (colon != std::string::npos && colon >= 2 && latin(fileName[0])) {
        bool scheme = true;
        for (std::size_t i = 1; i < colon; ++i) {
            const char c = fileName[i];
            scheme = scheme && (latin(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.');
        }
        if (scheme)
            return true;
    }
    const std::string sys = ToSysPath(fileName);
    struct stat st {};
    if (::stat(sys.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) || ::access(sys.c_str(), X_OK) != 0;
}

// Starts args[0] (looked up on PATH) with args and waits as ExecAndWait describes. False when
// it cannot be started; exitCode is the program's exit code, or -1 when the wait was given up.
bool startAndWait(const std::vector<std::string>& args, int& exitCode)
{
    exitCode = -1;
    std::vector<std::string> storage;
    std::vector<char*> argv = makeArgv(args, storage);
    pid_t pid = 0;
    SpawnActions actions;
    ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
    if (args.front().empty() || ::posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ) != 0)
        return false;

    const TProcessMessagesHook hook = ProcessMessagesHook();  // a copy: the hook may replace itself
    if (!hook) {
        exitCode = reap(pid);
        return true;
    }
    const struct timespec pause {0, 10 * 1000 * 1000};
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if ((r < 0 && errno != EINTR) || !hook())
            break;
        ::nanosleep(&pause, nullptr);
    }
    return true;
}

} // namespace

bool ExecAndWait(const std::string& fileName, const std::string& params)
{
    int exitCode = 0;
    if (!fileName.empty() && isDocument(fileName)) {
        // The opener hands the document over and ends; it reports failure when no application
        // takes it.
        return startAndWait({"xdg-open", fileName}, exitCode) && exitCode == 0;
    }
    std::vector<std::string> args = SplitCmdLine(params);
    args.insert(args.begin(), fileName);
    return startAndWait(args, exitCode);
}

} // namespace lm
