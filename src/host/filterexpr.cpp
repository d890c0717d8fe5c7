// The local filter language: tokenizer, recursive-descent parser into a flat node array, and the
// per-record evaluator with SQL three-valued logic.
#include "host/filterexpr.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

EFilterError::EFilterError(const std::string& text, int position, const std::string& reason)
    : Exception(Format("Ошибка в выражении фильтра \"%s\" в позиции %d: %s"_w, {text, position, reason})),
      m_position(position), m_reason(reason)
{
}

namespace {

using RecId = TRecordStore::RecId;

// Deeper nesting than this is refused, so hostile input cannot exhaust the stack.
constexpr int kMaxDepth = 200;
// The calendar's range in days: 01.01.0001 to the end of 31.12.9999.
constexpr double kMinDate = -693593.0;
constexpr double kMaxDate = 2958466.0;
// Texts up to this length are case-folded on the stack before a contains search.
constexpr std::size_t kFoldBuffer = 256;

enum class VK : uint8_t { Null, Int, Float, Date, Str };

// A value during evaluation. Text is a view into the store, a constant or a node's scratch
// buffer; `map` is the case table that UPPER/LOWER applied to it (nullptr: as stored).
struct Val {
    VK k = VK::Null;
    int64_t i = 0;
    double f = 0;
    std::string_view s;
    const unsigned char* map = nullptr;
    double num() const { return k == VK::Int ? static_cast<double>(i) : f; }
};

inline unsigned char mapped(const unsigned char* map, char c)
{
    const auto b = static_cast<unsigned char>(c);
    return map ? map[b] : b;
}

// Parses a number written with the locale's decimal separator or ".", blanks around allowed.
bool parseNumber(std::string_view s, double& out)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    if (s.empty() || s.size() > 64)
        return false;
    char buf[64];
    std::size_t n = 0;
    std::size_t start = 0;
    if (s[0] == '+')
        start = 1;
    for (std::size_t i = start; i < s.size(); ++i) {
        const char c = s[i] == FormatSettings.DecimalSeparator ? '.' : s[i];
        // from_chars would also take "inf" and "nan", which are no numbers here
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
        buf[n++] = c;
    }
    if (n == 0)
        return false;
    const auto res = std::from_chars(buf, buf + n, out);
    return res.ec == std::errc() && res.ptr == buf + n;
}

// A date-time in the locale's form (dd.MM.yyyy [h:nn[:ss]]) or the ISO form yyyy-mm-dd.
bool parseDate(std::string_view s, double& out)
{
    if (TryStrToDateTime(s, out))
        return true;
    const std::string t = Trim(s);
    int y = 0, m = 0, d = 0;
    const char* p = t.data();
    const char* e = p + t.size();
    auto num = [&](int& v) {
        const auto r = std::from_chars(p, e, v);
        if (r.ec != std::errc())
            return false;
        p = r.ptr;
        return true;
    };
    if (!num(y) || p == e || *p++ != '-' || !num(m) || p == e || *p++ != '-' || !num(d) || p != e)
        return false;
    return TryEncodeDate(y, m, d, out);
}

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
    const std::string_view s = subject.s;
    std::size_t i = 0, j = 0, star = std::string_view::npos, mark = 0;
    while (i < s.size()) {
        if (j < p.size() && p[j] == '%') {
            star = j++;
            mark = i;
        } else if (j < p.size() && (p[j] == '_' || mapped(pmap, p[j]) == mapped(subject.map, s[i]))) {
            ++i;
            ++j;
        } else if (star != std::string_view::npos) {
            j = star + 1;
            i = ++mark;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == '%')
        ++j;
    return j == p.size();
}

enum class Op : uint8_t {
    // conditions
    Or, And, Not, Cmp, Like, IsNull, Truthy,
    // values
    Const, Field, FieldSlow, Add, Sub, Mul, Div, Neg, Upper, Lower,
};

enum class Cmp : uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

// The static kind of a value node, used to convert constants once and to refuse nonsense.
enum class ST : uint8_t { Unknown, Num, Date, Str, Null, Cond };

