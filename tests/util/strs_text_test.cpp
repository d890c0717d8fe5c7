// Words, tokens, encoders, the "Q_" primitives, code pages, wrapping and lenient numbers.
#include <gtest/gtest.h>

#include <limits>

#include "util/codepages.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/fastlist.h"
#include "util/lmstrutils.h"
#include "util/qstr.h"
#include "util/strs_encode.h"
#include "util/strs_numbers.h"
#include "util/strs_words.h"

using namespace lm;

namespace {
std::string w(const char* s) { return std::string(s); }
} // namespace

TEST(StrsWords, WordPosFindsWholeWordsIgnoringCase)
{
    EXPECT_EQ(WordPos("кот"_w, "скот, кот"_w), 7);
    EXPECT_EQ(WordPos("кот"_w, "скоты"_w), 0);
    EXPECT_EQ(WordPos("КОТ"_w, "кот"_w), 1);
    EXPECT_EQ(WordPos("ab", "x'ab'"), 3);
    EXPECT_EQ(WordPos("ab", "abc ab"), 5);
    EXPECT_EQ(WordPos("", "abc"), 0);
}

TEST(StrsWords, TokensSkipDelimiterRuns)
{
    std::string s = ",, a,b;;c";
    EXPECT_EQ(Q_StrTok(s, ", ;"), "a");
    EXPECT_EQ(s, ",b;;c");
    TFastList list;
    StrToTokens(" one  two,three ,", " ,", list);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(0), "one");
    EXPECT_EQ(list.Strings(2), "three");
    std::string only = ",,,";
    EXPECT_EQ(Q_StrTok(only, ","), "");
    EXPECT_EQ(only, "");
}

TEST(StrsWords, LookupsAndSmallEdits)
{
    EXPECT_EQ(Decode("b", {"a", "1", "b", "2", "other"}), "2");
    EXPECT_EQ(Decode("z", {"a", "1", "b", "2", "other"}), "other");
    EXPECT_EQ(Decode("z", std::vector<std::string>{}), "");
    EXPECT_TRUE(StrIn("b", {"a", "b"}));
    EXPECT_FALSE(StrIn("B", {"a", "b"}));
    EXPECT_EQ(CopyToPos("key=value", "="), "key");
    EXPECT_EQ(CopyToPos("key", "="), "");
    std::string s;
    AddStr(s, "a", ", ");
    AddStr(s, "b", ", ");
    EXPECT_EQ(s, "a, b");
    std::string t = "abcdef";
    InsertStr("XY", t, 2);
    EXPECT_EQ(t, "abXYef");
    InsertStr("XY", t, 5);
    EXPECT_EQ(t, "abXYeXY");
    InsertStr("Z", t, 100);
    EXPECT_EQ(t, "abXYeXYZ");
    std::string q = "'it''s' rest";
    EXPECT_EQ(ExtractQuotedStr(q), "it's");
    EXPECT_EQ(q, " rest");
    std::string open = "'abc";
    EXPECT_EQ(ExtractQuotedStr(open), "abc");
    EXPECT_EQ(open, "");
    std::string bare = "abc";
    EXPECT_EQ(ExtractQuotedStr(bare), "");
    EXPECT_EQ(bare, "abc");
    std::string blanks = "\t \r\nab c\x01 ";
    FastTrim(blanks);
    EXPECT_EQ(blanks, "ab c");
    std::string empty = " \t ";
    FastTrim(empty);
    EXPECT_EQ(empty, "");
}

TEST(StrsEncode, TagsAreRemoved)
{
    EXPECT_EQ(RemoveTags("a<b>c"), "ac");
    EXPECT_EQ(RemoveTags("a<b"), "a");
    EXPECT_EQ(RemoveTags("<i>x</i> > y"), "x > y");
    EXPECT_EQ(RemoveTagsInsideTag("<p>x</p><td class=a>1<b>2</b></td><i>y</i>", "td"),
              "<p>x</p><td class=a>12</td><i>y</i>");
    EXPECT_EQ(RemoveTagsInsideTag("a<td>1<b>2", "td"), "a<td>12");
    EXPECT_EQ(RemoveTagsInsideTag("a<td", "td"), "a<td");
    EXPECT_EQ(RemoveTagsInsideTag("<b>a</b>", "td"), "<b>a</b>");
}

TEST(StrsEncode, DecodersAndDumps)
{
    EXPECT_EQ(HTTPDecode("a+b%20c%25"), "a b c%");
    EXPECT_EQ(HTTPDecode("100%% %C0"), "100% \xC0");
    EXPECT_EQ(HTTPDecode("%zz%4"), "%zz%4");
    EXPECT_EQ(DecodeString("^72^ 105 ^33"), "Hi!");
    EXPECT_EQ(DecodeString("plain ^72"), "plain ^72");
    EXPECT_THROW(DecodeString("^7x"), EConvertError);
    EXPECT_EQ(HextoStr("\x01\xAB z"), "01AB207A");
    EXPECT_EQ(ShiftStr("\xFF" "a", 2), "\x01" "c");
    EXPECT_EQ(ShiftStr("c", -3), "`");
}

