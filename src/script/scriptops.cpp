// The operators of the script language on run-time values: arithmetic, string joining,
// comparisons with Null, logical and bitwise operators, and the conversions of typed variables.
#include <cmath>
#include <limits>

#include "script/scriptlexer.h"
#include "script/scriptnodes.h"
#include "util/cp1251.h"

namespace lm::script {

namespace {

enum class K { kEmpty, kNull, kInt, kFloat, kDate, kString, kBool };

K kindOf(const Variant& v)
{
    switch (v.VarType()) {
    case TVarType::varEmpty: return K::kEmpty;
    case TVarType::varNull: return K::kNull;
    case TVarType::varBoolean: return K::kBool;
    case TVarType::varInteger:
    case TVarType::varInt64: return K::kInt;
    case TVarType::varDouble:
    case TVarType::varCurrency: return K::kFloat;
    case TVarType::varDate: return K::kDate;
    case TVarType::varString: return K::kString;
    }
    return K::kNull;
}

[[noreturn]] void notAValue()
{
    throw Exception("Операция не применима к объекту"_w);
}

const Variant& plain(const Value& v)
{
    if (v.obj || v.arr)
        notAValue();
    return v.v;
}

Variant fromInt64(int64_t n)
{
    if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
        return Variant(static_cast<int>(n));
    return Variant(n);
}

// The unassigned value stands for 0 beside a number and for '' beside a text.
Variant unassignedAs(const Variant& other)
{
    return kindOf(other) == K::kString ? Variant(std::string()) : Variant(0);
}

bool integral(K k) { return k == K::kInt || k == K::kBool; }

Variant arithmetic(int op, const Variant& a, const Variant& b)
{
    const K ka = kindOf(a), kb = kindOf(b);
    if (op == tPlus && ka == K::kString && kb == K::kString)
        return Variant(a.AsString() + b.AsString());
    if (integral(ka) && integral(kb) && op != tSlash) {
        const int64_t x = a.AsInt64(), y = b.AsInt64();
        int64_t r = 0;
        bool overflow = false;
        switch (op) {
        case tPlus: overflow = __builtin_add_overflow(x, y, &r); break;
        case tMinus: overflow = __builtin_sub_overflow(x, y, &r); break;
        case tStar: overflow = __builtin_mul_overflow(x, y, &r); break;
        }
        if (!overflow)
            return fromInt64(r);
    }
    const double x = a.AsFloat(), y = b.AsFloat();
    switch (op) {
    case tPlus:
        return (ka == K::kDate) != (kb == K::kDate) ? Variant::FromDate(x + y) : Variant(x + y);
    case tMinus:
        return ka == K::kDate && kb != K::kDate ? Variant::FromDate(x - y) : Variant(x - y);
    case tStar:
        return Variant(x * y);
    default:
        if (y == 0)
            throw Exception("Division by zero");
        return Variant(x / y);
    }
}

Variant integerOp(int op, const Variant& a, const Variant& b)
{
    const int64_t x = a.AsInt64(), y = b.AsInt64();
    switch (op) {
    case tDiv:
    case tMod:
        if (y == 0)
            throw Exception("Division by zero");
        if (y == -1)  // also keeps the smallest integer divided by -1 from trapping
            return op == tDiv ? fromInt64(x == std::numeric_limits<int64_t>::min() ? x : -x) : Variant(0);
        return fromInt64(op == tDiv ? x / y : x % y);
    case tShl: return fromInt64(static_cast<int64_t>(static_cast<uint64_t>(x) << (y & 63)));
    default: return fromInt64(static_cast<int64_t>(static_cast<uint64_t>(x) >> (y & 63)));
    }
}

bool isLogical(const Variant& a, const Variant& b)
{
    const K ka = kindOf(a), kb = kindOf(b);
    return ka == K::kBool || kb == K::kBool || ka == K::kNull || kb == K::kNull;
}

Variant logical(int op, const Variant& a, const Variant& b)
{
    const bool na = a.IsNull(), nb = b.IsNull();
    if (op == tAnd) {
        if ((!na && !a.AsBoolean()) || (!nb && !b.AsBoolean()))
            return Variant(false);
        return na || nb ? Variant::Null() : Variant(true);
    }
    if (op == tOr) {
        if ((!na && a.AsBoolean()) || (!nb && b.AsBoolean()))
            return Variant(true);
        return na || nb ? Variant::Null() : Variant(false);
    }
    if (na || nb)
        return Variant::Null();
    return Variant(a.AsBoolean() != b.AsBoolean());
}

Variant bitwise(int op, const Variant& a, const Variant& b)
{
    const int64_t x = a.AsInt64(), y = b.AsInt64();
    return fromInt64(op == tAnd ? (x & y) : op == tOr ? (x | y) : (x ^ y));
}

Variant compare(int op, const Variant& a, const Variant& b)
{
    const int c = a.Compare(b);
    switch (op) {
    case tEq: return Variant(c == 0);
    case tNe: return Variant(c != 0);
    case tLt: return Variant(c < 0);
    case tGt: return Variant(c > 0);
    case tLe: return Variant(c <= 0);
    default: return Variant(c >= 0);
    }
}

} // namespace

Value BinaryOp(int op, const Value& av, const Value& bv)
{
    if (op == tIn) {
        if (!bv.arr)
            throw Exception("Ожидается множество"_w);
        for (const Value& item : bv.arr->items)
            if (ValuesEqual(av, item))
                return Value(Variant(true));
        return Value(Variant(false));
    }
    if ((op == tEq || op == tNe) && (av.obj || bv.obj || av.arr || bv.arr)) {
        const bool same = av.obj == bv.obj && av.arr == bv.arr && (av.obj || av.arr);
        return Value(Variant(op == tEq ? same : !same));
    }
    // the operands are read in place; only an unassigned one is replaced by a stand-in
    Variant standInA, standInB;
    const Variant* pa = &plain(av);
    const Variant* pb = &plain(bv);
    if (pa->IsEmpty())
        pa = &(standInA = unassignedAs(*pb));
    if (pb->IsEmpty())
        pb = &(standInB = unassignedAs(*pa));
    const Variant& a = *pa;
    const Variant& b = *pb;
    switch (op) {
    case tEq: case tNe: case tLt: case tGt: case tLe: case tGe:
        // a comparison with Null is false, whatever the operator
        if (a.IsNull() || b.IsNull())
            return Value(Variant(false));
        return Value(compare(op, a, b));
    case tAnd: case tOr: case tXor:
        return Value(isLogical(a, b) ? logical(op, a, b) : bitwise(op, a, b));
    default:
        break;
    }
    if (a.IsNull() || b.IsNull())
        return Value(Variant::Null());
    switch (op) {
    case tDiv: case tMod: case tShl: case tShr:
        return Value(integerOp(op, a, b));
    default:
        return Value(arithmetic(op, a, b));
    }
}

Value UnaryOp(int op, const Value& av)
{
    Variant a = plain(av);
    if (a.IsNull())
        return Value(Variant::Null());
    if (a.IsEmpty())
        a = Variant(0);
    if (op == tNot) {
        if (kindOf(a) == K::kBool || kindOf(a) == K::kString)
            return Value(Variant(!a.AsBoolean()));
        return Value(fromInt64(~a.AsInt64()));
    }
    if (op == tPlus)
        return Value(kindOf(a) == K::kString ? Variant(a.AsFloat()) : a);
    if (kindOf(a) == K::kInt && a.AsInt64() != std::numeric_limits<int64_t>::min())
        return Value(fromInt64(-a.AsInt64()));
    return Value(Variant(-a.AsFloat()));
}

bool Truth(const Value& v)
{
    return plain(v).AsBoolean();
}

bool ValuesEqual(const Value& a, const Value& b)
{
    if (a.obj || b.obj || a.arr || b.arr)
        return a.obj == b.obj && a.arr == b.arr;
    if (a.v.IsNull() || b.v.IsNull())
        return a.v.IsNull() && b.v.IsNull();
    return a.v == b.v;
}

Value InitialValue(const TTypeInfo& type)
{
    switch (type.kind) {
    case TType::tInteger: return Value(Variant(0));
    case TType::tInt64: return Value(Variant(int64_t{0}));
    case TType::tDouble: return Value(Variant(0.0));
    case TType::tCurrency: return Value(Variant(Currency()));
    case TType::tString:
    case TType::tChar: return Value(Variant(std::string()));
    case TType::tBoolean: return Value(Variant(false));
    case TType::tDate: return Value(Variant::FromDate(0));
    case TType::tArray: {
        auto arr = std::make_shared<TArray>();
        arr->bounded = true;
        arr->low = type.low;
        arr->items.assign(static_cast<size_t>(type.high - type.low + 1), InitialValue(*type.element));
        return Value::Array(std::move(arr));
    }
    default: return Value();
    }
}

Value ConvertTo(const TTypeInfo& type, Value v)
{
    switch (type.kind) {
    case TType::tVariant:
    case TType::tObject:
        return v;
    case TType::tArray:
        if (!v.arr)
            throw Exception("Несовместимые типы: ожидается массив"_w);
        return v;
    default:
        break;
    }
    const Variant& p = plain(v);
    switch (type.kind) {
    case TType::tInteger: return Value(Variant(p.AsInteger()));
    case TType::tInt64: return Value(Variant(p.AsInt64()));
    case TType::tDouble: return Value(Variant(p.AsFloat()));
    case TType::tCurrency: return Value(Variant(p.AsCurrency()));
    case TType::tString: return Value(Variant(p.AsString()));
    case TType::tChar: return Value(Variant(p.AsString().substr(0, 1)));
    case TType::tBoolean: return Value(Variant(p.AsBoolean()));
    default: return Value(Variant::FromDate(p.AsDateTime()));
    }
}

} // namespace lm::script
