// WildcardMatch: the one-backtrack wildcard matching behind file masks, Q_TestWildStr and LIKE.
#pragma once

#include <cstddef>
#include <string_view>

namespace lm::detail {

// Whether the whole `text` matches the whole `mask`. `any` in the mask stands for any run of
// characters (empty included); any other mask character matches one text character when
// `same(maskChar, textChar)` says so. Greedy, with one back-tracking point: the last `any`
// seen takes one more character whenever the rest fails, which keeps the work quadratic at
// worst.
template <typename Same>
bool WildcardMatch(std::string_view text, std::string_view mask, char any, const Same& same)
{
    std::size_t i = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starText = 0;
    while (i < text.size()) {
        if (m < mask.size() && mask[m] == any) {
            starMask = m++;
            starText = i;
        } else if (m < mask.size() && same(mask[m], text[i])) {
            ++m;
            ++i;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            i = ++starText;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == any)
        ++m;
    return m == mask.size();
}

} // namespace lm::detail
