// The quicksort shared by the lists: middle entry as pivot, not stable.
#pragma once

#include <utility>

namespace lm::detail {

// Sorts items[left..right] in ascending order of `compare` (a three-way comparison of two
// items). Hoare partition around the middle entry, which is followed as it moves so that it is
// compared in place without a copy. The smaller part is sorted by recursion and the larger one
// by the loop, which bounds the stack depth by log2 of the length whatever the input order.
template <typename Item, typename Compare>
void QuickSortItems(Item* items, int left, int right, const Compare& compare)
{
    while (left < right) {
        int i = left;
        int j = right;
        int p = left + (right - left) / 2;
        do {
            while (compare(items[i], items[p]) < 0)
                ++i;
            while (compare(items[j], items[p]) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(items[i], items[j]);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - left < right - i) {
            if (left < j)
                QuickSortItems(items, left, j, compare);
            left = i;
        } else {
            if (i < right)
                QuickSortItems(items, i, right, compare);
            right = j;
        }
    }
}

} // namespace lm::detail