// How a constant LIKE pattern is matched.
enum class LikeKind : uint8_t { Generic, Any, Exact, Prefix, Suffix, Contains };

struct Node {
    Op op = Op::Const;
    Cmp cmp = Cmp::Eq;
    ST st = ST::Unknown;
    bool negate = false;      // NOT LIKE, IS NOT NULL
    int a = -1, b = -1;       // operands
    int pos = 0;              // 1-based position in the text, for messages
    // Field / FieldSlow
    int col = -1;
    VK fieldKind = VK::Null;
    bool bcd = false;
    TField* field = nullptr;
    // Const
    Val value;
    std::string text;         // a string constant's bytes (value.s views it)
    // Like with a constant pattern
    LikeKind like = LikeKind::Generic;
    std::string needle;       // the pattern without its surrounding "%"
    const unsigned char* subjectMap = nullptr;
    int directCol = -1;                // the subject is this stored text column (under subjectMap)
    std::array<uint8_t, 256> first{};  // bytes whose mapped form is needle[0]
    mutable std::string scratch;       // text of a non-text value or a field read as Variant
};

enum class Tok : uint8_t { End, Name, QuotedName, String, Number, Op };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // name, string contents, number text or operator
    int pos = 0;
};

} // namespace

struct TFilterExpr::Program {
    std::vector<Node> nodes;
    int root = -1;
    const TRecordStore* store = nullptr;
    bool slow = false;

    TFilterTruth evalBool(int n, RecId rec) const;
    Val evalVal(int n, RecId rec) const;
    Val readSlowField(const Node& node) const;
    TFilterTruth compare(const Node& node, const Val& x, const Val& y) const;
    TFilterTruth like(const Node& node, RecId rec) const;
    bool textOf(const Node& node, Val& v) const;
};

namespace {

class Parser {
public:
    Parser(const std::string& text, TDataSet& dataSet, std::vector<Node>& nodes)
        : m_text(text), m_dataSet(dataSet), m_nodes(nodes)
    {
        next();
    }

    int parseAll(bool& slow)
    {
        if (m_tok.kind == Tok::End)
            fail(m_tok.pos, "ожидается условие"_w);
        const int root = condition(parseOr());
        if (m_tok.kind != Tok::End)
            fail(m_tok.pos, "лишний текст"_w);
        slow = m_slow;
        return root;
    }

private:
    [[noreturn]] void fail(int pos, const std::string& reason) const { throw EFilterError(m_text, pos, reason); }

    // --- tokens -------------------------------------------------------------------------
    void next()
    {
        std::size_t& i = m_at;
        while (i < m_text.size() && static_cast<unsigned char>(m_text[i]) <= ' ')
            ++i;
        m_tok = Token();
        m_tok.pos = static_cast<int>(i) + 1;
        if (i >= m_text.size())
            return;
        const char c = m_text[i];
        const auto uc = static_cast<unsigned char>(c);
        if (c == '\'') {
            m_tok.kind = Tok::String;
            quoted('\'', "незакрытая строка"_w);
        } else if (c == '"') {
            m_tok.kind = Tok::QuotedName;
            quoted('"', "незакрытое имя поля"_w);
        } else if (c == '[') {
            const std::size_t close = m_text.find(']', i + 1);
            if (close == std::string::npos)
                fail(m_tok.pos, "незакрытое имя поля"_w);
            m_tok.kind = Tok::QuotedName;
            m_tok.text = m_text.substr(i + 1, close - i - 1);
            i = close + 1;
        } else if (uc >= '0' && uc <= '9') {
            m_tok.kind = Tok::Number;
            number();
        } else if (isLetter(uc) || c == '_') {
            m_tok.kind = Tok::Name;
            const std::size_t start = i;
            while (i < m_text.size()) {
                const auto b = static_cast<unsigned char>(m_text[i]);
                if (!(isLetter(b) || (b >= '0' && b <= '9') || b == '_' || b == '$'))
                    break;
                ++i;
            }
            m_tok.text = m_text.substr(start, i - start);
        } else {
            static const char* const ops[] = {"<>", "!=", "<=", ">=", "=", "<", ">", "+", "-", "*", "/", "(", ")"};
            for (const char* op : ops) {
                const std::size_t len = std::char_traits<char>::length(op);
                if (m_text.compare(i, len, op) == 0) {
                    m_tok.kind = Tok::Op;
                    m_tok.text = op;
                    i += len;
                    return;
                }
            }
            fail(m_tok.pos, Format("недопустимый символ '%s'"_w, {std::string(1, c)}));
        }
    }

