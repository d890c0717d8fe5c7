// Variant: a value of one of the kinds datasets and queries hand around (unassigned, null,
// boolean, integers, double, currency, date-time, string), with the conversions and
// comparisons the components need.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "util/currency.h"
#include "util/sysutils.h"

namespace lm {

enum class TVarType { varEmpty, varNull, varBoolean, varInteger, varInt64, varDouble, varCurrency, varDate, varString };

class Variant {
public:
    Variant() = default;                         // unassigned
    static Variant Null();
    Variant(bool b);
    Variant(int n);
    Variant(int64_t n);
    Variant(double d);
    Variant(Currency c);
    static Variant FromDate(TDateTime dt);
    Variant(std::string s);                      // Windows-1251 text
    Variant(const char* s);

    // Inline: the colour rules and the script engine ask these for every value they touch.
    TVarType VarType() const { return static_cast<TVarType>(m_value.index()); }
    bool IsEmpty() const { return VarType() == TVarType::varEmpty; }  // unassigned
    bool IsNull() const { return VarType() == TVarType::varNull; }    // null
    bool IsNullOrEmpty() const { return IsNull() || IsEmpty(); }

    // Conversions raise EConvertError for a text that is not a value of the kind, and
    // lm::Exception "Could not convert variant of type (Null) into type (%s)" for null ("(Empty)"
    // for unassigned; AsString gives the empty text for both) or for a number out of the
    // target's range. As on the platform, true converts to -1 and a boolean's text is
    // "True"/"False"; doubles round to integers halves to even; a text converts to a boolean
    // when it is "True"/"False" (any case) or a number.
    bool AsBoolean() const;
    int AsInteger() const;
    int64_t AsInt64() const;
    double AsFloat() const;
    Currency AsCurrency() const;
    TDateTime AsDateTime() const;
    std::string AsString() const;                // numbers and dates formatted by FormatSettings

    // Equality and ordering: numbers compare as numbers across kinds, strings byte-wise, a
    // string against a number by converting the string (against a date as a date-time); a
    // string that does not convert is compared with the number's AsString text, so these
    // never throw. Null/unassigned equal only each other and order before every value.
    bool operator==(const Variant& other) const;
    int Compare(const Variant& other) const;     // <0, 0, >0

private:
    struct NullTag { bool operator==(const NullTag&) const = default; };
    struct DateTag { TDateTime value; bool operator==(const DateTag&) const = default; };
    std::variant<std::monostate, NullTag, bool, int, int64_t, double, Currency, DateTag, std::string> m_value;
};

} // namespace lm
