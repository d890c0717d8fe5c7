// The compiler of the script language: parses a program or an expression and builds the
// resolved tree, binding every name to its slot, routine, host function or object.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "script/scriptlexer.h"
#include "script/scripttree.h"

namespace lm::script {

class Parser {
public:
    // Compiles into `program`, whose symbols already hold the host registrations.
    Parser(TProgram& program, std::string_view text, bool compatV2);
    // program := [program X;] [uses ...;] {var | const | procedure | function} begin ... end.
    void ParseProgram();
    // One expression filling the whole text, evaluated in the main frame.
    ExprPtr ParseExpression();

private:
    struct Local {
        int slot;
        TTypeInfo type;
        bool byRef;
    };
    struct WithScope {
        std::unique_ptr<VarExpr> var;   // the hidden variable holding the object
        TScriptObject* known = nullptr; // the object when known at compile time
    };

    void next() { m_tok = m_lex.Next(); }
    bool isKw(const char* upper) const { return m_tok.kind == tIdent && m_tok.upper == upper; }
    bool isReserved(const std::string& upper) const;
    void expect(TTok kind, const char* what);
    void expectKw(const char* upper);
    std::string expectIdent();
    [[noreturn]] void error(const Token& at, const std::string& message) const;
    template <typename T>
    std::unique_ptr<T> node(const Token& at)
    {
        auto n = std::make_unique<T>();
        n->line = at.line;
        n->col = at.col;
        return n;
    }
    void enter();
    void leave() { --m_depth; }
    ExprPtr checkHeight(ExprPtr e, const Token& at, int childHeight);

    // declarations
    void parseDeclarations(bool inRoutine);
    void parseVarSection(bool inRoutine);
    void parseConstSection(bool inRoutine);
    void parseRoutine(bool isFunction);
    void parseParams(TRoutine& r);
    TTypeInfo parseType();
    void declareGlobal(const Token& at, const std::string& name, const TTypeInfo& type);
    int declareLocal(const Token& at, const std::string& name, const TTypeInfo& type, bool byRef);
    std::unique_ptr<VarExpr> hiddenVar();

    // statements
    StmtPtr parseStatement();
    void parseStatementList(BlockStmt& block);
    std::unique_ptr<BlockStmt> parseBlock();
    StmtPtr parseIf();
    StmtPtr parseWhile();
    StmtPtr parseRepeat();
    StmtPtr parseFor();
    StmtPtr parseCase();
    StmtPtr parseWith();
    StmtPtr parseTry();
    StmtPtr parseRaise();
    StmtPtr parseFlow();

    // expressions
    ExprPtr parseExpr();
    ExprPtr parseSimple();
    ExprPtr parseTerm();
    ExprPtr parseFactor();
    ExprPtr parsePostfix(ExprPtr base, const Token& at);
    ExprPtr parseIdentifier();
    ExprPtr parseReference();
    std::unique_ptr<SetExpr> parseSet();
    std::vector<ExprPtr> parseArgs();
    ExprPtr resolve(const Token& at, const std::string& name, const std::string& upper);
    ExprPtr resolveWith(const Token& at, const std::string& name, bool dynamicOnly);
    ExprPtr memberOf(std::unique_ptr<VarExpr> base, const Token& at, const std::string& name);
    ExprPtr callRoutine(const Token& at, const TRoutine& r);
    ExprPtr callHost(const Token& at, int index);
    ExprPtr callBuiltin(const Token& at, const std::string& name, const TBuiltin& b);
    ExprPtr implicitVariable(const Token& at, const std::string& name, const std::string& upper);
    std::unique_ptr<VarExpr> varExpr(const Local& l);
    const Expr* directResult(const TRoutine& r, int references) const;
    std::unique_ptr<VarExpr> globalVar(int slot) const;

    TProgram& m_program;
    Lexer m_lex;
    Token m_tok;
    bool m_compat;
    int m_depth = 0;
    int m_loops = 0;
    int m_localRefs = 0;                        // variables of routines referenced so far
    TRoutine* m_routine = nullptr;              // the routine being compiled, null in the main block
    std::map<std::string, Local> m_locals;      // of m_routine, by upper-cased name
    std::map<std::string, Variant> m_localConsts;
    std::vector<WithScope> m_withs;
};

} // namespace lm::script
