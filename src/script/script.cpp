// TScript: host registrations, compiling, running routines and expressions, and the limits.
#include "script/script.h"

#include <typeinfo>

#include "script/scriptparser.h"
#include "util/cp1251.h"

namespace lm {

using script::TProgram;
using script::Value;

// ---- host objects ----

void TScriptObject::SetMember(int, const Variant&)
{
    throw Exception("Свойство только для чтения"_w);
}

Variant TScriptObject::CallMember(int id, const TScriptArgs& args)
{
    if (args.Count() != 0)
        throw Exception("Неверное число аргументов"_w);
    return GetMember(id);
}

TScriptObject* TScriptObject::ObjectMember(int)
{
    return nullptr;
}

const void* TScriptObject::MemberTableKey() const
{
    return &typeid(*this);
}

std::string ScriptValueText(const Variant& value)
{
    if (value.IsNullOrEmpty())
        return "Null";
    if (value.VarType() == TVarType::varBoolean)
        return value.AsBoolean() ? "True" : "False";
    return value.AsString();
}

namespace {

// Runs `body` as one top-level run: fresh budget, depth and stack base; other exceptions than
// the package's become lm::Exception.
template <typename F>
Value runTopLevel(TProgram& program, uint64_t maxSteps, int maxDepth, F&& body)
{
    script::TExec x;
    x.program = &program;
    x.frame = &program.mainFrame;
    x.maxSteps = maxSteps;
    x.maxDepth = maxDepth;
    char probe = 0;
    x.stackBase = &probe;
    try {
        return body(x);
    } catch (const Exception&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw Exception("Недостаточно памяти для выполнения скрипта"_w);
    } catch (const std::exception& e) {
        throw Exception(e.what());
    }
}

std::unique_ptr<TProgram> newProgram(const std::vector<TScript::HostFunction>& functions,
                                     const std::vector<TScript::HostValue>& values)
{
    auto program = std::make_unique<TProgram>();
    program->hostFunctions = functions;
    for (size_t i = 0; i < functions.size(); ++i) {
        TProgram::Symbol s;
        s.kind = TProgram::TSymKind::skHostFunction;
        s.index = static_cast<int>(i);
        program->symbols[upperCase(functions[i].name)] = s;
    }
    for (const TScript::HostValue& v : values) {
        TProgram::Symbol s;
        if (v.object) {
            s.kind = TProgram::TSymKind::skHostObject;
            s.object = v.object;
        } else if (v.constant) {
            s.kind = TProgram::TSymKind::skConst;
            s.constValue = v.value;
        } else {
            s.kind = TProgram::TSymKind::skGlobal;
            s.index = static_cast<int>(program->globals.size());
            program->globals.emplace_back(v.value);
            program->globalTypes.emplace_back();
        }
        program->symbols[upperCase(v.name)] = s;
    }
    return program;
}

template <typename T>
void replaceByName(std::vector<T>& list, T item)
{
    const std::string up = upperCase(item.name);
    for (T& existing : list)
        if (upperCase(existing.name) == up) {
            existing = std::move(item);
            return;
        }
    list.push_back(std::move(item));
}

} // namespace

// ---- expressions ----

struct TScriptExpression::Impl {
    TProgram* program;
    script::ExprPtr expr;
    uint64_t maxSteps;
    int maxDepth;
};

TScriptExpression::TScriptExpression(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
TScriptExpression::~TScriptExpression() = default;
TScriptExpression::TScriptExpression(TScriptExpression&&) noexcept = default;

Variant TScriptExpression::Evaluate() const
{
    const Value v = runTopLevel(*m_impl->program, m_impl->maxSteps, m_impl->maxDepth,
                                [&](script::TExec& x) { return m_impl->expr->Eval(x); });
    if (v.obj || v.arr)
        throw Exception("Результат выражения - объект"_w);
    return v.v;
}

// ---- TScript ----

TScript::TScript() = default;
TScript::~TScript() = default;

void TScript::AddFunction(const std::string& name, TScriptFunction fn, int minArgs, int maxArgs, TScriptBinder binder)
{
    replaceByName(m_functions, HostFunction{name, std::move(fn), minArgs, maxArgs, std::move(binder)});
}

void TScript::AddVariable(const std::string& name, const Variant& value)
{
    replaceByName(m_values, HostValue{name, value, nullptr, false});
}

void TScript::AddObject(const std::string& name, TScriptObject* object)
{
    replaceByName(m_values, HostValue{name, Variant(), object, false});
}

void TScript::AddConstant(const std::string& name, const Variant& value)
{
    replaceByName(m_values, HostValue{name, value, nullptr, true});
}

bool TScript::Compile()
{
    m_program.reset();
    m_implicitVars.clear();
    m_arrayNames.clear();
    m_errorMsg.clear();
    m_errorLine = m_errorColumn = 0;
    auto program = newProgram(m_functions, m_values);
    try {
        script::Parser parser(*program, m_text, m_compatV2);
        parser.ParseProgram();
    } catch (const EScriptError& e) {
        m_errorMsg = e.Message();
        m_errorLine = e.Line();
        m_errorColumn = e.Column();
        return false;
    } catch (const Exception& e) {  // a constant that failed to convert
        m_errorMsg = e.Message();
        return false;
    }
    m_implicitVars = program->implicitVars;
    m_arrayNames = program->arrayNames;
    m_program = std::move(program);
    return true;
}

void TScript::Execute()
{
    if (!m_program)
        throw Exception("Скрипт не откомпилирован"_w);
    runTopLevel(*m_program, m_maxSteps, m_maxDepth, [&](script::TExec& x) {
        m_program->main->Exec(x);
        return Value();
    });
}

TScriptRoutine TScript::FindRoutine(const std::string& name) const
{
    if (!m_program)
        return nullptr;
    const auto it = m_program->symbols.find(upperCase(name));
    if (it == m_program->symbols.end() || it->second.kind != TProgram::TSymKind::skRoutine)
        return nullptr;
    return m_program->routines[static_cast<size_t>(it->second.index)].get();
}

Variant TScript::Call(TScriptRoutine routine, const std::vector<Variant>& args)
{
    return Call(routine, args, {});
}

Variant TScript::Call(TScriptRoutine routine, const std::vector<Variant>& args,
                      const std::vector<TScriptObject*>& objects)
{
    if (!m_program || !routine)
        throw Exception("Подпрограмма не найдена"_w);
    const size_t n = routine->params.size();
    if (args.size() > n)
        throw Exception(Format("Неверное число аргументов '%s'"_w, {routine->name}));
    const Value v = runTopLevel(*m_program, m_maxSteps, m_maxDepth, [&](script::TExec& x) {
        std::vector<Value> values(n), storage(n);
        std::vector<Value*> refs(n, nullptr);
        for (size_t i = 0; i < n; ++i) {
            const script::TParam& p = routine->params[i];
            Value v;
            if (i < objects.size() && objects[i])
                v = Value::Object(objects[i]);
            else if (i < args.size())
                v = Value(args[i]);
            else if (p.defaultValue)
                v = p.defaultValue->Eval(x);
            else
                throw Exception(Format("Неверное число аргументов '%s'"_w, {routine->name}));
            if (p.byRef) {
                storage[i] = std::move(v);
                refs[i] = &storage[i];
            } else {
                values[i] = std::move(v);
            }
        }
        return script::InvokeRoutine(x, *routine, values, refs);
    });
    return v.obj || v.arr ? Variant::Null() : v.v;
}

TScriptExpression TScript::CompileExpression(const std::string& expr)
{
    if (!m_program) {
        const std::string text = std::move(m_text);
        m_text = "begin end.";
        const bool ok = Compile();
        m_text = text;
        if (!ok)
            throw EScriptError(m_errorMsg, m_errorLine, m_errorColumn);
    }
    script::Parser parser(*m_program, expr, m_compatV2);
    auto impl = std::make_unique<TScriptExpression::Impl>();
    impl->expr = parser.ParseExpression();
    impl->program = m_program.get();
    impl->maxSteps = m_maxSteps;
    impl->maxDepth = m_maxDepth;
    m_implicitVars = m_program->implicitVars;
    m_arrayNames = m_program->arrayNames;
    return TScriptExpression(std::move(impl));
}

Variant TScript::Evaluate(const std::string& expr)
{
    return CompileExpression(expr).Evaluate();
}

Variant TScript::GetVariable(const std::string& name) const
{
    const std::string up = upperCase(name);
    if (m_program) {
        const auto it = m_program->symbols.find(up);
        if (it != m_program->symbols.end()) {
            if (it->second.kind == TProgram::TSymKind::skGlobal) {
                const Value& v = m_program->globals[static_cast<size_t>(it->second.index)];
                return v.obj || v.arr ? Variant::Null() : v.v;
            }
            if (it->second.kind == TProgram::TSymKind::skConst)
                return it->second.constValue;
        }
    }
    for (const HostValue& v : m_values)
        if (!v.object && upperCase(v.name) == up)
            return v.value;
    throw Exception(Format("Неизвестная переменная '%s'"_w, {name}));
}

void TScript::SetVariable(const std::string& name, const Variant& value)
{
    const std::string up = upperCase(name);
    bool found = false;
    for (HostValue& v : m_values)
        if (!v.object && !v.constant && upperCase(v.name) == up) {
            v.value = value;
            found = true;
        }
    if (m_program) {
        const auto it = m_program->symbols.find(up);
        if (it != m_program->symbols.end() && it->second.kind == TProgram::TSymKind::skGlobal) {
            const size_t slot = static_cast<size_t>(it->second.index);
            m_program->globals[slot] = script::ConvertTo(m_program->globalTypes[slot], Value(value));
            found = true;
        }
    }
    if (!found)
        throw Exception(Format("Неизвестная переменная '%s'"_w, {name}));
}

} // namespace lm
