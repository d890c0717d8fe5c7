// Typed-text reading and the fraction fix.
#include "export/exceltyping.h"

#include <cmath>
#include <vector>

#include "export/workbook.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads an unsigned integer of 1..maxDigits digits at `pos`.
bool readInt(std::string_view s, size_t& pos, int maxDigits, int& value)
{
    const size_t start = pos;
    value = 0;
    while (pos < s.size() && isDigit(s[pos]) && static_cast<int>(pos - start) < maxDigits)
        value = value * 10 + (s[pos++] - '0');
    return pos > start && (pos == s.size() || !isDigit(s[pos]));
}

bool parseNumber(std::string_view s, double& value)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == ',') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+'))
            ++i;
        const size_t expStart = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == expStart)
            return false;
    }
    if (i != s.size())
        return false;
    std::string text(s);
    for (char& c : text)
        if (c == ',')
            c = '.';
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

// "h:nn" or "h:nn:ss" at `pos` to the end.
bool parseTime(std::string_view s, size_t pos, double& value, bool& seconds)
{
    int h, n, sec = 0;
    if (!readInt(s, pos, 2, h) || pos >= s.size() || s[pos] != ':')
        return false;
    ++pos;
    if (!readInt(s, pos, 2, n))
        return false;
    seconds = pos < s.size() && s[pos] == ':';
    if (seconds) {
        ++pos;
        if (!readInt(s, pos, 2, sec))
            return false;
    }
    return pos == s.size() && TryEncodeTime(h, n, sec, 0, value);
}

bool parseDate(std::string_view s, TTypedValue& out)
{
    size_t pos = 0;
    int d, m, y = 0;
    if (!readInt(s, pos, 2, d) || pos >= s.size() || (s[pos] != '.' && s[pos] != '/'))
        return false;
    const char sep = s[pos++];
    if (!readInt(s, pos, 2, m))
        return false;
    bool hasYear = false;
    if (pos < s.size() && s[pos] == sep) {
        ++pos;
        const size_t start = pos;
        if (!readInt(s, pos, 4, y) || (pos - start != 2 && pos - start != 4))
            return false;
        if (pos - start == 2)
            y += y < 30 ? 2000 : 1900;
        hasYear = true;
    }
    if (!hasYear) {
        int dd, mm;
        DecodeDate(Date(), y, mm, dd);
    }
    double date;
    if (!TryEncodeDate(y, m, d, date))
        return false;
    out.Kind = hasYear ? tkDate : tkDayMonth;
    if (pos < s.size()) {
        double time;
        if (s[pos] != ' ' || !parseTime(s, pos + 1, time, out.Seconds))
            return false;
        date += time;
        out.Kind = tkDateTime;
    }
    out.Number = date;
    return true;
}

bool isInteger(std::string_view s)
{
    int value;
    return TryStrToInt(s, value);
}

} // namespace

TTypedValue ParseTypedText(std::string_view text)
{
    TTypedValue v;
    if (text.empty())
        return v;
    v.Kind = tkText;
    v.Text = text;
    if (text[0] == '\'') {
        v.Text = text.substr(1);
        return v;
    }
    if (text[0] == ' ' || text[0] == '\xA0')
        return v;
    if (parseNumber(text, v.Number)) {
        v.Kind = tkNumber;
    } else if (parseDate(text, v)) {
        // Kind and Number set.
    } else if (parseTime(text, 0, v.Number, v.Seconds)) {
        v.Kind = tkTime;
    } else if (upperCase(text) == "ИСТИНА"_w || upperCase(text) == "ЛОЖЬ"_w) {
        v.Kind = tkBoolean;
        v.Number = upperCase(text) == "ИСТИНА"_w ? 1 : 0;
    }
    return v;
}

void TypeIntoCell(TWorksheet& sheet, int row, int col, std::string_view text)
{
    const TCell* cell = sheet.Cell(row, col);
    const uint16_t style = cell ? cell->Style : 0;
    const TCellStyle& look = sheet.Book().Style(style);
    if (look.NumberFormat == "@") {
        if (text.empty())
            sheet.Clear(row, col);
        else
            sheet.SetText(row, col, cp1251ToUtf8(text));
        return;
    }
    const TTypedValue v = ParseTypedText(text);
    const char* format = nullptr;
    switch (v.Kind) {
    case tkEmpty: sheet.Clear(row, col); return;
    case tkText: sheet.SetText(row, col, cp1251ToUtf8(v.Text)); return;
    case tkBoolean: sheet.SetBoolean(row, col, v.Number != 0); return;
    case tkNumber: sheet.SetNumber(row, col, v.Number); return;
    case tkDate: format = "DD.MM.YYYY"; break;
    case tkDateTime: format = v.Seconds ? "DD.MM.YYYY H:MM:SS" : "DD.MM.YYYY H:MM"; break;
    case tkDayMonth: format = "D MMM"; break;
    case tkTime: format = v.Seconds ? "H:MM:SS" : "H:MM"; break;
    }
    sheet.SetNumber(row, col, v.Number);
    if (look.NumberFormat.empty()) {
        TCellStyle dated = look;
        dated.NumberFormat = format;
        sheet.SetStyle(row, col, sheet.Book().AddStyle(dated));
    }
}

std::string FractionFix(std::string_view line)
{
    std::vector<std::string_view> items;
    size_t start = 0;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == '\t' && !quoted) {
            items.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    items.push_back(line.substr(start));
    std::string out;
    out.reserve(line.size() + items.size() + 1);
    for (std::string_view item : items) {
        const size_t slash = item.find('/');
        if ((item.size() == 4 || item.size() == 5) && slash != std::string_view::npos && slash <= 2 &&
            isInteger(item.substr(0, slash)))
            out += ' ';
        out += item;
        out += '\t';
    }
    return out;
}

} // namespace lm
