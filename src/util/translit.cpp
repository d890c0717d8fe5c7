// The transliteration table and the two walks over it.
#include "util/translit.h"

#include <cstddef>

#include "util/cp1251.h"

namespace lm {

namespace {

// The 33 lower-case Russian letters (ъ, ь, ы in this order) and their Latin forms.
const char* const kLetters = "абвгдеёжзийклмнопрстуфхцчшщъьыэюя"_w;
const char* const kLatin[33] = {
    "a", "b", "v", "g", "d", "e", "yo", "zh", "z", "i", "y", "k", "l", "m", "n", "o", "p",
    "r", "s", "t", "u", "f", "h", "ts", "ch", "sh", "sch", "'", "'", "y", "e", "yu", "ya",
};
constexpr int kLetterCount = 33;

int letterIndex(char c)
{
    for (int i = 0; i < kLetterCount; ++i)
        if (kLetters[i] == c)
            return i;
    return -1;
}

// Index of the first letter whose Latin form equals `chunk`, or -1.
int latinIndex(std::string_view chunk)
{
    for (int i = 0; i < kLetterCount; ++i)
        if (chunk == kLatin[i])
            return i;
    return -1;
}

} // namespace

std::string TransliterateRE(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (const char c : s) {
        if (const int i = letterIndex(c); i >= 0) {
            out += kLatin[i];
        } else if (const int j = letterIndex(loCase(c)); j >= 0) {
            out += upperCase(kLatin[j]);
        } else {
            out += c;
        }
    }
    return out;
}

std::string TransliterateER(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (s.substr(pos, 3) == "sch") {
            out += "щ"_w;
            pos += 3;
            continue;
        }
        std::size_t taken = 0;
        for (std::size_t len = 2; len >= 1 && taken == 0; --len) {
            if (pos + len > s.size())
                continue;
            const std::string_view chunk = s.substr(pos, len);
            if (const int i = latinIndex(chunk); i >= 0) {
                out += kLetters[i];
                taken = len;
            } else if (const int j = latinIndex(lowerCase(chunk)); j >= 0) {
                out += upCase(kLetters[j]);
                taken = len;
            }
        }
        if (taken == 0) {
            out += s[pos];
            taken = 1;
        }
        pos += taken;
    }
    return out;
}

} // namespace lm
