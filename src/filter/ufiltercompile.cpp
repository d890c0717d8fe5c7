// The compiler of the user filter language: lexing, the recursive-descent parser with its
// precedence and compatibility rules, and the choice between the SQL and the local statement.
//
// The language: field names in brackets ([Цена]), constants ('text', "text", numbers with the
// locale's decimal separator, ПУСТО, NOW, {NOW+n}, {NOW-n}), comparisons (= <> < > <= >=),
// arithmetic (+ - * /), the words И, ИЛИ, НЕ, and parentheses. Keywords are matched upper-cased
// and by prefix. Only the blank separates tokens. A text beginning with "$" is SQL verbatim.
#include "filter/ufilter.h"

#include <array>
#include <vector>
#include <string_view>

#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

// Deeper nesting than this fails the compile instead of exhausting the stack.
constexpr int kMaxDepth = 400;

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    bool tooDeep() const { return m_depth > kMaxDepth; }

private:
    int& m_depth;
};

// Operator words in the order they are tried: the longer forms win over their prefixes.
struct ZnakForm {
    const char* text;
    TFilterZnak znak;
};
const std::array<ZnakForm, 9>& znakForms()
{
    static const std::array<ZnakForm, 9> forms = {{
        {"НЕ"_w, fzNot}, {"ИЛИ"_w, fzOr}, {"<>", fzNotEqual}, {">=", fzGreatEq}, {"<=", fzLessEq},
        {"=", fzEqual}, {">", fzGreat}, {"<", fzLess}, {"И"_w, fzAnd},
    }};
    return forms;
}

// What a side of a comparison is, for the compatibility rules.
enum class Side { NumField, OtherField, Calc, Num, Str, Null, Date };

Side sideOf(const TCalcNode& n)
{
    switch (n.NodeType) {
    case ntEntry: return n.Entry->IsNumeric ? Side::NumField : Side::OtherField;
    case ntNumConst: return Side::Num;
    case ntStrConst: return Side::Str;
    case ntNullConst: return Side::Null;
    case ntDateConst: return Side::Date;
    default: return Side::Calc;
    }
}

bool isField(Side s) { return s == Side::NumField || s == Side::OtherField; }
bool isTextual(Side s) { return s == Side::Str || s == Side::Null || s == Side::Date; }
bool isConstant(Side s) { return s == Side::Num || isTextual(s); }

// One direction of the compatibility rules: side a against side b.
bool fits(Side a, Side b, TFilterZnak znak)
{
    if (isTextual(b) && (!isField(a) || (b == Side::Null && znak != fzEqual)))
        return false;
    if (a == Side::OtherField && !isConstant(b))
        return false;
    if (a == Side::NumField && b == Side::Str)
        return false;
    return true;
}

bool compatible(const TCalcNode& left, const TCalcNode& right, TFilterZnak znak)
{
    const Side l = sideOf(left), r = sideOf(right);
    if (isTextual(l))
        return false;
    if (isField(r) && r != Side::NumField)
        return false;
    return fits(l, r, znak) && fits(r, l, znak);
}

// Gives `node`, whose left side is set, the parsed rest `right` as its right side. The parser
// reads the rest first, so when `right` is an unbracketed operation that binds looser than
// `node`, `node` takes right's left operand and becomes that operand instead: "a * b + c"
// is (a * b) + c. Returns the root of the joined tree.
std::unique_ptr<TCalcNode> joinRight(std::unique_ptr<TCalcNode> node, std::unique_ptr<TCalcNode> right,
                                     bool rightLooser)
{
    if (!rightLooser) {
        node->Right = std::move(right);
        return node;
    }
    node->Right = std::move(right->Left);
    right->Left = std::move(node);
    return right;
}

bool isAndOr(TFilterZnak z) { return z == fzAnd || z == fzOr; }

