// Number styles, date values and formulas in OpenDocument syntax.
#include "export/odsformat.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "export/workbook.h"
#include "util/sysutils.h"

namespace lm {

namespace {

std::string xmlText(std::string_view text)
{
    std::string out;
    for (char c : text)
        out += c == '<' ? std::string("&lt;") : c == '>' ? std::string("&gt;") : c == '&' ? std::string("&amp;") : std::string(1, c);
    return out;
}

// The literal text at the front or back of a number section: quoted text, escaped characters.
std::string literal(std::string_view part)
{
    std::string out;
    for (size_t i = 0; i < part.size(); ++i) {
        if (part[i] == '"') {
            const size_t close = part.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? part.size() : close;
            out += part.substr(i + 1, end - i - 1);
            i = end;
        } else if (part[i] == '\\' && i + 1 < part.size()) {
            out += part[++i];
        } else if (part[i] != '_' && part[i] != '*' && part[i] != '[' && part[i] != ']') {
            out += part[i];
        }
    }
    return out;
}

std::string textElement(const std::string& text)
{
    return text.empty() ? std::string() : "<number:text>" + xmlText(text) + "</number:text>";
}

std::string numberStyle(const std::string& name, std::string_view f)
{
    const size_t first = f.find_first_of("#0?");
    if (first == std::string_view::npos)
        return "<number:text-style style:name=\"" + name + "\"><number:text-content/></number:text-style>";
    size_t last = f.find_last_of("#0?");
    const size_t point = f.find('.', first);
    if (point != std::string_view::npos && point > last)
        last = point;
    const std::string_view body = f.substr(first, last - first + 1);
    const bool percent = f.find('%') != std::string_view::npos;
    int minInt = 0, decimals = 0, minDecimals = 0;
    bool grouping = false, inDecimals = false;
    for (char c : body) {
        if (c == '.')
            inDecimals = true;
        else if (c == ',')
            grouping = !inDecimals;
        else if (inDecimals && (c == '0' || c == '#' || c == '?'))
            ++decimals, minDecimals += c == '0';
        else if (c == '0')
            ++minInt;
    }
    std::string prefix = literal(f.substr(0, first)), suffix = literal(f.substr(last + 1));
    if (percent) {
        const size_t p = suffix.find('%');
        if (p != std::string::npos)
            suffix.erase(p, 1);
    }
    const char* kind = percent ? "percentage-style" : "number-style";
    std::string out = std::string("<number:") + kind + " style:name=\"" + name + "\">" + textElement(prefix) +
                      "<number:number number:decimal-places=\"" + std::to_string(decimals) + "\" number:min-decimal-places=\"" +
                      std::to_string(minDecimals) + "\" number:min-integer-digits=\"" + std::to_string(minInt) + "\"" +
                      (grouping ? " number:grouping=\"true\"" : "") + "/>" + textElement(suffix) + (percent ? "<number:text>%</number:text>" : "");
    return out + "</number:" + kind + ">";
}

std::string dateStyle(const std::string& name, std::string_view f)
{
    std::string out = "<number:date-style style:name=\"" + name + "\">";
    std::string pending;
    bool afterHour = false;
    auto flush = [&] {
        out += textElement(pending);
        pending.clear();
    };
    for (size_t i = 0; i < f.size();) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
        size_t n = 1;
        while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == c)
            ++n;
        const char* longAttr = n >= 2 ? " number:style=\"long\"" : "";
        if (c == 'd' || c == 'y' || c == 'h' || c == 's' || c == 'm') {
            flush();
            if (c == 'd')
                out += n >= 3 ? std::string("<number:day-of-week") + (n >= 4 ? " number:style=\"long\"" : "") + "/>" : std::string("<number:day") + longAttr + "/>";
            else if (c == 'y')
                out += std::string("<number:year") + (n >= 3 ? " number:style=\"long\"" : "") + "/>";
            else if (c == 'h')
                out += std::string("<number:hours") + longAttr + "/>", afterHour = true;
            else if (c == 's')
                out += std::string("<number:seconds") + longAttr + "/>";
            else if (afterHour && n <= 2)
                out += std::string("<number:minutes") + longAttr + "/>";
            else
                out += std::string("<number:month") + (n == 2 || n >= 4 ? " number:style=\"long\"" : "") + (n >= 3 ? " number:textual=\"true\"" : "") + "/>";
            i += n;
        } else if (f[i] == '"') {
            const size_t close = f.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? f.size() : close;
            pending += f.substr(i + 1, end - i - 1);
            i = end + 1;
        } else if (f[i] == '[') {
            const size_t close = f.find(']', i);
            i = close == std::string_view::npos ? f.size() : close + 1;
        } else {
            if (f[i] == '\\' && i + 1 < f.size())
                ++i;
            pending += f[i];
            ++i;
        }
    }
    flush();
    return out + "</number:date-style>";
}

} // namespace

std::string OdsNumberStyle(const std::string& name, std::string_view format)
{
    std::string_view section = format.substr(0, format.find(';'));
    if (section == "@")
        return "<number:text-style style:name=\"" + name + "\"><number:text-content/></number:text-style>";
    const bool date = IsDateNumberFormat(section);
    return date ? dateStyle(name, section) : numberStyle(name, section);
}

std::string OdsDateValue(double serial)
{
    if (!std::isfinite(serial) || serial < -657434 || serial > 2958465)
        serial = 0;
    int y, mo, d, h, mi, s, ms;
    DecodeDate(serial, y, mo, d);
    DecodeTime(serial, h, mi, s, ms);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", y, mo, d, h, mi, s);
    return buf;
}

std::string OdsFormula(std::string_view formula)
{
    std::string out;
    for (size_t i = 0; i < formula.size();) {
        size_t j = i;
        while (j < formula.size() && (std::isalpha(static_cast<unsigned char>(formula[j])) || formula[j] == '$'))
            ++j;
        const size_t letters = j;
        while (j < formula.size() && (std::isdigit(static_cast<unsigned char>(formula[j])) || formula[j] == '$'))
            ++j;
        if (letters > i && j > letters && (j == formula.size() || !std::isalnum(static_cast<unsigned char>(formula[j])))) {
            // A cell reference, possibly the first end of a range.
            std::string ref(1, '.');
            ref += formula.substr(i, j - i);
            if (j < formula.size() && formula[j] == ':') {
                size_t k = j + 1;
                while (k < formula.size() && (std::isalnum(static_cast<unsigned char>(formula[k])) || formula[k] == '$'))
                    ++k;
                ref += ":." + std::string(formula.substr(j + 1, k - j - 1));
                j = k;
            }
            out += "[" + ref + "]";
            i = j;
        } else if (j > i) {
            out += formula.substr(i, j - i);
            i = j;
        } else {
            out += formula[i++];
        }
    }
    return out;
}

} // namespace lm