TEST(StrsEncode, CodeWordChangeCountsInBase36)
{
    EXPECT_EQ(CodeWordChange("0Z", 1), "10");
    EXPECT_EQ(CodeWordChange("10", -1), "0Z");
    EXPECT_EQ(CodeWordChange("00", -1), "00");
    EXPECT_EQ(CodeWordChange("", 0), "00");
    EXPECT_EQ(CodeWordChange("A", 36), "1A");
    EXPECT_EQ(CodeWordChange("zz", -37), "YY");
    EXPECT_EQ(CodeWordChange("ZY", 1), "ZZ");
    EXPECT_EQ(CodeWordChange("ZZ", 1), "ZZ");
    EXPECT_EQ(CodeWordChange("01", std::numeric_limits<int>::min()), "00");
    EXPECT_EQ(CodeWordChange("01", std::numeric_limits<int>::max()), "ZZ");
    EXPECT_THROW(CodeWordChange("0-", 1), EConvertError);
    EXPECT_THROW(CodeWordChange("100", 1), EConvertError);
}

TEST(QStr, SearchReplaceAndCompare)
{
    EXPECT_EQ(Q_ReplaceStr("aaa", "aa", "b"), "ba");
    EXPECT_EQ(Q_ReplaceStr("abc", "", "x"), "abc");
    EXPECT_EQ(Q_ReplaceStr("a.b.c", ".", ".."), "a..b..c");
    EXPECT_EQ(Q_PosStr("b", "abcb", 3), 4);
    EXPECT_EQ(Q_PosStr("b", "abcb", 5), 0);
    EXPECT_EQ(Q_PosStr("", "abc"), 0);
    EXPECT_TRUE(Q_SameText("Ёлка"_w, "ёЛКА"_w));
    EXPECT_FALSE(Q_SameStr("Ёлка"_w, "ёлка"_w));
    EXPECT_TRUE(Q_SameStrL("abcX", "abcY", 3));
    EXPECT_FALSE(Q_SameStrL("ab", "abc", 3));
    EXPECT_TRUE(Q_SameTextL("ABc", "abD", 2));
    EXPECT_LT(Q_CompStr("a", "\xE0"), 0);  // bytes compare unsigned
    EXPECT_LT(Q_CompStr("ab", "abc"), 0);
    EXPECT_EQ(Q_CompText("яБЛОКО"_w, "Яблоко"_w), 0);
    EXPECT_GT(Q_CompText("b", "A"), 0);
    EXPECT_EQ(Q_UpperCase("aяё"_w), w("AЯЁ"_w));
    EXPECT_EQ(Q_LowerCase("AЯЁ"_w), w("aяё"_w));
    EXPECT_EQ(Q_ProperCase("иВАН  пЕТРОВ-водкин"_w, " -"), w("Иван  Петров-Водкин"_w));
}

TEST(QStr, CutsMasksAndBuffers)
{
    std::string s = "abcdef";
    Q_CutLeft(s, 2);
    EXPECT_EQ(s, "cdef");
    Q_CutLeft(s, -1);
    EXPECT_EQ(s, "cde");
    Q_CutLeft(s, 10);
    EXPECT_EQ(s, "");
    std::string d = "abcdef";
    Q_Delete(d, 5, 10);
    EXPECT_EQ(d, "abcd");
    Q_Delete(d, 0, 1);
    Q_Delete(d, 9, 1);
    EXPECT_EQ(d, "abcd");
    EXPECT_TRUE(Q_TestByMask("12-34", "XX-XX", 'X'));
    EXPECT_FALSE(Q_TestByMask("12-345", "XX-XX", 'X'));
    EXPECT_TRUE(Q_TestWildStr("report.fr3", "*.fr?"));
    EXPECT_TRUE(Q_TestWildStr("", "**"));
    EXPECT_FALSE(Q_TestWildStr("abc", "a*d"));
    EXPECT_TRUE(Q_TestWildStr("aXbYc", "a*b*c"));
    EXPECT_FALSE(Q_TestWildStr(std::string(5000, 'a'), std::string(50, '*') + "b"));  // stays quick
    EXPECT_EQ(Q_StrScan("abcabc", 'c', 4), 6);
    EXPECT_EQ(Q_StrScan("abc", 'z'), 0);
    const char buf[] = "xy\0z";
    EXPECT_EQ(Q_PStrScan(buf, 'z', 4), 4);
    EXPECT_EQ(Q_PStrLen(buf), 2u);
    char fill[4];
    Q_FillChar(fill, 3, 'q');
    Q_CopyMem("ab", fill + 1, 2);
    EXPECT_EQ(std::string(fill, 3), "qab");
    EXPECT_EQ(Q_IntToStr(-42), "-42");
}

