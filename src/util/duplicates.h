// TDuplicates: what a sorted list does with a value it already holds.
#pragma once

namespace lm {

enum TDuplicates { dupIgnore, dupAccept, dupError };

// Growth step of the lists when full: a quarter of the capacity above 64 entries, 16 above 8,
// else 4.
constexpr int ListGrowDelta(int capacity)
{
    return capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
}

} // namespace lm
