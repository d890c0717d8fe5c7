// Variant values: construction, conversions between kinds and the cross-kind comparison.
#include "util/variant.h"

#include <cmath>
#include <limits>

#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

const char* typeName(TVarType t)
{
    switch (t) {
    case TVarType::varEmpty: return "Empty";
    case TVarType::varNull: return "Null";
    case TVarType::varBoolean: return "Boolean";
    case TVarType::varInteger: return "Integer";
    case TVarType::varInt64: return "Int64";
    case TVarType::varDouble: return "Double";
    case TVarType::varCurrency: return "Currency";
    case TVarType::varDate: return "Date";
    case TVarType::varString: return "String";
    }
    return "Unknown";
}

[[noreturn]] void cannotConvert(TVarType from, TVarType to)
{
    throw Exception(Format("Could not convert variant of type (%s) into type (%s)", {typeName(from), typeName(to)}));
}

bool isIntegral(TVarType t)
{
    return t == TVarType::varBoolean || t == TVarType::varInteger || t == TVarType::varInt64;
}

template <typename T>
int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Doubles with NaN ordered before every number and equal to itself.
int compareDoubles(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) ? (std::isnan(b) ? 0 : -1) : 1;
    return threeWay(a, b);
}

// Texts compared byte by byte as unsigned bytes.
int compareText(const std::string& a, const std::string& b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// A double rounded to an integer of the range [lo, hi], halves to even as the platform's
// variant conversions round; false when it does not fit.
bool roundToRange(double d, double lo, double hi, int64_t& out)
{
    const double r = std::nearbyint(d);
    if (!(r >= lo && r <= hi))
        return false;
    out = static_cast<int64_t>(r);
    return true;
}

} // namespace

Variant Variant::Null()
{
    Variant v;
    v.m_value = NullTag{};
    return v;
}

Variant::Variant(bool b) : m_value(b) {}
Variant::Variant(int n) : m_value(n) {}
Variant::Variant(int64_t n) : m_value(n) {}
Variant::Variant(double d) : m_value(d) {}
Variant::Variant(Currency c) : m_value(c) {}
Variant::Variant(std::string s) : m_value(std::move(s)) {}
Variant::Variant(const char* s) : m_value(std::string(s ? s : "")) {}

Variant Variant::FromDate(TDateTime dt)
{
    Variant v;
    v.m_value = DateTag{dt};
    return v;
}

bool Variant::AsBoolean() const
{
    switch (VarType()) {
    case TVarType::varBoolean: return std::get<bool>(m_value);
    case TVarType::varString: {
        const std::string s = Trim(std::get<std::string>(m_value));
        if (upperCase(s) == "TRUE")
            return true;
        if (upperCase(s) == "FALSE")
            return false;
        double d = 0;
        if (TryStrToFloat(s, d))
            return d != 0;
        throw EConvertError(Format("'%s' is not a valid boolean value", {std::get<std::string>(m_value)}));
    }
    case TVarType::varEmpty:
    case TVarType::varNull: cannotConvert(VarType(), TVarType::varBoolean);
    default: return AsFloat() != 0;
    }
}

int Variant::AsInteger() const
{
    switch (VarType()) {
    case TVarType::varInteger: return std::get<int>(m_value);
    case TVarType::varString: return StrToInt(std::get<std::string>(m_value));
    case TVarType::varEmpty:
    case TVarType::varNull: cannotConvert(VarType(), TVarType::varInteger);
    default: {
        const int64_t n = AsInt64();
        if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
            cannotConvert(VarType(), TVarType::varInteger);
        return static_cast<int>(n);
    }
    }
}

int64_t Variant::AsInt64() const
{
    int64_t n = 0;
    switch (VarType()) {
    case TVarType::varBoolean: return std::get<bool>(m_value) ? -1 : 0;
    case TVarType::varInteger: return std::get<int>(m_value);
    case TVarType::varInt64: return std::get<int64_t>(m_value);
    case TVarType::varString: return StrToInt64(std::get<std::string>(m_value));
    case TVarType::varCurrency: {
        const int64_t raw = std::get<Currency>(m_value).Raw();
        int64_t q = raw / Currency::Scale;
        const int64_t r = raw % Currency::Scale;
        const int64_t twice = 2 * (r < 0 ? -r : r);
        if (twice > Currency::Scale || (twice == Currency::Scale && q % 2 != 0))
            q += raw < 0 ? -1 : 1;
        return q;
    }
    case TVarType::varDouble:
    case TVarType::varDate:
        // 2^63 is exactly representable; anything from it on does not fit.
        if (roundToRange(AsFloat(), -9223372036854775808.0, 9223372036854774784.0, n))
            return n;
        cannotConvert(VarType(), TVarType::varInt64);
    default: cannotConvert(VarType(), TVarType::varInt64);
    }
}

