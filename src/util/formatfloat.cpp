// Number to text: the general format and the pattern-driven FormatFloat/FormatCurr.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "util/floatdigits.h"
#include "util/sysutils.h"

namespace lm {

namespace detail {

DecimalDigits toDecimal(double value, int precision)
{
    DecimalDigits d;
    if (value == 0)
        return d;
    d.Negative = value < 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(value));
    // buf is "d.ddddde+XX"
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.Digits += *p;
    d.Exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty())
        d = DecimalDigits{};
    return d;
}

DecimalDigits toDecimal(int64_t raw, int scale)
{
    DecimalDigits d;
    if (raw == 0)
        return d;
    d.Negative = raw < 0;
    // The magnitude through unsigned arithmetic, so INT64_MIN has one too.
    uint64_t mag = d.Negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
    d.Digits = std::to_string(mag);
    d.Exponent = static_cast<int>(d.Digits.size()) - scale;
    while (d.Digits.back() == '0')
        d.Digits.pop_back();
    return d;
}

// Keeps the first `keep` digits, rounding the rest off half away from zero.
static void roundAt(DecimalDigits& d, int keep)
{
    if (d.IsZero() || keep >= static_cast<int>(d.Digits.size()))
        return;
    if (keep < 0) {
        d = DecimalDigits{};
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == '9')
            d.Digits[i--] = '0';
        if (i >= 0) {
            ++d.Digits[i];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty())
        d = DecimalDigits{};
}

void roundToDecimals(DecimalDigits& d, int decimals)
{
    roundAt(d, d.Exponent + decimals);
}

void roundToSignificant(DecimalDigits& d, int count)
{
    roundAt(d, count);
}

} // namespace detail

using detail::DecimalDigits;

namespace {

// The general format: plain digits while the decimal exponent stays within `precision` places
// and the value is at least 0.0001, otherwise the scientific form "1,5E-5".
std::string generalText(const DecimalDigits& d, int precision)
{
    if (d.IsZero())
        return "0";
    std::string out = d.Negative ? "-" : "";
    const char sep = FormatSettings.DecimalSeparator;
    if (d.Exponent > precision || d.Exponent < -3) {
        out += d.Digits[0];
        if (d.Digits.size() > 1) {
            out += sep;
            out.append(d.Digits, 1);
        }
        out += 'E';
        out += std::to_string(d.Exponent - 1);
        return out;
    }
    if (d.Exponent <= 0) {
        out += '0';
        out += sep;
        out.append(static_cast<std::size_t>(-d.Exponent), '0');
        out += d.Digits;
        return out;
    }
    const auto intLen = static_cast<std::size_t>(d.Exponent);
    if (d.Digits.size() <= intLen) {
        out += d.Digits;
        out.append(intLen - d.Digits.size(), '0');
    } else {
        out.append(d.Digits, 0, intLen);
        out += sep;
        out.append(d.Digits, intLen);
    }
    return out;
}

std::string specialText(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Splits a pattern at the ";" outside quoted text.
std::vector<std::string_view> splitSections(std::string_view pattern)
{
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

// What one section asks for.
struct SectionLayout {
    int IntDigits = 0;      // "0" and "#" before the decimal point
    int ForcedInt = 0;      // integer places always written (from the first "0" on)
    int FracDigits = 0;     // placeholders after the decimal point
    int ForcedFrac = 0;     // fraction places always written (up to the last "0")
    bool Thousands = false;
    bool Scientific = false;
};

// True when the section has an exponent marker at i: "E+" or "E-" (either case).
bool isExponentAt(std::string_view s, std::size_t i)
{
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

SectionLayout scanSection(std::string_view s)
{
    SectionLayout l;
    bool afterPoint = false;
    int firstZero = -1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const auto close = s.find(c, i + 1);
            i = close == std::string_view::npos ? s.size() : close;
        } else if (c == '0' || c == '#') {
            if (afterPoint) {
                ++l.FracDigits;
                if (c == '0')
                    l.ForcedFrac = l.FracDigits;
            } else {
                if (c == '0' && firstZero < 0)
                    firstZero = l.IntDigits;
                ++l.IntDigits;
            }
        } else if (c == '.') {
            afterPoint = true;
        } else if (c == ',') {
            l.Thousands = true;
        } else if (isExponentAt(s, i)) {
            l.Scientific = true;
            break;
        }
    }
    if (firstZero >= 0)
        l.ForcedInt = l.IntDigits - firstZero;
    return l;
}

// Writes one section for a value already rounded as the layout requires. `intText` holds the
// integer digits (with the forced leading zeros), `fracText` the fraction digits to write.
std::string renderSection(std::string_view s, const SectionLayout& l, const std::string& intText,
                          const std::string& fracText, bool minus, int exponent)
{
    std::string out;
    const int intLen = static_cast<int>(intText.size());
    int intSeen = 0;   // integer placeholders passed
    int fracSeen = 0;  // fraction placeholders passed
    bool afterPoint = false;
    bool minusDone = !minus;
    bool exponentDone = false;  // placeholders after the exponent have nothing left to show

    auto putIntPlace = [&](int place) {  // place 1 = units
        if (place >= 1 && place <= intLen) {
            out += intText[intLen - place];
            if (l.Thousands && place > 1 && (place - 1) % 3 == 0)
                out += FormatSettings.ThousandSeparator;
        }
    };
    auto startNumber = [&] {
        if (!minusDone) {
            out += '-';
            minusDone = true;
        }
    };

    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const auto close = s.find(c, i + 1);
            const auto end = close == std::string_view::npos ? s.size() : close;
            out.append(s.substr(i + 1, end - i - 1));
            i = end;
        } else if (exponentDone && (c == '0' || c == '#' || c == '.' || c == ',')) {
            // nothing: the number is complete
        } else if (c == '0' || c == '#') {
            startNumber();
            if (!afterPoint) {
                const int place = l.IntDigits - intSeen;
                if (intSeen == 0)
                    for (int p = intLen; p > place; --p)
                        putIntPlace(p);
                putIntPlace(place);
                ++intSeen;
            } else {
                if (fracSeen < static_cast<int>(fracText.size()))
                    out += fracText[fracSeen];
                ++fracSeen;
            }
        } else if (c == '.') {
            if (afterPoint)
                continue;
            startNumber();
            if (intSeen == 0)  // a pattern with no integer placeholders still shows the integer part
                for (int p = intLen; p >= 1; --p)
                    putIntPlace(p);
            afterPoint = true;
            intSeen = l.IntDigits;
            if (!fracText.empty())
                out += FormatSettings.DecimalSeparator;
        } else if (c == ',') {
            // grouping is a property of the whole section
        } else if (isExponentAt(s, i)) {
            out += c;
            const char signMode = s[i + 1];
            i += 2;
            int expDigits = 0;
            while (i < s.size() && s[i] == '0') {
                ++expDigits;
                ++i;
            }
            --i;
            exponentDone = true;
            if (exponent < 0)
                out += '-';
            else if (signMode == '+')
                out += '+';
            std::string e = std::to_string(std::abs(exponent));
            const auto minDigits = static_cast<std::size_t>(std::min(expDigits, 4));
            if (e.size() < minDigits)
                e.insert(0, minDigits - e.size(), '0');
            out += e;
        } else {
            out += c;
        }
    }
    return out;
}

