// File functions over the POSIX file system, with the package's Russian messages.
#include "util/filefunc.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <unordered_set>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filereplacer.h"
#include "util/wildcard.h"

namespace lm {

namespace {

// Restores errno on scope exit, so clean-up after a failure does not hide its cause.
class ErrnoKeeper {
public:
    ErrnoKeeper() : m_saved(errno) {}
    ~ErrnoKeeper() { errno = m_saved; }

private:
    int m_saved;
};

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

bool statSys(const std::string& name, struct stat& st)
{
    return ::stat(ToSysPath(name).c_str(), &st) == 0;
}

// Copies the bytes, permission bits and times of src over dst through a TFileReplacer.
// Returns false with errno set; a temporary file never stays behind.
bool copyFileSys(const std::string& src, const std::string& dst)
{
    const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(in);
        errno = code;
        return false;
    }
    TFileReplacer out;
    bool ok = out.Open(dst);
    char buf[65536];
    while (ok) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        ok = out.Write(std::string_view(buf, static_cast<size_t>(n)));
    }
    // Written in place, a file of another owner keeps its mode.
    ok = ok && (::fchmod(out.Fd(), st.st_mode & 07777) == 0 || errno == EPERM) && out.Commit();
    if (ok) {
        // Set once the content is in place: writing in place would change the times again.
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ok = ::utimensat(AT_FDCWD, out.Target().c_str(), times, 0) == 0;
    }
    ErrnoKeeper keep;
    ::close(in);
    return ok;
}

bool moveFileSys(const std::string& src, const std::string& dst)
{
    if (::rename(src.c_str(), dst.c_str()) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    return copyFileSys(src, dst) && ::unlink(src.c_str()) == 0;
}

enum class EntryKind { File, Dir, DirLink };

// Calls fn(name, kind) for each entry of the directory (sysDir in the file system's encoding)
// except "." and "..". A symbolic link to a directory is DirLink, to anything else File. An
// unreadable directory yields nothing.
template <typename Fn>
void forEachEntry(const std::string& sysDir, Fn fn)
{
    DirPtr d(::opendir(sysDir.empty() ? "." : sysDir.c_str()));
    if (!d)
        return;
    const std::string prefix = IncludeTrailingSlash(sysDir);
    while (const dirent* e = ::readdir(d.get())) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string full = prefix + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            fn(name, EntryKind::Dir);
        else if (S_ISLNK(st.st_mode) && ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            fn(name, EntryKind::DirLink);
        else
            fn(name, EntryKind::File);
    }
}

// Adds the Windows-1251 names of the files (wantDirs: directories, links to them included)
// matching mask, skipping names already in list.
void addEntries(const std::string& dir, const std::string& mask, bool wantDirs,
                std::vector<std::string>& list)
{
    std::unordered_set<std::string> present(list.begin(), list.end());
    forEachEntry(ToSysPath(dir), [&](const std::string& sysName, EntryKind kind) {
        if ((kind != EntryKind::File) != wantDirs)
            return;
        std::string name = FromSysPath(sysName);
        if (MatchesMask(name, mask) && present.insert(name).second)
            list.push_back(std::move(name));
    });
}

void removeTree(const std::string& sysDir)
{
    forEachEntry(sysDir, [&](const std::string& name, EntryKind kind) {
        const std::string full = IncludeTrailingSlash(sysDir) + name;
        if (kind == EntryKind::Dir) {
            removeTree(full);
            ::rmdir(full.c_str());
        } else {
            ::unlink(full.c_str());
        }
    });
}

void recursiveList(const std::string& dir, const std::string& mask, std::vector<std::string>& list)
{
    const std::string prefix = IncludeTrailingSlash(dir);
    std::vector<std::string> subdirs;
    forEachEntry(ToSysPath(dir), [&](const std::string& sysName, EntryKind kind) {
        std::string name = FromSysPath(sysName);
        if (kind == EntryKind::Dir)
            subdirs.push_back(prefix + name);
        else if (kind == EntryKind::File && MatchesMask(name, mask))
            list.push_back(prefix + name);
    });
    for (const auto& sub : subdirs)
        recursiveList(sub, mask, list);
}

TDateTime timeToDateTime(time_t t, long nsec)
{
    struct tm tm {};
    TDateTime date = 0, time = 0;
    if (!::localtime_r(&t, &tm) || !TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, date)
        || !TryEncodeTime(tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59), static_cast<int>(nsec / 1000000), time))
        return 0;
    return date + time;
}

} // namespace

std::string LastErrorStr()
{
    return LastErrorStr(errno);
}

std::string LastErrorStr(int code)
{
    char buf[256];
    // The GNU strerror_r returns its text, which may not be in buf.
    std::string text = ::strerror_r(code, buf, sizeof buf);
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text.back());
        if (c > ' ' && c != '.')
            break;
        text.pop_back();
    }
    return "Код: "_w + std::to_string(code) + ": " + utf8ToCp1251(text);
}

void RussianRegionSettings()
{
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.MM.yyyy";
    FormatSettings.TimeSeparator = ':';
    FormatSettings.ShortTimeFormat = "h:nn";
    FormatSettings.LongTimeFormat = "h:nn:ss";
    FormatSettings.ThousandSeparator = '\xA0';
}

bool OSisNT()
{
    return false;
}

std::string ToSysPath(std::string_view name)
{
    return cp1251ToUtf8(name);
}

std::string FromSysPath(std::string_view name)
{
    return utf8ToCp1251(name);
}

