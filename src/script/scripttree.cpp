// Evaluation of the resolved tree: variables, calls, members, elements and the statements.
#include "script/scripttree.h"

#include <cstdint>

#include "script/scriptlexer.h"
#include "util/cp1251.h"

namespace lm::script {

namespace {

// Stack bytes a top-level run may use before a call is refused; well inside the 8 MiB of a
// main thread also when frames are enlarged by sanitizers.
constexpr uintptr_t kStackBudget = 2u << 20;

[[noreturn]] void raise(const Node& n, const std::string& message)
{
    (void)n;
    throw Exception(message);
}

} // namespace

void TExec::Step()
{
    if (++steps > maxSteps)
        throw EScriptLimit("Превышено допустимое число шагов выполнения скрипта"_w);
}

void TExec::Enter()
{
    char probe = 0;
    const uintptr_t here = reinterpret_cast<uintptr_t>(&probe);
    const uintptr_t base = reinterpret_cast<uintptr_t>(stackBase);
    if (depth >= maxDepth || (base > here && base - here > kStackBudget))
        throw EScriptLimit("Слишком глубокая рекурсия в скрипте"_w);
}

void Expr::Assign(TExec&, Value) const
{
    throw Exception("Присваивание невозможно"_w);
}

// ---- variables ----

Value* VarExpr::Ref(TExec& x) const
{
    if (global)
        return &x.program->globals[slot];
    return byRef ? x.frame->refs[slot] : &x.frame->locals[slot];
}

void VarExpr::Assign(TExec& x, Value v) const
{
    *Ref(x) = ConvertTo(type, std::move(v));
}

// ---- operators ----

Value BinaryExpr::Eval(TExec& x) const
{
    Value a = left->Eval(x);
    if ((op == tAnd || op == tOr) && !a.obj && !a.arr && a.v.VarType() == TVarType::varBoolean) {
        const bool l = a.v.AsBoolean();
        if (op == tAnd ? !l : l)
            return a;
    }
    if (const Value* c = right->ConstValue())
        return BinaryOp(op, a, *c);
    return BinaryOp(op, a, right->Eval(x));
}

Value SetExpr::Eval(TExec& x) const
{
    constexpr int64_t kMaxRange = 65536;
    auto arr = std::make_shared<TArray>();
    for (const auto& [from, to] : elements) {
        Value a = from->Eval(x);
        if (!to) {
            arr->items.push_back(std::move(a));
            continue;
        }
        const int64_t lo = a.v.AsInt64(), hi = to->Eval(x).v.AsInt64();
        if (hi >= lo && hi - lo >= kMaxRange)
            raise(*this, "Слишком большой диапазон множества"_w);
        for (int64_t i = lo; i <= hi; ++i)
            arr->items.emplace_back(Variant(i));
    }
    return Value::Array(std::move(arr));
}

Value InSetExpr::Eval(TExec& x) const
{
    const Value v = value->Eval(x);
    for (const auto& [from, to] : set->elements) {
        const Value a = from->Eval(x);
        if (!to) {
            if (ValuesEqual(v, a))
                return Value(Variant(true));
        } else if (!v.obj && !v.arr && !v.v.IsNullOrEmpty()) {
            if (v.v.Compare(a.v) >= 0 && v.v.Compare(to->Eval(x).v) <= 0)
                return Value(Variant(true));
        }
    }
    return Value(Variant(false));
}

// ---- calls ----

Value InvokeRoutine(TExec& x, const TRoutine& r, std::vector<Value>& values, std::vector<Value*>& refs)
{
    x.Step();
    x.Enter();
    if (r.direct) {
        ++x.depth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{x.depth};
        return ConvertTo(r.resultType, r.direct->Eval(x));
    }
    Frame frame(r.localTypes.size());
    frame.refs = std::move(refs);
    for (size_t i = 0; i < r.localTypes.size(); ++i) {
        if (i < r.params.size())
            frame.locals[i] = r.params[i].byRef ? Value() : ConvertTo(r.params[i].type, std::move(values[i]));
        else
            frame.locals[i] = InitialValue(r.localTypes[i]);
    }
    struct Restore {
        TExec& x;
        Frame* saved;
        ~Restore() { x.frame = saved; --x.depth; x.flow = TFlow::fNone; }
    } restore{x, x.frame};
    x.frame = &frame;
    ++x.depth;
    r.body->Exec(x);
    return r.isFunction ? std::move(frame.locals[r.resultSlot]) : Value(Variant::Null());
}

Value CallExpr::Eval(TExec& x) const
{
    std::vector<Value> values(routine->params.size());
    std::vector<Value*> refs(routine->params.size(), nullptr);
    for (size_t i = 0; i < routine->params.size(); ++i) {
        const TParam& p = routine->params[i];
        if (p.byRef)
            refs[i] = args[i]->Ref(x);
        else
            values[i] = i < args.size() ? args[i]->Eval(x) : p.defaultValue->Eval(x);
    }
    return InvokeRoutine(x, *routine, values, refs);
}

namespace {

// Evaluates call arguments for a host: their Variants, and the objects when any is one.
struct HostArgs {
    std::vector<Variant> values;
    std::vector<TScriptObject*> objects;
    bool anyObject = false;

