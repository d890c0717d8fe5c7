// The script language's built-in functions: strings, numbers, dates, Null tests and Format.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

#include "script/scriptlexer.h"
#include "script/scriptnodes.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm::script {

namespace {

using Args = const Value*;

const Variant& arg(Args a, int i)
{
    if (a[i].obj || a[i].arr)
        throw Exception("Ожидается значение, а не объект"_w);
    return a[i].v;
}

std::string str(Args a, int i) { return arg(a, i).AsString(); }

Value text(std::string s) { return Value(Variant(std::move(s))); }

// A double rounded or truncated to a 64-bit integer; raises when it does not fit.
Value toInteger(double d)
{
    if (!(d >= -9.2233720368547e18 && d <= 9.2233720368547e18))
        throw Exception("Invalid floating point operation");
    const auto n = static_cast<int64_t>(d);
    if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
        return Value(Variant(static_cast<int>(n)));
    return Value(Variant(n));
}

Value fCopy(Args a, int, TExec&)
{
    const std::string s = str(a, 0);
    int64_t from = arg(a, 1).AsInt64(), count = arg(a, 2).AsInt64();
    if (from < 1)
        from = 1;
    if (from > static_cast<int64_t>(s.size()) || count <= 0)
        return text({});
    return text(s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(std::min<int64_t>(count, s.size()))));
}

Value fPos(Args a, int, TExec&)
{
    const std::string sub = str(a, 0), s = str(a, 1);
    if (sub.empty())
        return Value(Variant(0));
    const size_t at = s.find(sub);
    return Value(Variant(at == std::string::npos ? 0 : static_cast<int>(at) + 1));
}

Value fLength(Args a, int, TExec&)
{
    if (a[0].arr)
        return Value(Variant(static_cast<int>(a[0].arr->bounded ? a[0].arr->items.size() : a[0].arr->byKey.size())));
    return Value(Variant(static_cast<int>(str(a, 0).size())));
}

Value fTrim(Args a, int, TExec&) { return text(Trim(str(a, 0))); }
Value fTrimLeft(Args a, int, TExec&) { return text(TrimLeft(str(a, 0))); }
Value fTrimRight(Args a, int, TExec&) { return text(TrimRight(str(a, 0))); }
Value fUpper(Args a, int, TExec&) { return text(upperCase(str(a, 0))); }
Value fLower(Args a, int, TExec&) { return text(lowerCase(str(a, 0))); }
Value fIntToStr(Args a, int, TExec&) { return text(IntToStr(arg(a, 0).AsInt64())); }
Value fStrToInt(Args a, int, TExec&) { return Value(Variant(StrToInt(str(a, 0)))); }
Value fStrToIntDef(Args a, int, TExec&) { return Value(Variant(StrToIntDef(str(a, 0), arg(a, 1).AsInteger()))); }
Value fFloatToStr(Args a, int, TExec&) { return text(FloatToStr(arg(a, 0).AsFloat())); }
Value fStrToFloat(Args a, int, TExec&) { return Value(Variant(StrToFloat(str(a, 0)))); }
Value fFormatFloat(Args a, int, TExec&) { return text(FormatFloat(str(a, 0), arg(a, 1).AsFloat())); }
Value fFormatDateTime(Args a, int, TExec&) { return text(FormatDateTime(str(a, 0), arg(a, 1).AsDateTime())); }
Value fDateToStr(Args a, int, TExec&) { return text(DateToStr(arg(a, 0).AsDateTime())); }
Value fTimeToStr(Args a, int, TExec&) { return text(TimeToStr(arg(a, 0).AsDateTime())); }
Value fDateTimeToStr(Args a, int, TExec&) { return text(DateTimeToStr(arg(a, 0).AsDateTime())); }
Value fStrToDate(Args a, int, TExec&) { return Value(Variant::FromDate(StrToDate(str(a, 0)))); }
Value fDate(Args, int, TExec&) { return Value(Variant::FromDate(Date())); }
Value fNow(Args, int, TExec&) { return Value(Variant::FromDate(Now())); }
Value fTime(Args, int, TExec&) { return Value(Variant::FromDate(Now() - Date())); }
Value fRound(Args a, int, TExec&) { return toInteger(std::nearbyint(arg(a, 0).AsFloat())); }
Value fTrunc(Args a, int, TExec&) { return toInteger(std::trunc(arg(a, 0).AsFloat())); }
Value fInt(Args a, int, TExec&) { return Value(Variant(std::trunc(arg(a, 0).AsFloat()))); }
Value fFrac(Args a, int, TExec&)
{
    const double d = arg(a, 0).AsFloat();
    return Value(Variant(d - std::trunc(d)));
}
Value fSqrt(Args a, int, TExec&)
{
    const double d = arg(a, 0).AsFloat();
    if (d < 0)
        throw Exception("Invalid floating point operation");
    return Value(Variant(std::sqrt(d)));
}