    void quoted(char q, const std::string& unterminated)
    {
        std::size_t& i = m_at;
        ++i;
        while (true) {
            if (i >= m_text.size())
                fail(m_tok.pos, unterminated);
            if (m_text[i] == q) {
                if (i + 1 < m_text.size() && m_text[i + 1] == q) {
                    m_tok.text += q;
                    i += 2;
                    continue;
                }
                ++i;
                return;
            }
            m_tok.text += m_text[i++];
        }
    }

    // Digits, then a fraction after the locale's separator or ".", then an exponent.
    void number()
    {
        std::size_t& i = m_at;
        const std::size_t start = i;
        auto digits = [&] {
            while (i < m_text.size() && m_text[i] >= '0' && m_text[i] <= '9')
                ++i;
        };
        digits();
        if (i + 1 < m_text.size() && (m_text[i] == '.' || m_text[i] == FormatSettings.DecimalSeparator)
            && m_text[i + 1] >= '0' && m_text[i + 1] <= '9') {
            ++i;
            digits();
        }
        if (i < m_text.size() && (m_text[i] == 'e' || m_text[i] == 'E')) {
            std::size_t j = i + 1;
            if (j < m_text.size() && (m_text[j] == '+' || m_text[j] == '-'))
                ++j;
            if (j < m_text.size() && m_text[j] >= '0' && m_text[j] <= '9') {
                i = j;
                digits();
            }
        }
        m_tok.text = m_text.substr(start, i - start);
    }

    bool isKeyword(const char* word) const
    {
        return m_tok.kind == Tok::Name && upperCase(m_tok.text) == word;
    }
    bool isOp(const char* op) const { return m_tok.kind == Tok::Op && m_tok.text == op; }

    // --- nodes --------------------------------------------------------------------------
    int add(Node node)
    {
        m_nodes.push_back(std::move(node));
        return static_cast<int>(m_nodes.size()) - 1;
    }

    int binary(Op op, int a, int b, int pos, ST st)
    {
        Node n;
        n.op = op;
        n.a = a;
        n.b = b;
        n.pos = pos;
        n.st = st;
        return add(std::move(n));
    }

    void enter(int pos)
    {
        if (++m_depth > kMaxDepth)
            fail(pos, "слишком глубокая вложенность"_w);
    }

    ST st(int n) const { return m_nodes[n].st; }

    int value(int n) const
    {
        if (st(n) == ST::Cond)
            fail(m_nodes[n].pos, "ожидается значение"_w);
        return n;
    }

    // A value standing where a condition is expected: numbers count as true when not 0.
    int condition(int n)
    {
        if (st(n) == ST::Cond)
            return n;
        if (st(n) == ST::Str || st(n) == ST::Date)
            fail(m_nodes[n].pos, "ожидается условие"_w);
        Node t;
        t.op = Op::Truthy;
        t.a = n;
        t.pos = m_nodes[n].pos;
        t.st = ST::Cond;
        return add(std::move(t));
    }

    // --- grammar ------------------------------------------------------------------------
    int parseOr()
    {
        int left = parseAnd();
        while (isKeyword("OR")) {
            const int pos = m_tok.pos;
            next();
            left = binary(Op::Or, condition(left), condition(parseAnd()), pos, ST::Cond);
        }
        return left;
    }

    int parseAnd()
    {
        int left = parseNot();
        while (isKeyword("AND")) {
            const int pos = m_tok.pos;
            next();
            left = binary(Op::And, condition(left), condition(parseNot()), pos, ST::Cond);
        }
        return left;
    }

    int parseNot()
    {
        if (isKeyword("NOT")) {
            const int pos = m_tok.pos;
            enter(pos);
            next();
            const int operand = condition(parseNot());
            --m_depth;
            return binary(Op::Not, operand, -1, pos, ST::Cond);
        }
        return parsePredicate();
    }

