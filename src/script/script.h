// TScript: the interpreter of the package's Pascal-script dialect (colour formulas, report
// expressions and report scripts), compiled once into a resolved tree and evaluated many times.
//
// Usage:
//   TScript s;
//   s.AddFunction("Get", [&](TScriptArgs a) { return lookup(a[0].AsString()); }, 1, 1);
//   s.AddObject("Memo1", &memo);                 // a host object (see TScriptObject)
//   s.SetText("function F: Boolean; begin Result := <Цена> > 100; end; begin end.");
//   if (!s.Compile()) report(s.ErrorMsg(), s.ErrorLine(), s.ErrorColumn());
//   TScriptRoutine f = s.FindRoutine("F");
//   for (...) bool b = s.Call(f).AsBoolean();   // no parsing and no name look-up here
//
// Values are lm::Variant. Null propagates through arithmetic and string operators, a comparison
// with Null is false, and `not Null` is Null. In expressions a name in angle brackets, <Name>, is
// read as the call Get('Name'); the host registers "Get".
//
// The language: program with optional "program X;" and "uses ...;", const and var sections
// (types Integer, Int64, Byte, Word, Cardinal, Double, Real, Extended, Single, Currency, String,
// Char, Boolean, Variant, TDateTime, "array[a..b] of T", any other type name holding an object
// or a Variant), procedures and functions with value, const and var parameters (Result or the
// function's name takes the result; Exit, Break, Continue), and the statements begin/end,
// assignment, if, case (values, lists and ranges, else), for to/downto, while, repeat/until,
// with, try/except, try/finally, raise. Operators with Pascal's precedence: not, unary -/+;
// * / div mod and shl shr; + - or xor; = <> < > <= >= in. `and`/`or` short-circuit on Booleans
// and work bitwise on integers. Strings are in single quotes with doubled quotes, #N and #$N
// characters; comments { }, (* *) and //. Set literals [a, b, c] serve `in` and Format.
//
// Safety: any text either compiles or yields ErrorMsg; any run either ends or raises
// lm::Exception. Nesting depth, call depth and the number of steps (loop iterations and calls)
// per top-level run are bounded (SetMaxSteps, SetMaxDepth); exceeding them raises
// EScriptLimit, which script try/except blocks do not catch.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "util/exceptions.h"
#include "util/variant.h"

