// Small POSIX I/O helpers of the file units: errno kept across clean-up, and a write that goes on
// until all is written.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace lm {

// Restores errno on scope exit, so clean-up after a failure does not hide its cause.
class ErrnoKeeper {
public:
    ErrnoKeeper() : m_saved(errno) {}
    ~ErrnoKeeper() { errno = m_saved; }
    ErrnoKeeper(const ErrnoKeeper&) = delete;
    ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

private:
    int m_saved;
};

// Writes all of `data` to `fd`, resuming after short writes and interruptions by a signal.
// False on failure, errno telling why.
inline bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace lm
