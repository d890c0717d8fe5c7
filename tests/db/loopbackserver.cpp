// Starting and stopping the loopback Firebird server of the server-route tests.
#include "loopbackserver.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace lmtest {

namespace fs = std::filesystem;

namespace {

constexpr const char* kServer = "/usr/sbin/firebird";
constexpr const char* kConfDir = "/etc/firebird/3.0";

// An address on the loopback interface; port 0 leaves the choice to bind.
sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// Whether `call` (bind or connect) succeeds for a new TCP socket and the loopback `port`.
bool loopbackSucceeds(int (*call)(int, const sockaddr*, socklen_t), int port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = loopback(port);
    const bool ok = call(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

bool portFree(int port) { return loopbackSucceeds(bind, port); }

int freePort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool accepts(int port) { return loopbackSucceeds(connect, port); }

} // namespace

std::string LoopbackServer::Unavailable()
{
    if (geteuid() != 0)
        return "the server route test runs as root (it starts the server as user firebird)";
    if (access(kServer, X_OK) != 0)
        return std::string(kServer) + " is not installed";
    if (!getpwnam("firebird"))
        return "there is no firebird user";
    return {};
}

std::string LoopbackServer::SysdbaPassword()
{
    std::ifstream in(std::string(kConfDir) + "/SYSDBA.password");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("ISC_PASSWORD=", 0) != 0)
            continue;
        std::string v = line.substr(13);
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        if (!v.empty())
            return v;
    }
    return "masterkey";
}

LoopbackServer::LoopbackServer()
{
    const passwd* pw = getpwnam("firebird");
    if (!pw)
        throw std::runtime_error("no firebird user");
    m_uid = pw->pw_uid;
    m_gid = pw->pw_gid;
    m_root = (fs::temp_directory_path() / ("lmpack-fbserver-" + std::to_string(getpid()))).string();
    fs::remove_all(m_root);
    fs::create_directories(m_root + "/lock");
    fs::create_directories(m_root + "/data");
    m_dataDir = m_root + "/data";
    chmod(m_root.c_str(), 0755);
    for (const char* d : {"/lock", "/data"}) {
        const std::string p = m_root + d;
        if (chown(p.c_str(), m_uid, m_gid) != 0)
            throw std::runtime_error("cannot give " + p + " to the firebird user");
        chmod(p.c_str(), 0770);
    }
    // When the package's own service already listens on 3050, that server is used: a second
    // one would share its security database.
    if (accepts(3050)) {
        m_port = 3050;
        m_external = true;
        return;
    }
    m_port = portFree(3050) ? 3050 : freePort();

    // Our own root folder. First a firebird.conf of ours that chooses the port and listens on the
    // loopback interface only (written and renamed into place before any link exists, so that
    // nothing can redirect the write into the system's configuration).
    {
        std::ofstream conf(m_root + "/firebird.conf.tmp");
        conf << "RemoteServicePort = " << m_port << "\n"
             << "RemoteBindAddress = 127.0.0.1\n"
             << "UdfAccess = None\n";
    }
    fs::rename(m_root + "/firebird.conf.tmp", m_root + "/firebird.conf");
    // Then the package's other settings and the engine's folders beneath the root, as links. The
    // character set module is the exception: the engine does not load it through a link, so
    // the intl folder is a real one with copies.
    std::error_code ec;
    for (const char* f : {"databases.conf", "plugins.conf", "fbtrace.conf"}) {
        const fs::path src = fs::path(kConfDir) / f;
        if (fs::exists(src, ec))
            fs::create_symlink(src, fs::path(m_root) / f, ec);
    }
    for (const auto& arch : fs::directory_iterator("/usr/lib", ec)) {
        const fs::path lib = arch.path() / "firebird" / "3.0";
        if (!fs::is_directory(lib / "intl", ec))
            continue;
        for (const char* d : {"plugins", "firebird.msg", "UDF", "lib"})
            if (fs::exists(lib / d, ec))
                fs::create_symlink(lib / d, fs::path(m_root) / d, ec);
        fs::create_directories(m_root + "/intl");
        for (const auto& entry : fs::directory_iterator(lib / "intl", ec))
            fs::copy_file(fs::canonical(entry.path(), ec), fs::path(m_root) / "intl" / entry.path().filename(), ec);
        break;
    }
    if (!fs::exists(m_root + "/intl/fbintl.conf", ec))
        fs::copy_file(fs::path(kConfDir) / "fbintl.conf", m_root + "/intl/fbintl.conf", ec);
}

LoopbackServer::~LoopbackServer()
{
    Stop();
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

void LoopbackServer::Start()
{
    if (m_pid > 0 || m_external)
        return;
    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        setsid();
        setenv("FIREBIRD", m_root.c_str(), 1);
        setenv("FIREBIRD_LOCK", (m_root + "/lock").c_str(), 1);
        setenv("FIREBIRD_TMP", (m_root + "/lock").c_str(), 1);
        if (initgroups("firebird", m_gid) != 0 || setgid(m_gid) != 0 || setuid(m_uid) != 0)
            _exit(126);
        execl(kServer, kServer, static_cast<char*>(nullptr));
        _exit(127);
    }
    m_pid = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!accepts(m_port)) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            throw std::runtime_error("the firebird server exited at start (status " + std::to_string(status) + ")");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            Stop();
            throw std::runtime_error("the firebird server does not accept connections");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void LoopbackServer::Stop()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = -1;
}

std::string LoopbackServer::ConnectString(const std::string& path) const
{
    return m_port == 3050 ? "localhost:" + path : "localhost/" + std::to_string(m_port) + ":" + path;
}

void LoopbackServer::GiveToServer(const std::string& path) const
{
    if (chown(path.c_str(), m_uid, m_gid) != 0)
        throw std::runtime_error("cannot give " + path + " to the firebird user");
    chmod(path.c_str(), 0660);
}

} // namespace lmtest
