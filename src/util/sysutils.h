// The platform conversions the package relies on: regional settings, strict number and
// date-time conversions, number and date formatting, and the date-time arithmetic.
//
// TDateTime counts days from 30 December 1899 (the integral part) and the time of day as the
// fraction, as the package's date algorithms assume. All text is Windows-1251.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "util/currency.h"

namespace lm {

using TDateTime = double;

// The process-wide regional settings. Initialised to the Russian conventions before main
// (RussianRegionSettings in util/filefunc.h sets them again).
struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '\xA0';  // the no-break space
    char DateSeparator = '.';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd.MM.yyyy";
    std::string LongDateFormat = "d MMMM yyyy";
    std::string ShortTimeFormat = "h:nn";
    std::string LongTimeFormat = "h:nn:ss";
    std::string CurrencyString = "\xF0.";  // "р."
    int CurrencyDecimals = 2;
};
extern TFormatSettings FormatSettings;

// Strict conversions: the whole text (blanks around it allowed for numbers) must be a value,
// else EConvertError with the platform's message:
//   "'%s' is not a valid integer value", "'%s' is not a valid floating point value",
//   "'%s' is not a valid date", "'%s' is not a valid time", "'%s' is not a valid date and time".
// Integers accept an optional sign and a "$"/"0x"/"x" hexadecimal form (which may span the
// unsigned range: "$FFFFFFFF" is -1). Floats and currency use FormatSettings.DecimalSeparator
// (and no thousands separators); an exponent is accepted. Currency rounds the written digits
// to four decimals, halves away from zero; a value beyond the type's range is invalid.
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
double StrToFloat(std::string_view s);
Currency StrToCurr(std::string_view s);
// Dates: two or three numbers joined by DateSeparator in ShortDateFormat's order of d, M, y
// (two numbers are day and month of the current year); a one- or two-digit year falls in the
// 100 years from 50 before the current year. Times: h[:n[:s[,zzz]]] with an optional AM/PM.
// A date-time is a date, then optionally a time, or a time alone (on day zero).
TDateTime StrToDate(std::string_view s);
TDateTime StrToTime(std::string_view s);
TDateTime StrToDateTime(std::string_view s);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);
bool TryStrToFloat(std::string_view s, double& value);
bool TryStrToCurr(std::string_view s, Currency& value);
bool TryStrToDate(std::string_view s, TDateTime& value);
bool TryStrToDateTime(std::string_view s, TDateTime& value);
int StrToIntDef(std::string_view s, int def);

std::string IntToStr(int64_t n);
// General format with 15 significant digits and the locale's decimal separator: 1234.5 gives
// "1234,5", 1e20 gives "1E20", 0.0001 gives "0,0001".
std::string FloatToStr(double value);
std::string CurrToStr(Currency value);
// Number patterns: "0" digit, "#" optional digit, "." decimal separator position, "," thousands
// grouping, "E+"/"E-" exponent, quoted text, ";" sections for positive;negative;zero. An empty
// pattern gives FloatToStr. Output uses FormatSettings' separators. "%" is plain text (no
// scaling). A double is first taken to 15 significant digits, then rounded to the pattern's
// decimals halves away from zero (so 1.005 with "0.00" gives "1,01"); a value shown as zero
// gets no minus sign and takes the zero section when there is one. Beyond 18 integer digits a
// fixed pattern gives the general format; NaN and infinities give "NAN", "INF", "-INF".
std::string FormatFloat(std::string_view pattern, double value);
std::string FormatCurr(std::string_view pattern, Currency value);

std::string DateToStr(TDateTime dt);      // ShortDateFormat
std::string TimeToStr(TDateTime dt);      // LongTimeFormat
std::string DateTimeToStr(TDateTime dt);  // date, and the time when it is not midnight
// Date-time patterns: d dd ddd dddd, m mm mmm mmmm (month, or minutes after h), M MM MMM MMMM,
// yy yyyy, h hh, n nn, s ss, z zzz, am/pm, c (short date + long time), "/" and ":" as the
// locale's separators, quoted text; t/tt short/long time, ddddd/dddddd short/long date. Names are
// Russian; a full month name after a day number is in the genitive ("5 марта 2007").
// Decoding rounds to the millisecond. Values beyond 1e11 days or NaN raise EConvertError.
std::string FormatDateTime(std::string_view pattern, TDateTime dt);

// Encoding: EConvertError "Invalid argument to date encode" / "... time encode" on bad parts.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
int DayOfWeek(TDateTime dt);  // Sunday = 1 .. Saturday = 7, as the platform counts
TDateTime Now();
TDateTime Date();
TDateTime IncMonth(TDateTime dt, int months);

// Helpers for the text-level functions.
std::string Trim(std::string_view s);       // removes bytes <= ' ' at both ends
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

} // namespace lm
