// Lenient number parsing and the small numeric helpers.
#include "util/strs_numbers.h"

#include <cmath>

#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {
// Both "," and "." become the locale's decimal separator.
std::string withLocaleDecimal(std::string_view s)
{
    std::string t(s);
    for (char& c : t)
        if (c == ',' || c == '.')
            c = FormatSettings.DecimalSeparator;
    return t;
}
} // namespace

double iStrtoFloat(std::string_view s) { return s.empty() ? 0.0 : StrToFloat(withLocaleDecimal(s)); }

Currency iStrtoCurr(std::string_view s) { return s.empty() ? Currency() : StrToCurr(withLocaleDecimal(s)); }

int iStrtoInt(std::string_view s) { return s.empty() ? 0 : StrToInt(s); }

int IntParam(std::string_view s, int def) { return s.empty() ? def : StrToInt(s); }

std::string IntToStr2(int n)
{
    std::string t = IntToStr(n);
    return t.size() == 1 ? "0" + t : t;
}

int StrtoInt2(std::string_view s)
{
    return StrToInt(s.size() == 2 && s[0] == '0' ? s.substr(1) : s);
}

int64_t MathRound(double x)
{
    // 2^63 is the first double past the int64 range; NaN fails both comparisons.
    if (!(x > -9223372036854775808.0 && x < 9223372036854775808.0))
        throw Exception("Invalid floating point operation");
    if (x > 0 && x - std::floor(x) == 0.5)
        return static_cast<int64_t>(std::floor(x)) + 1;
    return static_cast<int64_t>(std::nearbyint(x));
}

std::string BooltoStr(bool b) { return b ? "1" : "0"; }

uint32_t StrtoIP(std::string_view s)
{
    uint32_t ip = 0;
    for (int part = 0; part < 4; ++part) {
        std::string_view piece = s;
        if (part < 3) {
            const std::size_t dot = s.find('.');
            piece = s.substr(0, dot);
            s = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
        }
        ip = (ip << 8) | (static_cast<uint32_t>(StrToInt(piece)) & 0xFFu);
    }
    return ip;
}

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }
double Min(double a, double b) { return a < b ? a : b; }
double Max(double a, double b) { return a > b ? a : b; }

std::string IIF(bool b, const std::string& a, const std::string& c) { return b ? a : c; }
int IIF(bool b, int a, int c) { return b ? a : c; }
double IIF(bool b, double a, double c) { return b ? a : c; }

} // namespace lm
