// Dates in the XML Schema form "yyyy-mm-dd".
#include "xml/xmldate.h"

namespace lm {

namespace {
std::string twoDigits(int n)
{
    std::string out(n < 10 ? "0" : "");
    out += std::to_string(n);
    return out;
}
std::string_view part(std::string_view s, std::size_t from, std::size_t count)
{
    return from >= s.size() ? std::string_view() : s.substr(from, count);
}
} // namespace

std::string DatetoXSDDate(TDateTime d)
{
    int year = 0, month = 0, day = 0;
    DecodeDate(d, year, month, day);
    return std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day);
}

TDateTime XSDDatetoDate(std::string_view s)
{
    return EncodeDate(StrToInt(part(s, 0, 4)), StrToInt(part(s, 5, 2)), StrToInt(part(s, 8, 2)));
}

} // namespace lm
