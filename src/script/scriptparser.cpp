// The script compiler: recursive descent over the token stream, resolving names as it goes.
#include "script/scriptparser.h"

#include <algorithm>
#include <set>

#include "util/cp1251.h"

namespace lm::script {

namespace {

constexpr int kMaxNesting = 200;      // statements and parenthesised expressions
constexpr int kMaxHeight = 1000;      // of one expression tree
constexpr int64_t kMaxArray = 1000000;

const std::set<std::string>& reservedWords()
{
    static const std::set<std::string> words = {
        "AND", "ARRAY", "BEGIN", "CASE", "CONST", "DIV", "DO", "DOWNTO", "ELSE", "END", "EXCEPT",
        "FINALLY", "FOR", "FUNCTION", "IF", "IN", "MOD", "NOT", "OF", "OR", "PROCEDURE", "PROGRAM",
        "RAISE", "REPEAT", "SHL", "SHR", "THEN", "TO", "TRY", "UNTIL", "USES", "VAR", "WHILE",
        "WITH", "XOR",
    };
    return words;
}

int heightOf(const std::vector<ExprPtr>& items)
{
    int h = 0;
    for (const ExprPtr& e : items)
        h = std::max(h, e->height);
    return h;
}

TType typeByName(const std::string& upper)
{
    static const std::map<std::string, TType> names = {
        {"INTEGER", TType::tInteger}, {"LONGINT", TType::tInteger}, {"SMALLINT", TType::tInteger},
        {"SHORTINT", TType::tInteger}, {"BYTE", TType::tInteger}, {"WORD", TType::tInteger},
        {"CARDINAL", TType::tInt64}, {"LONGWORD", TType::tInt64}, {"INT64", TType::tInt64},
        {"DOUBLE", TType::tDouble}, {"REAL", TType::tDouble}, {"EXTENDED", TType::tDouble},
        {"SINGLE", TType::tDouble}, {"CURRENCY", TType::tCurrency}, {"STRING", TType::tString},
        {"ANSISTRING", TType::tString}, {"WIDESTRING", TType::tString}, {"SHORTSTRING", TType::tString},
        {"CHAR", TType::tChar}, {"ANSICHAR", TType::tChar}, {"WIDECHAR", TType::tChar},
        {"BOOLEAN", TType::tBoolean}, {"TDATETIME", TType::tDate}, {"TDATE", TType::tDate},
        {"TTIME", TType::tDate}, {"VARIANT", TType::tVariant}, {"OLEVARIANT", TType::tVariant},
    };
    const auto it = names.find(upper);
    return it == names.end() ? TType::tObject : it->second;
}

bool isCall(const Expr* e)
{
    return dynamic_cast<const CallExpr*>(e) || dynamic_cast<const HostCallExpr*>(e) ||
           dynamic_cast<const BoundCallExpr*>(e) || dynamic_cast<const BuiltinCallExpr*>(e) ||
           dynamic_cast<const MethodCallExpr*>(e) || dynamic_cast<const MemberExpr*>(e) ||
           dynamic_cast<const IncExpr*>(e);
}

} // namespace

Parser::Parser(TProgram& program, std::string_view text, bool compatV2)
    : m_program(program), m_lex(text), m_compat(compatV2)
{
    next();
}

void Parser::error(const Token& at, const std::string& message) const
{
    throw EScriptError(Format("Строка %d, столбец %d: %s"_w, {at.line, at.col, message}), at.line, at.col);
}

bool Parser::isReserved(const std::string& upper) const
{
    return reservedWords().count(upper) > 0;
}

void Parser::expect(TTok kind, const char* what)
{
    if (m_tok.kind != kind)
        error(m_tok, Format("Ожидается %s"_w, {what}));
    next();
}

void Parser::expectKw(const char* upper)
{
    if (!isKw(upper))
        error(m_tok, Format("Ожидается %s"_w, {lowerCase(upper)}));
    next();
}

std::string Parser::expectIdent()
{
    if (m_tok.kind != tIdent || isReserved(m_tok.upper))
        error(m_tok, "Ожидается идентификатор"_w);
    std::string name = m_tok.text;
    next();
    return name;
}

void Parser::enter()
{
    if (++m_depth > kMaxNesting)
        error(m_tok, "Слишком глубокая вложенность"_w);
}

ExprPtr Parser::checkHeight(ExprPtr e, const Token& at, int childHeight)
{
    e->line = at.line;
    e->col = at.col;
    e->height = childHeight + 1;
    if (e->height > kMaxHeight)
        error(at, "Слишком сложное выражение"_w);
    return e;
}

// ---- declarations ----

void Parser::ParseProgram()
{
    if (isKw("PROGRAM")) {
        next();
        expectIdent();
        expect(tSemi, "';'");
    }
    if (isKw("USES")) {
        next();
        for (;;) {
            if (m_tok.kind == tString)
                next();
            else
                expectIdent();
            if (m_tok.kind != tComma)
                break;
            next();
        }
        expect(tSemi, "';'");
    }
    parseDeclarations(false);
    for (const auto& r : m_program.routines)
        if (!r->defined) {
            Token at;
            at.line = r->declLine;
            at.col = r->declCol;
            error(at, Format("Не найдено тело подпрограммы '%s'"_w, {r->name}));
        }
    if (isKw("BEGIN")) {
        m_program.main = parseBlock();
        if (m_tok.kind == tDot)
            next();
    } else if (m_tok.kind != tEOF) {
        error(m_tok, "Ожидается begin"_w);
    } else {
        m_program.main = std::make_unique<BlockStmt>();
    }
    if (m_tok.kind != tEOF)
        error(m_tok, "Лишний текст после конца программы"_w);
}

ExprPtr Parser::ParseExpression()
{
    ExprPtr e = parseExpr();
    if (m_tok.kind != tEOF)
        error(m_tok, "Ожидается конец выражения"_w);
    return e;
}

void Parser::parseDeclarations(bool inRoutine)
{
    for (;;) {
        if (isKw("VAR")) {
            next();
            parseVarSection(inRoutine);
        } else if (isKw("CONST")) {
            next();
            parseConstSection(inRoutine);
        } else if (isKw("PROCEDURE") || isKw("FUNCTION")) {
            if (inRoutine)
                error(m_tok, "Вложенные подпрограммы не поддерживаются"_w);
            const bool isFunction = isKw("FUNCTION");
            next();
            parseRoutine(isFunction);
        } else {
            return;
        }
    }
}

TTypeInfo Parser::parseType()
{
    TTypeInfo t;
    if (isKw("ARRAY")) {
        const Token at = m_tok;
        next();
        if (m_tok.kind == tLBracket) {
            next();
            ExprPtr lo = parseExpr();
            expect(tDotDot, "'..'");
            ExprPtr hi = parseExpr();
            expect(tRBracket, "']'");
            if (!lo->IsConst() || !hi->IsConst())
                error(at, "Границы массива должны быть константами"_w);
            TExec x;
            t.low = lo->Eval(x).v.AsInt64();
            t.high = hi->Eval(x).v.AsInt64();
            if (t.high < t.low || t.high - t.low >= kMaxArray)
                error(at, "Недопустимые границы массива"_w);
            t.kind = TType::tArray;
        } else {
            t.kind = TType::tVariant;  // an open array
        }
        expectKw("OF");
        t.element = std::make_shared<TTypeInfo>(parseType());
        if (t.kind == TType::tArray && t.element->kind == TType::tArray &&
            (t.high - t.low + 1) * (t.element->high - t.element->low + 1) > kMaxArray)
            error(at, "Недопустимые границы массива"_w);
        return t;
    }
    const std::string name = expectIdent();
    t.kind = typeByName(upperCase(name));
    if (m_tok.kind == tLBracket && t.kind == TType::tString) {  // string[N]
        next();
        parseExpr();
        expect(tRBracket, "']'");
    }
    return t;
}

void Parser::declareGlobal(const Token& at, const std::string& name, const TTypeInfo& type)
{
    const std::string upper = upperCase(name);
    auto it = m_program.symbols.find(upper);
    if (it != m_program.symbols.end() && it->second.kind != TProgram::TSymKind::skHostFunction &&
        it->second.kind != TProgram::TSymKind::skHostObject)
        error(at, Format("Повторное объявление '%s'"_w, {name}));
    TProgram::Symbol s;
    s.kind = TProgram::TSymKind::skGlobal;
    s.index = static_cast<int>(m_program.globals.size());
    s.type = type;
    m_program.globals.push_back(InitialValue(type));
    m_program.globalTypes.push_back(type);
    m_program.symbols[upper] = s;
}

int Parser::declareLocal(const Token& at, const std::string& name, const TTypeInfo& type, bool byRef)
{
    const std::string upper = upperCase(name);
    if (m_locals.count(upper) || m_localConsts.count(upper))
        error(at, Format("Повторное объявление '%s'"_w, {name}));
    const int slot = static_cast<int>(m_routine->localTypes.size());
    m_routine->localTypes.push_back(type);
    m_locals[upper] = Local{slot, type, byRef};
    return slot;
}

void Parser::parseVarSection(bool inRoutine)
{
    while (m_tok.kind == tIdent && !isReserved(m_tok.upper)) {
        std::vector<std::pair<Token, std::string>> names;
        for (;;) {
            const Token at = m_tok;
            names.emplace_back(at, expectIdent());
            if (m_tok.kind != tComma)
                break;
            next();
        }
        expect(tColon, "':'");
        const TTypeInfo type = parseType();
        ExprPtr init;
        if (m_tok.kind == tEq) {
            next();
            init = parseExpr();
            if (!init->IsConst())
                error(m_tok, "Ожидается константа"_w);
        }
        expect(tSemi, "';'");
        for (const auto& [at, name] : names) {
            if (!inRoutine) {
                declareGlobal(at, name, type);
                if (init) {
                    TExec x;
                    m_program.globals.back() = ConvertTo(type, init->Eval(x));
                }
            } else {
                if (init)
                    error(at, "Локальные переменные не инициализируются при объявлении"_w);
                declareLocal(at, name, type, false);
            }
        }
    }
}

void Parser::parseConstSection(bool inRoutine)
{
    while (m_tok.kind == tIdent && !isReserved(m_tok.upper)) {
        const Token at = m_tok;
        const std::string name = expectIdent();
        if (m_tok.kind == tColon) {
            next();
            parseType();
        }
        expect(tEq, "'='");
        ExprPtr value = parseExpr();
        if (!value->IsConst())
            error(at, "Ожидается константа"_w);
        expect(tSemi, "';'");
        TExec x;
        const Value v = value->Eval(x);
        const std::string upper = upperCase(name);
        if (inRoutine) {
            if (m_locals.count(upper) || m_localConsts.count(upper))
                error(at, Format("Повторное объявление '%s'"_w, {name}));
            m_localConsts[upper] = v.v;
            continue;
        }
        if (m_program.symbols.count(upper))
            error(at, Format("Повторное объявление '%s'"_w, {name}));
        TProgram::Symbol s;
        s.kind = TProgram::TSymKind::skConst;
        s.constValue = v.v;
        m_program.symbols[upper] = s;
    }
}

void Parser::parseParams(TRoutine& r)
{
    if (m_tok.kind != tLParen)
        return;
    next();
    if (m_tok.kind == tRParen) {
        next();
        return;
    }
    for (;;) {
        bool byRef = false;
        if (isKw("VAR") || isKw("OUT")) {
            byRef = true;
            next();
        } else if (isKw("CONST")) {
            next();
        }
        std::vector<std::pair<Token, std::string>> names;
        for (;;) {
            const Token at = m_tok;
            names.emplace_back(at, expectIdent());
            if (m_tok.kind != tComma)
                break;
            next();
        }
        TTypeInfo type;
        if (m_tok.kind == tColon) {
            next();
            type = parseType();
        }
        ExprPtr def;
        if (m_tok.kind == tEq) {
            next();
            def = parseExpr();
            if (!def->IsConst() || byRef || names.size() != 1)
                error(m_tok, "Недопустимое значение по умолчанию"_w);
        } else if (!r.params.empty() && r.params.back().defaultValue) {
            error(names.front().first, "Ожидается значение по умолчанию"_w);
        }
        for (auto& [at, name] : names) {
            TParam p;
            p.name = name;
            p.type = type;
            p.byRef = byRef;
            p.defaultValue = std::move(def);
            r.params.push_back(std::move(p));
        }
        if (m_tok.kind != tSemi)
            break;
        next();
    }
    expect(tRParen, "')'");
}

void Parser::parseRoutine(bool isFunction)
{
    const Token at = m_tok;
    const std::string name = expectIdent();
    const std::string upper = upperCase(name);
    TRoutine* r = nullptr;
    auto found = m_program.symbols.find(upper);
    if (found != m_program.symbols.end()) {
        if (found->second.kind != TProgram::TSymKind::skRoutine ||
            m_program.routines[static_cast<size_t>(found->second.index)]->defined)
            error(at, Format("Повторное объявление '%s'"_w, {name}));
        r = m_program.routines[static_cast<size_t>(found->second.index)].get();
        r->params.clear();
    } else {
        auto owned = std::make_unique<TRoutine>();
        r = owned.get();
        TProgram::Symbol s;
        s.kind = TProgram::TSymKind::skRoutine;
        s.index = static_cast<int>(m_program.routines.size());
        m_program.routines.push_back(std::move(owned));
        m_program.symbols[upper] = s;
    }
    r->name = name;
    r->isFunction = isFunction;
    r->declLine = at.line;
    r->declCol = at.col;
    parseParams(*r);
    if (isFunction) {
        expect(tColon, "':'");
        r->resultType = parseType();
    }
    expect(tSemi, "';'");
    if (isKw("FORWARD")) {
        next();
        expect(tSemi, "';'");
        return;
    }

    m_routine = r;
    m_locals.clear();
    r->localTypes.clear();
    for (const TParam& p : r->params)
        declareLocal(at, p.name, p.type, p.byRef);
    if (isFunction)
        r->resultSlot = declareLocal(at, "Result", r->resultType, false);
    parseDeclarations(true);
    if (!isKw("BEGIN"))
        error(m_tok, "Ожидается begin"_w);
    r->defined = true;  // before the body, so that the routine may call itself
    const int localReads = m_localRefs;
    r->body = parseBlock();
    expect(tSemi, "';'");
    r->direct = directResult(*r, m_localRefs - localReads);
    m_routine = nullptr;
    m_locals.clear();
    m_localConsts.clear();
}

// The expression of a body "Result := expression" when the routine has no other variables and
// the expression does not read Result (`references` counts the body's uses of variables).
const Expr* Parser::directResult(const TRoutine& r, int references) const
{
    const auto* block = dynamic_cast<const BlockStmt*>(r.body.get());
    if (!r.isFunction || r.localTypes.size() != 1 || references != 1 || !block || block->items.size() != 1)
        return nullptr;
    const auto* assign = dynamic_cast<const AssignStmt*>(block->items[0].get());
    const auto* target = assign ? dynamic_cast<const VarExpr*>(assign->target.get()) : nullptr;
    if (!target || target->global || target->slot != r.resultSlot)
        return nullptr;
    return assign->value.get();
}

std::unique_ptr<VarExpr> Parser::varExpr(const Local& l)
{
    ++m_localRefs;
    auto v = std::make_unique<VarExpr>();
    v->slot = l.slot;
    v->type = l.type;
    v->byRef = l.byRef;
    return v;
}

std::unique_ptr<VarExpr> Parser::globalVar(int slot) const
{
    auto v = std::make_unique<VarExpr>();
    v->global = true;
    v->slot = slot;
    v->type = m_program.globalTypes[static_cast<size_t>(slot)];
    return v;
}

std::unique_ptr<VarExpr> Parser::hiddenVar()
{
    TTypeInfo t;
    t.kind = TType::tObject;
    if (m_routine) {
        const int slot = static_cast<int>(m_routine->localTypes.size());
        m_routine->localTypes.push_back(t);
        return varExpr(Local{slot, t, false});
    }
    const int slot = static_cast<int>(m_program.globals.size());
    m_program.globals.emplace_back();
    m_program.globalTypes.push_back(t);
    return globalVar(slot);
}

// ---- statements ----

std::unique_ptr<BlockStmt> Parser::parseBlock()
{
    auto block = node<BlockStmt>(m_tok);
    expectKw("BEGIN");
    parseStatementList(*block);
    expectKw("END");
    return block;
}

void Parser::parseStatementList(BlockStmt& block)
{
    for (;;) {
        if (isKw("END") || isKw("UNTIL") || isKw("EXCEPT") || isKw("FINALLY") || m_tok.kind == tEOF)
            return;
        block.items.push_back(parseStatement());
        if (m_tok.kind != tSemi)
            return;
        next();
    }
}

StmtPtr Parser::parseStatement()
{
    enter();
    struct Leave {
        Parser* p;
        ~Leave() { p->leave(); }
    } leaveGuard{this};
    const Token at = m_tok;
    if (m_tok.kind == tSemi || isKw("END") || isKw("ELSE") || isKw("UNTIL") || isKw("EXCEPT") ||
        isKw("FINALLY"))
        return node<EmptyStmt>(at);
    if (m_tok.kind != tIdent)
        error(at, "Ожидается оператор"_w);
    if (isKw("BEGIN"))
        return parseBlock();
    if (isKw("IF"))
        return parseIf();
    if (isKw("WHILE"))
        return parseWhile();
    if (isKw("REPEAT"))
        return parseRepeat();
    if (isKw("FOR"))
        return parseFor();
    if (isKw("CASE"))
        return parseCase();
    if (isKw("WITH"))
        return parseWith();
    if (isKw("TRY"))
        return parseTry();
    if (isKw("RAISE"))
        return parseRaise();
    if (isKw("EXIT") || isKw("BREAK") || isKw("CONTINUE"))
        return parseFlow();
    if (isReserved(m_tok.upper))
        error(at, "Ожидается оператор"_w);

    ExprPtr target = parseIdentifier();
    if (m_tok.kind == tAssign) {
        if (!target->IsDesignator())
            error(at, "Слева от := должна быть переменная"_w);
        next();
        auto s = node<AssignStmt>(at);
        s->target = std::move(target);
        s->value = parseExpr();
        return s;
    }
    if (!isCall(target.get()))
        error(m_tok, "Ожидается :="_w);
    auto s = node<ExprStmt>(at);
    s->expr = std::move(target);
    return s;
}

StmtPtr Parser::parseIf()
{
    auto s = node<IfStmt>(m_tok);
    next();
    s->cond = parseExpr();
    expectKw("THEN");
    s->then = parseStatement();
    if (isKw("ELSE")) {
        next();
        s->otherwise = parseStatement();
    }
    return s;
}

StmtPtr Parser::parseWhile()
{
    auto s = node<WhileStmt>(m_tok);
    next();
    s->cond = parseExpr();
    expectKw("DO");
    ++m_loops;
    s->body = parseStatement();
    --m_loops;
    return s;
}

StmtPtr Parser::parseRepeat()
{
    auto s = node<RepeatStmt>(m_tok);
    next();
    ++m_loops;
    parseStatementList(s->body);
    --m_loops;
    expectKw("UNTIL");
    s->cond = parseExpr();
    return s;
}

StmtPtr Parser::parseFor()
{
    auto s = node<ForStmt>(m_tok);
    next();
    const Token at = m_tok;
    s->var = parseIdentifier();
    if (!dynamic_cast<VarExpr*>(s->var.get()))
        error(at, "Ожидается переменная цикла"_w);
    expect(tAssign, "':='");
    s->from = parseExpr();
    if (isKw("DOWNTO"))
        s->down = true;
    else if (!isKw("TO"))
        error(m_tok, "Ожидается to или downto"_w);
    next();
    s->to = parseExpr();
    expectKw("DO");
    ++m_loops;
    s->body = parseStatement();
    --m_loops;
    return s;
}

StmtPtr Parser::parseCase()
{
    auto s = node<CaseStmt>(m_tok);
    next();
    s->selector = parseExpr();
    expectKw("OF");
    while (!isKw("END") && !isKw("ELSE")) {
        CaseStmt::Branch b;
        for (;;) {
            ExprPtr from = parseExpr();
            ExprPtr to;
            if (m_tok.kind == tDotDot) {
                next();
                to = parseExpr();
            }
            b.labels.emplace_back(std::move(from), std::move(to));
            if (m_tok.kind != tComma)
                break;
            next();
        }
        expect(tColon, "':'");
        b.body = parseStatement();
        s->branches.push_back(std::move(b));
        if (m_tok.kind != tSemi)
            break;
        next();
    }
    if (isKw("ELSE")) {
        auto block = node<BlockStmt>(m_tok);
        next();
        parseStatementList(*block);
        s->otherwise = std::move(block);
    }
    expectKw("END");
    return s;
}

StmtPtr Parser::parseWith()
{
    auto s = node<WithStmt>(m_tok);
    next();
    const size_t outer = m_withs.size();
    for (;;) {
        ExprPtr e = parseExpr();
        WithScope scope;
        if (auto* c = dynamic_cast<ConstExpr*>(e.get()))
            scope.known = c->val.obj;
        scope.var = hiddenVar();
        auto copy = std::make_unique<VarExpr>(*scope.var);
        s->scopes.emplace_back(std::move(copy), std::move(e));
        m_withs.push_back(std::move(scope));
        if (m_tok.kind != tComma)
            break;
        next();
    }
    expectKw("DO");
    s->body = parseStatement();
    m_withs.resize(outer);
    return s;
}

StmtPtr Parser::parseTry()
{
    const Token at = m_tok;
    next();
    BlockStmt body;
    parseStatementList(body);
    if (isKw("EXCEPT")) {
        auto s = node<TryExceptStmt>(at);
        s->body.items = std::move(body.items);
        next();
        parseStatementList(s->handler);
        expectKw("END");
        return s;
    }
    if (!isKw("FINALLY"))
        error(m_tok, "Ожидается except или finally"_w);
    auto s = node<TryFinallyStmt>(at);
    s->body.items = std::move(body.items);
    next();
    parseStatementList(s->finally);
    expectKw("END");
    return s;
}

StmtPtr Parser::parseRaise()
{
    auto s = node<RaiseStmt>(m_tok);
    next();
    if (m_tok.kind == tSemi || isKw("END") || isKw("ELSE") || isKw("UNTIL") || m_tok.kind == tEOF)
        return s;
    if (isKw("EXCEPTION")) {  // raise Exception.Create(message)
        next();
        expect(tDot, "'.'");
        expectKw("CREATE");
        expect(tLParen, "'('");
        s->message = parseExpr();
        expect(tRParen, "')'");
        return s;
    }
    s->message = parseExpr();
    return s;
}

StmtPtr Parser::parseFlow()
{
    const Token at = m_tok;
    const std::string word = m_tok.upper;
    next();
    if (word == "EXIT") {
        auto s = std::make_unique<FlowStmt>(TFlow::fExit);
        s->line = at.line;
        s->col = at.col;
        if (m_tok.kind == tLParen) {
            next();
            if (m_tok.kind != tRParen) {
                if (!m_routine || !m_routine->isFunction)
                    error(at, "Exit со значением допустим только в функции"_w);
                s->result = parseExpr();
                s->resultVar = varExpr(m_locals.at("RESULT"));
            }
            expect(tRParen, "')'");
        }
        return s;
    }
    if (m_loops == 0)
        error(at, Format("%s вне цикла"_w, {word == "BREAK" ? "Break" : "Continue"}));
    auto s = std::make_unique<FlowStmt>(word == "BREAK" ? TFlow::fBreak : TFlow::fContinue);
    s->line = at.line;
    s->col = at.col;
    return s;
}

// ---- expressions ----

ExprPtr Parser::parseExpr()
{
    enter();
    struct Leave {
        Parser* p;
        ~Leave() { p->leave(); }
    } leaveGuard{this};
    ExprPtr left = parseSimple();
    for (;;) {
        const Token at = m_tok;
        int op = -1;
        switch (m_tok.kind) {
        case tEq: case tNe: case tLt: case tGt: case tLe: case tGe: op = m_tok.kind; break;
        case tIdent: if (m_tok.upper == "IN") op = tIn; break;
        default: break;
        }
        if (op < 0)
            return left;
        next();
        if (op == tIn && m_tok.kind == tLBracket) {
            auto in = std::make_unique<InSetExpr>();
            in->set = parseSet();
            const int h = std::max(left->height, in->set->height);
            in->value = std::move(left);
            left = checkHeight(std::move(in), at, h);
            continue;
        }
        ExprPtr right = parseSimple();
        const int h = std::max(left->height, right->height);
        left = checkHeight(std::make_unique<BinaryExpr>(op, std::move(left), std::move(right)), at, h);
    }
}

ExprPtr Parser::parseSimple()
{
    ExprPtr left = parseTerm();
    for (;;) {
        const Token at = m_tok;
        int op = -1;
        if (m_tok.kind == tPlus || m_tok.kind == tMinus)
            op = m_tok.kind;
        else if (isKw("OR"))
            op = tOr;
        else if (isKw("XOR"))
            op = tXor;
        if (op < 0)
            return left;
        next();
        ExprPtr right = parseTerm();
        const int h = std::max(left->height, right->height);
        left = checkHeight(std::make_unique<BinaryExpr>(op, std::move(left), std::move(right)), at, h);
    }
}

ExprPtr Parser::parseTerm()
{
    ExprPtr left = parseFactor();
    for (;;) {
        const Token at = m_tok;
        int op = -1;
        if (m_tok.kind == tStar || m_tok.kind == tSlash)
            op = m_tok.kind;
        else if (isKw("DIV"))
            op = tDiv;
        else if (isKw("MOD"))
            op = tMod;
        else if (isKw("AND"))
            op = tAnd;
        else if (isKw("SHL"))
            op = tShl;
        else if (isKw("SHR"))
            op = tShr;
        if (op < 0)
            return left;
        next();
        ExprPtr right = parseFactor();
        const int h = std::max(left->height, right->height);
        left = checkHeight(std::make_unique<BinaryExpr>(op, std::move(left), std::move(right)), at, h);
    }
}

ExprPtr Parser::parseFactor()
{
    const Token at = m_tok;
    if (m_tok.kind == tMinus || m_tok.kind == tPlus || isKw("NOT")) {
        const int op = m_tok.kind == tIdent ? tNot : m_tok.kind;
        next();
        enter();
        ExprPtr operand = parseFactor();
        leave();
        // fold constants so that -1 stays a constant (case labels, array bounds)
        if (operand->IsConst()) {
            TExec x;
            try {
                return checkHeight(std::make_unique<ConstExpr>(UnaryOp(op, operand->Eval(x))), at, 0);
            } catch (const Exception& e) {
                error(at, e.Message());
            }
        }
        const int h = operand->height;
        return checkHeight(std::make_unique<UnaryExpr>(op, std::move(operand)), at, h);
    }
    switch (m_tok.kind) {
    case tInt: {
        const int64_t n = m_tok.intValue;
        next();
        return checkHeight(std::make_unique<ConstExpr>(Value(n >= INT32_MIN && n <= INT32_MAX
                                                                 ? Variant(static_cast<int>(n))
                                                                 : Variant(n))),
                           at, 0);
    }
    case tFloat: {
        const double d = m_tok.floatValue;
        next();
        return checkHeight(std::make_unique<ConstExpr>(Value(Variant(d))), at, 0);
    }
    case tString: {
        std::string s = m_tok.text;
        next();
        return parsePostfix(checkHeight(std::make_unique<ConstExpr>(Value(Variant(std::move(s)))), at, 0), at);
    }
    case tLParen: {
        next();
        ExprPtr e = parseExpr();
        expect(tRParen, "')'");
        return parsePostfix(std::move(e), at);
    }
    case tLBracket:
        return parseSet();
    case tLt:
    case tLe:
    case tNe:
        return parseReference();
    case tIdent:
        if (!isReserved(m_tok.upper))
            return parseIdentifier();
        break;
    default:
        break;
    }
    error(at, "Ожидается выражение"_w);
}

// <Name>: the text up to ">" on the same line, read as Get('Name').
ExprPtr Parser::parseReference()
{
    const Token at = m_tok;
    const std::string_view src = m_lex.Source();
    const size_t start = at.offset + 1;
    size_t end = start;
    while (end < src.size() && src[end] != '>' && src[end] != '\n' && src[end] != '\r')
        ++end;
    if (end >= src.size() || src[end] != '>' || end == start)
        error(at, "Ожидается ссылка вида <Имя>"_w);
    const std::string name(src.substr(start, end - start));
    m_lex.Seek(end + 1);
    next();
    const auto it = m_program.symbols.find("GET");
    if (it == m_program.symbols.end() || it->second.kind != TProgram::TSymKind::skHostFunction)
        error(at, "Неизвестный идентификатор 'Get'"_w);
    const TScript::HostFunction& get = m_program.hostFunctions[static_cast<size_t>(it->second.index)];
    std::vector<ExprPtr> args;
    args.push_back(std::make_unique<ConstExpr>(Value(Variant(name))));
    if (get.binder) {
        if (auto bound = get.binder({Variant(name)})) {
            auto b = std::make_unique<BoundCallExpr>();
            b->fn = std::move(bound);
            return checkHeight(std::move(b), at, 1);
        }
    }
    auto call = std::make_unique<HostCallExpr>();
    call->fn = get.fn;
    call->args = std::move(args);
    return checkHeight(std::move(call), at, 1);
}

std::unique_ptr<SetExpr> Parser::parseSet()
{
    const Token at = m_tok;
    expect(tLBracket, "'['");
    auto set = std::make_unique<SetExpr>();
    int h = 0;
    if (m_tok.kind != tRBracket) {
        for (;;) {
            ExprPtr from = parseExpr();
            h = std::max(h, from->height);
            ExprPtr to;
            if (m_tok.kind == tDotDot) {
                next();
                to = parseExpr();
                h = std::max(h, to->height);
            }
            set->elements.emplace_back(std::move(from), std::move(to));
            if (m_tok.kind != tComma)
                break;
            next();
        }
    }
    expect(tRBracket, "']'");
    set->line = at.line;
    set->col = at.col;
    set->height = h + 1;
    return set;
}

std::vector<ExprPtr> Parser::parseArgs()
{
    std::vector<ExprPtr> args;
    if (m_tok.kind != tLParen)
        return args;
    next();
    if (m_tok.kind == tRParen) {
        next();
        return args;
    }
    for (;;) {
        args.push_back(parseExpr());
        if (m_tok.kind != tComma)
            break;
        next();
    }
    expect(tRParen, "')'");
    return args;
}

ExprPtr Parser::parseIdentifier()
{
    const Token at = m_tok;
    const std::string name = m_tok.text;
    const std::string upper = m_tok.upper;
    next();
    return parsePostfix(resolve(at, name, upper), at);
}

ExprPtr Parser::parsePostfix(ExprPtr base, const Token& at)
{
    for (;;) {
        const Token here = m_tok;
        if (m_tok.kind == tDot) {
            next();
            const std::string member = expectIdent();
            if (m_tok.kind == tLParen) {
                auto call = std::make_unique<MethodCallExpr>();
                call->args = parseArgs();
                const int h = std::max(base->height, heightOf(call->args));
                call->base = std::move(base);
                call->name = member;
                base = checkHeight(std::move(call), here, h);
            } else {
                auto m = std::make_unique<MemberExpr>();
                const int h = base->height;
                m->base = std::move(base);
                m->name = member;
                base = checkHeight(std::move(m), here, h);
            }
        } else if (m_tok.kind == tLBracket) {
            next();
            auto ix = std::make_unique<IndexExpr>();
            for (;;) {
                ix->indexes.push_back(parseExpr());
                if (m_tok.kind != tComma)
                    break;
                next();
            }
            expect(tRBracket, "']'");
            const int h = std::max(base->height, heightOf(ix->indexes));
            ix->base = std::move(base);
            base = checkHeight(std::move(ix), here, h);
        } else {
            (void)at;
            return base;
        }
    }
}

ExprPtr Parser::memberOf(std::unique_ptr<VarExpr> base, const Token& at, const std::string& name)
{
    if (m_tok.kind == tLParen) {
        auto call = std::make_unique<MethodCallExpr>();
        call->args = parseArgs();
        const int h = heightOf(call->args);
        call->base = std::move(base);
        call->name = name;
        return checkHeight(std::move(call), at, h);
    }
    auto m = std::make_unique<MemberExpr>();
    m->base = std::move(base);
    m->name = name;
    return checkHeight(std::move(m), at, 1);
}

// A with-scope member: from an object known now when it has the member, or (dynamicOnly)
// from the innermost scope whose object is known only at run time.
ExprPtr Parser::resolveWith(const Token& at, const std::string& name, bool dynamicOnly)
{
    for (auto it = m_withs.rbegin(); it != m_withs.rend(); ++it) {
        if (!dynamicOnly && it->known && it->known->FindMember(name) >= 0)
            return memberOf(std::make_unique<VarExpr>(*it->var), at, name);
        if (dynamicOnly && !it->known)
            return memberOf(std::make_unique<VarExpr>(*it->var), at, name);
    }
    return nullptr;
}

ExprPtr Parser::resolve(const Token& at, const std::string& name, const std::string& upper)
{
    if (ExprPtr e = resolveWith(at, name, false))
        return e;
    if (m_routine) {
        auto it = m_locals.find(upper);
        if (it != m_locals.end())
            return checkHeight(varExpr(it->second), at, 0);
        auto c = m_localConsts.find(upper);
        if (c != m_localConsts.end())
            return checkHeight(std::make_unique<ConstExpr>(Value(c->second)), at, 0);
        // the function's own name on the left of := is its result
        if (m_routine->isFunction && m_tok.kind == tAssign && upperCase(m_routine->name) == upper)
            return checkHeight(varExpr(m_locals.at("RESULT")), at, 0);
    }
    const auto sym = m_program.symbols.find(upper);
    if (sym != m_program.symbols.end()) {
        const TProgram::Symbol& s = sym->second;
        switch (s.kind) {
        case TProgram::TSymKind::skGlobal:
            if (m_tok.kind == tLBracket && m_compat) {
                auto& implicit = m_program.implicitVars;
                const auto was = std::find(implicit.begin(), implicit.end(), name);
                if (was != implicit.end()) {
                    implicit.erase(was);
                    m_program.arrayNames.push_back(name);
                }
            }
            return checkHeight(globalVar(s.index), at, 0);
        case TProgram::TSymKind::skConst:
            return checkHeight(std::make_unique<ConstExpr>(Value(s.constValue)), at, 0);
        case TProgram::TSymKind::skHostObject:
            return checkHeight(std::make_unique<ConstExpr>(Value::Object(s.object)), at, 0);
        case TProgram::TSymKind::skRoutine:
            return callRoutine(at, *m_program.routines[static_cast<size_t>(s.index)]);
        case TProgram::TSymKind::skHostFunction:
            return callHost(at, s.index);
        case TProgram::TSymKind::skType:
            break;
        }
    }
    if (upper == "TRUE" || upper == "FALSE")
        return checkHeight(std::make_unique<ConstExpr>(Value(Variant(upper == "TRUE"))), at, 0);
    if (upper == "NULL" || upper == "NIL")
        return checkHeight(std::make_unique<ConstExpr>(Value(Variant::Null())), at, 0);
    if (upper == "UNASSIGNED")
        return checkHeight(std::make_unique<ConstExpr>(Value()), at, 0);
    if (upper == "PI")
        return checkHeight(std::make_unique<ConstExpr>(Value(Variant(3.14159265358979323846))), at, 0);
    if (upper == "IIF") {
        auto iif = std::make_unique<IifExpr>();
        std::vector<ExprPtr> args = parseArgs();
        if (args.size() != 3)
            error(at, "IIF: ожидается 3 аргумента"_w);
        const int h = heightOf(args);
        iif->cond = std::move(args[0]);
        iif->then = std::move(args[1]);
        iif->otherwise = std::move(args[2]);
        return checkHeight(std::move(iif), at, h);
    }
    if (upper == "INC" || upper == "DEC") {
        auto inc = std::make_unique<IncExpr>();
        std::vector<ExprPtr> args = parseArgs();
        if (args.empty() || args.size() > 2 || !args[0]->IsDesignator())
            error(at, Format("%s: ожидается переменная"_w, {name}));
        inc->decrement = upper == "DEC";
        const int h = heightOf(args);
        inc->target = std::move(args[0]);
        if (args.size() == 2)
            inc->amount = std::move(args[1]);
        return checkHeight(std::move(inc), at, h);
    }
    if (const TBuiltin* b = FindBuiltin(upper))
        return callBuiltin(at, name, *b);
    if (ExprPtr e = resolveWith(at, name, true))
        return e;
    // TypeName.Create: a container object of the report scripts
    if (m_tok.kind == tDot && typeByName(upper) == TType::tObject) {
        const Lexer saved = m_lex;
        const Token dot = m_tok;
        next();
        if (isKw("CREATE")) {
            next();
            parseArgs();
            return checkHeight(std::make_unique<CreateExpr>(), at, 0);
        }
        m_lex = saved;
        m_tok = dot;
    }
    if (m_compat && m_tok.kind != tLParen)
        return implicitVariable(at, name, upper);
    error(at, Format("Неизвестный идентификатор '%s'"_w, {name}));
}

ExprPtr Parser::implicitVariable(const Token& at, const std::string& name, const std::string& upper)
{
    declareGlobal(at, name, TTypeInfo{});
    if (m_tok.kind == tLBracket)
        m_program.arrayNames.push_back(name);
    else
        m_program.implicitVars.push_back(name);
    return checkHeight(globalVar(m_program.symbols.at(upper).index), at, 0);
}

ExprPtr Parser::callRoutine(const Token& at, const TRoutine& r)
{
    auto call = std::make_unique<CallExpr>();
    call->routine = &r;
    call->args = parseArgs();
    size_t required = 0;
    for (const TParam& p : r.params)
        if (!p.defaultValue)
            ++required;
    if (call->args.size() < required || call->args.size() > r.params.size())
        error(at, Format("Неверное число аргументов '%s'"_w, {r.name}));
    for (size_t i = 0; i < call->args.size(); ++i)
        if (r.params[i].byRef && !dynamic_cast<VarExpr*>(call->args[i].get()) &&
            !dynamic_cast<IndexExpr*>(call->args[i].get()))
            error(at, Format("Параметр '%s' требует переменную"_w, {r.params[i].name}));
    const int h = heightOf(call->args);
    return checkHeight(std::move(call), at, h);
}

ExprPtr Parser::callHost(const Token& at, int index)
{
    const TScript::HostFunction& f = m_program.hostFunctions[static_cast<size_t>(index)];
    std::vector<ExprPtr> args = parseArgs();
    const int n = static_cast<int>(args.size());
    if (n < f.minArgs || (f.maxArgs >= 0 && n > f.maxArgs))
        error(at, Format("Неверное число аргументов '%s'"_w, {f.name}));
    const int h = heightOf(args);
    if (f.binder && std::all_of(args.begin(), args.end(), [](const ExprPtr& a) { return a->IsConst(); })) {
        std::vector<Variant> values;
        TExec x;
        for (const ExprPtr& a : args)
            values.push_back(a->Eval(x).v);
        if (auto bound = f.binder(values)) {
            auto b = std::make_unique<BoundCallExpr>();
            b->fn = std::move(bound);
            return checkHeight(std::move(b), at, h);
        }
    }
    auto call = std::make_unique<HostCallExpr>();
    call->fn = f.fn;
    call->args = std::move(args);
    return checkHeight(std::move(call), at, h);
}

ExprPtr Parser::callBuiltin(const Token& at, const std::string& name, const TBuiltin& b)
{
    auto call = std::make_unique<BuiltinCallExpr>();
    call->builtin = &b;
    call->args = parseArgs();
    const int n = static_cast<int>(call->args.size());
    if (n < b.minArgs || n > b.maxArgs)
        error(at, Format("Неверное число аргументов '%s'"_w, {name}));
    const int h = heightOf(call->args);
    return checkHeight(std::move(call), at, h);
}

} // namespace lm::script