void CopyFileExcept(const std::string& src, const std::string& dst)
{
    if (!copyFileSys(ToSysPath(src), ToSysPath(dst))) {
        const int code = errno;
        throw EInOutError(Format("Ошибка копирования файла %s в %s.\r\n%s"_w, {src, dst, LastErrorStr(code)}), code);
    }
}

bool MoveFileRes(const std::string& src, const std::string& dst)
{
    return moveFileSys(ToSysPath(src), ToSysPath(dst));
}

void MoveFileExcept(const std::string& src, const std::string& dst)
{
    if (!MoveFileRes(src, dst)) {
        const int code = errno;
        throw EInOutError(Format("Ошибка переименования файла %s в %s:\r\n%s."_w, {src, dst, LastErrorStr(code)}), code);
    }
}

void DeleteFileExcept(const std::string& name)
{
    if (::unlink(ToSysPath(name).c_str()) != 0) {
        const int code = errno;
        throw EInOutError(Format("Ошибка удаления файла %s : %s."_w, {name, LastErrorStr(code)}), code);
    }
}

std::string CreateDirExcept(const std::string& dir)
{
    if (!ForceDirectories(dir)) {
        const int code = errno;
        throw EInOutError(Format("Ошибка создания директории %s : %s"_w, {dir, LastErrorStr(code)}), code);
    }
    return dir;
}

bool ForceDirectories(const std::string& dir)
{
    if (dir.empty())
        throw Exception("Невозможно создать директорию \"\""_w);
    std::string path = dir;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path == "/" || DirectoryExists(path))
        return true;
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !ForceDirectories(path.substr(0, slash)))
        return false;
    if (::mkdir(ToSysPath(path).c_str(), 0777) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    // Another process may have made it meanwhile; else a file stands in the way.
    if (DirectoryExists(path))
        return true;
    errno = ENOTDIR;
    return false;
}

void CheckDirectory(const std::string& dir)
{
    if (!DirectoryExists(dir))
        throw Exception("Не найдена директория \""_w + dir + "\"");
}

void RemoveDir(const std::string& dir, bool keepRoot)
{
    const std::string sysDir = ToSysPath(dir);
    struct stat st {};
    // A link to a directory is not followed: its target's contents are not ours to delete.
    if (::lstat(sysDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    removeTree(sysDir);
    if (!keepRoot)
        ::rmdir(sysDir.c_str());
}

int CopyFiles(const std::string& srcDir, const std::string& dstDir, const std::string& mask)
{
    std::vector<std::string> names;
    CreateFileList(srcDir, mask, names);
    const std::string from = IncludeTrailingSlash(srcDir);
    const std::string to = IncludeTrailingSlash(dstDir);
    int copied = 0;
    for (const auto& name : names) {
        if (!copyFileSys(ToSysPath(from + name), ToSysPath(to + name)))
            return -1;
        ++copied;
    }
    return copied;
}

void ClearReadOnlyAttr(const std::string& name)
{
    struct stat st {};
    const std::string sys = ToSysPath(name);
    if (::stat(sys.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR))
        ::chmod(sys.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

bool SetFileDateTime(const std::string& name, TDateTime dt)
{
    // Only the dates from 1 January 1 to 31 December 9999 exist.
    if (!(dt >= -693593.0 && dt < 2958466.0))
        return false;
    int year, month, day, hour, minute, second, msec;
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, minute, second, msec);
    struct tm tm {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const time_t t = ::mktime(&tm);
    if (t == static_cast<time_t>(-1))
        return false;
    struct timespec ts {t, static_cast<long>(msec) * 1000000};
    const struct timespec times[2] = {ts, ts};
    return ::utimensat(AT_FDCWD, ToSysPath(name).c_str(), times, 0) == 0;
}

std::string NormalDir(std::string_view dir)
{
    std::string result(dir);
    if (result.empty())
        return result;
    const char c = result[0];
    if (result.size() == 1 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
        return result + ":\\";
    if (result.back() != '\\')
        result += '\\';
    return result;
}

std::string IncludeTrailingSlash(std::string_view dir)
{
    std::string result(dir);
    if (!result.empty() && result.back() != '/')
        result += '/';
    return result;
}

bool MatchesMask(std::string_view name, std::string_view mask)
{
    if (mask == "*.*")
        mask = "*";
    return detail::WildcardMatch(name, mask, '*', [](char m, char c) {
        return m == '?' || upCase(m) == upCase(c);
    });
}

void CreateFileList(const std::string& dir, const std::string& mask, std::vector<std::string>& list)
{
    addEntries(dir, mask, false, list);
}

void CreateDirList(const std::string& dir, std::vector<std::string>& list)
{
    addEntries(dir, "*", true, list);
}

void RecursiveFileList(const std::string& dir, const std::string& mask, std::vector<std::string>& list)
{
    recursiveList(dir, mask, list);
}

bool DirectoryExists(const std::string& dir)
{
    struct stat st {};
    return statSys(dir, st) && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& name)
{
    struct stat st {};
    return statSys(name, st) && !S_ISDIR(st.st_mode);
}

int64_t GetFileSize(const std::string& name)
{
    struct stat st {};
    if (!statSys(name, st) || S_ISDIR(st.st_mode))
        return -1;
    return static_cast<int64_t>(st.st_size);
}

TDateTime FileDateTime(const std::string& name)
{
    struct stat st {};
    if (!statSys(name, st))
        return 0;
    return timeToDateTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
}

int64_t GetDiskFreeSpace(const std::string& path)
{
    struct statvfs vfs {};
    if (::statvfs(ToSysPath(path).c_str(), &vfs) != 0)
        return 0;
    return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}

std::string GetFileVersion(const std::string& name)
{
    // Version resources are a property of Windows executables; nothing here carries one.
    return std::string();
}

} // namespace lm
