// Windows-1251 text: the compile-time literal helper, conversion to and from UTF-8, and the
// code page's letter case tables.
//
// Internal text is std::string holding Windows-1251 bytes. Russian literals are written in
// UTF-8 source and turned into Windows-1251 at compile time with the _w suffix:
//     std::string caption = "Фильтр"_w;
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lm {

namespace detail {

// Unicode code points of the bytes 0x80..0xFF of Windows-1251 (0 where the byte is unassigned).
inline constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// The Windows-1251 byte of a code point, or -1 when the code page has no such character.
constexpr int cp1251FromUnicode(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<int>(cp);
    for (std::size_t i = 0; i < kCp1251High.size(); ++i)
        if (kCp1251High[i] != 0 && kCp1251High[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

template <std::size_t N>
struct Utf8Literal {
    char bytes[N];
    constexpr Utf8Literal(const char (&s)[N])
    {
        for (std::size_t i = 0; i < N; ++i)
            bytes[i] = s[i];
    }
};

// Decodes the UTF-8 literal at compile time; a character outside the code page, or malformed
// UTF-8, stops the compilation (the throw is not a constant expression).
template <std::size_t N>
constexpr std::array<char, N> toCp1251(const Utf8Literal<N>& lit)
{
    std::array<char, N> out{};
    std::size_t o = 0;
    for (std::size_t i = 0; i + 1 < N;) {
        const auto b = static_cast<unsigned char>(lit.bytes[i]);
        char32_t cp = 0;
        int extra = 0;
        if (b < 0x80) { cp = b; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; }
        else { throw "literal is not valid UTF-8 for Windows-1251"; }
        ++i;
        for (int k = 0; k < extra; ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(lit.bytes[i]) & 0x3F);
        const int byte = cp1251FromUnicode(cp);
        if (byte < 0)
            throw "character has no Windows-1251 byte";
        out[o++] = static_cast<char>(byte);
    }
    out[o] = '\0';
    return out;
}

template <Utf8Literal L>
struct Cp1251Storage {
    static constexpr std::array<char, sizeof(L.bytes)> value = toCp1251(L);
};

} // namespace detail

inline namespace literals {
// "Фильтр"_w: the zero-terminated Windows-1251 form of a UTF-8 literal, made at compile time.
template <detail::Utf8Literal L>
constexpr const char* operator""_w()
{
    return detail::Cp1251Storage<L>::value.data();
}
} // namespace literals

// Conversions at the edges (terminal, Qt, xlsx/ods, PDF). Characters that the code page lacks
// become '?'; malformed UTF-8 bytes become '?' too.
std::string cp1251ToUtf8(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);
std::string utf8ToCp1251(std::string_view text);
// The lossless form of utf8ToCp1251 for input that must not change on the way: false (and out
// unspecified) when text is not well-formed UTF-8 (overlong forms and surrogates included),
// holds the zero character, or holds a character that Windows-1251 lacks.
bool tryUtf8ToCp1251(std::string_view text, std::string& out);
std::u16string cp1251ToUtf16(std::string_view text);
std::string utf16ToCp1251(std::u16string_view text);
char16_t cp1251ToUnicode(unsigned char byte);

// Letter case by the code page's own tables: Latin, Russian (Ё/ё included) and the other
// Cyrillic letters of Windows-1251. Never the C locale.
unsigned char upCase(unsigned char c);
unsigned char loCase(unsigned char c);
inline char upCase(char c) { return static_cast<char>(upCase(static_cast<unsigned char>(c))); }
inline char loCase(char c) { return static_cast<char>(loCase(static_cast<unsigned char>(c))); }
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);
bool isLetter(unsigned char c);
bool isCyrillic(unsigned char c);
// The 256-byte tables themselves, for loops that convert in place.
const unsigned char* upperTable();
const unsigned char* lowerTable();

} // namespace lm
