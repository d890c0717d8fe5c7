// The "Q_" string primitives over Windows-1251 text.
#include "util/qstr.h"

#include <algorithm>
#include <cstring>

#include "util/cp1251.h"
#include "util/wildcard.h"

namespace lm {

std::string Q_ReplaceStr(std::string_view s, std::string_view find, std::string_view replace)
{
    if (find.empty())
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    for (std::size_t at = s.find(find); at != std::string_view::npos; at = s.find(find, from)) {
        out.append(s, from, at - from);
        out.append(replace);
        from = at + find.size();
    }
    out.append(s, from);
    return out;
}

int Q_PosStr(std::string_view find, std::string_view s, int start)
{
    if (find.empty())
        return 0;
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= s.size())
        return 0;
    const std::size_t at = s.find(find, from);
    return at == std::string_view::npos ? 0 : static_cast<int>(at + 1);
}

bool Q_SameStr(std::string_view a, std::string_view b) { return a == b; }

bool Q_SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && Q_CompText(a, b) == 0;
}

namespace {
std::string_view head(std::string_view s, int l)
{
    return s.substr(0, l < 0 ? 0 : static_cast<std::size_t>(l));
}
} // namespace

bool Q_SameStrL(std::string_view a, std::string_view b, int l) { return head(a, l) == head(b, l); }

bool Q_SameTextL(std::string_view a, std::string_view b, int l)
{
    return Q_SameText(head(a, l), head(b, l));
}

int Q_CompStr(std::string_view a, std::string_view b)
{
    const int c = a.compare(b);  // std::char_traits<char> compares as unsigned char
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int Q_CompText(std::string_view a, std::string_view b)
{
    const unsigned char* up = upperTable();
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = up[static_cast<unsigned char>(a[i])];
        const int cb = up[static_cast<unsigned char>(b[i])];
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string Q_UpperCase(std::string_view s) { return upperCase(s); }
std::string Q_LowerCase(std::string_view s) { return lowerCase(s); }

std::string Q_ProperCase(std::string_view s, std::string_view delims)
{
    std::string out = lowerCase(s);
    bool atStart = true;
    for (char& c : out) {
        if (delims.find(c) != std::string_view::npos) {
            atStart = true;
        } else if (atStart) {
            c = upCase(c);
            atStart = false;
        }
    }
    return out;
}

void Q_CutLeft(std::string& s, int n)
{
    if (n >= 0) {
        s.erase(0, std::min<std::size_t>(static_cast<std::size_t>(n), s.size()));
    } else {
        const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(-static_cast<int64_t>(n)), s.size());
        s.erase(s.size() - k);
    }
}

void Q_Delete(std::string& s, int index, int count)
{
    if (index < 1 || count <= 0 || static_cast<std::size_t>(index) > s.size())
        return;
    s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
}

bool Q_TestByMask(std::string_view s, std::string_view mask, char maskChar)
{
    if (s.size() != mask.size())
        return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (mask[i] != maskChar && mask[i] != s[i])
            return false;
    return true;
}

bool Q_TestWildStr(std::string_view s, std::string_view mask, char maskChar, char wildCard)
{
    return detail::WildcardMatch(s, mask, wildCard, [maskChar](char m, char c) {
        return m == maskChar || m == c;
    });
}

int Q_StrScan(std::string_view s, char ch, int start)
{
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= s.size())
        return 0;
    const std::size_t at = s.find(ch, from);
    return at == std::string_view::npos ? 0 : static_cast<int>(at + 1);
}

int Q_PStrScan(const void* p, char ch, std::size_t len)
{
    if (p == nullptr || len == 0)
        return 0;
    const void* at = std::memchr(p, static_cast<unsigned char>(ch), len);
    return at == nullptr ? 0 : static_cast<int>(static_cast<const char*>(at) - static_cast<const char*>(p) + 1);
}

std::size_t Q_PStrLen(const char* p) { return p == nullptr ? 0 : std::strlen(p); }

void Q_FillChar(void* p, std::size_t len, char ch)
{
    if (len != 0)
        std::memset(p, static_cast<unsigned char>(ch), len);
}

void Q_CopyMem(const void* source, void* dest, std::size_t len)
{
    if (len != 0)
        std::memmove(dest, source, len);
}

void Q_TinyCopy(const void* source, void* dest, std::size_t len) { Q_CopyMem(source, dest, len); }

std::string Q_IntToStr(int64_t n) { return std::to_string(n); }

int VarStrPos(const char* p, std::string_view sub, std::size_t len)
{
    if (p == nullptr || sub.empty())
        return 0;
    return Q_PosStr(sub, std::string_view(p, len));
}

namespace {
// The first `len` bytes of `text`, never more than it has.
std::string_view range(std::string_view text, int len)
{
    return text.substr(0, len < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(len), text.size()));
}
} // namespace

int VarPos(std::string_view sub, std::string_view text, int start, int len)
{
    const std::string_view r = range(text, len);
    if (start < 0 || static_cast<std::size_t>(start) >= r.size() || sub.empty())
        return 0;
    const std::size_t at = r.find(sub, static_cast<std::size_t>(start));
    return at == std::string_view::npos ? 0 : static_cast<int>(at - static_cast<std::size_t>(start) + 1);
}

std::string VarCopy(std::string_view text, int start, int count, int len)
{
    const std::string_view r = range(text, len);
    if (start < 0 || count <= 0 || static_cast<std::size_t>(start) >= r.size())
        return std::string();
    return std::string(r.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count)));
}

} // namespace lm
