// Amounts in Russian words, noun endings by number, and transliteration.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/strs_amount.h"
#include "util/translit.h"

using namespace lm;

namespace {
std::string w(const char* s) { return std::string(s); }

struct AmountText {
    double amount;
    const char* text;
};

// Checks the words `toText` gives for each amount.
void expectAmountTexts(std::string (*toText)(double), std::initializer_list<AmountText> cases)
{
    for (const AmountText& c : cases)
        EXPECT_EQ(toText(c.amount), w(c.text)) << "amount " << c.amount;
}
} // namespace

TEST(StrsAmount, RoublesGiveTheDocumentedTexts)
{
    expectAmountTexts(ValuetoTextRUR, {
        {0, "ноль рублей "_w},
        {1, "один рубль "_w},
        {21.01, "двадцать один рубль одна копейка"_w},
        {1000, "одна тысяча рублей "_w},
        {2000000, "два миллиона рублей "_w},
        {0.5, "ноль рублей пятьдесят копеек"_w},
        {-5, "минус пять рублей "_w},
        {12.02, "двенадцать рублей две копейки"_w},
        {111, "сто одиннадцать рублей "_w},
        {1001.11, "одна тысяча один рубль одиннадцать копеек"_w},
    });
}

TEST(StrsAmount, GroupsTakeTheirGenderAndPluralForms)
{
    expectAmountTexts(ValuetoTextRUR, {
        {2002, "две тысячи два рубля "_w},
        {5000000, "пять миллионов рублей "_w},
        {1001000, "один миллион одна тысяча рублей "_w},
        {1000000000, "один миллиард рублей "_w},
        {2147483647, "два миллиарда сто сорок семь миллионов четыреста восемьдесят три тысячи "
                      "шестьсот сорок семь рублей "_w},
        {11000, "одиннадцать тысяч рублей "_w},
        {0.14, "ноль рублей четырнадцать копеек"_w},
        {3.22, "три рубля двадцать две копейки"_w},
    });
}

TEST(StrsAmount, DollarsUseMasculineCents)
{
    expectAmountTexts(ValuetoTextUSD, {
        {1.21, "один доллар двадцать один цент"_w},
        {2.02, "два доллара два цента"_w},
        {1000, "одна тысяча долларов "_w},
        {0.05, "ноль долларов пять центов"_w},
    });
}

TEST(StrsAmount, KopecksRoundingToAWholeRoubleCarryOver)
{
    expectAmountTexts(ValuetoTextRUR, {
        {0.999, "один рубль "_w},
        {9.996, "десять рублей "_w},
    });
    expectAmountTexts(ValuetoTextUSD, {
        {-1.999, "минус два доллара "_w},
    });
}

TEST(StrsAmount, AmountsBeyondMilliardsOrNotNumbersRaise)
{
    EXPECT_TRUE(ValuetoTextRUR(999999999999.0).starts_with("девятьсот девяносто девять миллиардов "_w));
    EXPECT_THROW(ValuetoTextRUR(1e12), EConvertError);
    EXPECT_THROW(ValuetoTextRUR(999999999999.996), EConvertError);  // carries past the range
    EXPECT_THROW(ValuetoTextRUR(-1e300), EConvertError);
    EXPECT_THROW(ValuetoTextRUR(std::numeric_limits<double>::quiet_NaN()), EConvertError);
    EXPECT_THROW(ValuetoTextUSD(std::numeric_limits<double>::infinity()), EConvertError);
}

TEST(StrsAmount, CorrectFormChoosesTheEnding)
{
    auto roubles = [](int64_t n) { return CorrectForm("рубл"_w, "ей"_w, "ь"_w, "я"_w, n); };
    EXPECT_EQ(roubles(11), w("рублей"_w));
    EXPECT_EQ(roubles(12), w("рублей"_w));
    EXPECT_EQ(roubles(25), w("рублей"_w));
    EXPECT_EQ(roubles(21), w("рубль"_w));
    EXPECT_EQ(roubles(22), w("рубля"_w));
    EXPECT_EQ(roubles(19), w("рублей"_w));
    EXPECT_EQ(roubles(111), w("рублей"_w));
    EXPECT_EQ(roubles(101), w("рубль"_w));
    EXPECT_EQ(roubles(0), w("рублей"_w));
    EXPECT_EQ(roubles(-1), w("рубль"_w));
    EXPECT_EQ(roubles(-22), w("рубля"_w));
    EXPECT_EQ(roubles(std::numeric_limits<int64_t>::min()), w("рублей"_w));  // ...808
}

TEST(Translit, RussianToLatin)
{
    EXPECT_EQ(TransliterateRE("Щука"_w), "SCHuka");
    EXPECT_EQ(TransliterateRE("Жёлтый ёж, съел!"_w), "ZHyoltyy yozh, s'el!");
    EXPECT_EQ(TransliterateRE("ЭЮЯ эюя ЦЧШ"_w), "EYUYA eyuya TSCHSH");
    EXPECT_EQ(TransliterateRE("Ъ ь №"_w), w("' ' №"_w));  // № is no letter
    EXPECT_EQ(TransliterateRE(""), "");
}

TEST(Translit, LatinToRussian)
{
    EXPECT_EQ(TransliterateER("schuka"), w("щука"_w));
    EXPECT_EQ(TransliterateER("yozh"), w("ёж"_w));
    EXPECT_EQ(TransliterateER("shapka"), w("шапка"_w));
    EXPECT_EQ(TransliterateER("ye'"), w("йеъ"_w));          // first letter of equal forms
    EXPECT_EQ(TransliterateER("SCH"), w("СЧ"_w));           // "sch" only in lower case
    EXPECT_EQ(TransliterateER("Shapka ZHuk"), w("Шапка Жук"_w));
    EXPECT_EQ(TransliterateER("Tsar 1 x!"), w("Цар 1 x!"_w));
}

TEST(Translit, CyrillicPassesAndUnambiguousTextRoundTrips)
{
    EXPECT_EQ(TransliterateER("уже щука"_w), w("уже щука"_w));
    const std::string text = "щука шапка ёж цирк юла яма чай"_w;
    EXPECT_EQ(TransliterateRE(text), "schuka shapka yozh tsirk yula yama chay");
    EXPECT_EQ(TransliterateER(TransliterateRE(text)), text);
}
