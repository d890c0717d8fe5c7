// Strict conversions, number and date formatting and the date arithmetic under the Russian
// regional settings.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

#include "messageof.h"

using namespace lm;
using lm::test::messageOf;

namespace {

const std::string nbsp = "\xA0";

} // namespace

TEST(SysUtils, SettingsAreRussianBeforeMain)
{
    EXPECT_EQ(FormatSettings.DecimalSeparator, ',');
    EXPECT_EQ(FormatSettings.ThousandSeparator, '\xA0');
    EXPECT_EQ(FormatSettings.ShortDateFormat, "dd.MM.yyyy");
    EXPECT_EQ(FormatSettings.LongTimeFormat, "h:nn:ss");
}

TEST(SysUtils, StrToIntAcceptsSignsHexAndSurroundingBlanks)
{
    EXPECT_EQ(StrToInt(" -42 "), -42);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x1a"), 26);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);  // hexadecimal spans the unsigned range
    EXPECT_EQ(StrToInt("2147483647"), std::numeric_limits<int>::max());
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(StrToIntDef("x", 9), 9);
}

TEST(SysUtils, StrToIntRejectsEverythingButAWholeInteger)
{
    for (const char* bad : {"", " ", "1 2", "12a", "1.0", "-", "+-1", "$", "0x", "$G", "2147483648",
                            "-2147483649", "99999999999999999999", "1e3"}) {
        int v = 0;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    }
    int64_t v64 = 0;
    EXPECT_FALSE(TryStrToInt64("9223372036854775808", v64));
    EXPECT_EQ(messageOf<EConvertError>([] { StrToInt("12a"); }), "'12a' is not a valid integer value");
}

TEST(SysUtils, StrToFloatUsesTheLocaleSeparatorOnly)
{
    EXPECT_DOUBLE_EQ(StrToFloat("1234,5"), 1234.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" -0,25 "), -0.25);
    EXPECT_DOUBLE_EQ(StrToFloat("1,5E3"), 1500);
    EXPECT_DOUBLE_EQ(StrToFloat("2e-2"), 0.02);
    EXPECT_DOUBLE_EQ(StrToFloat(",5"), 0.5);
    EXPECT_DOUBLE_EQ(StrToFloat("1e-400"), 0);
    for (const char* bad : {"1.5", "1 234,5", "1\xA0" "234", "1,2,3", ",", "e5", "1e", "1e+", "1,5x",
                            "1e400", "--1", "nan", "inf"}) {
        double v = 0;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
    }
    EXPECT_EQ(messageOf<EConvertError>([] { StrToFloat("1.5"); }), "'1.5' is not a valid floating point value");
}

TEST(SysUtils, StrToCurrRoundsTheWrittenDigitsToFourDecimals)
{
    EXPECT_EQ(StrToCurr("1234,56785").Raw(), 12345679);  // half away from zero
    EXPECT_EQ(StrToCurr("-0,00005").Raw(), -1);
    EXPECT_EQ(StrToCurr("0,00004").Raw(), 0);
    EXPECT_EQ(StrToCurr("922337203685477,5807").Raw(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(StrToCurr("-922337203685477,5808").Raw(), std::numeric_limits<int64_t>::min());
    Currency c;
    EXPECT_FALSE(TryStrToCurr("922337203685477,5808", c));
    EXPECT_FALSE(TryStrToCurr("1e16", c));
    EXPECT_EQ(messageOf<EConvertError>([] { StrToCurr("abc"); }), "'abc' is not a valid floating point value");
}

TEST(SysUtils, FloatToStrUsesFifteenSignificantDigits)
{
    EXPECT_EQ(FloatToStr(1234.5), "1234,5");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(0.0001), "0,0001");
    EXPECT_EQ(FloatToStr(0.00001), "1E-5");
    EXPECT_EQ(FloatToStr(-1.5e-7), "-1,5E-7");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0,3");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(FloatToStr(1e14), "100000000000000");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
    EXPECT_EQ(CurrToStr(Currency::FromRaw(12345000)), "1234,5");
    EXPECT_EQ(CurrToStr(Currency::FromRaw(std::numeric_limits<int64_t>::min())), "-922337203685477,5808");
}

TEST(SysUtils, FormatFloatGroupsAndRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1" + nbsp + "234,50");
    EXPECT_EQ(FormatFloat("#,##0.00", -1234567.125), "-1" + nbsp + "234" + nbsp + "567,13");
    EXPECT_EQ(FormatFloat("#,##0.00", 999.995), "1" + nbsp + "000,00");
    EXPECT_EQ(FormatFloat("#,##0.00", 0.5), "0,50");
    EXPECT_EQ(FormatFloat("0.00", 1.005), "1,01");  // as written, not its binary 1.00499...
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2,68");
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("0", -2.5), "-3");
    EXPECT_EQ(FormatFloat("0", 0.49), "0");
    EXPECT_EQ(FormatFloat("0.00", -0.001), "0,00");  // no minus on a value shown as zero
    EXPECT_EQ(FormatFloat("0.###", 1.0005), "1,001");
    EXPECT_EQ(FormatFloat("0.###", 1.5), "1,5");
    EXPECT_EQ(FormatFloat("0.###", 2), "2");
    EXPECT_EQ(FormatFloat("#.##", 0.5), ",5");
    EXPECT_EQ(FormatFloat("000", 7), "007");
    EXPECT_EQ(FormatFloat("0", 123456), "123456");
    EXPECT_EQ(FormatFloat("0%", 0.5), "1%");  // "%" is literal: no scaling by 100
    EXPECT_EQ(FormatFloat("000-00", 12345), "123-45");
}

