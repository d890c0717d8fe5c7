// Currency: a 64-bit fixed-point amount with four decimals, as the database's money columns and
// the platform's currency type hold it.
#pragma once

#include <compare>
#include <cstdint>

namespace lm {

class Currency {
public:
    static constexpr int64_t Scale = 10000;

    constexpr Currency() = default;
    // Rounds to the nearest 1/10000, halves away from zero.
    static Currency FromDouble(double value);
    static constexpr Currency FromRaw(int64_t raw) { Currency c; c.m_raw = raw; return c; }
    static constexpr Currency FromInt(int64_t units) { return FromRaw(units * Scale); }

    constexpr int64_t Raw() const { return m_raw; }
    double ToDouble() const { return static_cast<double>(m_raw) / Scale; }

    constexpr auto operator<=>(const Currency&) const = default;
    constexpr Currency operator-() const { return FromRaw(-m_raw); }
    constexpr Currency operator+(Currency o) const { return FromRaw(m_raw + o.m_raw); }
    constexpr Currency operator-(Currency o) const { return FromRaw(m_raw - o.m_raw); }
    Currency operator*(Currency o) const;  // rounded to four decimals
    Currency operator/(Currency o) const;  // EConvertError-free: division by zero raises lm::Exception
    Currency& operator+=(Currency o) { m_raw += o.m_raw; return *this; }
    Currency& operator-=(Currency o) { m_raw -= o.m_raw; return *this; }

private:
    int64_t m_raw = 0;
};

} // namespace lm
