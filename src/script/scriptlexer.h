// The tokenizer of the script language: identifiers, numbers, strings with #N characters,
// symbols and comments, with the line and column of every token.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lm::script {

enum TTok {
    tEOF, tIdent, tInt, tFloat, tString,
    tPlus, tMinus, tStar, tSlash, tEq, tNe, tLt, tGt, tLe, tGe,
    tAssign, tLParen, tRParen, tLBracket, tRBracket, tComma, tSemi, tColon, tDot, tDotDot,
    // word operators, recognised by the parser from identifiers
    tDiv, tMod, tAnd, tOr, tXor, tNot, tShl, tShr, tIn,
};

struct Token {
    TTok kind = tEOF;
    std::string text;    // identifier as written, or the string's value
    std::string upper;   // identifier upper-cased (Windows-1251)
    int64_t intValue = 0;
    double floatValue = 0;
    size_t offset = 0;   // of the token's first byte
    int line = 1, col = 1;
};

class Lexer {
public:
    explicit Lexer(std::string_view text, int firstLine = 1);
    // Reads the next token; raises EScriptError for a malformed one.
    Token Next();
    // Continues reading at `offset` (after a raw <reference>).
    void Seek(size_t offset);
    std::string_view Source() const { return m_text; }
    // Line and column of a byte offset.
    void Position(size_t offset, int& line, int& col) const;

private:
    void skipBlanksAndComments();
    [[noreturn]] void fail(size_t offset, const std::string& message) const;
    Token readNumber(Token t);
    Token readString(Token t);

    std::string_view m_text;
    size_t m_pos = 0;
    int m_firstLine;
    mutable size_t m_scanOffset = 0;
    mutable int m_scanLine;
    mutable size_t m_scanLineStart = 0;
};

// True for the bytes that may start or continue an identifier (Latin and Cyrillic letters, "_").
bool IsIdentStart(unsigned char c);

} // namespace lm::script
