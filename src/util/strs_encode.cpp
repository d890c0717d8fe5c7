// Tag stripping, URL and code-list decoding, hexadecimal dumps and the base-36 code counter.
#include "util/strs_encode.h"

#include <cstdint>
#include <cstdlib>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

std::string RemoveTags(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    while (from < s.size()) {
        const std::size_t open = s.find('<', from);
        out.append(s.substr(from, open - from));
        if (open == std::string_view::npos)
            break;
        const std::size_t close = s.find('>', open);
        if (close == std::string_view::npos)
            break;
        from = close + 1;
    }
    return out;
}

std::string RemoveTagsInsideTag(std::string_view s, std::string_view tag)
{
    const std::string open = std::string("<").append(tag);
    const std::string close = std::string("</").append(tag);
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    while (from < s.size()) {
        const std::size_t start = s.find(open, from);
        const std::size_t startEnd = start == std::string_view::npos ? start : s.find('>', start);
        if (startEnd == std::string_view::npos) {
            out.append(s.substr(from));
            break;
        }
        out.append(s.substr(from, startEnd + 1 - from));  // text before and the start tag
        const std::size_t end = s.find(close, startEnd + 1);
        out += RemoveTags(s.substr(startEnd + 1, end - (startEnd + 1)));
        if (end == std::string_view::npos)
            break;
        const std::size_t endEnd = s.find('>', end);
        const std::size_t after = endEnd == std::string_view::npos ? s.size() : endEnd + 1;
        out.append(s.substr(end, after - end));
        from = after;
    }
    return out;
}

namespace {
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

std::string HTTPDecode(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 1 < s.size() && s[i + 1] == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string DecodeString(std::string_view s)
{
    if (!s.starts_with('^'))
        return std::string(s);
    std::string out;
    std::size_t from = 1;
    while (true) {
        const std::size_t next = s.find('^', from);
        out += static_cast<char>(StrToInt(Trim(s.substr(from, next - from))) & 0xFF);
        if (next == std::string_view::npos)
            break;
        from = next + 1;
    }
    return out;
}

std::string HextoStr(std::string_view s)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size() * 2);
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
    return out;
}

std::string ShiftStr(std::string_view s, int n)
{
    std::string out(s);
    const auto shift = static_cast<unsigned>(n);  // wraps modulo 256 below as unsigned arithmetic
    for (char& c : out)
        c = static_cast<char>((static_cast<unsigned char>(c) + shift) & 0xFFu);
    return out;
}

std::string CodeWordChange(std::string_view w, int delta)
{
    static constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (w.size() > 2)
        throw EConvertError(Format("Неверный код %s"_w, {w}));
    std::string code = std::string(2 - w.size(), '0') + std::string(w);
    // 1-based places of the two digits in kDigits.
    int p[2];
    for (int k = 0; k < 2; ++k) {
        const std::size_t at = kDigits.find(upCase(code[static_cast<std::size_t>(k)]));
        if (at == std::string_view::npos)
            throw EConvertError(Format("Неверный код %s"_w, {w}));
        p[k] = static_cast<int>(at) + 1;
    }
    const int64_t magnitude = std::llabs(static_cast<int64_t>(delta));
    int64_t q = magnitude / 36;
    int64_t r = magnitude % 36;
    int64_t high, low;
    if (delta >= 0) {
        if (p[1] + r > 36) {
            ++q;
            r -= 36;
        }
        high = p[0] + q;
        low = p[1] + r;
        if (high > 36)
            return "ZZ";
    } else {
        if (p[1] - r < 1) {
            ++q;
            r -= 36;
        }
        if (p[0] - q <= 0)
            return "00";
        high = p[0] - q;
        low = p[1] - r;
    }
    return {kDigits[static_cast<std::size_t>(high - 1)], kDigits[static_cast<std::size_t>(low - 1)]};
}

} // namespace lm
