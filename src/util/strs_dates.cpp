// Durations as text, the format-driven date parser and the month and year boundaries.
#include "util/strs_dates.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/strs_numbers.h"

namespace lm {

namespace {

const char* const kInvalidDateTime = "Invalid date/time";

// The month of a lower-case English month name by its shortest distinguishing prefix; 0 when
// none matches.
int monthByName(std::string_view name)
{
    static const struct {
        const char* prefix;
        int month;
    } kMonths[] = {
        {"ap", 4}, {"au", 8}, {"de", 12}, {"fe", 2}, {"ja", 1}, {"jun", 6},
        {"jul", 7}, {"mar", 3}, {"may", 5}, {"no", 11}, {"oc", 10}, {"se", 9},
    };
    const std::string lower = lowerCase(name);
    for (const auto& m : kMonths)
        if (std::string_view(lower).starts_with(m.prefix))
            return m.month;
    return 0;
}

} // namespace

std::string LongTimetoStr(TDateTime t)
{
    const bool negative = t < 0;
    const double ms = std::round(std::fabs(t) * 86400000.0);
    if (!(ms < 9.0e18))  // beyond any date the platform can hold, or not a number
        throw EConvertError(kInvalidDateTime);
    const int64_t seconds = static_cast<int64_t>(ms) / 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%02lld:%02d:%02d", negative ? "-" : "",
                  static_cast<long long>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return buf;
}

TDateTime StrtoLongTime(std::string_view s)
{
    // The hours may have any number of digits; the rest is read as a time of day.
    const std::size_t colon = s.find(':');
    // Without a colon the hours are empty, which the integer conversion rejects.
    const std::string_view hoursText = colon == std::string_view::npos ? std::string_view() : s.substr(0, colon);
    const int hours = StrtoInt2(hoursText);
    const TDateTime rest = StrToTime("00" + std::string(s.substr(colon)));
    const TDateTime magnitude = std::fabs(static_cast<double>(hours)) / 24.0 + rest;
    return hoursText.starts_with('-') ? -magnitude : magnitude;
}

TDateTime StrtoDateFmt(std::string_view s, std::string_view fmt)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool hasTime = false, afternoon = false;
    std::size_t i = 0, j = 0;
    // A numeric field of `n` characters at the current place of `s`.
    auto field = [&](std::size_t n) {
        const int v = StrToInt(Trim(s.substr(j, n)));
        if (v < 0)
            throw EConvertError(kInvalidDateTime);
        return v;
    };
    while (i < fmt.size() && j < s.size()) {
        std::size_t n = 2;
        switch (fmt[i]) {
        case 'd':
            day = field(n);
            break;
        case 'h':
            hour = field(n);
            hasTime = true;
            break;
        case 'm':
            if (fmt.substr(i + 1, 2) == "mm") {
                n = 3;
                month = monthByName(s.substr(j, n));
            } else {
                month = field(n);
            }
            break;
        case 'n':
            minute = field(n);
            hasTime = true;
            break;
        case 'p':
            afternoon = s[j] == 'p' || s[j] == 'P';
            break;
        case 's':
            second = field(n);
            hasTime = true;
            break;
        case 'y':
            if (fmt.substr(i + 1, 2) == "yy") {
                n = 4;
                if (s.size() - j < n)
                    throw EConvertError(kInvalidDateTime);
                year = field(n);
            } else {
                year = field(n);
                year += year < 50 ? 2000 : 1900;
            }
            break;
        default:
            n = 1;
        }
        i += n;
        j += n;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || year > 9999)
        throw EConvertError(kInvalidDateTime);
    TDateTime result = EncodeDate(year, month, day);
    if (hasTime) {
        if (afternoon && hour < 12)
            hour += 12;
        if (hour > 23 || minute > 59 || second > 59)
            throw EConvertError(kInvalidDateTime);
        result += (hour * 3600 + minute * 60 + second) / 86400.0;
    }
    return result;
}

int Dow(TDateTime d) { return (DayOfWeek(d) + 5) % 7 + 1; }

namespace {
struct Ymd {
    int year, month, day;
};
Ymd decode(TDateTime d)
{
    Ymd r{};
    DecodeDate(d, r.year, r.month, r.day);
    return r;
}
} // namespace

TDateTime MonthStart(TDateTime d)
{
    const Ymd x = decode(d);
    return EncodeDate(x.year, x.month, 1);
}

TDateTime PrevMonthStart(TDateTime d)
{
    const Ymd x = decode(d);
    return x.month == 1 ? EncodeDate(x.year - 1, 12, 1) : EncodeDate(x.year, x.month - 1, 1);
}

TDateTime MonthEnd(TDateTime d)
{
    const Ymd x = decode(d);
    return EncodeDate(x.year, x.month, DaysInMonth(x.year, x.month));
}

TDateTime YearStart(TDateTime d) { return EncodeDate(decode(d).year, 1, 1); }

TDateTime YearEnd(TDateTime d) { return EncodeDate(decode(d).year, 12, 31); }

} // namespace lm
