// The regional settings, text trimming and the strict text-to-number conversions.
#include "util/sysutils.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "util/convertorraise.h"
#include "util/exceptions.h"
#include "util/floatdigits.h"

namespace lm {

// Initialised ahead of ordinary static objects, so static initialisers of other files already
// see the Russian settings.
__attribute__((init_priority(101))) TFormatSettings FormatSettings;

std::string TrimLeft(std::string_view s)
{
    std::size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s)
{
    std::size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s)
{
    return TrimLeft(TrimRight(s));
}

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Parses an integer: blanks around, an optional sign, then decimal digits or a hexadecimal
// number after "$", "0x" or "x". Decimal values must lie within [min, max]; hexadecimal ones
// may use the whole unsigned range of the type (so "$FFFFFFFF" is -1 as an int).
template <typename T>
bool parseInteger(std::string_view text, T& value)
{
    using U = std::make_unsigned_t<T>;
    const std::string s = Trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    }
    if (i >= s.size())
        return false;
    U mag = 0;
    const U base = hex ? 16 : 10;
    const U limit = hex ? std::numeric_limits<U>::max()
                        : (negative ? U(std::numeric_limits<T>::max()) + 1 : U(std::numeric_limits<T>::max()));
    for (; i < s.size(); ++i) {
        const int digit = hex ? hexValue(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (digit < 0)
            return false;
        if (mag > (limit - U(digit)) / base)
            return false;
        mag = mag * base + U(digit);
    }
    // Two's complement wrap: the magnitude (or its negation) reinterpreted as signed.
    value = static_cast<T>(negative ? U(0) - mag : mag);
    return true;
}

// Parses a decimal number: blanks around, an optional sign, digits with at most one decimal
// separator (at least one digit in all) and an optional exponent "E[sign]digits". No
// thousands separators.
bool parseDecimal(std::string_view text, detail::DecimalDigits& d)
{
    const std::string s = Trim(text);
    const char sep = FormatSettings.DecimalSeparator;
    d = detail::DecimalDigits{};
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        d.Negative = s[i++] == '-';
    bool anyDigit = false;
    bool afterPoint = false;
    int pointShift = 0;  // digits seen before the point, less the leading zeros skipped
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (c == '0' && d.Digits.empty()) {
                if (afterPoint)
                    --pointShift;
                continue;
            }
            d.Digits += c;
            if (!afterPoint)
                ++pointShift;
        } else if (c == sep && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return false;
    long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            expNegative = s[i++] == '-';
        if (i >= s.size())
            return false;
        for (; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9')
                return false;
            if (exponent < 100000)  // far beyond any double; keeps the sum from overflowing
                exponent = exponent * 10 + (s[i] - '0');
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != s.size())
        return false;
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty())
        d = detail::DecimalDigits{};
    else
        d.Exponent = pointShift + static_cast<int>(exponent);
    return true;
}

constexpr const char* kInvalidInteger = "'%s' is not a valid integer value";
constexpr const char* kInvalidFloat = "'%s' is not a valid floating point value";

} // namespace

bool TryStrToInt(std::string_view s, int& value)
{
    return parseInteger(s, value);
}

bool TryStrToInt64(std::string_view s, int64_t& value)
{
    return parseInteger(s, value);
}

int StrToInt(std::string_view s)
{
    return detail::ConvertOrRaise(TryStrToInt, s, kInvalidInteger);
}

int64_t StrToInt64(std::string_view s)
{
    return detail::ConvertOrRaise(TryStrToInt64, s, kInvalidInteger);
}

int StrToIntDef(std::string_view s, int def)
{
    int value = 0;
    return TryStrToInt(s, value) ? value : def;
}

bool TryStrToFloat(std::string_view s, double& value)
{
    detail::DecimalDigits d;
    if (!parseDecimal(s, d))
        return false;
    if (d.IsZero()) {
        value = 0;
        return true;
    }
    // from_chars does not depend on the C locale, which a GUI host may have changed.
    const std::string canonical = "0." + d.Digits + "e" + std::to_string(d.Exponent);
    double v = 0;
    const auto r = std::from_chars(canonical.data(), canonical.data() + canonical.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        if (d.Exponent > 0)
            return false;  // too large for a double
        v = 0;             // too small: it is zero
    } else if (r.ec != std::errc() || !std::isfinite(v)) {
        return false;
    }
    value = d.Negative ? -v : v;
    return true;
}

double StrToFloat(std::string_view s)
{
    return detail::ConvertOrRaise(TryStrToFloat, s, kInvalidFloat);
}

bool TryStrToCurr(std::string_view s, Currency& value)
{
    detail::DecimalDigits d;
    int64_t raw = 0;
    if (!parseDecimal(s, d) || !detail::toScaledInteger(d, 4, raw))
        return false;
    value = Currency::FromRaw(raw);
    return true;
}

Currency StrToCurr(std::string_view s)
{
    return detail::ConvertOrRaise(TryStrToCurr, s, kInvalidFloat);
}

std::string IntToStr(int64_t n)
{
    return std::to_string(n);
}

} // namespace lm
