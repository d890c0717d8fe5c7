// Currency arithmetic: exact sums, products and quotients rounded to four decimals.
#include "util/currency.h"

#include <cmath>
#include <limits>

#include "util/exceptions.h"
#include "util/floatdigits.h"

namespace lm {

namespace detail {

bool toScaledInteger(DecimalDigits d, int scale, int64_t& raw)
{
    roundToDecimals(d, scale);
    if (d.IsZero()) {
        raw = 0;
        return true;
    }
    const int length = d.Exponent + scale;  // digits of the integer
    if (length > 19)
        return false;
    uint64_t mag = 0;
    for (int k = 0; k < length; ++k) {
        const uint64_t digit = k < static_cast<int>(d.Digits.size()) ? uint64_t(d.Digits[k] - '0') : 0;
        if (mag > (std::numeric_limits<uint64_t>::max() - digit) / 10)
            return false;
        mag = mag * 10 + digit;
    }
    const uint64_t limit = uint64_t(std::numeric_limits<int64_t>::max()) + (d.Negative ? 1 : 0);
    if (mag > limit)
        return false;
    raw = static_cast<int64_t>(d.Negative ? uint64_t(0) - mag : mag);
    return true;
}

} // namespace detail

namespace {

__extension__ typedef __int128 Wide;  // products of two raw amounts need 128 bits

// The quotient n / d rounded half away from zero (d != 0).
Wide divideRounded(Wide n, Wide d)
{
    Wide q = n / d;
    const Wide r = n % d;
    const Wide absR = r < 0 ? -r : r;
    const Wide absD = d < 0 ? -d : d;
    if (absR * 2 >= absD)
        q += ((n < 0) != (d < 0)) ? -1 : 1;
    return q;
}

Currency checked(Wide raw)
{
    if (raw > std::numeric_limits<int64_t>::max() || raw < std::numeric_limits<int64_t>::min())
        throw Exception("Floating point overflow");
    return Currency::FromRaw(static_cast<int64_t>(raw));
}

} // namespace

Currency Currency::FromDouble(double value)
{
    int64_t raw = 0;
    // Rounding the 15 significant digits keeps 0.00005 (binary 0.0000499999...) a half.
    if (!std::isfinite(value) || !detail::toScaledInteger(detail::toDecimal(value, 15), 4, raw))
        throw Exception("Invalid floating point operation");
    return FromRaw(raw);
}

Currency Currency::operator*(Currency o) const
{
    return checked(divideRounded(Wide(m_raw) * o.m_raw, Scale));
}

Currency Currency::operator/(Currency o) const
{
    if (o.m_raw == 0)
        throw Exception("Floating point division by zero");
    return checked(divideRounded(Wide(m_raw) * Scale, o.m_raw));
}

} // namespace lm
