// FormatDateTime and the date-time texts built on it, with the Russian day and month names.
#include <algorithm>
#include <cctype>

#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

constexpr const char* kShortMonthNames[12] = {"янв"_w, "фев"_w, "мар"_w, "апр"_w, "май"_w, "июн"_w,
                                          "июл"_w, "авг"_w, "сен"_w, "окт"_w, "ноя"_w, "дек"_w};
constexpr const char* kLongMonthNames[12] = {"Январь"_w, "Февраль"_w, "Март"_w,     "Апрель"_w,
                                         "Май"_w,    "Июнь"_w,    "Июль"_w,     "Август"_w,
                                         "Сентябрь"_w, "Октябрь"_w, "Ноябрь"_w, "Декабрь"_w};
// After a day number the month is named in the genitive: "5 марта 2007".
constexpr const char* kGenitiveMonthNames[12] = {"января"_w, "февраля"_w, "марта"_w,    "апреля"_w,
                                             "мая"_w,    "июня"_w,    "июля"_w,     "августа"_w,
                                             "сентября"_w, "октября"_w, "ноября"_w, "декабря"_w};
constexpr const char* kShortDayNames[7] = {"Вс"_w, "Пн"_w, "Вт"_w, "Ср"_w, "Чт"_w, "Пт"_w, "Сб"_w};
constexpr const char* kLongDayNames[7] = {"воскресенье"_w, "понедельник"_w, "вторник"_w, "среда"_w,
                                      "четверг"_w,     "пятница"_w,     "суббота"_w};

struct DateTimeParts {
    int Year, Month, Day, Hour, Minute, Second, MSec, Dow;
    bool HasTime;
};

char upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool startsWithNoCase(std::string_view s, std::size_t i, std::string_view w)
{
    if (s.size() - i < w.size())
        return false;
    for (std::size_t k = 0; k < w.size(); ++k)
        if (upper(s[i + k]) != upper(w[k]))
            return false;
    return true;
}

// True when an AM/PM specifier follows position i, which makes the hours 12-hour.
bool hasAmPmAfter(std::string_view f, std::size_t i)
{
    for (; i < f.size(); ++i)
        if (startsWithNoCase(f, i, "am/pm") || startsWithNoCase(f, i, "a/p") || startsWithNoCase(f, i, "ampm"))
            return true;
    return false;
}

void twoDigits(std::string& out, int n, bool pad)
{
    if (pad && n < 10)
        out += '0';
    out += std::to_string(n);
}

void formatInto(std::string& out, std::string_view f, const DateTimeParts& p, int depth)
{
    if (depth > 2)  // a format that names itself (via c, ddddd, t) stops here
        return;
    char lastToken = 0;
    bool dayWritten = false;
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        const char u = upper(c);
        std::size_t run = 1;
        while (i + run < f.size() && upper(f[i + run]) == u)
            ++run;
        switch (u) {
        case '"':
        case '\'': {
            const auto close = f.find(c, i + 1);
            const auto end = close == std::string_view::npos ? f.size() : close;
            out.append(f.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        case 'C':
            formatInto(out, FormatSettings.ShortDateFormat, p, depth + 1);
            if (p.HasTime) {
                out += ' ';
                formatInto(out, FormatSettings.LongTimeFormat, p, depth + 1);
            }
            i += 1;
            lastToken = 0;
            continue;
        case 'D':
            if (run <= 2) {
                twoDigits(out, p.Day, run == 2);
                dayWritten = true;
            } else if (run == 3) {
                out += kShortDayNames[p.Dow - 1];
            } else if (run == 4) {
                out += kLongDayNames[p.Dow - 1];
            } else if (run == 5) {
                formatInto(out, FormatSettings.ShortDateFormat, p, depth + 1);
            } else {
                formatInto(out, FormatSettings.LongDateFormat, p, depth + 1);
            }
            run = std::min<std::size_t>(run, 6);
            break;
        case 'M':
            if (lastToken == 'H' && run <= 2) {
                twoDigits(out, p.Minute, run == 2);
            } else if (run <= 2) {
                twoDigits(out, p.Month, run == 2);
            } else if (run == 3) {
                out += kShortMonthNames[p.Month - 1];
            } else {
                out += (dayWritten ? kGenitiveMonthNames : kLongMonthNames)[p.Month - 1];
                run = 4;
            }
            break;
        case 'Y':
            if (run <= 2) {
                twoDigits(out, p.Year % 100, true);
            } else {
                std::string y = std::to_string(p.Year);
                if (y.size() < 4)
                    y.insert(0, 4 - y.size(), '0');
                out += y;
                run = std::min<std::size_t>(run, 4);
            }
            break;
        case 'H': {
            run = std::min<std::size_t>(run, 2);
            int h = p.Hour;
            if (hasAmPmAfter(f, i + run)) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            twoDigits(out, h, run == 2);
            break;
        }
        case 'N':
            run = std::min<std::size_t>(run, 2);
            twoDigits(out, p.Minute, run == 2);
            break;
        case 'S':
            run = std::min<std::size_t>(run, 2);
            twoDigits(out, p.Second, run == 2);
            break;
        case 'Z':
            if (run >= 3) {
                run = 3;
                std::string ms = std::to_string(p.MSec);
                out.append(3 - ms.size(), '0');
                out += ms;
            } else {
                run = 1;
                out += std::to_string(p.MSec);
            }
            break;
        case 'T':
            run = std::min<std::size_t>(run, 2);
            formatInto(out, run == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat, p, depth + 1);
            break;
        case 'A':
            run = 1;
            if (startsWithNoCase(f, i, "am/pm")) {
                const bool lower = c == 'a';
                out += p.Hour < 12 ? (lower ? "am" : "AM") : (lower ? "pm" : "PM");
                run = 5;
            } else if (startsWithNoCase(f, i, "a/p")) {
                const bool lower = c == 'a';
                out += p.Hour < 12 ? (lower ? "a" : "A") : (lower ? "p" : "P");
                run = 3;
            } else if (startsWithNoCase(f, i, "ampm")) {
                out += p.Hour < 12 ? "AM" : "PM";
                run = 4;
            } else {
                out += c;
            }
            break;
        default:
            // Separators and literals leave the last token as it was, so "h:m" gives minutes.
            if (c == '/')
                out += FormatSettings.DateSeparator;
            else if (c == ':')
                out += FormatSettings.TimeSeparator;
            else
                out += c;
            i += 1;
            continue;
        }
        lastToken = u;
        i += run;
    }
}

DateTimeParts partsOf(TDateTime dt)
{
    DateTimeParts p{};
    DecodeDate(dt, p.Year, p.Month, p.Day);
    DecodeTime(dt, p.Hour, p.Minute, p.Second, p.MSec);
    p.Dow = DayOfWeek(dt);
    p.HasTime = p.Hour != 0 || p.Minute != 0 || p.Second != 0 || p.MSec != 0;
    return p;
}

} // namespace

std::string FormatDateTime(std::string_view pattern, TDateTime dt)
{
    const DateTimeParts p = partsOf(dt);
    std::string out;
    formatInto(out, pattern.empty() ? std::string_view("c") : pattern, p, 0);
    return out;
}

std::string DateToStr(TDateTime dt)
{
    return FormatDateTime(FormatSettings.ShortDateFormat, dt);
}

std::string TimeToStr(TDateTime dt)
{
    return FormatDateTime(FormatSettings.LongTimeFormat, dt);
}

std::string DateTimeToStr(TDateTime dt)
{
    return FormatDateTime("c", dt);
}

} // namespace lm