Value fAbs(Args a, int, TExec&)
{
    const Variant& v = arg(a, 0);
    if (v.IsNull())
        return Value(Variant::Null());
    if ((v.VarType() == TVarType::varInteger || v.VarType() == TVarType::varInt64) &&
        v.AsInt64() != std::numeric_limits<int64_t>::min())
        return BinaryOp(v.AsInt64() < 0 ? tStar : tPlus, Value(v), Value(Variant(v.AsInt64() < 0 ? -1 : 0)));
    return Value(Variant(std::fabs(v.AsFloat())));
}

Value fMinMax(Args a, int, bool max)
{
    const Variant& x = arg(a, 0);
    const Variant& y = arg(a, 1);
    if (x.IsNull() || y.IsNull())
        return Value(Variant::Null());
    return Value((x.Compare(y) < 0) == max ? y : x);
}
Value fMin(Args a, int n, TExec&) { return fMinMax(a, n, false); }
Value fMax(Args a, int n, TExec&) { return fMinMax(a, n, true); }

Value fVarIsNull(Args a, int, TExec&) { return Value(Variant(!a[0].obj && !a[0].arr && a[0].v.IsNull())); }
Value fVarIsEmpty(Args a, int, TExec&) { return Value(Variant(!a[0].obj && !a[0].arr && a[0].v.IsEmpty())); }
Value fVarToStr(Args a, int, TExec&) { return text(str(a, 0)); }
Value fAssigned(Args a, int, TExec&) { return Value(Variant(a[0].obj || a[0].arr || !a[0].v.IsNullOrEmpty())); }

Value fChr(Args a, int, TExec&)
{
    const int64_t c = arg(a, 0).AsInt64();
    if (c < 0 || c > 255)
        throw Exception(Format("Недопустимый код символа (%d)"_w, {c}));
    return text(std::string(1, static_cast<char>(c)));
}

Value fOrd(Args a, int, TExec&)
{
    const Variant& v = arg(a, 0);
    if (v.VarType() == TVarType::varString) {
        const std::string s = v.AsString();
        return Value(Variant(s.empty() ? 0 : static_cast<int>(static_cast<unsigned char>(s[0]))));
    }
    return Value(Variant(v.AsInt64()));
}

Value fExceptionMessage(Args, int, TExec& x) { return text(x.lastError); }

// Delphi-style Format: %[-][width][.precision]type with the types d u x s f g e n m and %%.
std::string formatOne(char type, bool left, int width, int precision, const Value& v)
{
    std::string out;
    const Variant& value = v.v;
    switch (type) {
    case 'd':
    case 'u': {
        const int64_t n = value.AsInt64();
        std::string digits = std::to_string(n < 0 ? -static_cast<uint64_t>(n) : static_cast<uint64_t>(n));
        if (precision > 0 && static_cast<int>(digits.size()) < precision)
            digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
        out = (n < 0 ? "-" : "") + digits;
        break;
    }
    case 'x': {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(value.AsInt64()));
        out = buf;
        if (precision > 0 && static_cast<int>(out.size()) < precision)
            out.insert(0, static_cast<size_t>(precision) - out.size(), '0');
        break;
    }
    case 's':
        out = value.AsString();
        if (precision >= 0 && static_cast<int>(out.size()) > precision)
            out.resize(static_cast<size_t>(precision));
        break;
    case 'f':
    case 'n':
    case 'm': {
        const int p = precision < 0 ? 2 : std::min(precision, 18);
        std::string pattern = type == 'f' ? "0" : "#,##0";
        if (p > 0)
            pattern += "." + std::string(static_cast<size_t>(p), '0');
        out = FormatFloat(pattern, value.AsFloat());
        if (type == 'm')
            out += " " + FormatSettings.CurrencyString;
        break;
    }
    case 'e': {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*E", precision < 0 ? 14 : std::min(precision, 18) - 1, value.AsFloat());
        out = buf;
        std::replace(out.begin(), out.end(), '.', FormatSettings.DecimalSeparator);
        break;
    }
    default:  // 'g'
        out = FloatToStr(value.AsFloat());
        break;
    }
    if (static_cast<int>(out.size()) < width)
        out.insert(left ? out.end() : out.begin(), static_cast<size_t>(width) - out.size(), ' ');
    return out;
}

