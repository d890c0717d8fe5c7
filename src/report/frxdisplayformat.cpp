// Display formats of report memos.
#include "report/frxdisplayformat.h"

#include <cmath>

#include "report/frxcomponent.h"
#include "util/sysutils.h"

namespace lm {

std::string frxFormatNumber(double value, const std::string& format, char decimalSeparator)
{
    std::string out;
    const std::size_t pct = format.find('%');
    if (pct == std::string::npos) {
        out = format.empty() ? FloatToStr(value) : FormatFloat(format, value);
    } else {
        // "%[width][.precision]kind": the width is not used, the text is never padded.
        std::size_t i = pct + 1;
        while (i < format.size() && (std::isdigit(static_cast<unsigned char>(format[i])) || format[i] == '-'))
            ++i;
        int precision = 2;
        if (i < format.size() && format[i] == '.') {
            precision = 0;
            for (++i; i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])); ++i)
                precision = std::min(precision * 10 + (format[i] - '0'), 18);
        }
        const char kind = i < format.size() ? static_cast<char>(std::tolower(static_cast<unsigned char>(format[i]))) : 'g';
        const std::string decimals = precision > 0 ? "." + std::string(static_cast<std::size_t>(precision), '0') : "";
        std::string body;
        switch (kind) {
        case 'f': case 'e': case 'm': body = FormatFloat("0" + decimals, value); break;
        case 'n': body = FormatFloat("#,##0" + decimals, value); break;
        case 'd': body = FormatFloat("0", std::trunc(value)); break;
        default: body = FloatToStr(value); break;
        }
        out = format.substr(0, pct) + body + format.substr(std::min(i + 1, format.size()));
    }
    for (char& c : out)
        if (c == FormatSettings.DecimalSeparator)
            c = decimalSeparator;
    return out;
}

std::string frxFormatValue(const Variant& value, const TfrxComponent& memo)
{
    if (value.IsNullOrEmpty())
        return std::string();
    const std::string& kind = memo.Prop("DisplayFormat.Kind");
    const std::string& format = memo.Prop("DisplayFormat.FormatStr");
    const TVarType type = value.VarType();
    const bool numeric = type == TVarType::varInteger || type == TVarType::varInt64 ||
                         type == TVarType::varDouble || type == TVarType::varCurrency;
    if (numeric && memo.PropBool("HideZeros") && value.AsFloat() == 0)
        return std::string();
    if (kind == "fkNumeric" && numeric) {
        const std::string& sep = memo.Prop("DisplayFormat.DecimalSeparator");
        return frxFormatNumber(value.AsFloat(), format, sep.empty() ? FormatSettings.DecimalSeparator : sep[0]);
    }
    if (kind == "fkDateTime" && (type == TVarType::varDate || numeric) && !format.empty())
        return FormatDateTime(format, value.AsDateTime());
    if (kind == "fkBoolean" && (type == TVarType::varBoolean || numeric)) {
        const std::size_t comma = format.find(',');
        if (comma != std::string::npos)
            return value.AsBoolean() ? format.substr(comma + 1) : format.substr(0, comma);
    }
    return value.AsString();
}

} // namespace lm
