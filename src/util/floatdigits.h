// Decimal digit strings of numbers, the common ground of number formatting and currency rounding.
#pragma once

#include <cstdint>
#include <string>

namespace lm::detail {

// A decimal number 0.d1d2d3... x 10^Exponent. Digits holds no leading or trailing zeros; an
// empty Digits is zero (Exponent is then 0).
struct DecimalDigits {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;

    bool IsZero() const { return Digits.empty(); }
};

// The value rounded to `precision` significant digits (1..17), correctly rounded from its
// binary value. Finite values only.
DecimalDigits toDecimal(double value, int precision);

// The exact digits of a 64-bit integer scaled by 10^-scale.
DecimalDigits toDecimal(int64_t raw, int scale);

// Rounds to `decimals` digits after the decimal point (may be negative: tens, hundreds...),
// halves away from zero. A value that rounds to nothing becomes zero and loses its sign.
void roundToDecimals(DecimalDigits& d, int decimals);

// Rounds to `count` significant digits, halves away from zero.
void roundToSignificant(DecimalDigits& d, int count);

// The integer d x 10^scale, rounded half away from zero; false when it does not fit 64 bits.
bool toScaledInteger(DecimalDigits d, int scale, int64_t& raw);

} // namespace lm::detail
