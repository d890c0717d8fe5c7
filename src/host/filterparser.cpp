// The local filter language's tokenizer and recursive-descent parser, which turn the text into
// the flat node array (constants converted once, LIKE patterns classified).
#include <charconv>
#include <cmath>

#include "host/dataset.h"
#include "host/filterexpr.h"
#include "host/filternode.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm::filterexpr {

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

namespace {

// Deeper nesting than this is refused, so hostile input cannot exhaust the stack.
constexpr int kMaxDepth = 200;

enum class Tok : uint8_t { End, Name, QuotedName, String, Number, Op };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // name, string contents, number text or operator
    int pos = 0;
};

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
        } else if (digitAt(i) || (isSeparator(c) && digitAt(i + 1))) {
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

    static bool isSeparator(char c) { return c == '.' || c == FormatSettings.DecimalSeparator; }
    bool digitAt(std::size_t i) const { return i < m_text.size() && m_text[i] >= '0' && m_text[i] <= '9'; }

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
        // "1," and ",5" are numbers too, as the locale's conversion reads them
        if (i < m_text.size() && isSeparator(m_text[i])) {
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

} // namespace

int Parse(const std::string& text, TDataSet& dataSet, std::vector<Node>& nodes, bool& slow)
{
    Parser parser(text, dataSet, nodes);
    return parser.parseAll(slow);
}

} // namespace lm::filterexpr
