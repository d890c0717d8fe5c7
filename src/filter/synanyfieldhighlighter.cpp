// The formula tokenizer: character map, keyword hash table and the token scanners.
#include "filter/synanyfieldhighlighter.h"

#include "util/cp1251.h"

namespace lm {

const std::array<unsigned char, 256>& SynFieldCharMap()
{
    static const std::array<unsigned char, 256> map = [] {
        std::array<unsigned char, 256> m{};
        for (int c = 'A'; c <= 'Z'; ++c) {
            m[c] = static_cast<unsigned char>(c - 'A' + 1);
            m[c + 32] = m[c];
        }
        m['_'] = 31;
        for (int c = 0xC0; c <= 0xFF; ++c)  // А..Я and а..я
            m[c] = static_cast<unsigned char>((upCase(static_cast<unsigned char>(c)) - 0xC0) + 1);
        return m;
    }();
    return map;
}

namespace {

int hashOf(const std::string& text, size_t from, size_t length)
{
    const auto& map = SynFieldCharMap();
    int h = 0;
    for (size_t i = from; i < from + length; ++i)
        h += map[static_cast<unsigned char>(text[i])];
    return h;
}

bool isLatin(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

} // namespace

TSynAnyFieldHighlighter::TSynAnyFieldHighlighter()
{
    CommentAttri = {"Comment", 0x800000, clNone, fsItalic};
    IdentifierAttri = {"Identifier", clNone, clNone, 0};
    KeyAttri = {"Reserved Word", clNone, clNone, fsBold};
    SpaceAttri = {"Space", clNone, clNone, 0};
    StringAttri = {"String", 0x008000, clNone, 0};
    FieldAttri = {"Fields", 0xFF0000, clNone, 0};
    rebuildTable();
}

std::vector<TSynHighlighterAttributes*> TSynAnyFieldHighlighter::Attributes()
{
    return {&CommentAttri, &IdentifierAttri, &KeyAttri, &SpaceAttri, &StringAttri, &FieldAttri};
}

TSynHighlighterAttributes* TSynAnyFieldHighlighter::GetDefaultAttribute(TDefaultAttribute which)
{
    switch (which) {
    case daComment: return &CommentAttri;
    case daIdentifier: return &IdentifierAttri;
    case daKeyword: return &KeyAttri;
    case daString: return &StringAttri;
    case daWhitespace: return &SpaceAttri;
    }
    return nullptr;
}

std::string TSynAnyFieldHighlighter::SampleSource()
{
    return "(<Фирма производитель> = 'Россия') or <Св-во.ЖВ>"_w;
}

bool TSynAnyFieldHighlighter::IsIdentChar(unsigned char c)
{
    return isLatin(c) || c == '_';
}

void TSynAnyFieldHighlighter::SetFieldList(const std::vector<std::string>& names)
{
    m_fieldList = names;
    rebuildTable();
}

void TSynAnyFieldHighlighter::SetKeyList(const std::vector<std::string>& names)
{
    m_keyList = names;
    rebuildTable();
}

void TSynAnyFieldHighlighter::rebuildTable()
{
    m_table.clear();
    for (const std::string& name : m_fieldList)
        addEntry(name, tkFields);
    for (const std::string& name : m_keyList)
        addEntry(name, tkKey);
    if (OnHighlightChange)
        OnHighlightChange();
}

void TSynAnyFieldHighlighter::addEntry(const std::string& name, TtkTokenKind kind)
{
    const size_t h = static_cast<size_t>(hashOf(name, 0, name.size()));
    if (h >= m_table.size())
        m_table.resize(h + 1);
    const std::string up = upperCase(name);
    for (const Entry& e : m_table[h])
        if (e.kind == kind && upperCase(e.name) == up)
            return;
    m_table[h].push_back({name, kind});
}

// Whether text[from, from + length) names an entry of `kind`: same length, and the same map
// value at every position.
bool TSynAnyFieldHighlighter::matches(const std::string& text, size_t from, size_t length, TtkTokenKind kind) const
{
    const size_t h = static_cast<size_t>(hashOf(text, from, length));
    if (h >= m_table.size())
        return false;
    const auto& map = SynFieldCharMap();
    for (const Entry& e : m_table[h]) {
        if (e.kind != kind || e.name.size() != length)
            continue;
        bool same = true;
        for (size_t i = 0; i < length && same; ++i)
            same = map[static_cast<unsigned char>(e.name[i])] == map[static_cast<unsigned char>(text[from + i])];
        if (same)
            return true;
    }
    return false;
}

void TSynAnyFieldHighlighter::SetLine(const std::string& line, int lineNumber)
{
    m_line = line;
    m_lineNumber = lineNumber;
    m_run = 0;
    Next();
}

std::string TSynAnyFieldHighlighter::GetToken() const
{
    return m_line.substr(m_tokenPos, m_run - m_tokenPos);
}

TSynHighlighterAttributes* TSynAnyFieldHighlighter::GetTokenAttribute()
{
    switch (m_tokenKind) {
    case tkComment: return &CommentAttri;
    case tkIdentifier:
    case tkUnknown: return &IdentifierAttri;
    case tkKey: return &KeyAttri;
    case tkFields: return &FieldAttri;
    case tkSpace: return &SpaceAttri;
    case tkString: return &StringAttri;
    case tkNull: return nullptr;
    }
    return nullptr;
}

void TSynAnyFieldHighlighter::Next()
{
    m_tokenPos = m_run;
    const unsigned char c = at(m_run);
    // the end of a line is reported as usual also inside a comment
    if (m_range == rsCStyleComment && c != 0 && c != '\n' && c != '\r') {
        commentBody();
        return;
    }
    if (m_range != rsCStyleComment)
        m_range = rsUnKnown;
    if (c == 0) {
        m_tokenKind = tkNull;
    } else if (c == '\n') {
        m_tokenKind = tkSpace;
        ++m_run;
    } else if (c == '\r') {
        m_tokenKind = tkSpace;
        m_run += at(m_run + 1) == '\n' ? 2 : 1;
    } else if (c <= 32) {
        m_tokenKind = tkSpace;
        while (at(m_run) >= 1 && at(m_run) <= 32)
            ++m_run;
    } else if (c == '\'') {
        stringToken();
    } else if (c == '{') {
        m_range = rsCStyleComment;
        ++m_run;
        commentBody();
    } else if (c == '/') {
        slashToken();
    } else if (c == '<') {
        fieldToken();
    } else if (IsIdentChar(c)) {
        identToken();
    } else {
        m_tokenKind = tkUnknown;  // a single-byte code page has no lead bytes
        ++m_run;
    }
}

// The rest of a brace comment on this line, up to and including "}".
void TSynAnyFieldHighlighter::commentBody()
{
    m_tokenKind = tkComment;
    while (!lineEnd(m_run)) {
        if (at(m_run++) == '}') {
            m_range = rsUnKnown;
            return;
        }
    }
}

void TSynAnyFieldHighlighter::stringToken()
{
    m_tokenKind = tkString;
    m_range = rsString;
    ++m_run;
    while (!lineEnd(m_run)) {
        if (at(m_run++) == '\'') {
            m_range = rsUnKnown;
            return;
        }
    }
}

void TSynAnyFieldHighlighter::slashToken()
{
    ++m_run;
    if (at(m_run) != '/') {
        m_tokenKind = tkUnknown;
        return;
    }
    m_tokenKind = tkComment;
    while (!lineEnd(m_run))
        ++m_run;
}

void TSynAnyFieldHighlighter::fieldToken()
{
    const unsigned char first = at(m_run + 1);
    const bool goodStart = isLatin(first) || first == '_' || isCyrillic(first);
    if (goodStart) {
        size_t end = m_run + 1;
        while (at(end) != '>' && at(end) >= 32)
            ++end;
        const size_t length = end - (m_run + 1);
        if (at(end) == '>' && matches(m_line, m_run + 1, length, tkFields)) {
            m_tokenKind = tkFields;
            m_run = end + 1;
            return;
        }
    }
    m_tokenKind = tkUnknown;
    ++m_run;
}

void TSynAnyFieldHighlighter::identToken()
{
    size_t end = m_run;
    while (isDigit(at(end)) || IsIdentChar(at(end)))
        ++end;
    m_tokenKind = matches(m_line, m_run, end - m_run, tkKey) ? tkKey : tkIdentifier;
    m_run = end;
    while (IsIdentChar(at(m_run)))
        ++m_run;
}

} // namespace lm
