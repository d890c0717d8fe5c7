// Lenient number parsing, small integer formats, rounding and the value helpers (Min, Max,
// IIF) of the string library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "util/currency.h"

namespace lm {

// 0 for an empty text; otherwise both "," and "." are read as the decimal separator and the
// text must then be a number (EConvertError otherwise).
double iStrtoFloat(std::string_view s);
Currency iStrtoCurr(std::string_view s);
// 0 for an empty text, else the strict integer conversion (EConvertError on bad text).
int iStrtoInt(std::string_view s);
// `def` for an empty text, else the strict integer conversion.
int IntParam(std::string_view s, int def);

// Decimal text of `n`, with a "0" in front when it is a single character ("07", "-7", "12").
std::string IntToStr2(int n);
// The integer value of `s`; "07" is read as "7". EConvertError on bad text.
int StrtoInt2(std::string_view s);

// The 64-bit integer nearest to `x`: a positive half rounds up (2.5 gives 3), other halves go
// to the even neighbour (-2.5 gives -2). A value outside the 64-bit range, or not a number,
// raises lm::Exception "Invalid floating point operation".
int64_t MathRound(double x);

std::string BooltoStr(bool b);  // "1" or "0"

// Four dot-separated numbers as one 32-bit address, the first in the high byte; each part must
// be an integer (EConvertError otherwise) and is taken modulo 256.
uint32_t StrtoIP(std::string_view s);

int Min(int a, int b);
int Max(int a, int b);
double Min(double a, double b);
double Max(double a, double b);

// `a` when `b`, else `c`.
std::string IIF(bool b, const std::string& a, const std::string& c);
int IIF(bool b, int a, int c);
double IIF(bool b, double a, double c);

} // namespace lm
