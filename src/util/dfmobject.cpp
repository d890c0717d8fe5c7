// The component-format tree: value helpers and the writer.
#include "util/dfmobject.h"

#include <charconv>
#include <cmath>

#include "util/cp1251.h"

namespace lm {

TDfmValue::TDfmValue() = default;
TDfmValue::TDfmValue(const TDfmValue&) = default;
TDfmValue::TDfmValue(TDfmValue&&) noexcept = default;
TDfmValue& TDfmValue::operator=(const TDfmValue&) = default;
TDfmValue& TDfmValue::operator=(TDfmValue&&) noexcept = default;
TDfmValue::~TDfmValue() = default;

TDfmValue TDfmValue::Integer(int64_t n)
{
    TDfmValue v;
    v.Int = n;
    return v;
}

TDfmValue TDfmValue::FloatValue(double d)
{
    TDfmValue v;
    v.Kind = vkFloat;
    v.Float = d;
    return v;
}

TDfmValue TDfmValue::String(std::string s)
{
    TDfmValue v;
    v.Kind = vkString;
    v.Str = std::move(s);
    return v;
}

TDfmValue TDfmValue::Ident(std::string name)
{
    TDfmValue v;
    v.Kind = vkIdent;
    v.Str = std::move(name);
    return v;
}

TDfmValue TDfmValue::StringList(const std::vector<std::string>& lines)
{
    TDfmValue v;
    v.Kind = vkList;
    for (const std::string& line : lines)
        v.List.push_back(String(line));
    return v;
}

bool TDfmValue::operator==(const TDfmValue& o) const
{
    return Kind == o.Kind && Int == o.Int && (Float == o.Float || (std::isnan(Float) && std::isnan(o.Float))) &&
           Str == o.Str && Set == o.Set && List == o.List && Items == o.Items;
}

namespace {

[[noreturn]] void badValue() { throw EParserError("Неверное значение свойства"_w); }

} // namespace

const std::string& TDfmValue::AsString() const
{
    if (Kind != vkString)
        badValue();
    return Str;
}

int64_t TDfmValue::AsInteger() const
{
    if (Kind != vkInteger)
        badValue();
    return Int;
}

bool TDfmValue::AsBoolean() const
{
    if (Kind == vkIdent && upperCase(Str) == "TRUE")
        return true;
    if (Kind == vkIdent && upperCase(Str) == "FALSE")
        return false;
    badValue();
}

const std::string& TDfmValue::AsIdent() const
{
    if (Kind != vkIdent)
        badValue();
    return Str;
}

std::vector<std::string> TDfmValue::AsStrings() const
{
    if (Kind != vkList)
        badValue();
    std::vector<std::string> out;
    for (const TDfmValue& item : List)
        out.push_back(item.AsString());
    return out;
}

const TDfmValue* FindDfmProperty(const std::vector<TDfmProperty>& props, std::string_view name)
{
    const std::string key = upperCase(name);
    for (const TDfmProperty& p : props)
        if (upperCase(p.Name) == key)
            return &p.Value;
    return nullptr;
}

const TDfmObject* TDfmObject::FindClass(std::string_view className) const
{
    if (upperCase(ClassName) == upperCase(className))
        return this;
    for (const TDfmObject& child : Children)
        if (const TDfmObject* found = child.FindClass(className))
            return found;
    return nullptr;
}

namespace {

constexpr std::size_t kLineWidth = 64;

class Writer {
public:
    std::string out;

    void object(const TDfmObject& o, int indent)
    {
        pad(indent);
        out += o.Kind.empty() ? "object" : o.Kind;
        out += ' ';
        out += o.Name.empty() ? o.ClassName : o.Name + ": " + o.ClassName;
        out += "\r\n";
        properties(o.Properties, indent + 2);
        for (const TDfmObject& child : o.Children)
            object(child, indent + 2);
        pad(indent);
        out += "end\r\n";
    }

private:
    void pad(int indent) { out.append(static_cast<std::size_t>(indent), ' '); }

    void properties(const std::vector<TDfmProperty>& props, int indent)
    {
        for (const TDfmProperty& p : props) {
            pad(indent);
            out += p.Name + " = ";
            value(p.Value, indent);
            out += "\r\n";
        }
    }

    void value(const TDfmValue& v, int indent)
    {
        switch (v.Kind) {
        case TDfmValue::vkInteger: out += std::to_string(v.Int); break;
        case TDfmValue::vkFloat: floating(v.Float); break;
        case TDfmValue::vkString: string(v.Str, indent); break;
        case TDfmValue::vkIdent: out += v.Str; break;
        case TDfmValue::vkSet:
            out += '[';
            for (std::size_t i = 0; i < v.Set.size(); ++i)
                out += (i ? ", " : "") + v.Set[i];
            out += ']';
            break;
        case TDfmValue::vkList:
            out += '(';
            for (const TDfmValue& item : v.List) {
                out += "\r\n";
                pad(indent + 2);
                value(item, indent + 2);
            }
            out += ')';
            break;
        case TDfmValue::vkCollection:
            out += '<';
            for (const auto& item : v.Items) {
                out += "\r\n";
                pad(indent + 2);
                out += "item\r\n";
                properties(item, indent + 4);
                pad(indent + 2);
                out += "end";
            }
            out += '>';
            break;
        case TDfmValue::vkBinary: binary(v.Str, indent); break;
        }
    }

    void floating(double d)
    {
        if (!std::isfinite(d))
            throw Exception("A float property value must be finite");
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, d);
        std::string text(buf, res.ptr);
        if (text.find_first_of(".eE") == std::string::npos)
            text += ".0";
        out += text;
    }

    // Printable ASCII between quotes, everything else as #N with N the Unicode code point;
    // pieces longer than a line continue on the next line after " +".
    void string(const std::string& s, int indent)
    {
        if (s.empty()) {
            out += "''";
            return;
        }
        std::size_t lineStart = out.size();
        bool quoted = false;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (out.size() - lineStart >= kLineWidth) {
                if (quoted)
                    out += '\'';
                quoted = false;
                out += " +\r\n";
                pad(indent + 2);
                lineStart = out.size();
            }
            const auto c = static_cast<unsigned char>(s[i]);
            // a byte the code page leaves unassigned has no code point to name it: it stays raw
            if ((c >= 32 && c < 127) || (c >= 128 && detail::cp1251FromUnicode(cp1251ToUnicode(c)) != c)) {
                if (!quoted)
                    out += '\'';
                quoted = true;
                out += static_cast<char>(c);
                if (c == '\'')
                    out += '\'';
            } else {
                if (quoted)
                    out += '\'';
                quoted = false;
                out += '#' + std::to_string(static_cast<unsigned>(cp1251ToUnicode(c)));
            }
        }
        if (quoted)
            out += '\'';
    }

    void binary(const std::string& bytes, int indent)
    {
        static const char hex[] = "0123456789ABCDEF";
        out += '{';
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i % (kLineWidth / 2) == 0) {
                out += "\r\n";
                pad(indent + 2);
            }
            const auto c = static_cast<unsigned char>(bytes[i]);
            out += hex[c >> 4];
            out += hex[c & 15];
        }
        out += '}';
    }
};

} // namespace

std::string WriteDfmText(const TDfmObject& object)
{
    Writer w;
    w.object(object, 0);
    return w.out;
}

} // namespace lm
