// The format-driven date parser, long durations, the day of the week and month boundaries.
#include <gtest/gtest.h>

#include <cmath>

#include "util/exceptions.h"
#include "util/strs_dates.h"

#include "messageof.h"

using namespace lm;
using lm::test::messageOf;

namespace {
TDateTime at(int y, int m, int d, int hh = 0, int nn = 0, int ss = 0)
{
    return EncodeDate(y, m, d) + (hh * 3600 + nn * 60 + ss) / 86400.0;
}
} // namespace

TEST(StrtoDateFmt, ParsesTheDocumentedExamples)
{
    EXPECT_EQ(StrtoDateFmt("05.03.2007", "dd.mm.yyyy"), at(2007, 3, 5));
    EXPECT_EQ(StrtoDateFmt("05 mar 07", "dd mmm yy"), at(2007, 3, 5));
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("5.3.2007", "dd.mm.yyyy"); }), "'5.' is not a valid integer value");
}

TEST(StrtoDateFmt, ReadsTimesYearsAndMonthNames)
{
    EXPECT_DOUBLE_EQ(StrtoDateFmt("2007-03-05 14:30:15", "yyyy-mm-dd hh:nn:ss"), at(2007, 3, 5, 14, 30, 15));
    EXPECT_DOUBLE_EQ(StrtoDateFmt("05.03.07 02:30 pm", "dd.mm.yy hh:nn pp"), at(2007, 3, 5, 14, 30));
    EXPECT_DOUBLE_EQ(StrtoDateFmt("05.03.07 12:30 pm", "dd.mm.yy hh:nn pp"), at(2007, 3, 5, 12, 30));
    EXPECT_DOUBLE_EQ(StrtoDateFmt("05.03.07 02:30 am", "dd.mm.yy hh:nn pp"), at(2007, 3, 5, 2, 30));
    EXPECT_EQ(StrtoDateFmt("01.01.49", "dd.mm.yy"), at(2049, 1, 1));
    EXPECT_EQ(StrtoDateFmt("01.01.50", "dd.mm.yy"), at(1950, 1, 1));
    EXPECT_EQ(StrtoDateFmt(" 1/ 2/1999", "dd/mm/yyyy"), at(1999, 2, 1));  // fields are trimmed
    const struct { const char* name; int month; } months[] = {
        {"jan", 1}, {"feb", 2}, {"mar", 3}, {"apr", 4}, {"may", 5}, {"jun", 6},
        {"jul", 7}, {"aug", 8}, {"sep", 9}, {"oct", 10}, {"nov", 11}, {"dec", 12}, {"Mar", 3},
    };
    for (const auto& m : months)
        EXPECT_EQ(StrtoDateFmt(std::string("10-") + m.name + "-2000", "dd-mmm-yyyy"), at(2000, m.month, 10)) << m.name;
}

TEST(StrtoDateFmt, RejectsImpossibleParts)
{
    const char* invalid = "Invalid date/time";
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("32.01.2000", "dd.mm.yyyy"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.13.2000", "dd.mm.yyyy"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01 xyz 2000", "dd mmm yyyy"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.01.200", "dd.mm.yyyy"); }), invalid);   // too short a year
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.01.2000 24:00", "dd.mm.yyyy hh:nn"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.01.2000 10:60", "dd.mm.yyyy hh:nn"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.01.2000 10:10:60", "dd.mm.yyyy hh:nn:ss"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.01.2000 -1:10", "dd.mm.yyyy hh:nn"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.01", "dd.mm"); }), "Invalid argument to date encode");
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("31.04.2000", "dd.mm.yyyy"); }), "Invalid argument to date encode");
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("", "dd.mm.yyyy"); }), invalid);
    EXPECT_EQ(messageOf<EConvertError>([] { StrtoDateFmt("01.01.2000", ""); }), invalid);
}

TEST(StrsDates, LongTimesCountWholeHours)
{
    EXPECT_EQ(LongTimetoStr(1.5), "36:00:00");
    EXPECT_EQ(LongTimetoStr(0.5 + 1.0 / 1440 + 2.0 / 86400), "12:01:02");
    EXPECT_EQ(LongTimetoStr(0), "00:00:00");
    EXPECT_EQ(LongTimetoStr(10.25), "246:00:00");
    EXPECT_EQ(LongTimetoStr(-0.25), "-06:00:00");
    EXPECT_NEAR(StrtoLongTime("36:30:00"), 1.5 + 30.0 / 1440, 1e-9);
    EXPECT_NEAR(StrtoLongTime("246:00:15"), 10.25 + 15.0 / 86400, 1e-9);
    EXPECT_NEAR(StrtoLongTime("5:30:00"), 5.5 / 24, 1e-9);
    for (const double t : {0.0, 0.75, 1.5, 3.999988425925926, 41.123456, -0.3})
        EXPECT_NEAR(StrtoLongTime(LongTimetoStr(t)), t, 1.0 / 86400) << t;  // seconds are truncated
    EXPECT_THROW(StrtoLongTime("12"), EConvertError);
    EXPECT_THROW(StrtoLongTime("ab:00:00"), EConvertError);
}

TEST(StrsDates, WeekDaysAndBoundaries)
{
    EXPECT_EQ(Dow(at(2026, 12, 6)), 7);  // a Sunday
    EXPECT_EQ(Dow(at(2026, 12, 7, 23, 59)), 1);
    EXPECT_EQ(Dow(at(1899, 12, 30)), 6);
    const TDateTime d = at(2024, 2, 14, 15, 45);
    EXPECT_EQ(MonthStart(d), at(2024, 2, 1));
    EXPECT_EQ(MonthEnd(d), at(2024, 2, 29));
    EXPECT_EQ(PrevMonthStart(d), at(2024, 1, 1));
    EXPECT_EQ(PrevMonthStart(at(2024, 1, 31)), at(2023, 12, 1));
    EXPECT_EQ(YearStart(d), at(2024, 1, 1));
    EXPECT_EQ(YearEnd(d), at(2024, 12, 31));
    EXPECT_EQ(MonthEnd(at(2023, 2, 1)), at(2023, 2, 28));
}
