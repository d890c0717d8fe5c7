// The temporary-file-then-rename save shared by the spreadsheet writers.
#include "export/atomicfile.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/filereplacer.h"

namespace lm {

TAtomicFile::TAtomicFile(const std::string& target) : m_target(target)
{
    // A link stays a link: the file it names is replaced, in its own folder. A file the user
    // may not write is refused, as writing it directly would be.
    if (!FollowLinks(ToSysPath(target), m_path))
        Fail(LastErrorStr());
    if (::access(m_path.c_str(), F_OK) == 0 && ::access(m_path.c_str(), W_OK) != 0)
        Fail(LastErrorStr());
    m_temp = m_path + ".lmtmpXXXXXX";
    const int fd = ::mkstemp(m_temp.data());
    if (fd < 0) {
        m_temp.clear();
        Fail(LastErrorStr());
    }
    ::close(fd);
    // The new file gets the permissions an ordinary new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(m_temp.c_str(), 0666 & ~mask);
}

TAtomicFile::~TAtomicFile()
{
    if (!m_done && !m_temp.empty())
        ::unlink(m_temp.c_str());
}

void TAtomicFile::Commit()
{
    // the replaced file keeps its permissions and, where the process may set them, its owner
    struct stat old {};
    if (::stat(m_path.c_str(), &old) == 0) {
        ::chmod(m_temp.c_str(), old.st_mode & 07777);
        // only a process that may give files away can keep another owner; otherwise the new
        // file is the user's, which is all a failed chown leaves
        [[maybe_unused]] const int owned = ::chown(m_temp.c_str(), old.st_uid, old.st_gid);
    }
    if (::rename(m_temp.c_str(), m_path.c_str()) != 0)
        Fail(LastErrorStr());
    m_done = true;
}

void TAtomicFile::Fail(const std::string& reason) const
{
    throw EInOutError(Format("Ошибка записи файла %s : %s"_w, {m_target, reason}), errno);
}

} // namespace lm
