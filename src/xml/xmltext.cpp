// Byte-level text helpers shared by the XML sources.
#include "xml/xmltext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm::xmltext {

bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const unsigned char* up = upperTable();
    for (std::size_t i = 0; i < a.size(); ++i)
        if (up[static_cast<unsigned char>(a[i])] != up[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

int compText(std::string_view a, std::string_view b)
{
    const unsigned char* up = upperTable();
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int d = up[static_cast<unsigned char>(a[i])] - up[static_cast<unsigned char>(b[i])];
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string replaceAll(std::string_view s, std::string_view find, std::string_view replace)
{
    if (find.empty())
        return std::string(s);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = s.find(find, from)) != std::string_view::npos; from = at + find.size()) {
        out.append(s.substr(from, at - from));
        out.append(replace);
    }
    out.append(s.substr(from));
    return out;
}

std::string_view trim(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

std::string readFile(const std::string& fileName)
{
    auto fail = [&](int code) -> std::string {
        throw EInOutError(Format("Cannot open file \"%s\". %s", {fileName, std::strerror(code)}), code);
    };
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(fileName.c_str(), "rb"), &std::fclose);
    if (!f)
        return fail(errno);
    std::string data;
    char chunk[65536];
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(f.get());
        if (size > 0)
            data.reserve(static_cast<std::size_t>(size));
        std::fseek(f.get(), 0, SEEK_SET);
    }
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0;)
        data.append(chunk, n);
    if (std::ferror(f.get()))
        return fail(errno ? errno : EIO);
    return data;
}

} // namespace lm::xmltext
