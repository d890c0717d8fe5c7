// Russian-Latin transliteration of Windows-1251 text in both directions.
#pragma once

#include <string>
#include <string_view>

namespace lm {

// Russian to Latin: each Russian letter becomes its Latin form ("ж" gives "zh"), a capital
// the upper-cased form ("Щ" gives "SCH"); every other character stays as it is.
std::string TransliterateRE(std::string_view s);
// Latin to Russian: "sch" (lower case only) gives "щ"; otherwise a two-letter form wins over a
// one-letter one ("sh" gives "ш"), the first letter in alphabet order wins among equal forms
// ("e" gives "е", "y" gives "й", "'" gives "ъ"), and a form written in capitals or capitalised
// gives the capital letter. Other characters, Cyrillic included, pass unchanged.
std::string TransliterateER(std::string_view s);

} // namespace lm
