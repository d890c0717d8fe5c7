// The node tree of a compiled user filter and its printing as a SQL or a local statement.
#pragma once

#include <memory>
#include <string>

#include "filter/filtertypes.h"

namespace lm {

class TUFilter;
class TUFilterEntry;

// A node of the compiled tree. Every node owns its children.
class TNode {
public:
    TNode(TNodeType type, TUFilter* owner) : NodeType(type), FilterOwner(owner) {}
    virtual ~TNode() = default;
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;

    // The node's text in the given form. Raises EAbort when the text comes out empty (a piece
    // that cannot be printed in that form), which makes the whole compile fail.
    virtual std::string Statement(TFilterKind kind) const = 0;

    TNodeType NodeType;
    TUFilter* FilterOwner;
    bool InBrackets = false;  // the printed text is wrapped in parentheses
};

// An operand: arithmetic over two operands, a field reference or a constant.
class TCalcNode : public TNode {
public:
    explicit TCalcNode(TUFilter* owner) : TNode(ntCalcNode, owner) {}
    std::string Statement(TFilterKind kind) const override;

    // True for what arithmetic accepts: a number, a numeric field entry or arithmetic.
    bool IsArithmetic() const;

    TCalcOp Op = coNone;
    std::string ConstText;  // string or number constant as typed
    std::string DateText;   // SQL text of a date constant
    double NumValue = 0;
    TUFilterEntry* Entry = nullptr;  // not owned; the owner's entry list keeps it
    std::unique_ptr<TCalcNode> Left, Right;
};

// A comparison (TCalcNode on each side), an AND/OR (TBoolNode on each side) or a lone boolean
// field (Znak fzNone, an entry node on the left, no right side).
class TBoolNode : public TNode {
public:
    explicit TBoolNode(TUFilter* owner) : TNode(ntBoolNode, owner) {}
    std::string Statement(TFilterKind kind) const override;

    TFilterZnak Znak = fzNone;
    bool IsNot = false;  // printed with " NOT " in front
    std::unique_ptr<TNode> Left, Right;
};

// Doubles every single quote so that the text can stand between single quotes in a statement.
std::string QuoteDoubled(const std::string& text);

} // namespace lm