TEST(SysUtils, FormatFloatPlatformReferenceTable)
{
    struct Row {
        const char* pattern;
        std::string r1234, rMinus1234, rHalf, rZero;
    };
    const Row rows[] = {
        {"0", "1234", "-1234", "1", "0"},
        {"0.00", "1234,00", "-1234,00", "0,50", "0,00"},
        {"#.##", "1234", "-1234", ",5", ""},
        {"#,##0.00", "1" + nbsp + "234,00", "-1" + nbsp + "234,00", "0,50", "0,00"},
        {"#,##0.00;(#,##0.00)", "1" + nbsp + "234,00", "(1" + nbsp + "234,00)", "0,50", "0,00"},
        {"#,##0.00;;Zero", "1" + nbsp + "234,00", "-1" + nbsp + "234,00", "0,50", "Zero"},
        {"0.000E+00", "1,234E+03", "-1,234E+03", "5,000E-01", "0,000E+00"},
        {"#.###E-0", "1,234E3", "-1,234E3", "5E-1", "0E0"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatFloat(r.pattern, 1234), r.r1234) << r.pattern;
        EXPECT_EQ(FormatFloat(r.pattern, -1234), r.rMinus1234) << r.pattern;
        EXPECT_EQ(FormatFloat(r.pattern, 0.5), r.rHalf) << r.pattern;
        EXPECT_EQ(FormatFloat(r.pattern, 0), r.rZero) << r.pattern;
    }
}

TEST(SysUtils, FormatFloatSectionsQuotesAndExponents)
{
    EXPECT_EQ(FormatFloat("0.00;(0.00);'zero'", 3), "3,00");
    EXPECT_EQ(FormatFloat("0.00;(0.00);'zero'", -3), "(3,00)");
    EXPECT_EQ(FormatFloat("0.00;(0.00);'zero'", 0), "zero");
    EXPECT_EQ(FormatFloat("0.00;(0.00);'zero'", 0.001), "zero");  // rounds to zero
    EXPECT_EQ(FormatFloat("0.00;;'zero'", -3), "-3,00");          // empty negative section
    EXPECT_EQ(FormatFloat("\"a;b\" 0", 5), "a;b 5");
    EXPECT_EQ(FormatFloat("0 '" "\xF0" ".'", 12), "12 \xF0.");
    EXPECT_EQ(FormatFloat("0.00E+00", 1234.5), "1,23E+03");
    EXPECT_EQ(FormatFloat("0.00E+00", 0.000123), "1,23E-04");
    EXPECT_EQ(FormatFloat("0.0E-0", 1234.5), "1,2E3");
    EXPECT_EQ(FormatFloat("0.00E+00", 0), "0,00E+00");
    EXPECT_EQ(FormatFloat("0.00E+00", 9.999), "1,00E+01");
    EXPECT_EQ(FormatFloat("0E+00 0#", 5), "5E+00 ");  // placeholders after the exponent are spent
    EXPECT_EQ(FormatFloat("", 2.5), "2,5");
    EXPECT_EQ(FormatFloat("0", 1e20), "1E20");  // beyond fixed digits: general format
    EXPECT_EQ(FormatFloat("0.00", std::nan("")), "NAN");
    EXPECT_EQ(FormatCurr("#,##0.00", Currency::FromRaw(-12345650)), "-1" + nbsp + "234,57");
    EXPECT_EQ(FormatCurr("0.0000", Currency::FromRaw(1)), "0,0001");
}