// Formats `value` (unrounded digits) by one section. Sets `roundedToZero` when nothing is left
// after rounding.
std::string formatSection(std::string_view s, DecimalDigits value, bool minus, bool& roundedToZero)
{
    const SectionLayout l = scanSection(s);
    int exponent = 0;
    if (l.Scientific) {
        detail::roundToSignificant(value, std::max(1, l.IntDigits + l.FracDigits));
        if (!value.IsZero())
            exponent = value.Exponent - l.IntDigits;
        value.Exponent -= exponent;
    } else {
        detail::roundToDecimals(value, l.FracDigits);
    }
    roundedToZero = value.IsZero();

    std::string intText;
    std::string fracText;
    if (value.Exponent > 0) {
        const auto len = static_cast<std::size_t>(value.Exponent);
        intText = value.Digits.substr(0, std::min(len, value.Digits.size()));
        intText.append(len - intText.size(), '0');
        if (value.Digits.size() > len)
            fracText = value.Digits.substr(len);
    } else if (!value.IsZero()) {
        fracText.assign(static_cast<std::size_t>(-value.Exponent), '0');
        fracText += value.Digits;
    }
    // A mantissa always shows its units digit, even under "#": zero is "0E0".
    const int forcedInt = l.Scientific && l.IntDigits > 0 ? std::max(l.ForcedInt, 1) : l.ForcedInt;
    if (static_cast<int>(intText.size()) < forcedInt)
        intText.insert(0, static_cast<std::size_t>(forcedInt) - intText.size(), '0');
    if (static_cast<int>(fracText.size()) < l.ForcedFrac)
        fracText.append(static_cast<std::size_t>(l.ForcedFrac) - fracText.size(), '0');
    return renderSection(s, l, intText, fracText, minus && !roundedToZero, exponent);
}

bool hasSection(const std::vector<std::string_view>& sections, std::size_t i)
{
    return i < sections.size() && !sections[i].empty();
}

// The pattern engine shared by FormatFloat and FormatCurr. `generalPrecision` is the number of
// significant digits of the general format used for an empty pattern or a huge value.
std::string formatDigits(std::string_view pattern, const DecimalDigits& value, int generalPrecision)
{
    const auto sections = splitSections(pattern);
    std::size_t index = 0;
    if (value.IsZero() && hasSection(sections, 2))
        index = 2;
    else if (value.Negative && hasSection(sections, 1))
        index = 1;
    const std::string_view section = sections[index];
    if (section.empty())
        return generalText(value, generalPrecision);
    // A fixed-point pattern cannot hold more than 18 integer digits; the general format can.
    if (value.Exponent > 18 && !scanSection(section).Scientific)
        return generalText(value, generalPrecision);

    bool roundedToZero = false;
    std::string out = formatSection(section, value, index == 0 && value.Negative, roundedToZero);
    if (roundedToZero && !value.IsZero() && hasSection(sections, 2))
        out = formatSection(sections[2], DecimalDigits{}, false, roundedToZero);
    return out;
}

constexpr int kDoublePrecision = 15;

} // namespace

std::string FloatToStr(double value)
{
    if (!std::isfinite(value))
        return specialText(value);
    return generalText(detail::toDecimal(value, kDoublePrecision), kDoublePrecision);
}

std::string CurrToStr(Currency value)
{
    return generalText(detail::toDecimal(value.Raw(), 4), 19);
}

std::string FormatFloat(std::string_view pattern, double value)
{
    if (!std::isfinite(value))
        return specialText(value);
    // The 15 significant digits first: a value written as 1.005 is formatted as 1.005, not as
    // the 1.00499999... that its binary form holds.
    return formatDigits(pattern, detail::toDecimal(value, kDoublePrecision), kDoublePrecision);
}

std::string FormatCurr(std::string_view pattern, Currency value)
{
    return formatDigits(pattern, detail::toDecimal(value.Raw(), 4), 19);
}

} // namespace lm