bool isWordChar(char c)
{
    return isLetter(static_cast<unsigned char>(c)) || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

// Whether the verbatim SQL of a "$" filter is one condition that stays inside the brackets it
// is printed in: brackets balanced and never closed below their start, no comment marker, no
// ";" and no UNION outside string literals and quoted names, every literal closed.
bool isOneCondition(std::string_view sql)
{
    int depth = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            // A doubled quote inside closes and reopens the literal, which comes to the same.
            const std::size_t close = sql.find(c, i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth < 0)
                return false;
        } else if (c == ';') {
            return false;
        } else if ((c == '-' || c == '/' || c == '*') && i + 1 < sql.size() &&
                   (sql.substr(i, 2) == "--" || sql.substr(i, 2) == "/*" || sql.substr(i, 2) == "*/")) {
            return false;
        } else if (isWordChar(c) && (i == 0 || !isWordChar(sql[i - 1]))) {
            std::size_t end = i;
            while (end < sql.size() && isWordChar(sql[end]))
                ++end;
            if (upperCase(sql.substr(i, end - i)) == "UNION")
                return false;
            i = end - 1;
        }
    }
    return depth == 0;
}

} // namespace

int TUFilter::Spaces(int pos) const
{
    while (pos <= m_textLen && at(pos) == ' ')
        ++pos;
    return pos;
}

std::string TUFilter::upperAt(int pos, int count) const
{
    if (pos > m_textLen)
        return {};
    return upperCase(std::string_view(m_text).substr(static_cast<size_t>(pos - 1), static_cast<size_t>(count)));
}

TFilterZnak TUFilter::OpZnak(int& pos)
{
    pos = Spaces(pos);
    const std::string head = upperAt(pos, 3);
    for (const ZnakForm& form : znakForms()) {
        const std::string_view written(form.text);
        if (std::string_view(head).starts_with(written)) {
            pos += static_cast<int>(written.size());
            return form.znak;
        }
    }
    return fzNone;
}

bool TUFilter::OpOp(int& pos, TCalcOp& op)
{
    pos = Spaces(pos);
    if (pos > m_textLen)
        return false;
    switch (at(pos)) {
    case '+': op = coAdd; break;
    case '-': op = coSub; break;
    case '*': op = coMult; break;
    case '/': op = coDivide; break;
    default: return false;
    }
    ++pos;
    return true;
}

std::unique_ptr<TBoolNode> TUFilter::Block(int& pos)
{
    DepthGuard depth(m_depth);
    if (depth.tooDeep())
        return nullptr;

    // The conditions of the list and the И/ИЛИ between them, read in a loop: a long list is
    // no deeper than a short one.
    std::vector<std::unique_ptr<TBoolNode>> terms;
    std::vector<TFilterZnak> znaks;
    int p = pos;
    for (;;) {
        auto term = Condition(p);
        if (!term)
            return nullptr;
        terms.push_back(std::move(term));
        p = Spaces(p);
        if (p >= m_textLen || at(p) == ')')
            break;
        const TFilterZnak znak = OpZnak(p);
        if (!isAndOr(znak))
            return nullptr;
        znaks.push_back(znak);
    }
    pos = p;

    // AND binds tighter than OR: the runs joined by И, then those joined by ИЛИ.
    std::vector<std::unique_ptr<TBoolNode>> ors;
    std::vector<std::unique_ptr<TBoolNode>> ands;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        ands.push_back(std::move(terms[i]));
        if (i == znaks.size() || znaks[i] == fzOr) {
            ors.push_back(joined(ands, 0, ands.size(), fzAnd));
            ands.clear();
        }
    }
    return joined(ors, 0, ors.size(), fzOr);
}

std::unique_ptr<TBoolNode> TUFilter::joined(std::vector<std::unique_ptr<TBoolNode>>& nodes, std::size_t from,
                                            std::size_t to, TFilterZnak znak)
{
    if (to - from == 1)
        return std::move(nodes[from]);
    // Halves keep the tree's depth to the logarithm of the list's length; with the shorter
    // half on the left, two or three nodes lean right, as "a И (b И c)".
    const std::size_t middle = from + (to - from) / 2;
    auto node = std::make_unique<TBoolNode>(this);
    node->Znak = znak;
    node->Left = joined(nodes, from, middle, znak);
    node->Right = joined(nodes, middle, to, znak);
    return node;
}