TEST(QStr, ByteRangeSearchAndCopy)
{
    const std::string text = "<a><b>tail";
    EXPECT_EQ(VarPos("<b>", text, 1, 6), 3);
    EXPECT_EQ(VarPos("<b>", text, 1, 5), 0);   // the match runs past len
    EXPECT_EQ(VarPos("<", text, 6, 6), 0);     // start at len
    EXPECT_EQ(VarPos("a", text, 0, 100), 2);   // len clipped to the text
    EXPECT_EQ(VarCopy(text, 3, 100, 6), "<b>");
    EXPECT_EQ(VarCopy(text, 8, 5, 100), "il");
    EXPECT_EQ(VarCopy(text, 20, 5, 100), "");
    EXPECT_EQ(VarCopy(text, -1, 5, 100), "");
    EXPECT_EQ(VarStrPos(text.c_str(), "b>", 6), 5);
    EXPECT_EQ(VarStrPos(text.c_str(), "ta", 6), 0);
}

TEST(CodePages, KoiAndOemTablesMapEveryRussianLetter)
{
    const std::string letters = "абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_w;
    std::string koi = "\xC1\xC2\xD7\xC7\xC4\xC5\xA3\xD6\xDA\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD2\xD3\xD4\xD5\xC6"
                      "\xC8\xC3\xDE\xDB\xDD\xDF\xD9\xD8\xDC\xC0\xD1";
    for (std::size_t i = 0, n = koi.size(); i < n; ++i)
        koi += static_cast<char>(koi[i] == '\xA3' ? '\xB3' : koi[i] + 0x20);
    Q_KoitoWin(koi);
    EXPECT_EQ(koi, letters);
    std::string box = "a\x80\x9A";
    Q_KoitoWin(box);
    EXPECT_EQ(box, "a?\xA0");

    std::string oem = "Ёё Аяп р №"_w;
    Q_WintoOEM(oem);
    EXPECT_EQ(oem, "\xF0\xF1 \x80\xEF\xAF \xE0 \xFC");
    char raw[] = {'\xC0', '\xE0', '\xFF', '\x95', 'z'};
    Q_PStrToOemL(raw, 4);
    EXPECT_EQ(std::string(raw, 5), "\x80\xA0\xEF?z");
}

TEST(LMStrUtils, CountsAndWraps)
{
    EXPECT_EQ(SeparateQuantity("aaa", "aa"), 2);
    EXPECT_EQ(SeparateQuantity("a;b;c", ";"), 2);
    EXPECT_EQ(SeparateQuantity("", ";"), 0);
    EXPECT_EQ(SeparateQuantity("abc", ""), 0);
    EXPECT_EQ(GetSeparateText("aaa bbb ccc", 5), "aaa \r\nbbb \r\nccc");
    EXPECT_EQ(GetSeparateText("abcdefgh", 3), "abc\r\ndef\r\ngh");
    EXPECT_EQ(GetSeparateText("abcd ef", 4), "abcd\r\n ef");
    EXPECT_EQ(GetSeparateText("short", 10), "short");
    EXPECT_EQ(GetSeparateText("any text", 0), "any text");
}

TEST(StrsNumbers, LenientParsing)
{
    EXPECT_DOUBLE_EQ(iStrtoFloat("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(iStrtoFloat("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(iStrtoFloat(""), 0);
    EXPECT_THROW(iStrtoFloat("1.000,5"), EConvertError);
    EXPECT_EQ(iStrtoCurr("12.3456"), Currency::FromRaw(123456));
    EXPECT_EQ(iStrtoInt(""), 0);
    EXPECT_EQ(iStrtoInt("-12"), -12);
    EXPECT_THROW(iStrtoInt("1.0"), EConvertError);
    EXPECT_EQ(IntParam("", 7), 7);
    EXPECT_EQ(IntParam("8", 7), 8);
    EXPECT_EQ(IntToStr2(7), "07");
    EXPECT_EQ(IntToStr2(-7), "-7");
    EXPECT_EQ(IntToStr2(12), "12");
    EXPECT_EQ(StrtoInt2("07"), 7);
    EXPECT_EQ(StrtoInt2("10"), 10);
    EXPECT_THROW(StrtoInt2("0x"), EConvertError);
}

TEST(StrsNumbers, RoundingAddressesAndChoices)
{
    EXPECT_EQ(MathRound(2.5), 3);
    EXPECT_EQ(MathRound(3.5), 4);
    EXPECT_EQ(MathRound(-2.5), -2);
    EXPECT_EQ(MathRound(-3.5), -4);
    EXPECT_EQ(MathRound(2.4999), 2);
    EXPECT_EQ(MathRound(-0.6), -1);
    EXPECT_THROW(MathRound(1e19), Exception);
    EXPECT_THROW(MathRound(std::numeric_limits<double>::quiet_NaN()), Exception);
    EXPECT_EQ(StrtoIP("192.168.1.2"), 0xC0A80102u);
    EXPECT_EQ(StrtoIP("256.0.0.257"), 0x00000001u);
    EXPECT_THROW(StrtoIP("1.2.3"), EConvertError);
    EXPECT_THROW(StrtoIP("1.2.3.4.5"), EConvertError);
    EXPECT_EQ(BooltoStr(true), "1");
    EXPECT_EQ(Min(3, -4), -4);
    EXPECT_EQ(Max(2.5, 1.0), 2.5);
    EXPECT_EQ(IIF(false, std::string("a"), std::string("b")), "b");
    EXPECT_EQ(IIF(true, 1, 2), 1);
}