double Variant::AsFloat() const
{
    switch (VarType()) {
    case TVarType::varBoolean: return std::get<bool>(m_value) ? -1.0 : 0.0;
    case TVarType::varInteger: return std::get<int>(m_value);
    case TVarType::varInt64: return static_cast<double>(std::get<int64_t>(m_value));
    case TVarType::varDouble: return std::get<double>(m_value);
    case TVarType::varCurrency: return std::get<Currency>(m_value).ToDouble();
    case TVarType::varDate: return std::get<DateTag>(m_value).value;
    case TVarType::varString: return StrToFloat(std::get<std::string>(m_value));
    default: cannotConvert(VarType(), TVarType::varDouble);
    }
}

Currency Variant::AsCurrency() const
{
    switch (VarType()) {
    case TVarType::varBoolean:
    case TVarType::varInteger:
    case TVarType::varInt64: {
        const int64_t n = AsInt64();
        if (n > std::numeric_limits<int64_t>::max() / Currency::Scale || n < std::numeric_limits<int64_t>::min() / Currency::Scale)
            cannotConvert(VarType(), TVarType::varCurrency);
        return Currency::FromInt(n);
    }
    case TVarType::varCurrency: return std::get<Currency>(m_value);
    case TVarType::varString: return StrToCurr(std::get<std::string>(m_value));
    case TVarType::varDouble:
    case TVarType::varDate: return Currency::FromDouble(AsFloat());
    default: cannotConvert(VarType(), TVarType::varCurrency);
    }
}

TDateTime Variant::AsDateTime() const
{
    switch (VarType()) {
    case TVarType::varString: return StrToDateTime(std::get<std::string>(m_value));
    case TVarType::varEmpty:
    case TVarType::varNull: cannotConvert(VarType(), TVarType::varDate);
    default: return AsFloat();
    }
}

std::string Variant::AsString() const
{
    switch (VarType()) {
    case TVarType::varEmpty:
    case TVarType::varNull: return std::string();
    case TVarType::varBoolean: return std::get<bool>(m_value) ? "True" : "False";
    case TVarType::varInteger: return IntToStr(std::get<int>(m_value));
    case TVarType::varInt64: return IntToStr(std::get<int64_t>(m_value));
    case TVarType::varDouble: return FloatToStr(std::get<double>(m_value));
    case TVarType::varCurrency: return CurrToStr(std::get<Currency>(m_value));
    case TVarType::varDate: return DateTimeToStr(std::get<DateTag>(m_value).value);
    case TVarType::varString: return std::get<std::string>(m_value);
    }
    return std::string();
}

int Variant::Compare(const Variant& other) const
{
    const TVarType a = VarType();
    const TVarType b = other.VarType();
    const bool aNone = IsNullOrEmpty();
    const bool bNone = other.IsNullOrEmpty();
    if (aNone || bNone)
        return aNone == bNone ? 0 : (aNone ? -1 : 1);

    if (a == TVarType::varString && b == TVarType::varString)
        return compareText(std::get<std::string>(m_value), std::get<std::string>(other.m_value));

    if (a == TVarType::varString || b == TVarType::varString) {
        const bool stringFirst = a == TVarType::varString;
        const Variant& text = stringFirst ? *this : other;
        const Variant& number = stringFirst ? other : *this;
        const std::string& s = std::get<std::string>(text.m_value);
        double converted = 0;
        const bool ok = number.VarType() == TVarType::varDate ? TryStrToDateTime(s, converted)
                                                              : TryStrToFloat(s, converted);
        // A text that is no number is compared with the number's own text instead.
        const int c = ok ? compareDoubles(converted, number.AsFloat()) : compareText(s, number.AsString());
        return stringFirst ? c : -c;
    }

    if (isIntegral(a) && isIntegral(b))
        return threeWay(AsInt64(), other.AsInt64());
    // Currency against currency or an integer exactly, in units of 1/10000.
    if ((a == TVarType::varCurrency || isIntegral(a)) && (b == TVarType::varCurrency || isIntegral(b))) {
        __extension__ typedef __int128 Wide;  // an Int64 in 1/10000 units needs more than 64 bits
        auto raw = [](const Variant& v) -> Wide {
            return v.VarType() == TVarType::varCurrency ? Wide(std::get<Currency>(v.m_value).Raw())
                                                        : Wide(v.AsInt64()) * Currency::Scale;
        };
        return threeWay(raw(*this), raw(other));
    }
    return compareDoubles(AsFloat(), other.AsFloat());
}

bool Variant::operator==(const Variant& other) const
{
    return Compare(other) == 0;
}

} // namespace lm
