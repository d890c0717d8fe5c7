// Date and time helpers of the string library: long durations as text, the format-driven date
// parser, the day of the week and the first and last days of months and years.
#pragma once

#include <string>
#include <string_view>

#include "util/sysutils.h"

namespace lm {

// "hh:mm:ss" of `t`; from one day on the hours count the whole duration, so 1.5 days gives
// "36:00:00".
std::string LongTimetoStr(TDateTime t);
// The inverse of LongTimetoStr: the hours before the first ":" (two digits or more), then the
// minutes and seconds. EConvertError on bad text.
TDateTime StrtoLongTime(std::string_view s);

// Parses `s` by the format `fmt`, walking both together: "dd" day, "mm" month, "mmm" English
// month name ("mar", "jun"...; any letter case), "yy" year (below 50 in the 2000s), "yyyy"
// year, "hh" hour, "nn" minutes, "ss" seconds, "pp" an afternoon mark where `s` has "p" or
// "P"; any other format character skips one character of both texts. Numeric fields are two
// characters, trimmed, strict integers (EConvertError "'%s' is not a valid integer value");
// an impossible date or time, or a negative field, raises EConvertError "Invalid date/time"
// (impossible days such as 31 April raise the date encoder's error).
TDateTime StrtoDateFmt(std::string_view s, std::string_view fmt);

// Day of the week, Monday = 1 to Sunday = 7.
int Dow(TDateTime d);
// First day of the month of `d`, without time; likewise below.
TDateTime MonthStart(TDateTime d);
// First day of the month before the month of `d` (January goes to December of the year before).
TDateTime PrevMonthStart(TDateTime d);
TDateTime MonthEnd(TDateTime d);
TDateTime YearStart(TDateTime d);
TDateTime YearEnd(TDateTime d);

} // namespace lm
