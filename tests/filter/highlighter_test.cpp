// The formula tokenizer: field references, keywords, strings, comments across lines, and the
// attributes each token kind is shown with.
#include <gtest/gtest.h>

#include "filter/synanyfieldhighlighter.h"
#include "util/cp1251.h"

namespace {

using namespace lm;

// The line's tokens as "kind:text", the end-of-line token excluded.
std::vector<std::string> tokens(TSynAnyFieldHighlighter& h, const std::string& line)
{
    static const char* const names[] = {"comment", "ident", "key", "null", "field", "space", "string", "unknown"};
    std::vector<std::string> out;
    for (h.SetLine(line, 0); !h.GetEol(); h.Next())
        out.push_back(std::string(names[h.GetTokenID()]) + ":" + h.GetToken());
    return out;
}

using V = std::vector<std::string>;

class HighlighterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.SetFieldList({"Цена"_w, "Фирма производитель"_w, "Св-во.ЖВ"_w});
        h.SetKeyList({"and", "not", "or", "null"});
    }
    TSynAnyFieldHighlighter h;
};

TEST_F(HighlighterTest, FieldReferencesMatchByLengthAndLetters)
{
    EXPECT_EQ(tokens(h, "<Цена> = 1"_w), (V{"field:<Цена>"_w, "space: ", "unknown:=", "space: ", "unknown:1"}));
    EXPECT_EQ(tokens(h, "<цена>"_w), (V{"field:<цена>"_w}));
    EXPECT_EQ(tokens(h, "<Цена1>"_w), (V{"unknown:<", "unknown:Ц"_w, "unknown:е"_w, "unknown:н"_w, "unknown:а"_w,
                                        "unknown:1", "unknown:>"}));
    EXPECT_EQ(tokens(h, "<1Цена>"_w).front(), "unknown:<");
    EXPECT_EQ(tokens(h, "<Св-во.ЖВ> or <Фирма производитель>"_w),
              (V{"field:<Св-во.ЖВ>"_w, "space: ", "key:or", "space: ", "field:<Фирма производитель>"_w}));
    // no closing bracket on the line: "<" alone, the rest tokenized normally
    EXPECT_EQ(tokens(h, "<Цена and x"_w), (V{"unknown:<", "unknown:Ц"_w, "unknown:е"_w, "unknown:н"_w, "unknown:а"_w,
                                            "space: ", "key:and", "space: ", "ident:x"}));
}

TEST_F(HighlighterTest, KeywordsIgnoreCaseButNotLength)
{
    EXPECT_EQ(tokens(h, "AND Or order nullx _a1"), (V{"key:AND", "space: ", "key:Or", "space: ", "ident:order", "space: ",
                                                     "ident:nullx", "space: ", "ident:_a1"}));
    // characters of equal map value count as equal: digits all map to 0
    h.SetKeyList({"x1"});
    EXPECT_EQ(tokens(h, "x7"), (V{"key:x7"}));
}

TEST_F(HighlighterTest, CommentsCarryOverLinesAndStringsDoNot)
{
    EXPECT_EQ(tokens(h, "a { open"), (V{"ident:a", "space: ", "comment:{ open"}));
    EXPECT_EQ(h.GetRange(), rsCStyleComment);
    EXPECT_EQ(tokens(h, "still <Цена>"_w), (V{"comment:still <Цена>"_w}));
    EXPECT_EQ(h.GetRange(), rsCStyleComment);
    EXPECT_EQ(tokens(h, "end } or"), (V{"comment:end }", "space: ", "key:or"}));
    EXPECT_EQ(h.GetRange(), rsUnKnown);

    EXPECT_EQ(tokens(h, "'Россия' 'open"_w), (V{"string:'Россия'"_w, "space: ", "string:'open"}));
    EXPECT_EQ(h.GetRange(), rsUnKnown);  // the end-of-line token ends the string's range
    EXPECT_EQ(tokens(h, "or"), (V{"key:or"}));
    EXPECT_EQ(tokens(h, "a // rest 'x'"), (V{"ident:a", "space: ", "comment:// rest 'x'"}));
    EXPECT_EQ(tokens(h, "a / b"), (V{"ident:a", "space: ", "unknown:/", "space: ", "ident:b"}));
}

TEST_F(HighlighterTest, LineEndsAndEmptyLines)
{
    h.SetLine("", 0);
    EXPECT_TRUE(h.GetEol());
    EXPECT_EQ(h.GetTokenAttribute(), nullptr);
    EXPECT_EQ(tokens(h, "a\r\nb\rc\n"), (V{"ident:a", "space:\r\n", "ident:b", "space:\r", "ident:c", "space:\n"}));
    EXPECT_EQ(tokens(h, "\t \x01x"), (V{"space:\t \x01", "ident:x"}));
    h.SetLine("ab cd", 0);
    h.Next();
    h.Next();
    EXPECT_EQ(h.GetTokenPos(), 3);
}

TEST_F(HighlighterTest, AttributesAndTheirOrder)
{
    std::vector<std::string> names;
    for (auto* a : h.Attributes())
        names.push_back(a->Name);
    EXPECT_EQ(names, (V{"Comment", "Identifier", "Reserved Word", "Space", "String", "Fields"}));
    EXPECT_EQ(h.CommentAttri.Foreground, 0x800000);
    EXPECT_EQ(h.CommentAttri.Style, fsItalic);
    EXPECT_EQ(h.KeyAttri.Style, fsBold);
    EXPECT_EQ(h.StringAttri.Foreground, 0x008000);
    EXPECT_EQ(h.FieldAttri.Foreground, 0xFF0000);
    h.SetLine("<Цена> x ? 'y' or {c}"_w, 0);
    std::vector<TSynHighlighterAttributes*> attrs;
    for (; !h.GetEol(); h.Next())
        attrs.push_back(h.GetTokenAttribute());
    EXPECT_EQ(attrs, (std::vector<TSynHighlighterAttributes*>{&h.FieldAttri, &h.SpaceAttri, &h.IdentifierAttri, &h.SpaceAttri,
                                                              &h.IdentifierAttri, &h.SpaceAttri, &h.StringAttri, &h.SpaceAttri,
                                                              &h.KeyAttri, &h.SpaceAttri, &h.CommentAttri}));
    int changes = 0;
    h.OnHighlightChange = [&] { ++changes; };
    h.SetFieldList({"A", "a"});  // the same name twice is one entry
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(TSynAnyFieldHighlighter::GetLanguageName(), "Report pascal script");
}

TEST(HighlighterMap, LettersMapToTheirPlaces)
{
    const auto& m = SynFieldCharMap();
    EXPECT_EQ(m['A'], 1);
    EXPECT_EQ(m['z'], 26);
    EXPECT_EQ(m['_'], 31);
    EXPECT_EQ(m[static_cast<unsigned char>("А"_w[0])], 1);
    EXPECT_EQ(m[static_cast<unsigned char>("я"_w[0])], 32);
    EXPECT_EQ(m[static_cast<unsigned char>("Ё"_w[0])], 0);
    EXPECT_EQ(m['5'], 0);
}

} // namespace
