// TDfmObject: the textual component format of form files, read into a tree of objects,
// properties and values, and written back.
//
// The format:
//     object Name: TClass          (also "inherited"/"inline"; "object TClass" without a name)
//       Prop = value               (Prop may be dotted: Font.Name)
//       object Child: TOther ... end
//     end
// Values: integers (12, -3, $1F), floats (1.5, 2E3), identifiers (True, jkOuter, Form1.Table),
// strings made of 'quoted' runs (a quote inside doubled) and #N characters (N a Unicode code
// point) written side by side, and joined with "+" across lines; sets [a, b]; lists ( v v ... )
// (string lists among them); collections < item Prop = v ... end item ... end >; binary data
// { hex digits }. Text between quotes is Windows-1251. Lines end with CR LF or LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/exceptions.h"

namespace lm {

// Bad component text; the message names the line ("Строка 3: ...").
class EParserError : public Exception {
public:
    using Exception::Exception;
};

struct TDfmProperty;

struct TDfmValue {
    enum TKind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkCollection, vkBinary };

    TKind Kind = vkInteger;
    int64_t Int = 0;
    double Float = 0;
    std::string Str;                   // string (Windows-1251), identifier, or binary bytes
    std::vector<std::string> Set;      // identifiers of a set
    std::vector<TDfmValue> List;       // items of a list
    // Items of a collection, each a property list.
    std::vector<std::vector<TDfmProperty>> Items;

    // Defined where TDfmProperty is complete.
    TDfmValue();
    TDfmValue(const TDfmValue&);
    TDfmValue(TDfmValue&&) noexcept;
    TDfmValue& operator=(const TDfmValue&);
    TDfmValue& operator=(TDfmValue&&) noexcept;
    ~TDfmValue();

    static TDfmValue Integer(int64_t n);
    static TDfmValue FloatValue(double d);
    static TDfmValue String(std::string s);
    static TDfmValue Ident(std::string name);
    static TDfmValue Boolean(bool b) { return Ident(b ? "True" : "False"); }
    static TDfmValue StringList(const std::vector<std::string>& lines);
    bool operator==(const TDfmValue& other) const;

    // Typed reads; EParserError "Неверное значение свойства" when the value is of another kind.
    const std::string& AsString() const;
    int64_t AsInteger() const;
    bool AsBoolean() const;
    const std::string& AsIdent() const;
    // A list of strings.
    std::vector<std::string> AsStrings() const;
};

struct TDfmProperty {
    std::string Name;
    TDfmValue Value;
    bool operator==(const TDfmProperty& other) const = default;
};

// The property of that name in `props` (compared ignoring letter case), nullptr when absent.
const TDfmValue* FindDfmProperty(const std::vector<TDfmProperty>& props, std::string_view name);

struct TDfmObject {
    std::string Kind = "object";       // "object", "inherited" or "inline"
    std::string Name;
    std::string ClassName;
    std::vector<TDfmProperty> Properties;
    std::vector<TDfmObject> Children;

    const TDfmValue* Find(std::string_view name) const { return FindDfmProperty(Properties, name); }
    // This object or the first descendant of class `className` (ignoring case), nullptr if none.
    const TDfmObject* FindClass(std::string_view className) const;
    bool operator==(const TDfmObject& other) const = default;
};

// Reads one object (leading and trailing blank lines allowed). Raises EParserError naming the
// line of the first fault; nesting deeper than 256 levels is refused.
TDfmObject ReadDfmText(std::string_view text);
// The object as text: two blanks of indent per level, CR LF line ends, non-ASCII characters
// as #N codes, long strings split with "+".
std::string WriteDfmText(const TDfmObject& object);

} // namespace lm
