// Windows-1251 conversions to and from UTF-8/UTF-16, and the case tables of the code page.
#include "util/cp1251.h"

namespace lm {

namespace {

struct CaseTables {
    unsigned char upper[256];
    unsigned char lower[256];
    bool letter[256];

    CaseTables()
    {
        for (int i = 0; i < 256; ++i) {
            upper[i] = lower[i] = static_cast<unsigned char>(i);
            letter[i] = false;
        }
        auto pair = [this](int up, int lo) {
            upper[lo] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(lo);
            letter[up] = letter[lo] = true;
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c) // А..Я / а..я
            pair(c, c + 32);
        // The other Cyrillic letters of the code page, by their Unicode pairs.
        for (int hi = 0x80; hi < 0x100; ++hi) {
            const char16_t u = detail::kCp1251High[hi - 0x80];
            if (u >= 0x0400 && u <= 0x040F) {
                const int lo = detail::cp1251FromUnicode(u + 0x50);
                if (lo > 0)
                    pair(hi, lo);
            } else if (u == 0x0490) { // Ґ ґ
                pair(hi, detail::cp1251FromUnicode(0x0491));
            }
        }
    }
};

const CaseTables& tables()
{
    static const CaseTables t;
    return t;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Reverse table for code points U+0080..U+FFFF that the code page has, built once.
struct ReverseTable {
    struct Entry { char16_t cp; unsigned char byte; };
    Entry entries[128];
    int count = 0;
    ReverseTable()
    {
        for (int i = 0; i < 128; ++i)
            if (detail::kCp1251High[i] != 0)
                entries[count++] = {detail::kCp1251High[i], static_cast<unsigned char>(0x80 + i)};
    }
    char fromUnicode(char32_t cp) const
    {
        if (cp < 0x80)
            return static_cast<char>(cp);
        if (cp >= 0x0410 && cp <= 0x044F) // the common case: Russian letters
            return static_cast<char>(cp - 0x0410 + 0xC0);
        for (int i = 0; i < count; ++i)
            if (entries[i].cp == cp)
                return static_cast<char>(entries[i].byte);
        return '?';
    }
};

const ReverseTable& reverse()
{
    static const ReverseTable r;
    return r;
}

} // namespace

char16_t cp1251ToUnicode(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    const char16_t u = detail::kCp1251High[byte - 0x80];
    return u ? u : u'?';
}

std::string cp1251ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text)
        appendUtf8(out, cp1251ToUnicode(c));
    return out;
}

std::string utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = u'?';  // a lone surrogate
        appendUtf8(out, cp);
    }
    return out;
}

std::u16string cp1251ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (unsigned char c : text)
        out += cp1251ToUnicode(c);
    return out;
}

std::string utf8ToCp1251(std::string_view text)
{
    const ReverseTable& rev = reverse();
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (b < 0x80) { cp = b; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; extra = 3; }
        else { out += '?'; ++i; continue; }
        if (i + extra >= text.size()) { // truncated sequence at the end
            out += '?';
            break;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) { out += '?'; ++i; continue; }
        out += rev.fromUnicode(cp);
        i += 1 + extra;
    }
    return out;
}

bool tryUtf8ToCp1251(std::string_view text, std::string& out)
{
    const ReverseTable& rev = reverse();
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t cp = b, least = 0;
        if (b >= 0x80) {
            if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; least = 0x80; }
            else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; least = 0x800; }
            else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; extra = 3; least = 0x10000; }
            else return false;
        }
        if (text.size() - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and what lies beyond Unicode are not UTF-8; the zero
        // character would end the text where it is passed on.
        if (cp < least || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        const char c = rev.fromUnicode(cp);
        if (c == '?' && cp != '?')
            return false;
        out += c;
        i += 1 + extra;
    }
    return true;
}

std::string utf16ToCp1251(std::u16string_view text)
{
    const ReverseTable& rev = reverse();
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) { // a pair: never in the code page
            ++i;
            out += '?';
            continue;
        }
        out += rev.fromUnicode(c);
    }
    return out;
}

unsigned char upCase(unsigned char c) { return tables().upper[c]; }
unsigned char loCase(unsigned char c) { return tables().lower[c]; }
bool isLetter(unsigned char c) { return tables().letter[c]; }
bool isCyrillic(unsigned char c) { return c >= 0x80 && tables().letter[c]; }
const unsigned char* upperTable() { return tables().upper; }
const unsigned char* lowerTable() { return tables().lower; }

std::string upperCase(std::string_view text)
{
    const unsigned char* t = tables().upper;
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return out;
}

std::string lowerCase(std::string_view text)
{
    const unsigned char* t = tables().lower;
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return out;
}

} // namespace lm
