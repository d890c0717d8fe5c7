// The script tokenizer.
#include "script/scriptlexer.h"

#include <cmath>

#include "script/script.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm::script {

bool IsIdentStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0) || c == 0xA8 || c == 0xB8;
}

namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHex(unsigned char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int hexValue(unsigned char c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

} // namespace

Lexer::Lexer(std::string_view text, int firstLine) : m_text(text), m_firstLine(firstLine), m_scanLine(firstLine) {}

void Lexer::Position(size_t offset, int& line, int& col) const
{
    // Tokens are asked for in increasing order, so the scan resumes where the last one stopped.
    if (offset < m_scanOffset) {
        m_scanOffset = 0;
        m_scanLine = m_firstLine;
        m_scanLineStart = 0;
    }
    for (; m_scanOffset < offset && m_scanOffset < m_text.size(); ++m_scanOffset)
        if (m_text[m_scanOffset] == '\n') {
            ++m_scanLine;
            m_scanLineStart = m_scanOffset + 1;
        }
    line = m_scanLine;
    col = static_cast<int>(offset - m_scanLineStart) + 1;
}

void Lexer::fail(size_t offset, const std::string& message) const
{
    int line, col;
    Position(offset, line, col);
    throw EScriptError(Format("Строка %d, столбец %d: %s"_w, {line, col, message}), line, col);
}

void Lexer::Seek(size_t offset) { m_pos = offset; }

void Lexer::skipBlanksAndComments()
{
    const size_t n = m_text.size();
    while (m_pos < n) {
        const unsigned char c = m_text[m_pos];
        if (c <= ' ') {
            ++m_pos;
        } else if (c == '{') {
            const size_t end = m_text.find('}', m_pos + 1);
            if (end == std::string_view::npos)
                fail(m_pos, "Незакрытый комментарий"_w);
            m_pos = end + 1;
        } else if (c == '(' && m_pos + 1 < n && m_text[m_pos + 1] == '*') {
            const size_t end = m_text.find("*)", m_pos + 2);
            if (end == std::string_view::npos)
                fail(m_pos, "Незакрытый комментарий"_w);
            m_pos = end + 2;
        } else if (c == '/' && m_pos + 1 < n && m_text[m_pos + 1] == '/') {
            const size_t end = m_text.find('\n', m_pos);
            m_pos = end == std::string_view::npos ? n : end + 1;
        } else {
            return;
        }
    }
}

Token Lexer::readNumber(Token t)
{
    const size_t n = m_text.size();
    size_t p = m_pos;
    if (m_text[p] == '$') {
        ++p;
        uint64_t v = 0;
        const size_t start = p;
        while (p < n && isHex(m_text[p])) {
            if (v >> 60)
                fail(t.offset, "Слишком большое число"_w);
            v = v * 16 + hexValue(m_text[p++]);
        }
        if (p == start)
            fail(t.offset, "Ожидается шестнадцатеричное число"_w);
        t.kind = tInt;
        t.intValue = static_cast<int64_t>(v);
        m_pos = p;
        return t;
    }
    while (p < n && isDigit(m_text[p]))
        ++p;
    bool isFloat = false;
    if (p + 1 < n && m_text[p] == '.' && isDigit(m_text[p + 1])) {
        isFloat = true;
        ++p;
        while (p < n && isDigit(m_text[p]))
            ++p;
    }
    if (p < n && (m_text[p] == 'e' || m_text[p] == 'E')) {
        size_t q = p + 1;
        if (q < n && (m_text[q] == '+' || m_text[q] == '-'))
            ++q;
        if (q < n && isDigit(m_text[q])) {
            isFloat = true;
            p = q;
            while (p < n && isDigit(m_text[p]))
                ++p;
        }
    }
    const std::string digits(m_text.substr(m_pos, p - m_pos));
    m_pos = p;
    if (!isFloat && digits.size() <= 18) {
        t.kind = tInt;
        t.intValue = std::stoll(digits);
        return t;
    }
    t.kind = tFloat;
    t.floatValue = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(t.floatValue))
        fail(t.offset, "Слишком большое число"_w);
    return t;
}

// 'text' with '' for a quote, joined with #N / #$N characters, e.g. 'a'#13#10'b'.
Token Lexer::readString(Token t)
{
    const size_t n = m_text.size();
    t.kind = tString;
    while (m_pos < n && (m_text[m_pos] == '\'' || m_text[m_pos] == '#')) {
        if (m_text[m_pos] == '\'') {
            ++m_pos;
            for (;;) {
                if (m_pos >= n || m_text[m_pos] == '\n' || m_text[m_pos] == '\r')
                    fail(t.offset, "Незакрытая строка"_w);
                if (m_text[m_pos] == '\'') {
                    if (m_pos + 1 < n && m_text[m_pos + 1] == '\'') {
                        t.text += '\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                t.text += m_text[m_pos++];
            }
        } else {
            const size_t at = m_pos++;
            int64_t code = 0;
            size_t digits = 0;
            if (m_pos < n && m_text[m_pos] == '$') {
                ++m_pos;
                for (; m_pos < n && isHex(m_text[m_pos]) && code <= 0xFFFF; ++digits)
                    code = code * 16 + hexValue(m_text[m_pos++]);
            } else {
                for (; m_pos < n && isDigit(m_text[m_pos]) && code <= 0xFFFF; ++digits)
                    code = code * 10 + (m_text[m_pos++] - '0');
            }
            if (digits == 0 || code > 255)
                fail(at, "Недопустимый код символа"_w);
            t.text += static_cast<char>(code);
        }
    }
    return t;
}

Token Lexer::Next()
{
    skipBlanksAndComments();
    Token t;
    t.offset = m_pos;
    Position(m_pos, t.line, t.col);
    if (m_pos >= m_text.size()) {
        t.kind = tEOF;
        return t;
    }
    const unsigned char c = m_text[m_pos];
    if (IsIdentStart(c)) {
        size_t p = m_pos;
        while (p < m_text.size() && (IsIdentStart(m_text[p]) || isDigit(m_text[p])))
            ++p;
        t.kind = tIdent;
        t.text = std::string(m_text.substr(m_pos, p - m_pos));
        t.upper = upperCase(t.text);
        m_pos = p;
        return t;
    }
    if (isDigit(c) || c == '$')
        return readNumber(t);
    if (c == '\'' || c == '#')
        return readString(t);
    const char next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : '\0';
    auto two = [&](TTok k) { t.kind = k; m_pos += 2; return t; };
    auto one = [&](TTok k) { t.kind = k; m_pos += 1; return t; };
    switch (c) {
    case '+': return one(tPlus);
    case '-': return one(tMinus);
    case '*': return one(tStar);
    case '/': return one(tSlash);
    case '=': return one(tEq);
    case '<': return next == '>' ? two(tNe) : next == '=' ? two(tLe) : one(tLt);
    case '>': return next == '=' ? two(tGe) : one(tGt);
    case ':': return next == '=' ? two(tAssign) : one(tColon);
    case '(': return one(tLParen);
    case ')': return one(tRParen);
    case '[': return one(tLBracket);
    case ']': return one(tRBracket);
    case ',': return one(tComma);
    case ';': return one(tSemi);
    case '.': return next == '.' ? two(tDotDot) : one(tDot);
    default: break;
    }
    fail(m_pos, Format("Недопустимый символ '%s'"_w, {std::string(1, static_cast<char>(c))}));
}

} // namespace lm::script