std::unique_ptr<TBoolNode> TUFilter::Condition(int& pos)
{
    int p = pos;
    const bool isNot = OpZnak(p) == fzNot;
    if (!isNot)
        p = pos;
    p = Spaces(p);
    if (p > m_textLen)
        return nullptr;

    std::unique_ptr<TBoolNode> first;
    if (at(p) == '(') {
        int inner = p + 1;
        if (auto node = Block(inner)) {
            inner = Spaces(inner);
            if (inner > m_textLen || at(inner) != ')')
                return nullptr;
            p = inner + 1;
            if (isAndOr(node->Znak))
                node->InBrackets = true;
            first = std::move(node);
        }
        // Otherwise the parenthesis opens arithmetic: read it again as a comparison.
    }
    if (!first) {
        first = OpBlock(p);
        if (!first)
            return nullptr;
    }
    // Two NOTs on one node cancel, as "НЕ (НЕ a)" means a.
    first->IsNot = first->IsNot != isNot;
    pos = p;
    return first;
}

std::unique_ptr<TBoolNode> TUFilter::OpBlock(int& pos)
{
    int p = Spaces(pos);
    if (p > m_textLen)
        return nullptr;
    auto left = Operand(p);
    if (!left)
        return nullptr;

    const int beforeZnak = p;
    const TFilterZnak znak = OpZnak(p);
    auto node = std::make_unique<TBoolNode>(this);
    if (IsComparison(znak)) {
        auto right = Operand(p);
        if (!right || !compatible(*left, *right, znak))
            return nullptr;
        node->Znak = znak;
        node->Left = std::move(left);
        node->Right = std::move(right);
        pos = p;
        return node;
    }

    // A boolean field may stand alone as a condition.
    if (left->NodeType != ntEntry || !left->Entry->IsBoolean)
        return nullptr;
    const int next = Spaces(beforeZnak);
    if (!(next > m_textLen || at(next) == ')' || isAndOr(znak)))
        return nullptr;
    node->Left = std::move(left);
    pos = znak == fzNone ? p : beforeZnak;
    return node;
}

std::unique_ptr<TCalcNode> TUFilter::Operand(int& pos)
{
    DepthGuard depth(m_depth);
    if (depth.tooDeep())
        return nullptr;

    int p = Spaces(pos);
    if (p > m_textLen)
        return nullptr;

    std::unique_ptr<TCalcNode> node;
    if (at(p) == '(') {
        ++p;
        node = Operand(p);
        if (!node)
            return nullptr;
        p = Spaces(p);
        if (p > m_textLen || at(p) != ')')
            return nullptr;
        ++p;
        if (node->NodeType == ntCalcNode)
            node->InBrackets = true;
    } else {
        node = std::make_unique<TCalcNode>(this);
        const bool ok = at(p) == '[' ? EntryOp(p, *node) : ConstOp(p, *node);
        if (!ok)
            return nullptr;
    }

    TCalcOp op = coNone;
    if (!OpOp(p, op)) {
        pos = p;
        return node;
    }
    auto right = Operand(p);
    if (!right || !node->IsArithmetic() || !right->IsArithmetic())
        return nullptr;

    auto calc = std::make_unique<TCalcNode>(this);
    calc->Op = op;
    calc->Left = std::move(node);
    // "*" and "/" bind tighter than "+" and "-".
    const bool looser = right->NodeType == ntCalcNode && !right->InBrackets && right->Op < op;
    pos = p;
    return joinRight(std::move(calc), std::move(right), looser);
}

bool TUFilter::EntryOp(int& pos, TCalcNode& node)
{
    const size_t close = m_text.find(']', static_cast<size_t>(pos));
    if (close == std::string::npos)
        return false;
    std::string name = m_text.substr(static_cast<size_t>(pos), close - static_cast<size_t>(pos));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    TUFilterEntry* entry = m_entries->EntryByName(name);
    if (!entry)
        return false;
    node.NodeType = ntEntry;
    node.Entry = entry;
    m_allowedKinds = m_allowedKinds * entry->Kinds;
    pos = static_cast<int>(close) + 2;
    return true;
}

