// Date-time arithmetic and parsing over TDateTime (days since 30 December 1899).
//
// A negative TDateTime keeps the time of day in the absolute value of its fraction: -1.25 is
// 29 December 1899, 06:00. Encoding and decoding follow that rule in both directions.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <ctime>

#include "util/convertorraise.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

constexpr int64_t kMSecsPerDay = 86400000;

// Days from 1970-01-01 of a proleptic Gregorian date (valid for any year).
constexpr int64_t daysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int64_t& y, int& m, int& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

constexpr int64_t kEpochFrom1970 = daysFromCivil(1899, 12, 30);

// Splits a date-time into its day number and the milliseconds of its time of day, rounding
// to the millisecond (so 23:59:59.9999 becomes the next midnight).
void splitDateTime(TDateTime dt, int64_t& days, int64_t& msecs)
{
    // 1e11 days is far past any year an int can hold; beyond it (or NaN) there is no date.
    if (!(std::fabs(dt) < 1e11))
        throw EConvertError(Format("'%s' is not a valid date and time", {FloatToStr(dt)}));
    double whole = 0;
    const double frac = std::modf(dt, &whole);
    days = static_cast<int64_t>(whole);
    msecs = std::llround(std::fabs(frac) * kMSecsPerDay);
    if (msecs >= kMSecsPerDay) {
        msecs -= kMSecsPerDay;
        days += dt < 0 ? -1 : 1;
    }
}

// Joins a date and a time of day by the sign rule of negative date-times.
TDateTime composeDateTime(TDateTime date, TDateTime time)
{
    return date < 0 ? date - time : date + time;
}

} // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    value = static_cast<TDateTime>(daysFromCivil(year, month, day) - kEpochFrom1970);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime value = 0;
    if (!TryEncodeDate(year, month, day, value))
        throw EConvertError("Invalid argument to date encode");
    return value;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    value = static_cast<TDateTime>(((hour * 60 + minute) * 60 + second) * 1000 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime value = 0;
    if (!TryEncodeTime(hour, minute, second, msec, value))
        throw EConvertError("Invalid argument to time encode");
    return value;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day)
{
    int64_t days = 0;
    int64_t msecs = 0;
    splitDateTime(dt, days, msecs);
    int64_t y = 0;
    civilFromDays(days + kEpochFrom1970, y, month, day);
    year = static_cast<int>(y);
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec)
{
    int64_t days = 0;
    int64_t msecs = 0;
    splitDateTime(dt, days, msecs);
    msec = static_cast<int>(msecs % 1000);
    second = static_cast<int>(msecs / 1000 % 60);
    minute = static_cast<int>(msecs / 60000 % 60);
    hour = static_cast<int>(msecs / 3600000);
}

int DayOfWeek(TDateTime dt)
{
    int64_t days = 0;
    int64_t msecs = 0;
    splitDateTime(dt, days, msecs);
    // 30 December 1899 was a Saturday (7).
    const int64_t r = ((days + 6) % 7 + 7) % 7;
    return static_cast<int>(r) + 1;
}

TDateTime Now()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
           EncodeTime(tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59), static_cast<int>(ms));
}

TDateTime Date()
{
    return std::floor(Now());
}

TDateTime IncMonth(TDateTime dt, int months)
{
    int year = 0, month = 0, day = 0;
    DecodeDate(dt, year, month, day);
    const int64_t total = int64_t(year) * 12 + (month - 1) + months;
    const int64_t newYear = total >= 0 ? total / 12 : (total - 11) / 12;
    const int newMonth = static_cast<int>(total - newYear * 12) + 1;
    if (newYear < 1 || newYear > 9999)
        throw EConvertError("Invalid argument to date encode");
    const int y = static_cast<int>(newYear);
    const TDateTime date = EncodeDate(y, newMonth, std::min(day, DaysInMonth(y, newMonth)));
    double whole = 0;
    const double time = std::fabs(std::modf(dt, &whole));
    return composeDateTime(date, time);
}

namespace {

// A cursor over the text being parsed.
struct Scanner {
    std::string_view s;
    std::size_t pos = 0;

