// A Firebird server of the Debian package started by a test on the loopback interface, with its
// own root folder (configuration), lock folder and port, stopped when the object goes away.
#pragma once

#include <sys/types.h>

#include <string>

namespace lmtest {

class LoopbackServer {
public:
    // Why the server cannot run here ("" when it can): not root, no server binary or user.
    static std::string Unavailable();

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Starts the server and waits until it accepts connections; throws std::runtime_error
    // when it does not within 30 seconds.
    void Start();
    // Stops it (SIGTERM, then SIGKILL after 10 seconds) and waits for the process.
    void Stop();
    bool Running() const { return m_pid > 0 || (m_external && m_port > 0); }
    // True when the package's service was already running and serves the test instead.
    bool External() const { return m_external; }
    int Port() const { return m_port; }
    // A folder the server may read and write, for its database files.
    const std::string& DataDir() const { return m_dataDir; }
    // "localhost:PATH" on port 3050, "localhost/PORT:PATH" otherwise.
    std::string ConnectString(const std::string& path) const;
    // Makes a file (and the data folder) belong to the server's user.
    void GiveToServer(const std::string& path) const;
    // The SYSDBA password from the package's SYSDBA.password file, "masterkey" when absent.
    static std::string SysdbaPassword();

private:
    std::string m_root;
    std::string m_dataDir;
    int m_port = 0;
    pid_t m_pid = -1;
    bool m_external = false;
    unsigned m_uid = 0, m_gid = 0;
};

} // namespace lmtest
