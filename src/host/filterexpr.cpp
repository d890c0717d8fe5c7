// The local filter's evaluator: one record at a time over the compiled node array, with SQL
// three-valued logic and no allocation on the common paths.
#include "host/filterexpr.h"

#include <cmath>

#include "host/dataset.h"
#include "host/filternode.h"
#include "util/cp1251.h"
#include "util/sysutils.h"
#include "util/wildcard.h"

namespace lm {

EFilterError::EFilterError(const std::string& text, int position, const std::string& reason)
    : Exception(Format("Ошибка в выражении фильтра \"%s\" в позиции %d: %s"_w, {text, position, reason})),
      m_position(position), m_reason(reason)
{
}

using namespace filterexpr;

namespace {

using RecId = TRecordStore::RecId;

// The calendar's range in days: 01.01.0001 to the end of 31.12.9999.
constexpr double kMinDate = -693593.0;
constexpr double kMaxDate = 2958466.0;
// Texts up to this length are case-folded on the stack before a contains search.
constexpr std::size_t kFoldBuffer = 256;

// Compares two texts as the server does: letter case through the maps, the shorter one padded
// with blanks.
int compareText(const Val& a, const Val& b)
{
    const std::size_t n = std::min(a.s.size(), b.s.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = mapped(a.map, a.s[i]);
        const unsigned char y = mapped(b.map, b.s[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    for (std::size_t i = n; i < a.s.size(); ++i) {
        const unsigned char x = mapped(a.map, a.s[i]);
        if (x != ' ')
            return x < ' ' ? -1 : 1;
    }
    for (std::size_t i = n; i < b.s.size(); ++i) {
        const unsigned char y = mapped(b.map, b.s[i]);
        if (y != ' ')
            return ' ' < y ? -1 : 1;
    }
    return 0;
}

// LIKE with "%" (any run) and "_" (one character), no escape character; backtracks only to
// the last "%", so the cost stays linear in practice.
bool likeMatch(const Val& subject, std::string_view p, const unsigned char* pmap)
{
    return detail::WildcardMatch(subject.s, p, '%', [&](char m, char c) {
        return m == '_' || mapped(pmap, m) == mapped(subject.map, c);
    });
}

TFilterTruth fromBool(bool b)
{
    return b ? TFilterTruth::ftTrue : TFilterTruth::ftFalse;
}

} // namespace

struct TFilterExpr::Program {
    std::vector<Node> nodes;
    int root = -1;
    const TRecordStore* store = nullptr;
    bool slow = false;

    TFilterTruth evalBool(int n, RecId rec) const;
    // OR and AND in three-valued logic: `decisive` on either side (true for OR, false for
    // AND) is the result and spares the other side; otherwise unknown on either side gives
    // unknown, and `otherwise` the rest.
    TFilterTruth junction(const Node& node, RecId rec, TFilterTruth decisive, TFilterTruth otherwise) const;
    Val evalVal(int n, RecId rec) const;
    Val readSlowField(const Node& node) const;
    TFilterTruth compare(const Node& node, const Val& x, const Val& y) const;
    TFilterTruth like(const Node& node, RecId rec) const;
    bool textOf(const Node& node, Val& v) const;
};

// --- evaluation -------------------------------------------------------------------------------

TFilterTruth TFilterExpr::Program::junction(const Node& node, RecId rec, TFilterTruth decisive,
                                            TFilterTruth otherwise) const
{
    const TFilterTruth a = evalBool(node.a, rec);
    if (a == decisive)
        return a;
    const TFilterTruth b = evalBool(node.b, rec);
    if (b == decisive)
        return b;
    return a == TFilterTruth::ftUnknown || b == TFilterTruth::ftUnknown ? TFilterTruth::ftUnknown : otherwise;
}

TFilterTruth TFilterExpr::Program::evalBool(int n, RecId rec) const
{
    const Node& node = nodes[n];
    switch (node.op) {
    case Op::Or: return junction(node, rec, TFilterTruth::ftTrue, TFilterTruth::ftFalse);
    case Op::And: return junction(node, rec, TFilterTruth::ftFalse, TFilterTruth::ftTrue);
    case Op::Not: {
        const TFilterTruth a = evalBool(node.a, rec);
        return a == TFilterTruth::ftUnknown ? a : fromBool(a == TFilterTruth::ftFalse);
    }
    case Op::Cmp: return compare(node, evalVal(node.a, rec), evalVal(node.b, rec));
    case Op::Like: return like(node, rec);
    case Op::IsNull: return fromBool((evalVal(node.a, rec).k == VK::Null) != node.negate);
    case Op::Truthy: {
        const Val v = evalVal(node.a, rec);
        if (v.k == VK::Null)
            return TFilterTruth::ftUnknown;
        return fromBool(v.k == VK::Int ? v.i != 0 : v.f != 0);
    }
    default: return TFilterTruth::ftUnknown;
    }
}

// The value of a field without a store column (a lookup), read through the field.
Val TFilterExpr::Program::readSlowField(const Node& node) const
{
    const Variant v = node.field->Value();
    Val out;
    switch (v.VarType()) {
    case TVarType::varEmpty:
    case TVarType::varNull: break;
    case TVarType::varBoolean:
    case TVarType::varInteger:
    case TVarType::varInt64:
        out.k = VK::Int;
        out.i = v.AsInt64();
        break;
    case TVarType::varDouble:
    case TVarType::varCurrency:
        out.k = VK::Float;
        out.f = v.AsFloat();
        break;
    case TVarType::varDate:
        out.k = VK::Date;
        out.f = v.AsDateTime();
        break;
    case TVarType::varString:
        node.scratch = v.AsString();
        out.k = VK::Str;
        out.s = node.scratch;
        break;
    }
    return out;
}

// Numbers as arithmetic operands; a text converts (null when it does not).
static bool asNumber(const Val& v, Val& out)
{
    if (v.k == VK::Str) {
        double d = 0;
        if (!parseNumber(v.s, d))
            return false;
        out.k = VK::Float;
        out.f = d;
        return true;
    }
    out = v;
    return v.k != VK::Null;
}

Val TFilterExpr::Program::evalVal(int n, RecId rec) const
{
    const Node& node = nodes[n];
    Val out;
    switch (node.op) {
    case Op::Const:
        out = node.value;
        if (out.k == VK::Str)
            out.s = node.text;
        return out;
    case Op::Field:
        if (store->IsNull(node.col, rec))
            return out;
        out.k = node.fieldKind;
        switch (node.fieldKind) {
        case VK::Str: out.s = store->GetString(node.col, rec); break;
        case VK::Int: out.i = store->GetInt(node.col, rec); break;
        case VK::Float:
            out.f = node.bcd ? static_cast<double>(store->GetInt(node.col, rec)) / Currency::Scale
                             : store->GetFloat(node.col, rec);
            break;
        case VK::Date: out.f = store->GetFloat(node.col, rec); break;
        case VK::Null: break;
        }
        return out;
    case Op::FieldSlow: return readSlowField(node);
    case Op::Upper:
    case Op::Lower:
        out = evalVal(node.a, rec);
        if (out.k == VK::Null || !textOf(node, out))
            return Val();
        out.map = node.op == Op::Upper ? upperTable() : lowerTable();
        return out;
    case Op::Neg: {
        Val v;
        if (!asNumber(evalVal(node.a, rec), v))
            return out;
        if (v.k == VK::Int && v.i != INT64_MIN) {
            out.k = VK::Int;
            out.i = -v.i;
        } else {
            out.k = VK::Float;
            out.f = -v.num();
        }
        return out;
    }
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div: {
        Val x, y;
        if (!asNumber(evalVal(node.a, rec), x) || !asNumber(evalVal(node.b, rec), y))
            return out;
        if (x.k == VK::Int && y.k == VK::Int) {
            int64_t r = 0;
            bool overflow = false;
            switch (node.op) {
            case Op::Add: overflow = __builtin_add_overflow(x.i, y.i, &r); break;
            case Op::Sub: overflow = __builtin_sub_overflow(x.i, y.i, &r); break;
            case Op::Mul: overflow = __builtin_mul_overflow(x.i, y.i, &r); break;
            default:
                // Integer division truncates, as the server divides integers.
                if (y.i == 0)
                    return out;
                if (x.i == INT64_MIN && y.i == -1)
                    overflow = true;
                else
                    r = x.i / y.i;
                break;
            }
            if (!overflow) {
                out.k = VK::Int;
                out.i = r;
                return out;
            }
        }
        const double a = x.num(), b = y.num();
        double r = 0;
        switch (node.op) {
        case Op::Add: r = a + b; break;
        case Op::Sub: r = a - b; break;
        case Op::Mul: r = a * b; break;
        default:
            if (b == 0)
                return out;
            r = a / b;
            break;
        }
        if (!std::isfinite(r))
            return out;  // overflow: null, where the server would reject the record
        const bool xDate = x.k == VK::Date, yDate = y.k == VK::Date;
        out.k = (node.op == Op::Add && (xDate != yDate)) || (node.op == Op::Sub && xDate && !yDate) ? VK::Date : VK::Float;
        out.f = r;
        return out;
    }
    default: return out;
    }
}

// Turns a non-text value into its text (numbers and dates as the locale writes them) in the
// node's scratch buffer; false for null.
bool TFilterExpr::Program::textOf(const Node& node, Val& v) const
{
    switch (v.k) {
    case VK::Null: return false;
    case VK::Str: return true;
    case VK::Int: node.scratch = IntToStr(v.i); break;
    case VK::Float: node.scratch = FloatToStr(v.f); break;
    case VK::Date:
        // a computed date outside the calendar has no text: null, as the server has no such date
        if (!(v.f >= kMinDate && v.f < kMaxDate))
            return false;
        node.scratch = v.f == std::floor(v.f) ? DateToStr(v.f) : DateTimeToStr(v.f);
        break;
    }
    v.k = VK::Str;
    v.s = node.scratch;
    v.map = nullptr;
    return true;
}

TFilterTruth TFilterExpr::Program::compare(const Node& node, const Val& x, const Val& y) const
{
    if (x.k == VK::Null || y.k == VK::Null)
        return TFilterTruth::ftUnknown;
    int c = 0;
    if (x.k == VK::Str && y.k == VK::Str) {
        c = compareText(x, y);
    } else if (x.k == VK::Int && y.k == VK::Int) {
        c = x.i < y.i ? -1 : (x.i > y.i ? 1 : 0);
    } else {
        double a = x.num(), b = y.num();
        if (x.k == VK::Str && !(y.k == VK::Date ? parseDate(x.s, a) : parseNumber(x.s, a)))
            return TFilterTruth::ftUnknown;
        if (y.k == VK::Str && !(x.k == VK::Date ? parseDate(y.s, b) : parseNumber(y.s, b)))
            return TFilterTruth::ftUnknown;
        c = a < b ? -1 : (a > b ? 1 : 0);
    }
    switch (node.cmp) {
    case Cmp::Eq: return fromBool(c == 0);
    case Cmp::Ne: return fromBool(c != 0);
    case Cmp::Lt: return fromBool(c < 0);
    case Cmp::Gt: return fromBool(c > 0);
    case Cmp::Le: return fromBool(c <= 0);
    case Cmp::Ge: return fromBool(c >= 0);
    }
    return TFilterTruth::ftUnknown;
}

TFilterTruth TFilterExpr::Program::like(const Node& node, RecId rec) const
{
    Val s;
    if (node.directCol >= 0) {
        // the common UPPER(field) LIKE 'constant' reads the column without the value machinery
        if (store->IsNull(node.directCol, rec))
            return TFilterTruth::ftUnknown;
        s.k = VK::Str;
        s.s = store->GetString(node.directCol, rec);
        s.map = node.subjectMap;
    } else {
        s = evalVal(node.a, rec);
        if (s.k == VK::Null || !textOf(nodes[node.a], s))
            return TFilterTruth::ftUnknown;
    }
    bool match = false;
    const std::string_view needle = node.needle;
    const std::string_view text = s.s;
    auto equalAt = [&](std::size_t at) {
        for (std::size_t j = 0; j < needle.size(); ++j)
            if (mapped(s.map, text[at + j]) != static_cast<unsigned char>(needle[j]))
                return false;
        return true;
    };
    switch (node.like) {
    case LikeKind::Any: match = true; break;
    case LikeKind::Exact: match = text.size() == needle.size() && equalAt(0); break;
    case LikeKind::Prefix: match = text.size() >= needle.size() && equalAt(0); break;
    case LikeKind::Suffix: match = text.size() >= needle.size() && equalAt(text.size() - needle.size()); break;
    case LikeKind::Contains:
        if (needle.size() > text.size())
            break;
        if (!s.map) {
            match = text.find(needle) != std::string_view::npos;
            break;
        }
        if (text.size() <= kFoldBuffer) {
            // folding first lets the search run on memchr, faster than testing every position
            char folded[kFoldBuffer];
            for (std::size_t i = 0; i < text.size(); ++i)
                folded[i] = static_cast<char>(s.map[static_cast<unsigned char>(text[i])]);
            match = std::string_view(folded, text.size()).find(needle) != std::string_view::npos;
            break;
        }
        for (std::size_t i = 0, last = text.size() - needle.size(); i <= last; ++i)
            if (node.first[static_cast<unsigned char>(text[i])] && equalAt(i)) {
                match = true;
                break;
            }
        break;
    case LikeKind::Generic: {
        Val p = evalVal(node.b, rec);
        if (p.k == VK::Null || !textOf(nodes[node.b], p))
            return TFilterTruth::ftUnknown;
        match = likeMatch(s, p.s, p.map);
        break;
    }
    }
    return fromBool(match != node.negate);
}

// --- TFilterExpr ------------------------------------------------------------------------------

TFilterExpr::TFilterExpr(const std::string& text, TDataSet& dataSet)
    : m_text(text), m_program(std::make_unique<Program>())
{
    m_program->store = &dataSet.Store();
    m_program->root = filterexpr::Parse(m_text, dataSet, m_program->nodes, m_program->slow);
}

TFilterExpr::~TFilterExpr() = default;

bool TFilterExpr::ReadsThroughFields() const
{
    return m_program->slow;
}

TFilterTruth TFilterExpr::Evaluate(TRecordStore::RecId rec) const
{
    return m_program->evalBool(m_program->root, rec);
}

} // namespace lm