TEST(SysUtils, EncodeDateChecksEveryPartAndLeapYears)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2007, 3, 5), 39146);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    TDateTime v = 0;
    for (auto [y, m, d] : {std::tuple{1900, 2, 29}, {2100, 2, 29}, {2023, 2, 29}, {2007, 4, 31}, {2007, 13, 1},
                           {2007, 0, 1}, {2007, 1, 0}, {0, 1, 1}, {10000, 1, 1}})
        EXPECT_FALSE(TryEncodeDate(y, m, d, v)) << y << "-" << m << "-" << d;
    EXPECT_EQ(messageOf<EConvertError>([] { EncodeDate(2007, 2, 29); }), "Invalid argument to date encode");
    EXPECT_EQ(messageOf<EConvertError>([] { EncodeTime(24, 0, 0, 0); }), "Invalid argument to time encode");
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, v));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
}

TEST(SysUtils, DecodeRoundsToTheMillisecondAndKeepsNegativeTimes)
{
    int y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ((std::tuple{y, m, d, h, n, s, ms}), (std::tuple{1899, 12, 29, 6, 0, 0, 0}));
    const TDateTime almostMidnight = EncodeDate(2007, 3, 5) + 0.9999999999;
    DecodeDate(almostMidnight, y, m, d);
    DecodeTime(almostMidnight, h, n, s, ms);
    EXPECT_EQ((std::tuple{y, m, d, h, n, s, ms}), (std::tuple{2007, 3, 6, 0, 0, 0, 0}));
    DecodeTime(EncodeTime(13, 45, 30, 123), h, n, s, ms);
    EXPECT_EQ((std::tuple{h, n, s, ms}), (std::tuple{13, 45, 30, 123}));
    EXPECT_THROW(DecodeDate(std::nan(""), y, m, d), EConvertError);
    EXPECT_THROW(DecodeDate(1e300, y, m, d), EConvertError);
}

TEST(SysUtils, DayOfWeekAndIncMonth)
{
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // a Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 6)), 1);   // a Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 25)), 2);  // a Monday, before day zero
    EXPECT_EQ(IncMonth(EncodeDate(2007, 1, 31), 1), EncodeDate(2007, 2, 28));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 31), -1), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2007, 1, 15), -13), EncodeDate(2005, 12, 15));
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2007, 1, 15) + 0.5, 12), EncodeDate(2008, 1, 15) + 0.5);
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
    EXPECT_EQ(Date(), std::floor(Now()));
}

TEST(SysUtils, DateAndTimeText)
{
    const TDateTime dt = EncodeDate(2007, 3, 5) + EncodeTime(14, 5, 7, 9);
    EXPECT_EQ(DateToStr(dt), "05.03.2007");
    EXPECT_EQ(TimeToStr(dt), "14:05:07");
    EXPECT_EQ(DateTimeToStr(dt), "05.03.2007 14:05:07");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2007, 3, 5)), "05.03.2007");
    EXPECT_EQ(DateTimeToStr(-1.25), "29.12.1899 6:00:00");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", dt), "2007-03-05 14:05:07.009");
    EXPECT_EQ(FormatDateTime("d/m/yy h:mm", dt), "5.3.07 14:05");  // "m" after "h" is minutes
    EXPECT_EQ(FormatDateTime("hh:mm am/pm", dt), "02:05 pm");
    EXPECT_EQ(FormatDateTime("h AMPM", EncodeTime(0, 30, 0, 0)), "12 AM");
    EXPECT_EQ(FormatDateTime("'d' dd \"mm\"", dt), "d 05 mm");
    EXPECT_EQ(FormatDateTime("ddd dddd", dt), "Пн понедельник"_w);
    EXPECT_EQ(FormatDateTime("mmm mmmm", dt), "мар Март"_w);
    EXPECT_EQ(FormatDateTime("d mmmm yyyy", dt), "5 марта 2007"_w);
    EXPECT_EQ(FormatDateTime("ddddd", dt), "05.03.2007");
    EXPECT_EQ(FormatDateTime("c", dt), "05.03.2007 14:05:07");
}

