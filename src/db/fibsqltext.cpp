// Tokenising SQL text for named parameters and FROM-clause aliases.
#include "db/fibsqltext.h"

#include <set>

#include "util/cp1251.h"

namespace lm::fib {

namespace {

enum class Tok { Ident, Quoted, String, Number, Param, Punct, End };

struct Token {
    Tok kind;
    std::string text;  // identifiers upper-cased, quoted identifiers without their quotes
    std::size_t begin, end;
};

bool identStart(unsigned char c) { return c == '_' || c == '$' || isLetter(c); }
bool identChar(unsigned char c) { return identStart(c) || (c >= '0' && c <= '9'); }

// Splits SQL into tokens; comments are dropped, unterminated quotes run to the end.
std::vector<Token> tokenize(const std::string& s)
{
    std::vector<Token> out;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c <= ' ') { ++i; continue; }
        if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const auto e = s.find("*/", i + 2);
            i = e == std::string::npos ? n : e + 2;
            continue;
        }
        const std::size_t b = i;
        if (c == '\'' || c == '"') {
            std::string text;
            ++i;
            while (i < n) {
                if (s[i] == static_cast<char>(c)) {
                    if (i + 1 < n && s[i + 1] == static_cast<char>(c)) { text += s[i]; i += 2; continue; }
                    ++i;
                    break;
                }
                text += s[i++];
            }
            out.push_back({c == '\'' ? Tok::String : Tok::Quoted, text, b, i});
            continue;
        }
        if (c == ':' && i + 1 < n && identStart(static_cast<unsigned char>(s[i + 1]))) {
            ++i;
            while (i < n && identChar(static_cast<unsigned char>(s[i]))) ++i;
            out.push_back({Tok::Param, upperCase(s.substr(b + 1, i - b - 1)), b, i});
            continue;
        }
        if (identStart(c)) {
            while (i < n && identChar(static_cast<unsigned char>(s[i]))) ++i;
            out.push_back({Tok::Ident, upperCase(s.substr(b, i - b)), b, i});
            continue;
        }
        if (c >= '0' && c <= '9') {
            while (i < n && (identChar(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            out.push_back({Tok::Number, s.substr(b, i - b), b, i});
            continue;
        }
        ++i;
        out.push_back({Tok::Punct, std::string(1, static_cast<char>(c)), b, i});
    }
    out.push_back({Tok::End, {}, n, n});
    return out;
}

const std::set<std::string>& clauseWords()
{
    static const std::set<std::string> words = {
        "WHERE", "JOIN", "ON", "LEFT", "RIGHT", "INNER", "OUTER", "FULL", "CROSS", "NATURAL",
        "GROUP", "ORDER", "HAVING", "UNION", "PLAN", "ROWS", "FOR", "USING", "WITH", "FETCH",
        "OFFSET", "INTO", "RETURNING", "WINDOW"};
    return words;
}

} // namespace

std::string quoteIdent(const std::string& name)
{
    bool plain = !name.empty() && name[0] >= 'A' && name[0] <= 'Z';
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'))
            plain = false;
    if (plain)
        return name;
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

std::string replaceNamedParams(const std::string& sql, std::vector<std::string>& names)
{
    names.clear();
    std::string out;
    std::size_t copied = 0;
    for (const Token& t : tokenize(sql)) {
        if (t.kind == Tok::Param) {
            out.append(sql, copied, t.begin - copied);
            out += '?';
            copied = t.end;
            names.push_back(t.text);
        } else if (t.kind == Tok::Punct && t.text == "?") {
            names.emplace_back();
        }
    }
    out.append(sql, copied, std::string::npos);
    return out;
}

std::vector<FromTable> fromTables(const std::string& sql)
{
    const std::vector<Token> toks = tokenize(sql);
    std::vector<FromTable> out;
    // find FROM at depth 0 of the first SELECT
    int depth = 0;
    std::size_t i = 0;
    for (; i < toks.size(); ++i) {
        const Token& t = toks[i];
        if (t.kind == Tok::Punct && t.text == "(") ++depth;
        else if (t.kind == Tok::Punct && t.text == ")") --depth;
        else if (depth == 0 && t.kind == Tok::Ident && t.text == "FROM") break;
    }
    if (i >= toks.size())
        return out;
    auto skipParens = [&](std::size_t k) {
        int d = 0;
        for (; k < toks.size(); ++k) {
            if (toks[k].kind == Tok::Punct && toks[k].text == "(") ++d;
            else if (toks[k].kind == Tok::Punct && toks[k].text == ")" && --d == 0) return k + 1;
            else if (toks[k].kind == Tok::End) return k;
        }
        return k;
    };
    bool expectTable = true;
    ++i;
    while (i < toks.size() && toks[i].kind != Tok::End) {
        const Token& t = toks[i];
        if (t.kind == Tok::Punct && t.text == "(") {
            // a derived table or a join condition in parentheses: not a named relation
            i = skipParens(i);
            expectTable = false;
            continue;
        }
        if (t.kind == Tok::Punct && t.text == ")")
            break;  // end of an enclosing subquery
        if (t.kind == Tok::Punct && t.text == ",") { expectTable = true; ++i; continue; }
        if (t.kind == Tok::Ident && t.text == "JOIN") { expectTable = true; ++i; continue; }
        if (t.kind == Tok::Ident && (t.text == "WHERE" || t.text == "GROUP" || t.text == "ORDER"
                                      || t.text == "HAVING" || t.text == "UNION" || t.text == "PLAN"
                                      || t.text == "ROWS" || t.text == "FOR"))
            break;
        if (expectTable && (t.kind == Tok::Ident || t.kind == Tok::Quoted) && !clauseWords().count(t.text)) {
            FromTable ft{t.text, t.text};
            ++i;
            if (toks[i].kind == Tok::Punct && toks[i].text == "(")  // selectable procedure
                i = skipParens(i);
            if (toks[i].kind == Tok::Ident && toks[i].text == "AS")
                ++i;
            if ((toks[i].kind == Tok::Ident && !clauseWords().count(toks[i].text)) || toks[i].kind == Tok::Quoted) {
                ft.alias = toks[i].text;
                ++i;
            }
            out.push_back(ft);
            expectTable = false;
            continue;
        }
        ++i;
    }
    return out;
}

namespace {

bool isPunct(const Token& t, const char* text) { return t.kind == Tok::Punct && t.text == text; }
bool isWord(const Token& t, const char* text) { return t.kind == Tok::Ident && t.text == text; }
bool isName(const Token& t) { return t.kind == Tok::Ident || t.kind == Tok::Quoted; }

// Classifies the tokens [b, e) of one select item.
SelectItem classifyItem(const std::vector<Token>& toks, std::size_t b, std::size_t e)
{
    SelectItem item;
    if (b < e && isPunct(toks[b], "*") && e - b == 1) {
        item.kind = SelectItem::Star;
        return item;
    }
    std::size_t i = b;
    if (i + 1 < e && isName(toks[i]) && isPunct(toks[i + 1], ".")) {
        item.qualifier = toks[i].text;
        i += 2;
        if (i < e && isPunct(toks[i], "*") && i + 1 == e) {
            item.kind = SelectItem::Star;
            return item;
        }
    }
    if (i >= e || !isName(toks[i]))
        return {};
    ++i;
    if (i < e && isWord(toks[i], "AS"))
        ++i;
    if (i < e && isName(toks[i]))
        ++i;
    if (i != e)
        return {};
    item.kind = SelectItem::Column;
    return item;
}

// Index just past a parenthesised group starting at `k`.
std::size_t skipGroup(const std::vector<Token>& toks, std::size_t k)
{
    int d = 0;
    for (; k < toks.size() && toks[k].kind != Tok::End; ++k) {
        if (isPunct(toks[k], "("))
            ++d;
        else if (isPunct(toks[k], ")") && --d == 0)
            return k + 1;
    }
    return k;
}

} // namespace

SelectList selectList(const std::string& sql)
{
    const std::vector<Token> toks = tokenize(sql);
    SelectList out;
    // the main SELECT: the first one at depth 0, after any WITH clause
    std::size_t sel = toks.size();
    int depth = 0;
    for (std::size_t i = 0; i < toks.size(); ++i) {
        if (isPunct(toks[i], "("))
            ++depth;
        else if (isPunct(toks[i], ")"))
            --depth;
        else if (depth == 0 && isWord(toks[i], "UNION"))
            out.isUnion = true;
        else if (depth == 0 && isWord(toks[i], "SELECT") && sel == toks.size())
            sel = i;
    }
    if (sel == toks.size())
        return out;
    std::size_t i = sel + 1;
    // FIRST n / SKIP n take a number, a parameter or a parenthesised expression
    while (isWord(toks[i], "FIRST") || isWord(toks[i], "SKIP")) {
        ++i;
        i = isPunct(toks[i], "(") ? skipGroup(toks, i) : i + 1;
    }
    if (isWord(toks[i], "DISTINCT") || isWord(toks[i], "ALL"))
        ++i;
    std::size_t begin = i;
    for (; i < toks.size(); ++i) {
        const Token& t = toks[i];
        if (isPunct(t, "(")) {
            i = skipGroup(toks, i) - 1;
            continue;
        }
        const bool end = t.kind == Tok::End || isWord(t, "FROM");
        if (end || isPunct(t, ",")) {
            out.items.push_back(classifyItem(toks, begin, i));
            begin = i + 1;
            if (end)
                break;
        }
    }
    return out;
}

} // namespace lm::fib