    HostArgs(TExec& x, const std::vector<ExprPtr>& args)
    {
        values.reserve(args.size());
        for (const ExprPtr& a : args) {
            Value v = a->Eval(x);
            if (v.obj && !anyObject) {
                anyObject = true;
                objects.assign(args.size(), nullptr);
            }
            if (anyObject)
                objects[values.size()] = v.obj;
            values.push_back(std::move(v.v));
        }
    }
    TScriptArgs View() const
    {
        return TScriptArgs(values.data(), anyObject ? &objects : nullptr, static_cast<int>(values.size()));
    }
};

} // namespace

Value HostCallExpr::Eval(TExec& x) const
{
    x.Step();
    HostArgs a(x, args);
    return Value(fn(a.View()));
}

Value BuiltinCallExpr::Eval(TExec& x) const
{
    Value values[8];
    const int n = static_cast<int>(args.size());
    if (n > 8) {
        std::vector<Value> many;
        for (const ExprPtr& a : args)
            many.push_back(a->Eval(x));
        return builtin->fn(many.data(), n, x);
    }
    for (int i = 0; i < n; ++i)
        values[i] = args[i]->Eval(x);
    return builtin->fn(values, n, x);
}

Value IifExpr::Eval(TExec& x) const
{
    const Value c = cond->Eval(x);
    const bool yes = !c.obj && !c.arr && !c.v.IsNullOrEmpty() && Truth(c);
    return yes ? then->Eval(x) : otherwise->Eval(x);
}

Value IncExpr::Eval(TExec& x) const
{
    const Value by = amount ? amount->Eval(x) : Value(Variant(1));
    target->Assign(x, BinaryOp(decrement ? tMinus : tPlus, target->Eval(x), by));
    return Value(Variant::Null());
}

// ---- elements and members ----

Value* IndexExpr::element(TExec& x, Value& container, const Value& index, bool create) const
{
    (void)x;
    if (container.arr && container.arr->bounded) {
        TArray& a = *container.arr;
        const int64_t i = index.v.AsInt64();
        if (i < a.low || i - a.low >= static_cast<int64_t>(a.items.size()))
            raise(*this, Format("Индекс массива вне границ (%d)"_w, {i}));
        return &a.items[static_cast<size_t>(i - a.low)];
    }
    if (!container.arr) {
        if (!create || container.obj || !container.v.IsNullOrEmpty())
            raise(*this, "Значение не является массивом"_w);
        container = Value::Array(std::make_shared<TArray>());
    }
    if (index.obj || index.arr)
        raise(*this, "Недопустимый индекс массива"_w);
    const std::string key = index.v.IsNullOrEmpty() ? std::string() : index.v.AsString();
    auto& map = container.arr->byKey;
    auto it = map.find(key);
    if (it == map.end()) {
        if (!create)
            return nullptr;
        it = map.emplace(key, Value()).first;
    }
    return &it->second;
}

Value IndexExpr::Eval(TExec& x) const
{
    Value v = base->Eval(x);
    for (const ExprPtr& ie : indexes) {
        const Value index = ie->Eval(x);
        if (!v.arr && !v.obj && v.v.VarType() == TVarType::varString) {
            const std::string s = v.v.AsString();
            const int64_t i = index.v.AsInt64();
            if (i < 1 || i > static_cast<int64_t>(s.size()))
                raise(*this, Format("Индекс строки вне границ (%d)"_w, {i}));
            v = Value(Variant(std::string(1, s[static_cast<size_t>(i - 1)])));
            continue;
        }
        Value* e = element(x, v, index, false);
        v = e ? *e : Value();
    }
    return v;
}

Value* IndexExpr::Ref(TExec& x) const
{
    Value* place = base->Ref(x);
    if (!place)
        raise(*this, "Присваивание невозможно"_w);
    for (const ExprPtr& ie : indexes)
        place = element(x, *place, ie->Eval(x), true);
    return place;
}

void IndexExpr::Assign(TExec& x, Value v) const
{
    // a character of a string variable
    Value* place = base->Ref(x);
    if (place && indexes.size() == 1 && !place->arr && !place->obj && place->v.VarType() == TVarType::varString) {
        std::string s = place->v.AsString();
        const int64_t i = indexes[0]->Eval(x).v.AsInt64();
        if (i < 1 || i > static_cast<int64_t>(s.size()))
            raise(*this, Format("Индекс строки вне границ (%d)"_w, {i}));
        const std::string c = v.v.AsString();
        s[static_cast<size_t>(i - 1)] = c.empty() ? '\0' : c[0];
        place->v = Variant(std::move(s));
        return;
    }
    *Ref(x) = std::move(v);
}

int MemberCache::Resolve(TScriptObject* obj, const std::string& name) const
{
    const void* key = obj->MemberTableKey();
    if (key != m_key || m_id < 0) {
        m_id = obj->FindMember(name);
        m_key = key;
        if (m_id < 0)
            throw Exception(Format("Неизвестное свойство или метод '%s' у %s"_w, {name, obj->ScriptClassName()}));
    }
    return m_id;
}

namespace {

// Members every open array answers: Free (nothing to do) and Count.
Value arrayMember(const TArray& a, const std::string& name)
{
    const std::string up = upperCase(name);
    if (up == "FREE" || up == "CLEAR")
        return Value(Variant::Null());
    if (up == "COUNT" || up == "LENGTH")
        return Value(Variant(static_cast<int64_t>(a.bounded ? a.items.size() : a.byKey.size())));
    throw Exception(Format("Неизвестное свойство или метод '%s' у массива"_w, {name}));
}

[[noreturn]] void notObject(const std::string& name)
{
    throw Exception(Format("Обращение к '%s' не у объекта"_w, {name}));
}

} // namespace

Value MemberExpr::Eval(TExec& x) const
{
    const Value b = base->Eval(x);
    if (b.arr)
        return arrayMember(*b.arr, name);
    if (!b.obj)
        notObject(name);
    const int id = cache.Resolve(b.obj, name);
    if (TScriptObject* child = b.obj->ObjectMember(id))
        return Value::Object(child);
    return Value(b.obj->GetMember(id));
}

void MemberExpr::Assign(TExec& x, Value v) const
{
    const Value b = base->Eval(x);
    if (!b.obj)
        notObject(name);
    b.obj->SetMember(cache.Resolve(b.obj, name), v.v);
}

Value MethodCallExpr::Eval(TExec& x) const
{
    const Value b = base->Eval(x);
    if (b.arr && args.empty())
        return arrayMember(*b.arr, name);
    if (!b.obj)
        notObject(name);
    const int id = cache.Resolve(b.obj, name);
    x.Step();
    HostArgs a(x, args);
    return Value(b.obj->CallMember(id, a.View()));
}

Value CreateExpr::Eval(TExec&) const
{
    return Value::Array(std::make_shared<TArray>());
}

// ---- statements ----

void BlockStmt::Exec(TExec& x) const
{
    for (const StmtPtr& s : items) {
        s->Exec(x);
        if (x.flow != TFlow::fNone)
            return;
    }
}

void IfStmt::Exec(TExec& x) const
{
    if (Truth(cond->Eval(x)))
        then->Exec(x);
    else if (otherwise)
        otherwise->Exec(x);
}

namespace {

// After one pass of a loop body: false when the loop must end (break or exit).
bool continueLoop(TExec& x)
{
    x.Step();
    if (x.flow == TFlow::fContinue)
        x.flow = TFlow::fNone;
    if (x.flow == TFlow::fBreak) {
        x.flow = TFlow::fNone;
        return false;
    }
    return x.flow == TFlow::fNone;
}

} // namespace

void WhileStmt::Exec(TExec& x) const
{
    while (Truth(cond->Eval(x))) {
        body->Exec(x);
        if (!continueLoop(x))
            return;
    }
}

void RepeatStmt::Exec(TExec& x) const
{
    do {
        body.Exec(x);
        if (!continueLoop(x))
            return;
    } while (!Truth(cond->Eval(x)));
}

void ForStmt::Exec(TExec& x) const
{
    const int64_t first = from->Eval(x).v.AsInt64();
    const int64_t last = to->Eval(x).v.AsInt64();
    if (down ? first < last : first > last)
        return;
    for (int64_t i = first;; i += down ? -1 : 1) {
        var->Assign(x, Value(Variant(i)));
        body->Exec(x);
        if (!continueLoop(x) || i == last)
            return;
    }
}

void CaseStmt::Exec(TExec& x) const
{
    const Value v = selector->Eval(x);
    for (const Branch& b : branches)
        for (const auto& [from, to] : b.labels) {
            const Value a = from->Eval(x);
            const bool hit = to ? (!v.v.IsNullOrEmpty() && v.v.Compare(a.v) >= 0 && v.v.Compare(to->Eval(x).v) <= 0)
                                : ValuesEqual(v, a);
            if (hit) {
                b.body->Exec(x);
                return;
            }
        }
    if (otherwise)
        otherwise->Exec(x);
}

void WithStmt::Exec(TExec& x) const
{
    for (const auto& [var, expr] : scopes) {
        Value v = expr->Eval(x);
        if (!v.obj && !v.arr)
            throw Exception("with: выражение не является объектом"_w);
        var->Assign(x, std::move(v));
    }
    body->Exec(x);
}

void TryExceptStmt::Exec(TExec& x) const
{
    std::string message;
    try {
        body.Exec(x);
        return;
    } catch (const EScriptLimit&) {
        throw;
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = e.what();
    }
    const std::string saved = std::move(x.lastError);
    x.lastError = message;
    handler.Exec(x);
    x.lastError = saved;
}

void TryFinallyStmt::Exec(TExec& x) const
{
    try {
        body.Exec(x);
    } catch (const EScriptLimit&) {
        throw;
    } catch (...) {
        const TFlow flow = x.flow;
        x.flow = TFlow::fNone;
        finally.Exec(x);
        x.flow = flow;
        throw;
    }
    const TFlow flow = x.flow;
    x.flow = TFlow::fNone;
    finally.Exec(x);
    if (x.flow == TFlow::fNone)
        x.flow = flow;
}

void RaiseStmt::Exec(TExec& x) const
{
    if (message)
        throw Exception(message->Eval(x).v.AsString());
    throw Exception(x.lastError);
}

void FlowStmt::Exec(TExec& x) const
{
    if (result)
        resultVar->Assign(x, result->Eval(x));
    x.flow = flow;
}

} // namespace lm::script