TEST(SysUtils, StrToDateFollowsTheShortDateOrder)
{
    EXPECT_EQ(StrToDate("05.03.2007"), EncodeDate(2007, 3, 5));
    EXPECT_EQ(StrToDate(" 5.3.2007 "), EncodeDate(2007, 3, 5));
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    // Two-digit years span the 50 years before the current one and the 49 after it.
    EXPECT_EQ(StrToDate("5.3." + std::to_string((y + 49) % 100)), EncodeDate(y + 49, 3, 5));
    EXPECT_EQ(StrToDate("5.3." + std::to_string((y - 50) % 100)), EncodeDate(y - 50, 3, 5));
    EXPECT_EQ(StrToDate("5.3.0207"), EncodeDate(207, 3, 5));  // four digits are taken as written
    EXPECT_EQ(StrToDate("5.3"), EncodeDate(y, 3, 5));
    for (const char* bad : {"", "5", "29.02.2007", "32.01.2007", "05.13.2007", "05/03/2007", "05.03.2007.",
                            "05.03.2007x", "05.03.20071", "a.b.c"}) {
        TDateTime v = 0;
        EXPECT_FALSE(TryStrToDate(bad, v)) << bad;
    }
    EXPECT_EQ(messageOf<EConvertError>([] { StrToDate("31.04.2007"); }), "'31.04.2007' is not a valid date");
}

TEST(SysUtils, StrToTimeAndDateTime)
{
    EXPECT_DOUBLE_EQ(StrToTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("14:05:07"), EncodeTime(14, 5, 7, 0));
    EXPECT_DOUBLE_EQ(StrToTime("2:05 PM"), EncodeTime(14, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:00 am"), 0);
    EXPECT_EQ(messageOf<EConvertError>([] { StrToTime("24:00"); }), "'24:00' is not a valid time");
    EXPECT_EQ(messageOf<EConvertError>([] { StrToTime("10:60"); }), "'10:60' is not a valid time");
    EXPECT_EQ(messageOf<EConvertError>([] { StrToTime("13:00 PM"); }), "'13:00 PM' is not a valid time");
    EXPECT_DOUBLE_EQ(StrToDateTime("05.03.2007 14:05:07"), EncodeDate(2007, 3, 5) + EncodeTime(14, 5, 7, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("05.03.2007"), EncodeDate(2007, 3, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("06:00"), 0.25);
    EXPECT_DOUBLE_EQ(StrToDateTime("29.12.1899 6:00"), -1.25);
    EXPECT_EQ(messageOf<EConvertError>([] { StrToDateTime("05.03.2007 25:00"); }),
              "'05.03.2007 25:00' is not a valid date and time");
}

TEST(SysUtils, TrimRemovesControlBytesButNotNoBreakSpace)
{
    EXPECT_EQ(Trim(" \t\r\nab c\x01 "), "ab c");
    EXPECT_EQ(Trim("\xA0" "a"), "\xA0" "a");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
}

TEST(CurrencyArithmetic, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(Currency::FromDouble(0.00005).Raw(), 1);
    EXPECT_EQ(Currency::FromDouble(-0.00005).Raw(), -1);
    EXPECT_EQ(Currency::FromDouble(1.23456).Raw(), 12346);
    EXPECT_EQ(Currency::FromDouble(0.1 + 0.2).Raw(), 3000);
    EXPECT_THROW(Currency::FromDouble(1e16), Exception);
    EXPECT_THROW(Currency::FromDouble(std::nan("")), Exception);
    const Currency a = Currency::FromRaw(15);  // 0.0015
    EXPECT_EQ((a * Currency::FromDouble(0.5)).Raw(), 8);
    EXPECT_EQ((-a * Currency::FromDouble(0.5)).Raw(), -8);
    EXPECT_EQ((Currency::FromInt(10) / Currency::FromInt(3)).Raw(), 33333);
    EXPECT_EQ((Currency::FromInt(-20) / Currency::FromInt(3)).Raw(), -66667);
    EXPECT_EQ((Currency::FromInt(1000000000) * Currency::FromInt(1000)).Raw(), int64_t(1000000000000) * 10000);
    EXPECT_THROW(Currency::FromInt(1000000000) * Currency::FromInt(1000000000), Exception);
    EXPECT_THROW(Currency::FromInt(1) / Currency(), Exception);
    EXPECT_LT(Currency::FromRaw(-1), Currency());
}