    int parsePredicate()
    {
        const int left = parseAdditive();
        static const std::pair<const char*, Cmp> cmps[] = {
            {"=", Cmp::Eq}, {"<>", Cmp::Ne}, {"!=", Cmp::Ne}, {"<", Cmp::Lt},
            {">", Cmp::Gt}, {"<=", Cmp::Le}, {">=", Cmp::Ge},
        };
        for (const auto& [text, cmp] : cmps) {
            if (isOp(text)) {
                const int pos = m_tok.pos;
                next();
                const int right = value(parseAdditive());
                return comparison(value(left), cmp, right, pos);
            }
        }
        bool negate = false;
        const int pos = m_tok.pos;
        if (isKeyword("NOT")) {
            negate = true;
            next();
            if (!isKeyword("LIKE"))
                fail(m_tok.pos, "ожидается LIKE"_w);
        }
        if (isKeyword("LIKE")) {
            next();
            const int pattern = value(parseAdditive());
            return likeNode(value(left), pattern, negate, pos);
        }
        if (isKeyword("IS")) {
            next();
            if (isKeyword("NOT")) {
                negate = true;
                next();
            }
            if (!isKeyword("NULL"))
                fail(m_tok.pos, "ожидается NULL"_w);
            next();
            const int n = binary(Op::IsNull, value(left), -1, pos, ST::Cond);
            m_nodes[n].negate = negate;
            return n;
        }
        return left;
    }

    int parseAdditive()
    {
        int left = parseTerm();
        while (isOp("+") || isOp("-")) {
            const Op op = isOp("+") ? Op::Add : Op::Sub;
            const int pos = m_tok.pos;
            next();
            const int right = value(parseTerm());
            const ST a = st(value(left)), b = st(right);
            // A date plus or minus days stays a date; the difference of two dates is a number.
            const ST result = (a == ST::Date && b != ST::Date) || (op == Op::Add && b == ST::Date) ? ST::Date : ST::Num;
            left = binary(op, left, right, pos, result);
        }
        return left;
    }

    int parseTerm()
    {
        int left = parseFactor();
        while (isOp("*") || isOp("/")) {
            const Op op = isOp("*") ? Op::Mul : Op::Div;
            const int pos = m_tok.pos;
            next();
            const int right = value(parseFactor());
            left = binary(op, value(left), right, pos, ST::Num);
        }
        return left;
    }

    int parseFactor()
    {
        if (isOp("-") || isOp("+")) {
            const bool minus = isOp("-");
            const int pos = m_tok.pos;
            enter(pos);
            next();
            const int operand = value(parseFactor());
            --m_depth;
            if (!minus)
                return operand;
            Node& o = m_nodes[operand];
            if (o.op == Op::Const && (o.value.k == VK::Int || o.value.k == VK::Float)) {
                o.value.i = -o.value.i;
                o.value.f = -o.value.f;
                o.pos = pos;
                return operand;
            }
            return binary(Op::Neg, operand, -1, pos, ST::Num);
        }
        return parsePrimary();
    }

    int constant(Val v, ST type, int pos, std::string text = {})
    {
        Node n;
        n.op = Op::Const;
        n.value = v;
        n.st = type;
        n.pos = pos;
        n.text = std::move(text);
        return add(std::move(n));
    }