Value fFormat(Args a, int, TExec&)
{
    const std::string pattern = str(a, 0);
    std::vector<Value> items;
    if (a[1].arr)
        items = a[1].arr->items;
    else
        items.push_back(a[1]);
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        size_t p = i + 1;
        const bool left = p < pattern.size() && pattern[p] == '-';
        if (left)
            ++p;
        int width = 0, precision = -1;
        for (; p < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[p])) && width < 10000; ++p)
            width = width * 10 + (pattern[p] - '0');
        if (p < pattern.size() && pattern[p] == '.') {
            precision = 0;
            for (++p; p < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[p])) && precision < 10000; ++p)
                precision = precision * 10 + (pattern[p] - '0');
        }
        const char type = p < pattern.size() ? static_cast<char>(pattern[p] | 0x20) : '\0';
        if (std::string_view("duxsfgenm").find(type) == std::string_view::npos || type == '\0')
            throw Exception(Format("Format '%s' invalid or incompatible with argument", {pattern}));
        if (next >= items.size())
            throw Exception(Format("Format '%s' invalid or incompatible with argument", {pattern}));
        out += formatOne(type, left, width, precision, items[next++]);
        i = p;
    }
    return text(std::move(out));
}

const std::map<std::string, TBuiltin>& table()
{
    static const std::map<std::string, TBuiltin> t = {
        {"COPY", {3, 3, fCopy}},
        {"POS", {2, 2, fPos}},
        {"LENGTH", {1, 1, fLength}},
        {"TRIM", {1, 1, fTrim}},
        {"TRIMLEFT", {1, 1, fTrimLeft}},
        {"TRIMRIGHT", {1, 1, fTrimRight}},
        {"UPPERCASE", {1, 1, fUpper}},
        {"LOWERCASE", {1, 1, fLower}},
        {"ANSIUPPERCASE", {1, 1, fUpper}},
        {"ANSILOWERCASE", {1, 1, fLower}},
        {"INTTOSTR", {1, 1, fIntToStr}},
        {"STRTOINT", {1, 1, fStrToInt}},
        {"STRTOINTDEF", {2, 2, fStrToIntDef}},
        {"FLOATTOSTR", {1, 1, fFloatToStr}},
        {"STRTOFLOAT", {1, 1, fStrToFloat}},
        {"FORMATFLOAT", {2, 2, fFormatFloat}},
        {"FORMATDATETIME", {2, 2, fFormatDateTime}},
        {"DATETOSTR", {1, 1, fDateToStr}},
        {"TIMETOSTR", {1, 1, fTimeToStr}},
        {"DATETIMETOSTR", {1, 1, fDateTimeToStr}},
        {"STRTODATE", {1, 1, fStrToDate}},
        {"DATE", {0, 0, fDate}},
        {"NOW", {0, 0, fNow}},
        {"TIME", {0, 0, fTime}},
        {"ROUND", {1, 1, fRound}},
        {"TRUNC", {1, 1, fTrunc}},
        {"INT", {1, 1, fInt}},
        {"FRAC", {1, 1, fFrac}},
        {"SQRT", {1, 1, fSqrt}},
        {"ABS", {1, 1, fAbs}},
        {"MIN", {2, 2, fMin}},
        {"MAX", {2, 2, fMax}},
        {"VARISNULL", {1, 1, fVarIsNull}},
        {"VARISEMPTY", {1, 1, fVarIsEmpty}},
        {"VARTOSTR", {1, 1, fVarToStr}},
        {"ASSIGNED", {1, 1, fAssigned}},
        {"CHR", {1, 1, fChr}},
        {"ORD", {1, 1, fOrd}},
        {"FORMAT", {2, 2, fFormat}},
        {"EXCEPTIONMESSAGE", {0, 0, fExceptionMessage}},
    };
    return t;
}

} // namespace

const TBuiltin* FindBuiltin(const std::string& upperName)
{
    const auto& t = table();
    const auto it = t.find(upperName);
    return it == t.end() ? nullptr : &it->second;
}

} // namespace lm::script
