// Printing of the compiled filter tree.
#include "filter/filternode.h"

#include "filter/filterentry.h"
#include "filter/ufilter.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

std::string QuoteDoubled(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}

namespace {

bool ignoreCase(const TUFilter* owner)
{
    return owner && owner->Options().Contains(ufoIgnoreCase);
}

// The typed number with a bare separator completed ("1," gives "1", ",5" gives "0,5"), which
// both the server and the local filter read as a number.
std::string numberText(const std::string& typed)
{
    const char sep = FormatSettings.DecimalSeparator;
    std::string text = typed;
    if (!text.empty() && text.back() == sep)
        text.pop_back();
    const size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (digits < text.size() && text[digits] == sep)
        text.insert(digits, 1, '0');
    return text;
}

std::string checked(std::string text)
{
    if (text.empty())
        throw EAbort();
    return text;
}

} // namespace

bool TCalcNode::IsArithmetic() const
{
    return NodeType == ntNumConst || NodeType == ntCalcNode ||
           (NodeType == ntEntry && Entry && Entry->IsNumeric);
}

std::string TCalcNode::Statement(TFilterKind kind) const
{
    std::string text;
    switch (NodeType) {
    case ntCalcNode:
        text = Left->Statement(kind);
        text += CalcOpText(Op);
        text += Right->Statement(kind);
        if (InBrackets)
            text = "(" + text + ")";
        break;
    case ntEntry:
        text = Entry->CalcClause(kind);
        break;
    case ntNumConst:
        text = numberText(ConstText);
        // The server reads only "." as the decimal point; the local form keeps the typed text.
        if (kind == fkSQL && FormatSettings.DecimalSeparator != '.')
            for (char& c : text)
                if (c == FormatSettings.DecimalSeparator)
                    c = '.';
        break;
    case ntStrConst:
        text = "'" + QuoteDoubled(ConstText) + "'";
        if (ignoreCase(FilterOwner))
            text = upperCase(text);
        break;
    case ntNullConst:
        text = "NULL";
        break;
    case ntDateConst:
        text = ignoreCase(FilterOwner) ? upperCase(DateText) : DateText;
        break;
    case ntBoolNode:
        break;
    }
    return checked(std::move(text));
}

std::string TBoolNode::Statement(TFilterKind kind) const
{
    std::string text;
    if (Znak != fzAnd && Znak != fzOr && Left->NodeType == ntEntry) {
        const auto* left = static_cast<const TCalcNode*>(Left.get());
        text = left->Entry->BoolClause(kind, std::string(ZnakText(Znak)),
                                       static_cast<const TCalcNode*>(Right.get()));
    } else {
        text = Left->Statement(kind);
        text += ZnakText(Znak);
        if (Right)
            text += Right->Statement(kind);
    }
    if (!text.empty()) {
        if (InBrackets)
            text = "(" + text + ")";
        if (IsNot)
            text = std::string(ZnakText(fzNot)) + text;
    }
    return checked(std::move(text));
}

} // namespace lm
