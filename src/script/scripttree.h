// The nodes of the resolved tree: every name is bound to a slot, routine, host function or
// object when the parser builds the node, so evaluation never looks a name up.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "script/scriptnodes.h"

namespace lm::script {

// ---- expressions ----

struct ConstExpr : Expr {
    Value val;
    explicit ConstExpr(Value v) : val(std::move(v)) {}
    Value Eval(TExec&) const override { return val; }
    bool IsConst() const override { return true; }
    const Value* ConstValue() const override { return &val; }
};

// A variable of the program (slot in the globals) or of the running routine (slot in its frame).
struct VarExpr : Expr {
    bool global = false;
    bool byRef = false;  // a var parameter: the slot points to the caller's storage
    int slot = 0;
    TTypeInfo type;
    Value Eval(TExec& x) const override { return *Ref(x); }
    void Assign(TExec& x, Value v) const override;
    Value* Ref(TExec& x) const override;
    bool IsDesignator() const override { return true; }
};

struct UnaryExpr : Expr {
    int op;
    ExprPtr operand;
    UnaryExpr(int o, ExprPtr e) : op(o), operand(std::move(e)) {}
    Value Eval(TExec& x) const override { return UnaryOp(op, operand->Eval(x)); }
};

// and/or skip the right operand when the left Boolean decides.
struct BinaryExpr : Expr {
    int op;
    ExprPtr left, right;
    BinaryExpr(int o, ExprPtr l, ExprPtr r) : op(o), left(std::move(l)), right(std::move(r)) {}
    Value Eval(TExec& x) const override;
};

// [a, b, c..d]: a set literal, evaluated as an array of its elements.
struct SetExpr : Expr {
    std::vector<std::pair<ExprPtr, ExprPtr>> elements;  // second is the range's end, or null
    Value Eval(TExec& x) const override;
};

// x in [a, b..c] tested against the literal's elements without building the set.
struct InSetExpr : Expr {
    ExprPtr value;
    std::unique_ptr<SetExpr> set;
    Value Eval(TExec& x) const override;
};

struct CallExpr : Expr {
    const TRoutine* routine = nullptr;
    std::vector<ExprPtr> args;
    Value Eval(TExec& x) const override;
};

struct HostCallExpr : Expr {
    TScriptFunction fn;
    std::vector<ExprPtr> args;
    Value Eval(TExec& x) const override;
};

// A host function bound to its constant arguments once, at compile time.
struct BoundCallExpr : Expr {
    std::function<Variant()> fn;
    Value Eval(TExec&) const override { return Value(fn()); }
};

struct BuiltinCallExpr : Expr {
    const TBuiltin* builtin = nullptr;
    std::vector<ExprPtr> args;
    Value Eval(TExec& x) const override;
};

// IIF(condition, a, b) evaluates only the chosen branch.
struct IifExpr : Expr {
    ExprPtr cond, then, otherwise;
    Value Eval(TExec& x) const override;
};

// Inc(v [, n]) and Dec(v [, n]): change a variable in place.
struct IncExpr : Expr {
    ExprPtr target, amount;
    bool decrement = false;
    Value Eval(TExec& x) const override;
};

// base[i, j]: an array element or a character of a string. Undeclared or Variant variables
// indexed on the left of an assignment become open arrays.
struct IndexExpr : Expr {
    ExprPtr base;
    std::vector<ExprPtr> indexes;
    Value Eval(TExec& x) const override;
    void Assign(TExec& x, Value v) const override;
    Value* Ref(TExec& x) const override;
    bool IsDesignator() const override { return true; }

private:
    Value* element(TExec& x, Value& container, const Value& index, bool create) const;
};

// Resolves a member name once per object class and keeps its id.
class MemberCache {
public:
    int Resolve(TScriptObject* obj, const std::string& name) const;

private:
    mutable const void* m_key = nullptr;
    mutable int m_id = -1;
};

// obj.Name: a property read or write, a method called without arguments, or Free/Count of an
// open array.
struct MemberExpr : Expr {
    ExprPtr base;
    std::string name;
    MemberCache cache;
    Value Eval(TExec& x) const override;
    void Assign(TExec& x, Value v) const override;
    bool IsDesignator() const override { return true; }
};

struct MethodCallExpr : Expr {
    ExprPtr base;
    std::string name;
    std::vector<ExprPtr> args;
    MemberCache cache;
    Value Eval(TExec& x) const override;
};

// TypeName.Create: a new open array (the containers report scripts create).
struct CreateExpr : Expr {
    Value Eval(TExec&) const override;
};

// ---- statements ----

struct BlockStmt : Stmt {
    std::vector<StmtPtr> items;
    void Exec(TExec& x) const override;
};

struct AssignStmt : Stmt {
    ExprPtr target, value;
    void Exec(TExec& x) const override { target->Assign(x, value->Eval(x)); }
};

struct ExprStmt : Stmt {
    ExprPtr expr;
    void Exec(TExec& x) const override { expr->Eval(x); }
};

struct IfStmt : Stmt {
    ExprPtr cond;
    StmtPtr then, otherwise;
    void Exec(TExec& x) const override;
};

struct WhileStmt : Stmt {
    ExprPtr cond;
    StmtPtr body;
    void Exec(TExec& x) const override;
};

struct RepeatStmt : Stmt {
    BlockStmt body;
    ExprPtr cond;
    void Exec(TExec& x) const override;
};

struct ForStmt : Stmt {
    ExprPtr var, from, to;
    bool down = false;
    StmtPtr body;
    void Exec(TExec& x) const override;
};

struct CaseStmt : Stmt {
    struct Branch {
        std::vector<std::pair<ExprPtr, ExprPtr>> labels;  // value, or range start and end
        StmtPtr body;
    };
    ExprPtr selector;
    std::vector<Branch> branches;
    StmtPtr otherwise;
    void Exec(TExec& x) const override;
};

// with A, B do: each object expression is evaluated once into a hidden variable.
struct WithStmt : Stmt {
    std::vector<std::pair<std::unique_ptr<VarExpr>, ExprPtr>> scopes;
    StmtPtr body;
    void Exec(TExec& x) const override;
};

struct TryExceptStmt : Stmt {
    BlockStmt body, handler;
    void Exec(TExec& x) const override;
};

struct TryFinallyStmt : Stmt {
    BlockStmt body, finally;
    void Exec(TExec& x) const override;
};

struct RaiseStmt : Stmt {
    ExprPtr message;  // null: raise the exception being handled again
    void Exec(TExec& x) const override;
};

struct FlowStmt : Stmt {
    TFlow flow;
    ExprPtr result;           // Exit(value)
    std::unique_ptr<VarExpr> resultVar;
    explicit FlowStmt(TFlow f) : flow(f) {}
    void Exec(TExec& x) const override;
};

struct EmptyStmt : Stmt {
    void Exec(TExec&) const override {}
};

// Runs a routine with evaluated arguments (values, or storage for var parameters).
Value InvokeRoutine(TExec& x, const TRoutine& routine, std::vector<Value>& values, std::vector<Value*>& refs);

} // namespace lm::script
