// Typed reads of TXMLNode: node and attribute texts converted to numbers, currency and dates,
// with messages that name the node and the caller's position.
#include <string>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"
#include "xml/xmlnode.h"

namespace lm {

namespace {

// Rethrows the exception being handled with suffix appended to its message, keeping its class
// (a silent abort stays silent for the callers that catch it, with the text for those that show it).
[[noreturn]] void rethrowWith(const std::string& suffix)
{
    try {
        throw;
    } catch (Exception& e) {
        e.SetMessage(e.Message() + suffix);
        throw;
    }
}

// text converted by tryConvert; when that fails, raises message (a format of position, node
// name and text) filled in.
template <class T>
T converted(bool (*tryConvert)(std::string_view, T&), const std::string& text, std::string_view message,
            int position, std::string_view nodeName)
{
    T value{};
    if (!tryConvert(text, value))
        throw Exception(Format(message, {position, nodeName, text}));
    return value;
}

// "." and "," both become the locale's decimal separator.
std::string withDecimalSeparator(std::string text)
{
    const char sep = FormatSettings.DecimalSeparator;
    for (char& c : text)
        if (c == '.' || c == ',')
            c = sep;
    return text;
}

bool isDecimal(int varType) { return varType == xvtDouble || varType == xvtCurrency; }

Variant convertAttr(std::string text, int varType, const Variant& start)
{
    if (isDecimal(varType))
        text = withDecimalSeparator(std::move(text));
    switch (varType) {
    case xvtInteger: return Variant(StrToInt(text));
    case xvtDouble: return Variant(StrToFloat(text));
    case xvtCurrency: return Variant(StrToCurr(text));
    case xvtDate: return Variant::FromDate(StrToDateTime(text));
    case xvtString:
        if (text.empty())
            throw EAbort();
        return Variant(std::move(text));
    default: return start;
    }
}

std::string attrLine(std::string_view name)
{
    return "\r\n" + Format("Атрибут \"%s\" не задан или имеет неверный формат."_w, {name});
}

} // namespace

Variant TXMLNode::AttrAsType(std::string_view name, int varType) const
{
    try {
        return convertAttr(GetAttr(name), varType, Variant::Null());
    } catch (const Exception&) {
        rethrowWith(attrLine(name));
    }
}

Variant TXMLNode::AttrAsTypeDef(std::string_view name, int varType, const Variant& def) const
{
    std::string text = GetAttr(name);
    if (text.empty())
        return def;
    try {
        return convertAttr(std::move(text), varType, def);
    } catch (const Exception&) {
        rethrowWith(attrLine(name));
    }
}

Variant TXMLNode::NodeAsTypeDef(std::string_view path, int varType, const Variant& def)
{
    std::string text = path.empty() ? GetValue() : GetNode(path);
    const std::string name = path.empty() ? Name : std::string(path);
    if (text.empty())
        return def;
    try {
        if (isDecimal(varType))
            text = withDecimalSeparator(std::move(text));
        switch (varType) {
        case xvtInteger:
        case xvtCurrency: return Variant(TryNodeStrToCurrency(text, name));
        case xvtDouble: return Variant(TryNodeStrToDooble(text, name));
        case xvtDate: return Variant::FromDate(TryNodeStrToDateTime(text, name));
        default: return Variant(std::move(text));
        }
    } catch (const Exception&) {
        rethrowWith("\r\n" + Format("Узел \"%s\", строка %d имеет неверный формат."_w, {name, Position}));
    }
}

Variant TXMLNode::NodeAsType(std::string_view path, int varType)
{
    Variant v = NodeAsTypeDef(path, varType, Variant::Null());
    if (v.IsNull())
        throw Exception(Format("Узел \"%s\" не найден"_w, {path}));
    return v;
}

Variant TXMLNode::NodeAsType(std::string_view path, int varType, int position)
{
    Position = position;
    return NodeAsType(path, varType);
}

Currency TXMLNode::TryNodeStrToCurrency(const std::string& s, std::string_view nodeName) const
{
    return converted(TryStrToCurr, s,
                     "Позиция %d узел \"%s\", имеет неверный формат. Невозможно преобразовать значение \"%s\" в число!"_w,
                     Position, nodeName);
}

double TXMLNode::TryNodeStrToDooble(const std::string& s, std::string_view nodeName) const
{
    return converted(TryStrToFloat, s,
                     "Позиция %d, узел \"%s\", имеет неверный формат. Невозможно преобразовать значение \"%s\" в число!"_w,
                     Position, nodeName);
}

TDateTime TXMLNode::TryNodeStrToDateTime(const std::string& s, std::string_view nodeName) const
{
    return converted(TryStrToDateTime, s,
                     "Позиция %d, узел \"%s\", имеет неверный формат. Невозможно преобразовать значение \"%s\" в дату!"_w,
                     Position, nodeName);
}

} // namespace lm