    int parsePrimary()
    {
        const Token tok = m_tok;
        switch (tok.kind) {
        case Tok::End:
            fail(tok.pos, "ожидается значение"_w);
        case Tok::String: {
            next();
            Val v;
            v.k = VK::Str;
            return constant(v, ST::Str, tok.pos, tok.text);
        }
        case Tok::Number: {
            next();
            Val v;
            int64_t i = 0;
            const char* b = tok.text.data();
            const char* e = b + tok.text.size();
            const auto r = std::from_chars(b, e, i);
            if (r.ec == std::errc() && r.ptr == e) {
                v.k = VK::Int;
                v.i = i;
                v.f = static_cast<double>(i);
            } else if (parseNumber(tok.text, v.f)) {
                v.k = VK::Float;
            } else {
                fail(tok.pos, Format("неверное число '%s'"_w, {tok.text}));
            }
            return constant(v, ST::Num, tok.pos);
        }
        case Tok::QuotedName:
            next();
            return fieldNode(tok);
        case Tok::Op:
            if (tok.text == "(") {
                enter(tok.pos);
                next();
                const int inner = parseOr();
                if (!isOp(")"))
                    fail(m_tok.pos, "ожидается ')'"_w);
                next();
                --m_depth;
                return inner;
            }
            fail(tok.pos, "ожидается значение"_w);
        case Tok::Name:
            break;
        }
        const std::string word = upperCase(tok.text);
        if (word == "NULL") {
            next();
            return constant(Val(), ST::Null, tok.pos);
        }
        if (word == "CURRENT_DATE" || word == "CURRENT_TIMESTAMP") {
            next();
            Val v;
            v.k = VK::Date;
            v.f = word == "CURRENT_DATE" ? std::floor(Now()) : Now();
            return constant(v, ST::Date, tok.pos);
        }
        if (word == "TRUE" || word == "FALSE") {
            next();
            Val v;
            v.k = VK::Int;
            v.i = word == "TRUE";
            v.f = static_cast<double>(v.i);
            return constant(v, ST::Num, tok.pos);
        }
        if ((word == "UPPER" || word == "LOWER") && peekOpenParen()) {
            next();
            enter(tok.pos);
            next();  // "("
            const int arg = value(parseAdditive());
            if (!isOp(")"))
                fail(m_tok.pos, "ожидается ')'"_w);
            next();
            --m_depth;
            return caseNode(word == "UPPER" ? Op::Upper : Op::Lower, arg, tok.pos);
        }
        if (word == "AND" || word == "OR" || word == "NOT" || word == "LIKE" || word == "IS")
            fail(tok.pos, "ожидается значение"_w);
        next();
        return fieldNode(tok);
    }

    bool peekOpenParen() const
    {
        std::size_t i = m_at;
        while (i < m_text.size() && static_cast<unsigned char>(m_text[i]) <= ' ')
            ++i;
        return i < m_text.size() && m_text[i] == '(';
    }

    int fieldNode(const Token& tok)
    {
        TField* field = m_dataSet.FindField(tok.text);
        if (!field)
            fail(tok.pos, Format("неизвестное поле %s"_w, {tok.text}));
        Node n;
        n.pos = tok.pos;
        n.field = field;
        n.col = field->StoreColumn();
        n.op = n.col >= 0 ? Op::Field : Op::FieldSlow;
        if (n.op == Op::FieldSlow)
            m_slow = true;
        switch (field->DataType()) {
        case ftString:
        case ftFixedChar:
        case ftMemo:
        case ftBlob:
            n.fieldKind = VK::Str;
            n.st = ST::Str;
            break;
        case ftDate:
        case ftTime:
        case ftDateTime:
            n.fieldKind = VK::Date;
            n.st = ST::Date;
            break;
        case ftFloat:
        case ftCurrency:
            n.fieldKind = VK::Float;
            n.st = ST::Num;
            break;
        case ftBCD:
            n.fieldKind = VK::Float;
            n.bcd = true;
            n.st = ST::Num;
            break;
        default:
            n.fieldKind = VK::Int;
            n.st = ST::Num;
            break;
        }
        return add(std::move(n));
    }

    int caseNode(Op op, int arg, int pos)
    {
        const unsigned char* map = op == Op::Upper ? upperTable() : lowerTable();
        Node& a = m_nodes[arg];
        if (a.op == Op::Const && a.value.k == VK::Str) {
            for (char& c : a.text)
                c = static_cast<char>(map[static_cast<unsigned char>(c)]);
            return arg;
        }
        return binary(op, arg, -1, pos, ST::Str);
    }

