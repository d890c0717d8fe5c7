// Windows-1251 literals, conversions and case tables.
#include <gtest/gtest.h>

#include "util/cp1251.h"

using namespace lm;

TEST(Cp1251, LiteralIsConvertedAtCompileTime)
{
    constexpr const char* word = "Щука Ёж ё №"_w;
    EXPECT_EQ(std::string(word), std::string("\xD9\xF3\xEA\xE0 \xA8\xE6 \xB8 \xB9"));
    EXPECT_EQ(std::string("abc"_w), "abc");
}

TEST(Cp1251, Utf8RoundTripKeepsEveryAssignedByte)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 0x98)  // the one unassigned byte
            all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
    EXPECT_EQ(utf16ToCp1251(cp1251ToUtf16(all)), all);
    EXPECT_EQ(utf16ToUtf8(cp1251ToUtf16(all)), cp1251ToUtf8(all));
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");  // a pair becomes one character
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "?");
    EXPECT_EQ(cp1251ToUtf8("\xA0"), "\xC2\xA0");
}

TEST(Cp1251, ForeignAndMalformedUtf8BecomeQuestionMarks)
{
    EXPECT_EQ(utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK character
    EXPECT_EQ(utf8ToCp1251("a\xFF" "b"), "a?b");
    EXPECT_EQ(utf8ToCp1251("a\xD0"), "a?");  // truncated at the end
    EXPECT_EQ(utf8ToCp1251("\xF0\x9F\x98\x80"), "?");  // outside the BMP
}

TEST(Cp1251, CaseTablesCoverLatinRussianAndYo)
{
    EXPECT_EQ(upperCase("abc жёлтый Ёж ў"_w), std::string("ABC ЖЁЛТЫЙ ЁЖ Ў"_w));
    EXPECT_EQ(lowerCase("ABC ЖЁЛТЫЙ Ї"_w), std::string("abc жёлтый ї"_w));
    EXPECT_EQ(upperCase("1,5 № %"_w), std::string("1,5 № %"_w));
    EXPECT_TRUE(isLetter(static_cast<unsigned char>("ё"_w[0])));
    EXPECT_FALSE(isLetter(static_cast<unsigned char>('7')));
}
