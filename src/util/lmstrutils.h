// Counting separators and wrapping text into lines of a given width.
#pragma once

#include <string>
#include <string_view>

namespace lm {

// How many times `sep` occurs in `text`, overlapping occurrences included ("aa" occurs twice
// in "aaa"); 0 when either is empty.
int SeparateQuantity(std::string_view text, std::string_view sep);
// `s` wrapped into lines of at most `width` characters joined by CR LF. While more than
// `width` characters remain, a line ends after the last blank among the first `width`
// characters (the blank stays at its end), or after exactly `width` characters when there is
// no blank. A `width` below 1 returns `s` unchanged.
std::string GetSeparateText(std::string_view s, int width);

} // namespace lm