    // Converts a string constant compared with a number or a date once, here; a constant that
    // does not convert is an error of the text.
    void convertConstant(int n, ST to)
    {
        Node& c = m_nodes[n];
        if (c.op != Op::Const || c.value.k != VK::Str || (to != ST::Num && to != ST::Date))
            return;
        double d = 0;
        if (to == ST::Num) {
            if (!parseNumber(c.text, d))
                fail(c.pos, Format("неверное число '%s'"_w, {c.text}));
            c.value.k = VK::Float;
            c.st = ST::Num;
        } else {
            if (!parseDate(c.text, d))
                fail(c.pos, Format("неверная дата '%s'"_w, {c.text}));
            c.value.k = VK::Date;
            c.st = ST::Date;
        }
        c.value.f = d;
    }

    int comparison(int left, Cmp cmp, int right, int pos)
    {
        convertConstant(left, st(right));
        convertConstant(right, st(left));
        const int n = binary(Op::Cmp, left, right, pos, ST::Cond);
        m_nodes[n].cmp = cmp;
        return n;
    }

    int likeNode(int subject, int pattern, bool negate, int pos)
    {
        const int n = binary(Op::Like, subject, pattern, pos, ST::Cond);
        Node& node = m_nodes[n];
        node.negate = negate;
        const Node& p = m_nodes[pattern];
        if (p.op != Op::Const || p.value.k != VK::Str)
            return n;
        const std::string& text = p.text;
        const std::size_t wild = text.find_first_of("%_");
        const std::size_t lead = text.find_first_not_of('%');
        const std::size_t trailFrom = text.find_last_not_of('%');
        const Node& s = m_nodes[subject];
        node.subjectMap = s.op == Op::Upper ? upperTable() : (s.op == Op::Lower ? lowerTable() : nullptr);
        const Node& column = node.subjectMap ? m_nodes[s.a] : s;
        if (column.op == Op::Field && column.fieldKind == VK::Str)
            node.directCol = column.col;
        if (lead == std::string::npos) {
            node.like = LikeKind::Any;
        } else if (wild == std::string::npos) {
            node.like = LikeKind::Exact;
            node.needle = text;
        } else {
            const std::string core = text.substr(lead, trailFrom - lead + 1);
            if (core.find_first_of("%_") != std::string::npos)
                return n;  // generic
            const bool leading = lead > 0;
            const bool trailing = trailFrom + 1 < text.size();
            node.needle = core;
            node.like = leading && trailing ? LikeKind::Contains : (leading ? LikeKind::Suffix : LikeKind::Prefix);
        }
        if (!node.needle.empty())
            for (int b = 0; b < 256; ++b)
                node.first[b] = mapped(node.subjectMap, static_cast<char>(b)) == static_cast<unsigned char>(node.needle[0]);
        return n;
    }

    const std::string& m_text;
    TDataSet& m_dataSet;
    std::vector<Node>& m_nodes;
    Token m_tok;
    std::size_t m_at = 0;
    int m_depth = 0;
    bool m_slow = false;
};

TFilterTruth fromBool(bool b)
{
    return b ? TFilterTruth::ftTrue : TFilterTruth::ftFalse;
}

} // namespace

// --- evaluation -------------------------------------------------------------------------------

TFilterTruth TFilterExpr::Program::evalBool(int n, RecId rec) const
{
    const Node& node = nodes[n];
    switch (node.op) {
    case Op::Or: {
        const TFilterTruth a = evalBool(node.a, rec);
        if (a == TFilterTruth::ftTrue)
            return a;
        const TFilterTruth b = evalBool(node.b, rec);
        if (b == TFilterTruth::ftTrue)
            return b;
        return a == TFilterTruth::ftUnknown || b == TFilterTruth::ftUnknown ? TFilterTruth::ftUnknown : TFilterTruth::ftFalse;
    }
    case Op::And: {
        const TFilterTruth a = evalBool(node.a, rec);
        if (a == TFilterTruth::ftFalse)
            return a;
        const TFilterTruth b = evalBool(node.b, rec);
        if (b == TFilterTruth::ftFalse)
            return b;
        return a == TFilterTruth::ftUnknown || b == TFilterTruth::ftUnknown ? TFilterTruth::ftUnknown : TFilterTruth::ftTrue;
    }
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
    Parser parser(m_text, dataSet, m_program->nodes);
    m_program->root = parser.parseAll(m_program->slow);
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
