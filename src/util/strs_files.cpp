// Whole-file helpers, directory listing by mask, INI values and freeing list objects.
//
// INI files here are lines ending in CR LF (a lone LF is read as well): "[Section]" headers,
// "Key=Value" entries, and comment lines starting with ";". Everything before the first
// header belongs to no section. Names are compared ignoring letter case by the code page's
// tables; the first matching section and the first matching key in it win.
#include "util/strs_files.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/filereplacer.h"
#include "util/qstr.h"
#include "util/strings.h"

namespace lm {

namespace {

EInOutError fileError(const char* pattern, const std::string& fileName, int code)
{
    return EInOutError(Format(pattern, {fileName, LastErrorStr(code)}), code);
}

// Closes the descriptor when the scope ends.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports whether the close succeeded (errno tells why not).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view data)
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

// Replaces the content of `fileName` by `data` (see TFileReplacer). Raises EInOutError.
void replaceFile(const std::string& fileName, std::string_view data)
{
    TFileReplacer file;
    if (!file.Open(ToSysPath(fileName)))
        throw fileError("Cannot create file \"%s\". %s", fileName, errno);
    if (!file.Write(data) || !file.Commit())
        throw fileError("Cannot write file \"%s\". %s", fileName, errno);
}

// Reads the whole file into `text`. Returns 0, or the error number with `opened` telling
// whether the failure came after the file was opened.
int readFile(const std::string& fileName, std::string& text, bool& opened)
{
    Fd fd(::open(ToSysPath(fileName).c_str(), O_RDONLY | O_CLOEXEC));
    opened = fd.get() >= 0;
    if (!opened)
        return errno;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t lf = text.find('\n', from);
        std::string_view line = text.substr(from, lf - from);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (lf == std::string_view::npos)
            break;
        from = lf + 1;
    }
    return lines;
}

// The section name of a "[Name]" line, or false.
bool sectionOf(std::string_view line, std::string& name)
{
    const std::string t = Trim(line);
    if (t.empty() || t[0] != '[')
        return false;
    const std::size_t close = t.find(']');
    name = Trim(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// The key of a "Key=Value" line, or false (comments and lines without "=").
bool keyOf(std::string_view line, std::string& key, std::string_view* value = nullptr)
{
    const std::string t = TrimLeft(line);
    const std::size_t eq = line.find('=');
    if (t.empty() || t[0] == ';' || eq == std::string_view::npos)
        return false;
    key = Trim(line.substr(0, eq));
    if (value != nullptr)
        *value = line.substr(eq + 1);
    return true;
}

// Index of the header line of `section`, or -1.
int findSection(const std::vector<std::string>& lines, std::string_view section)
{
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (sectionOf(lines[i], name) && Q_SameText(name, section))
            return static_cast<int>(i);
    return -1;
}

// One past the last line of the section whose header is at `header`.
std::size_t sectionEnd(const std::vector<std::string>& lines, std::size_t header)
{
    std::string name;
    std::size_t i = header + 1;
    while (i < lines.size() && !sectionOf(lines[i], name))
        ++i;
    return i;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

} // namespace

std::string FileToStr(const std::string& fileName)
{
    std::string text;
    bool opened = false;
    if (const int code = readFile(fileName, text, opened); code != 0)
        throw fileError(opened ? "Cannot read file \"%s\". %s" : "Cannot open file \"%s\". %s", fileName, code);
    return text;
}

void StrtoFile(std::string_view s, const std::string& fileName) { replaceFile(fileName, s); }

void FileAppend(const std::string& fileName, std::string_view s)
{
    Fd fd(::open(ToSysPath(fileName).c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
    if (fd.get() < 0 || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        throw fileError("Cannot open file \"%s\". %s", fileName, errno);
    if (!writeAll(fd.get(), s) || !fd.close())
        throw fileError("Cannot write file \"%s\". %s", fileName, errno);
}

void DirectorytoStringList(std::string_view path, TStrings& list)
{
    list.Clear();
    std::string p(path);
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p.empty() || p.back() == '/')
        p += "*.*";
    const std::size_t slash = p.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : p.substr(0, slash));
    const std::string mask = slash == std::string::npos ? p : p.substr(slash + 1);

    const std::string sysDir = ToSysPath(dir);
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(sysDir.c_str()), ::closedir);
    if (!d)
        return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d.get())) {
        if (e->d_name[0] == '.')
            continue;
        struct stat st {};
        if (::stat((sysDir + "/" + e->d_name).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;
        std::string name = FromSysPath(e->d_name);
        if (MatchesMask(name, mask))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        list.Add(name);
}

std::string ReadIni(const std::string& fileName, std::string_view section, std::string_view key)
{
    std::string text;
    bool opened = false;
    if (readFile(fileName, text, opened) != 0)
        return std::string();
    const std::vector<std::string> lines = splitLines(text);
    const int header = findSection(lines, section);
    if (header < 0)
        return std::string();
    const std::size_t end = sectionEnd(lines, static_cast<std::size_t>(header));
    std::string name;
    std::string_view value;
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i) {
        if (!keyOf(lines[i], name, &value) || !Q_SameText(name, key))
            continue;
        std::string v = Trim(value);
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
            v = v.substr(1, v.size() - 2);
        return v;
    }
    return std::string();
}

void WriteIni(const std::string& fileName, std::string_view section, std::string_view key, std::string_view value)
{
    if (hasLineBreak(section) || section.find(']') != std::string_view::npos || hasLineBreak(key) ||
        key.find('=') != std::string_view::npos || hasLineBreak(value))
        throw Exception(Format("Недопустимые символы в INI-файле %s"_w, {fileName}));
    std::string text;
    bool opened = false;
    if (const int code = readFile(fileName, text, opened); code != 0 && code != ENOENT)
        throw fileError(opened ? "Cannot read file \"%s\". %s" : "Cannot open file \"%s\". %s", fileName, code);
    std::vector<std::string> lines = splitLines(text);
    const std::string entry = std::string(key).append("=").append(value);

    const int header = findSection(lines, section);
    if (header < 0) {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.emplace_back();
        lines.push_back(std::string("[").append(section).append("]"));
        lines.push_back(entry);
    } else {
        const std::size_t end = sectionEnd(lines, static_cast<std::size_t>(header));
        std::size_t insertAt = static_cast<std::size_t>(header) + 1;
        std::string name;
        bool replaced = false;
        for (std::size_t i = insertAt; i < end && !replaced; ++i) {
            if (!Trim(lines[i]).empty())
                insertAt = i + 1;
            if (keyOf(lines[i], name) && Q_SameText(name, key)) {
                lines[i] = entry;
                replaced = true;
            }
        }
        if (!replaced)
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    }

    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    replaceFile(fileName, out);
}

void FreeListObjects(TStrings& list)
{
    for (int i = 0; i < list.Count(); ++i) {
        delete list.Objects(i);
        list.SetObjects(i, nullptr);
    }
}

} // namespace lm
