// The temporary-file-then-rename save shared by the spreadsheet writers.
#include "export/atomicfile.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"

namespace lm {

TAtomicFile::TAtomicFile(const std::string& target) : m_target(target)
{
    m_temp = ToSysPath(target) + ".lmtmpXXXXXX";
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
    if (::rename(m_temp.c_str(), ToSysPath(m_target).c_str()) != 0)
        Fail(LastErrorStr());
    m_done = true;
}

void TAtomicFile::Fail(const std::string& reason) const
{
    throw EInOutError(Format("Ошибка записи файла %s : %s"_w, {m_target, reason}), errno);
}

} // namespace lm
