// Replacing a file's content through a temporary file beside it, renamed over it when complete.
#include "util/filereplacer.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <memory>

#include "util/posixio.h"

namespace lm {

namespace {
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The process id of a temporary name "<base>.~<pid>.<n>", 0 when name is not one.
pid_t temporaryOwner(std::string_view name, std::string_view base)
{
    if (!name.starts_with(base) || name.substr(base.size(), 2) != ".~")
        return 0;
    name.remove_prefix(base.size() + 2);
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size() || dot > 9)
        return 0;
    pid_t pid = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (i == dot)
            continue;
        if (c < '0' || c > '9')
            return 0;
        if (i < dot)
            pid = pid * 10 + (c - '0');
    }
    return pid;
}

// Removes the temporaries of target whose writing process has ended.
void removeLeftovers(const std::string& target)
{
    const std::string folder = folderOf(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    while (const dirent* e = ::readdir(dir.get())) {
        const pid_t pid = temporaryOwner(e->d_name, base);
        if (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        const std::string leftover = folder + "/" + e->d_name;
        struct stat st {};
        if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(leftover.c_str());
    }
}

// Errors of creating a file in the folder that still let the file itself be written.
bool folderRefuses(int code)
{
    return code == EACCES || code == EPERM || code == EROFS || code == ENAMETOOLONG || code == EDQUOT;
}

} // namespace

// path with every symbolic link along its last component followed, so that the file a link
// names is the one replaced. A missing file (or the missing end of a link) is returned as it
// is named. False with errno ELOOP after too many links.
bool FollowLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer);
        if (n < 0 || static_cast<std::size_t>(n) >= sizeof buffer)
            return true;  // unreadable: the file system decides what the name means
        const std::string link(buffer, static_cast<std::size_t>(n));
        target = link.starts_with('/') ? link : folderOf(target) + "/" + link;
    }
    errno = ELOOP;
    return false;
}

TFileReplacer::~TFileReplacer()
{
    discard();
}

void TFileReplacer::discard()
{
    ErrnoKeeper keep;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool TFileReplacer::Open(const std::string& path)
{
    discard();
    if (!FollowLinks(path, m_target))
        return false;
    struct stat st {};
    const bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    // A file the user may not write is refused, as opening it for writing would be.
    if (exists && ::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    removeLeftovers(m_target);

    static std::atomic<unsigned> serial{0};
    for (int attempt = 0;; ++attempt) {
        m_temp = m_target + ".~" + std::to_string(::getpid()) + "." + std::to_string(serial++);
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            break;
        const int code = errno;
        m_temp.clear();
        if (code == EEXIST && attempt < 100)
            continue;
        if (!exists || !folderRefuses(code)) {
            errno = code;
            return false;
        }
        // No new file beside it, but the file itself may be written: write in place.
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
        return m_fd >= 0;
    }
    if (exists) {
        // Owner first: a change of owner clears the set-id bits that the mode then restores.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
            // Only a privileged process may give a file away; the content still goes in.
        }
        if (::fchmod(m_fd, st.st_mode & 07777) != 0) {
            discard();
            return false;
        }
    }
    return true;
}

bool TFileReplacer::Write(std::string_view data)
{
    return WriteAll(m_fd, data);
}

bool TFileReplacer::Commit()
{
    bool ok = m_fd >= 0;
    if (!ok)
        errno = EBADF;
    if (ok && m_temp.empty()) {
        // In place: the old content beyond the new end goes.
        const off_t end = ::lseek(m_fd, 0, SEEK_CUR);
        ok = end >= 0 && ::ftruncate(m_fd, end) == 0;
    }
    ok = ok && ::fsync(m_fd) == 0;
    if (m_fd >= 0) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && ok)
            ok = false;
    }
    if (ok && !m_temp.empty())
        ok = ::rename(m_temp.c_str(), m_target.c_str()) == 0;
    if (ok)
        m_temp.clear();
    else
        discard();
    return ok;
}

} // namespace lm
