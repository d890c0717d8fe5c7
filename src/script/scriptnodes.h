// The interpreter's inner model: run-time values, the resolved expression and statement tree,
// routines and the compiled program. Only the script sources include it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/script.h"

namespace lm::script {

struct TArray;

// A run-time value: a Variant, a host object or an array (arrays and objects are shared on
// assignment, as object references are in the language).
struct Value {
    Variant v;
    TScriptObject* obj = nullptr;
    std::shared_ptr<TArray> arr;

    Value() = default;
    Value(Variant var) : v(std::move(var)) {}
    static Value Object(TScriptObject* o) { Value r; r.obj = o; return r; }
    static Value Array(std::shared_ptr<TArray> a) { Value r; r.arr = std::move(a); return r; }
};

enum class TType { tVariant, tInteger, tInt64, tDouble, tCurrency, tString, tChar, tBoolean, tDate, tObject, tArray };

struct TTypeInfo {
    TType kind = TType::tVariant;
    int64_t low = 0, high = -1;           // bounds of a declared array
    std::shared_ptr<TTypeInfo> element;   // element type of an array
};

// An array: declared with bounds, or open (an implicit array of the compatibility mode, a
// TfrxArray-like object, a set literal) indexed by any value.
struct TArray {
    bool bounded = false;
    int64_t low = 0;
    std::vector<Value> items;              // bounded arrays and set literals
    std::map<std::string, Value> byKey;    // open arrays, keyed by the index's text
};

// The variables of one routine call. Small routines keep them in the frame itself, so a call
// allocates nothing.
struct Frame {
    Frame() = default;
    explicit Frame(size_t count)
    {
        if (count > kInline)
            m_heap.resize(count);
        locals = count > kInline ? m_heap.data() : m_inline;
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    static constexpr size_t kInline = 2;
    Value* locals = nullptr;
    std::vector<Value*> refs;  // var parameters point into the caller's storage

private:
    Value m_inline[kInline];
    std::vector<Value> m_heap;
};

enum class TFlow { fNone, fBreak, fContinue, fExit };

class TProgram;

struct TExec {
    TProgram* program = nullptr;
    Frame* frame = nullptr;
    TFlow flow = TFlow::fNone;
    uint64_t steps = 0;
    uint64_t maxSteps = 0;
    int depth = 0;
    int maxDepth = 0;
    const char* stackBase = nullptr;
    std::string lastError;  // the message of the exception being handled (ExceptionMessage)

    void Step();                           // counts one step, raising when the budget is spent
    void Enter();                          // a routine call: depth and stack bound
};

struct Node {
    int line = 0, col = 0;
    virtual ~Node() = default;
};

struct Expr : Node {
    int height = 1;  // of the subtree, bounded by the parser so evaluation cannot exhaust the stack
    virtual Value Eval(TExec& x) const = 0;
    // Stores into the designated place; only designators (variables, elements, members) allow it.
    virtual void Assign(TExec& x, Value v) const;
    // The storage of a variable for var parameters, or null when it has none.
    virtual Value* Ref(TExec& x) const { (void)x; return nullptr; }
    virtual bool IsConst() const { return false; }
    // The value of a constant, read without copying; null for anything else.
    virtual const Value* ConstValue() const { return nullptr; }
    virtual bool IsDesignator() const { return false; }
};
using ExprPtr = std::unique_ptr<Expr>;

struct Stmt : Node {
    virtual void Exec(TExec& x) const = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;

struct TParam {
    std::string name;
    TTypeInfo type;
    bool byRef = false;
    std::unique_ptr<Expr> defaultValue;
};

struct TRoutine {
    std::string name;
    bool isFunction = false;
    bool defined = false;                 // the body has been seen (not only a forward)
    std::vector<TParam> params;           // slots 0..n-1
    TTypeInfo resultType;
    int resultSlot = -1;
    std::vector<TTypeInfo> localTypes;    // every slot, parameters first
    StmtPtr body;
    // For a function whose whole body is "Result := expression" and that has no parameters or
    // other variables (a formula), the expression, evaluated without a frame.
    const Expr* direct = nullptr;
    int declLine = 0, declCol = 0;
};

// A compiled program: globals, routines and the main block.
class TProgram {
public:
    std::vector<Value> globals;
    std::vector<TTypeInfo> globalTypes;
    std::vector<std::unique_ptr<TRoutine>> routines;
    StmtPtr main;
    Frame mainFrame;  // the frame of the main block and of expressions

    // Name tables (keys upper-cased) kept for FindRoutine, variables and later expressions.
    enum class TSymKind { skGlobal, skConst, skRoutine, skHostFunction, skHostObject, skType };
    struct Symbol {
        TSymKind kind;
        int index = 0;                    // global slot, routine, host function
        Variant constValue;
        TScriptObject* object = nullptr;
        TTypeInfo type;
    };
    std::map<std::string, Symbol> symbols;
    std::vector<TScript::HostFunction> hostFunctions;
    std::vector<std::string> implicitVars;
    std::vector<std::string> arrayNames;
};

// Value operations shared by the tree and the built-in functions.
Value BinaryOp(int op, const Value& a, const Value& b);   // op: a token code of scriptlexer.h
Value UnaryOp(int op, const Value& a);
bool Truth(const Value& v);                               // a condition's Boolean; raises for Null
Value ConvertTo(const TTypeInfo& type, Value v);          // the value a typed variable keeps
Value InitialValue(const TTypeInfo& type);
bool ValuesEqual(const Value& a, const Value& b);         // case labels and `in`

// Built-in functions by upper-cased name: arity and implementation.
struct TBuiltin {
    int minArgs;
    int maxArgs;
    Value (*fn)(const Value* args, int count, TExec& x);
};
const TBuiltin* FindBuiltin(const std::string& upperName);

} // namespace lm::script