    void skipBlanks()
    {
        while (pos < s.size() && static_cast<unsigned char>(s[pos]) <= ' ')
            ++pos;
    }
    bool atEnd()
    {
        skipBlanks();
        return pos >= s.size();
    }
    // A run of 1 to 4 digits after optional blanks; `digits` gets its length.
    bool number(int& value, int& digits)
    {
        skipBlanks();
        const std::size_t start = pos;
        value = 0;
        while (pos < s.size() && pos - start < 5 && s[pos] >= '0' && s[pos] <= '9')
            value = value * 10 + (s[pos++] - '0');
        digits = static_cast<int>(pos - start);
        if (digits == 0 || digits > 4) {
            pos = start;
            return false;
        }
        return true;
    }
    bool character(char c)
    {
        skipBlanks();
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
    // A word, ignoring letter case.
    bool word(std::string_view w)
    {
        skipBlanks();
        if (s.size() - pos < w.size())
            return false;
        for (std::size_t k = 0; k < w.size(); ++k)
            if (std::toupper(static_cast<unsigned char>(s[pos + k])) != w[k])
                return false;
        pos += w.size();
        return true;
    }
};

// The order of day, month and year in ShortDateFormat: "DMY", "MDY" or "YMD".
std::string dateOrder()
{
    std::string order;
    for (const char c : FormatSettings.ShortDateFormat) {
        const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if ((u == 'D' || u == 'M' || u == 'Y') && order.find(u) == std::string::npos)
            order += u;
    }
    if (order == "MDY" || order == "YMD")
        return order;
    return "DMY";
}

// A year written with one or two digits lies within the 50 years before and the 49 after the
// current year's half-century window: with 2026 as now, "07" is 2007 and "80" is 1980.
int expandYear(int year, int digits)
{
    if (digits > 2)
        return year;
    int currentYear = 0, m = 0, d = 0;
    DecodeDate(Now(), currentYear, m, d);
    const int pivot = currentYear - 50;
    year += pivot / 100 * 100;
    if (year < pivot)
        year += 100;
    return year;
}

bool scanDate(Scanner& sc, TDateTime& value)
{
    int n[3] = {0, 0, 0};
    int len[3] = {0, 0, 0};
    int count = 0;
    if (!sc.number(n[0], len[0]))
        return false;
    count = 1;
    while (count < 3) {
        const std::size_t save = sc.pos;
        if (!sc.character(FormatSettings.DateSeparator))
            break;
        if (!sc.number(n[count], len[count])) {
            sc.pos = save;
            break;
        }
        ++count;
    }
    if (count < 2)
        return false;
    const std::string order = dateOrder();
    int year = 0, month = 0, day = 0;
    if (count == 2) {
        int m = 0;
        DecodeDate(Now(), year, m, day);
        if (order == "DMY") {
            day = n[0];
            month = n[1];
        } else {
            month = n[0];
            day = n[1];
        }
    } else {
        int yearLen = 0;
        if (order == "DMY") {
            day = n[0]; month = n[1]; year = n[2]; yearLen = len[2];
        } else if (order == "MDY") {
            month = n[0]; day = n[1]; year = n[2]; yearLen = len[2];
        } else {
            year = n[0]; month = n[1]; day = n[2]; yearLen = len[0];
        }
        year = expandYear(year, yearLen);
    }
    return TryEncodeDate(year, month, day, value);
}

// h[:n[:s[<decimal separator>zzz]]] with an optional AM/PM (or A/P) marker after it.
bool scanTime(Scanner& sc, TDateTime& value)
{
    int hour = 0, minute = 0, second = 0, msec = 0, digits = 0;
    if (!sc.number(hour, digits))
        return false;
    if (sc.character(FormatSettings.TimeSeparator)) {
        if (!sc.number(minute, digits))
            return false;
        if (sc.character(FormatSettings.TimeSeparator)) {
            if (!sc.number(second, digits))
                return false;
            if (sc.character(FormatSettings.DecimalSeparator)) {
                if (!sc.number(msec, digits) || digits > 3)
                    return false;
                for (; digits < 3; ++digits)
                    msec *= 10;
            }
        }
    }
    int half = -1;  // 0 before noon, 1 after
    if (sc.word("AM") || sc.word("A"))
        half = 0;
    else if (sc.word("PM") || sc.word("P"))
        half = 1;
    if (half >= 0) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + half * 12;
    }
    return TryEncodeTime(hour, minute, second, msec, value);
}

} // namespace

bool TryStrToDate(std::string_view s, TDateTime& value)
{
    Scanner sc{s};
    TDateTime v = 0;
    if (!scanDate(sc, v) || !sc.atEnd())
        return false;
    value = v;
    return true;
}

TDateTime StrToDate(std::string_view s)
{
    return detail::ConvertOrRaise(TryStrToDate, s, "'%s' is not a valid date");
}

TDateTime StrToTime(std::string_view s)
{
    Scanner sc{s};
    TDateTime value = 0;
    if (!scanTime(sc, value) || !sc.atEnd())
        throw EConvertError(Format("'%s' is not a valid time", {s}));
    return value;
}

bool TryStrToDateTime(std::string_view s, TDateTime& value)
{
    Scanner sc{s};
    TDateTime date = 0;
    if (scanDate(sc, date)) {
        if (sc.atEnd()) {
            value = date;
            return true;
        }
        TDateTime time = 0;
        if (scanTime(sc, time) && sc.atEnd()) {
            value = composeDateTime(date, time);
            return true;
        }
        return false;
    }
    // No date in front: a time alone is a time on day zero.
    sc.pos = 0;
    TDateTime time = 0;
    if (scanTime(sc, time) && sc.atEnd()) {
        value = time;
        return true;
    }
    return false;
}

TDateTime StrToDateTime(std::string_view s)
{
    return detail::ConvertOrRaise(TryStrToDateTime, s, "'%s' is not a valid date and time");
}

} // namespace lm