bool TUFilter::ConstOp(int& pos, TCalcNode& node)
{
    if (upperAt(pos, 3) == "NOW") {
        node.NodeType = ntDateConst;
        node.DateText = "CURRENT_DATE";
        m_options.Include(ufoSQLPrefer);
        pos += 3;
        return true;
    }
    if (upperAt(pos, 4) == "{NOW") {
        m_options.Include(ufoSQLPrefer);
        const size_t close = m_text.find('}', static_cast<size_t>(pos - 1 + 4));
        if (close == std::string::npos)
            return false;
        const size_t from = static_cast<size_t>(pos - 1 + 4);
        const std::string inner = Trim(std::string_view(m_text).substr(from, close - from));
        std::string count;
        for (char c : inner)
            if (c >= '0' && c <= '9')
                count += c;
        node.NodeType = ntDateConst;
        node.DateText = "CURRENT_DATE";
        if (!count.empty()) {
            if (inner.find('+') != std::string::npos)
                node.DateText += " + " + count;
            else if (inner.find('-') != std::string::npos)
                node.DateText += " - " + count;
        }
        pos = static_cast<int>(close) + 2;
        return true;
    }
    if (upperAt(pos, 5) == "ПУСТО"_w) {
        node.NodeType = ntNullConst;
        pos += 5;
        return true;
    }
    const char quote = at(pos);
    if (quote == '\'' || quote == '"') {
        const size_t close = m_text.find(quote, static_cast<size_t>(pos));
        if (close == std::string::npos)
            return false;
        node.NodeType = ntStrConst;
        node.ConstText = m_text.substr(static_cast<size_t>(pos), close - static_cast<size_t>(pos));
        pos = static_cast<int>(close) + 2;
        return true;
    }
    int end = pos;
    while (end <= m_textLen) {
        const char c = at(end);
        if (!((c >= '0' && c <= '9') || c == FormatSettings.DecimalSeparator || (c == '-' && end == pos)))
            break;
        ++end;
    }
    const std::string text = m_text.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(end - pos));
    double value = 0;
    if (text.empty() || !TryStrToFloat(text, value))
        return false;
    node.NodeType = ntNumConst;
    node.ConstText = text;
    node.NumValue = value;
    pos = end;
    return true;
}

std::unique_ptr<TBoolNode> TUFilter::Parse(const std::string& text)
{
    m_allowedKinds = m_options.Contains(ufoSQLEnabled) ? TFilterKinds{fkLocal, fkSQL} : TFilterKinds{fkLocal};
    m_text = text;
    m_textLen = static_cast<int>(m_text.size());
    m_depth = 0;
    int pos = 1;
    auto root = Block(pos);
    pos = Spaces(pos);
    m_text.clear();
    m_textLen = 0;
    if (!root || m_allowedKinds.Empty() || pos <= static_cast<int>(text.size()))
        return nullptr;
    return root;
}

bool TUFilter::Compile(const std::string& text)
{
    std::string work;
    work.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            work += ' ';
            ++i;
        } else {
            work += text[i];
        }
    }
    while (!work.empty() && work.back() == ' ')
        work.pop_back();

    std::string statement;
    bool useSQL = false;
    bool ok = work.empty();
    if (!ok) {
        try {
            if (work[0] == '$') {
                // SQL verbatim, accepted only as one condition.
                if (isOneCondition(std::string_view(work).substr(1)))
                    statement = work.substr(1);
                useSQL = true;
            } else if (auto root = Parse(work)) {
                useSQL = m_allowedKinds == TFilterKinds{fkSQL} ||
                         (m_options.Contains(ufoSQLPrefer) && m_allowedKinds.Contains(fkSQL));
                statement = root->Statement(useSQL ? fkSQL : fkLocal);
            }
            ok = !statement.empty();
            if (ok && useSQL)
                statement = "AND (" + statement + ")";
        } catch (...) {
            // A piece that cannot be printed (or anything else) just fails the compile.
            ok = false;
        }
    }
    if (!ok)
        return false;
    m_changed = statement != m_filterSQL;
    m_filterSource = text;
    m_filterSQL = std::move(statement);
    m_useSQL = useSQL;
    return true;
}

} // namespace lm