namespace lm {

namespace script {
class TProgram;
struct TRoutine;
}  // namespace script

// A compile error: the message carries the position ("Строка 2, столбец 5: ...").
class EScriptError : public Exception {
public:
    EScriptError(std::string message, int line, int column)
        : Exception(std::move(message)), m_line(line), m_column(column) {}
    int Line() const noexcept { return m_line; }
    int Column() const noexcept { return m_column; }

private:
    int m_line;
    int m_column;
};

// The step budget or the depth bound was exceeded; never caught by the script itself.
class EScriptLimit : public Exception {
public:
    using Exception::Exception;
};

class TScriptObject;

// The arguments of a host function call.
class TScriptArgs {
public:
    TScriptArgs(const Variant* values, const std::vector<TScriptObject*>* objects, int count)
        : m_values(values), m_objects(objects), m_count(count) {}
    int Count() const { return m_count; }
    const Variant& operator[](int i) const { return m_values[i]; }
    // The host object passed as argument i, or null when it is a plain value.
    TScriptObject* Object(int i) const { return m_objects ? (*m_objects)[i] : nullptr; }

private:
    const Variant* m_values;
    const std::vector<TScriptObject*>* m_objects;
    int m_count;
};

using TScriptFunction = std::function<Variant(const TScriptArgs& args)>;

// When all arguments of a call are constants, the compiler offers them to the function's binder
// once; a binder may return a function of no arguments to be called instead (e.g. Get('Цена')
// resolving its field once), or an empty function to keep the ordinary call.
using TScriptBinder = std::function<std::function<Variant()>(const std::vector<Variant>& constArgs)>;

// A host object reachable from scripts by name (AddObject), as a member of another object, or as
// an argument (Sender). Members are resolved by name once per call site and object class; after
// that only the integer id is used.
class TScriptObject {
public:
    virtual ~TScriptObject() = default;
    // The id (>= 0) of a property or method, compared ignoring case, or -1.
    virtual int FindMember(std::string_view name) const = 0;
    // Reads a property (or calls a method without arguments).
    virtual Variant GetMember(int id) = 0;
    // Writes a property; the default raises "Свойство только для чтения".
    virtual void SetMember(int id, const Variant& value);
    // Calls a method; the default reads the property when there are no arguments.
    virtual Variant CallMember(int id, const TScriptArgs& args);
    // An object-valued property (Report.Page1), or null when the member is a plain value.
    virtual TScriptObject* ObjectMember(int id);
    // The name of the object's class, for messages.
    virtual std::string ScriptClassName() const { return "TObject"; }
    // Objects answering FindMember alike share a key; the default is their C++ class.
    virtual const void* MemberTableKey() const;
};

// A routine of a compiled program (FindRoutine), valid while the program is.
using TScriptRoutine = const script::TRoutine*;

// An expression compiled against a program's globals (CompileExpression).
class TScriptExpression {
public:
    ~TScriptExpression();
    TScriptExpression(TScriptExpression&&) noexcept;
    Variant Evaluate() const;

private:
    friend class TScript;
    struct Impl;
    explicit TScriptExpression(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

class TScript {
public:
    TScript();
    ~TScript();
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    // Host registrations, valid for the next Compile. Names compare ignoring case; a later
    // registration of a name replaces the earlier one. maxArgs -1 means any number.
    void AddFunction(const std::string& name, TScriptFunction fn, int minArgs, int maxArgs,
                     TScriptBinder binder = nullptr);
    // A global variable of the host; its value survives Compile and can be read and written.
    void AddVariable(const std::string& name, const Variant& value);
    void AddObject(const std::string& name, TScriptObject* object);  // not owned
    void AddConstant(const std::string& name, const Variant& value);

    void SetText(std::string text) { m_text = std::move(text); }
    const std::string& Text() const { return m_text; }
    // The language dialect name the package uses ("PascalScript").
    const std::string& SyntaxType() const { return m_syntax; }
    void SetSyntaxType(std::string name) { m_syntax = std::move(name); }

    // The version-2 compatibility mode: undeclared identifiers become implicit Variant globals
    // and undeclared names used with [ ] become arrays; both lists are kept after Compile.
    void SetCompatV2(bool on) { m_compatV2 = on; }
    bool CompatV2() const { return m_compatV2; }
    const std::vector<std::string>& ImplicitVariables() const { return m_implicitVars; }
    const std::vector<std::string>& ArrayNames() const { return m_arrayNames; }

    // Compiles Text. On failure returns false with ErrorMsg (with the position), ErrorLine and
    // ErrorColumn (1-based) set and no program kept.
    bool Compile();
    bool Compiled() const { return m_program != nullptr; }
    const std::string& ErrorMsg() const { return m_errorMsg; }
    int ErrorLine() const { return m_errorLine; }
    int ErrorColumn() const { return m_errorColumn; }

    // Runs the main block; raises lm::Exception on a run-time error.
    void Execute();
    // A procedure or function of the program by name, or null.
    TScriptRoutine FindRoutine(const std::string& name) const;
    // Calls a routine (arguments by value); returns its Result (Null for a procedure).
    Variant Call(TScriptRoutine routine, const std::vector<Variant>& args = {});
    // The same, passing objects[i] (when not null) instead of args[i], e.g. a Sender.
    Variant Call(TScriptRoutine routine, const std::vector<Variant>& args,
                 const std::vector<TScriptObject*>& objects);
    // Compiles `expr` against the program's globals and routines (compiling "begin end." first
    // when nothing is compiled). Raises EScriptError for a bad expression.
    TScriptExpression CompileExpression(const std::string& expr);
    // CompileExpression and Evaluate in one.
    Variant Evaluate(const std::string& expr);

    // Global variables (declared, implicit or host) by name; GetVariable raises for an unknown name.
    Variant GetVariable(const std::string& name) const;
    void SetVariable(const std::string& name, const Variant& value);

    // Limits: steps (loop iterations and routine calls) per top-level run, default 10,000,000;
    // routine call depth, default 200.
    void SetMaxSteps(uint64_t steps) { m_maxSteps = steps; }
    uint64_t MaxSteps() const { return m_maxSteps; }
    void SetMaxDepth(int depth) { m_maxDepth = depth; }
    int MaxDepth() const { return m_maxDepth; }

    struct HostFunction {
        std::string name;
        TScriptFunction fn;
        int minArgs;
        int maxArgs;
        TScriptBinder binder;
    };
    struct HostValue {
        std::string name;
        Variant value;
        TScriptObject* object = nullptr;
        bool constant = false;
    };

private:
    std::string m_text;
    std::string m_syntax = "PascalScript";
    bool m_compatV2 = false;
    std::vector<HostFunction> m_functions;
    std::vector<HostValue> m_values;
    std::unique_ptr<script::TProgram> m_program;
    std::vector<std::string> m_implicitVars;
    std::vector<std::string> m_arrayNames;
    std::string m_errorMsg;
    int m_errorLine = 0;
    int m_errorColumn = 0;
    uint64_t m_maxSteps = 10'000'000;
    int m_maxDepth = 200;
};

// The value's text as the package shows it: "Null" for Null and unassigned, "True"/"False"
// for Booleans, numbers and dates in the regional conventions.
std::string ScriptValueText(const Variant& value);

} // namespace lm
