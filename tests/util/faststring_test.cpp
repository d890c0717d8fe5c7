// Tests of TFastString: growth steps, the terminator and text access.
#include <gtest/gtest.h>

#include <string>

#include "util/faststring.h"

using namespace lm;

TEST(FastString, GrowsByTheShortfallOrTheStep)
{
    TFastString s(4);
    EXPECT_EQ(s.Buffer(), nullptr);
    s.Add("0123456789");
    EXPECT_EQ(s.Capacity(), 10);
    EXPECT_EQ(s.Length(), 10);
    s.Add("a");
    EXPECT_EQ(s.Capacity(), 14);
    s.Add("bcd");
    EXPECT_EQ(s.Capacity(), 14);
    s.Add("e");
    EXPECT_EQ(s.Capacity(), 18);
    EXPECT_EQ(s.AsString(), "0123456789abcde");
    EXPECT_EQ(s.Buffer()[s.Length()], '\0');
}

TEST(FastString, EmptyTextNeedsNoBlock)
{
    TFastString s(16);
    s.Add("");
    EXPECT_EQ(s.Buffer(), nullptr);
    EXPECT_EQ(s.AsString(), "");
    EXPECT_EQ(s.Length(), 0);
}

TEST(FastString, SetAsStringKeepsAnExactCopy)
{
    TFastString s(1024);
    s.Add("old text");
    s.SetAsString("new");
    EXPECT_EQ(s.Capacity(), 3);
    EXPECT_EQ(s.Length(), 3);
    EXPECT_EQ(s.AsString(), "new");
    s.Add("er");  // grows by GrowBy from the exact size
    EXPECT_EQ(s.Capacity(), 3 + 1024);
    EXPECT_EQ(s.AsString(), "newer");

    s.SetAsString(std::string("ab\0cd", 5));
    EXPECT_EQ(s.Length(), 5);
    EXPECT_EQ(s.AsString(), "ab");  // up to the first zero byte
}

TEST(FastString, ManyAppendsEqualConcatenation)
{
    TFastString s(64);
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string part = std::to_string(i * 7919) + (i % 3 ? "," : "\r\n");
        s.Add(part);
        expected += part;
    }
    EXPECT_EQ(s.AsString(), expected);
    EXPECT_GE(s.Capacity(), s.Length());
}

TEST(FastString, AppendsAViewOfItsOwnBuffer)
{
    TFastString s(1);
    s.Add("abcdef");
    for (int i = 0; i < 4; ++i)
        s.Add(std::string_view(s.Buffer(), static_cast<size_t>(s.Length())));  // forces a move
    EXPECT_EQ(s.Length(), 6 * 16);
    EXPECT_EQ(s.AsString().substr(84), "abcdefabcdef");
}
