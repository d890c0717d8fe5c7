// asNobody: runs a piece of a test as the unprivileged user "nobody", in a child process, since
// the suites run as root and root may write any file.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace lm::test {

inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNogroup = 65534;

// Runs body in a forked child that has given up root for nobody. Returns what body returned
// (empty when all went as it expected), or how the child failed.
inline std::string asNobody(const std::function<std::string()>& body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNogroup) != 0 || ::setuid(kNobody) != 0)
            result = "could not become nobody";
        else
            try {
                result = body();
            } catch (const std::exception& e) {
                result = std::string("exception: ") + e.what();
            }
        if (!result.empty() && ::write(fds[1], result.data(), result.size()) < 0)
            ::_exit(2);
        ::_exit(result.empty() ? 0 : 1);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return "child ended by a signal";
    if (WEXITSTATUS(status) != 0 && out.empty())
        return "child failed";
    return out;
}

} // namespace lm::test
