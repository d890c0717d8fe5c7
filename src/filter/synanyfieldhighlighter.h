// TSynAnyFieldHighlighter: the tokenizer that colours colour-rule formulas line by line - field
// references in angle brackets, keywords, strings, comments - with a range state carried from
// one line to the next. The editor widget only paints the tokens it reports.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "host/graphics.h"

namespace lm {

enum TtkTokenKind { tkComment, tkIdentifier, tkKey, tkNull, tkFields, tkSpace, tkString, tkUnknown };
enum TRangeState { rsUnKnown, rsCStyleComment, rsString };

// How one kind of token is shown: colours (clNone: the editor's own) and font style.
struct TSynHighlighterAttributes {
    std::string Name;
    TColor Foreground = clNone;
    TColor Background = clNone;
    TFontStyles Style = 0;
};

class TSynAnyFieldHighlighter {
public:
    enum TDefaultAttribute { daComment, daIdentifier, daKeyword, daString, daWhitespace };

    TSynAnyFieldHighlighter();

    TSynHighlighterAttributes CommentAttri;     // italic, navy
    TSynHighlighterAttributes IdentifierAttri;  // plain
    TSynHighlighterAttributes KeyAttri;         // bold
    TSynHighlighterAttributes SpaceAttri;       // plain
    TSynHighlighterAttributes StringAttri;      // green
    TSynHighlighterAttributes FieldAttri;       // blue, named "Fields"
    // The attributes in the order they are registered: comment, identifier, reserved word,
    // space, string, fields.
    std::vector<TSynHighlighterAttributes*> Attributes();
    TSynHighlighterAttributes* GetDefaultAttribute(TDefaultAttribute which);

    // The recognised field reference names and keywords; setting either copies the strings and
    // rebuilds the keyword table.
    const std::vector<std::string>& FieldList() const { return m_fieldList; }
    void SetFieldList(const std::vector<std::string>& names);
    const std::vector<std::string>& KeyList() const { return m_keyList; }
    void SetKeyList(const std::vector<std::string>& names);
    // Called after the keyword table was rebuilt (the editor repaints).
    std::function<void()> OnHighlightChange;

    static std::string GetLanguageName() { return "Report pascal script"; }
    static std::string DefaultFilter() { return "All files (*.*)|*.*"; }
    static std::string SampleSource();
    // Whether `c` may continue an identifier: A-Z, a-z and "_".
    static bool IsIdentChar(unsigned char c);

    // Line protocol: SetLine resets the position and reads the first token; Next reads the
    // following one; GetEol is true at the end-of-line token.
    void SetLine(const std::string& line, int lineNumber);
    void Next();
    bool GetEol() const { return m_tokenKind == tkNull; }
    std::string GetToken() const;
    TtkTokenKind GetTokenID() const { return m_tokenKind; }
    int GetTokenKind() const { return m_tokenKind; }
    int GetTokenPos() const { return static_cast<int>(m_tokenPos); }
    // Null for the end-of-line token.
    TSynHighlighterAttributes* GetTokenAttribute();
    TRangeState GetRange() const { return m_range; }
    void SetRange(TRangeState range) { m_range = range; }
    void ResetRange() { m_range = rsUnKnown; }

private:
    struct Entry {
        std::string name;
        TtkTokenKind kind;
    };

    void rebuildTable();
    void addEntry(const std::string& name, TtkTokenKind kind);
    bool matches(const std::string& text, size_t from, size_t length, TtkTokenKind kind) const;
    unsigned char at(size_t i) const { return i < m_line.size() ? static_cast<unsigned char>(m_line[i]) : 0; }
    bool lineEnd(size_t i) const { const unsigned char c = at(i); return c == 0 || c == '\n' || c == '\r'; }

    void commentBody();
    void stringToken();
    void slashToken();
    void fieldToken();
    void identToken();

    std::vector<std::string> m_fieldList;
    std::vector<std::string> m_keyList;
    std::vector<std::vector<Entry>> m_table;  // chained by hash

    std::string m_line;
    size_t m_run = 0;
    size_t m_tokenPos = 0;
    TtkTokenKind m_tokenKind = tkNull;
    TRangeState m_range = rsUnKnown;
    int m_lineNumber = 0;
};

// The map of the keyword hashing: Latin letters 1..26 (any case), "_" 31, Cyrillic letters
// 1..32 after upper-casing (Ё excluded), every other byte 0.
const std::array<unsigned char, 256>& SynFieldCharMap();

} // namespace lm
