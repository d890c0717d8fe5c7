// Amounts written out in Russian words (roubles and kopecks, dollars and cents) and the choice
// of a noun's ending by the number it goes with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lm {

// The amount in words with roubles and kopecks, e.g. 21.01 gives
// "двадцать один рубль одна копейка" and 1000 gives "одна тысяча рублей " (a whole amount keeps
// its trailing blank). Kopecks are the fraction rounded to a whole number (halves to even); a
// fraction that rounds to 100 carries into the roubles. Whole parts up to 999 999 999 999 are
// written; a larger amount, or one that is not a number, raises EConvertError.
std::string ValuetoTextRUR(double v);
// The same with dollars and cents.
std::string ValuetoTextUSD(double v);

// `stem` followed by the ending that goes with `n` in Russian: `formOne` for 1, 21, 31...,
// `formFew` for 2-4, 22-24..., `formMany` for 0, 5-20, 25-30... (11-19 take `formMany`).
// The sign of `n` does not matter.
std::string CorrectForm(std::string_view stem, std::string_view formMany, std::string_view formOne,
                        std::string_view formFew, int64_t n);

} // namespace lm
