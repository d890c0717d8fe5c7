// Fuzzes the format-driven date parser and the transliteration walks (plus the small text
// decoders beside them). The input is split at its first newline: the text before it is
// parsed by the format after it; the whole input is transliterated and decoded.
//
// Bad input may raise lm::Exception (the conversion errors); anything else, a crash or a
// broken invariant aborts.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/exceptions.h"
#include "util/qstr.h"
#include "util/strs_dates.h"
#include "util/strs_encode.h"
#include "util/translit.h"

namespace {
void check(bool ok)
{
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view text = input.substr(0, newline);
    const std::string_view format = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
    try {
        const lm::TDateTime d = lm::StrtoDateFmt(text, format);
        // 1 January 1 to 31 December 9999, with a time of day below one day.
        check(std::isfinite(d) && d >= -693594.0 && d < 2958466.0);
    } catch (const lm::Exception&) {
    }

    const std::string latin = lm::TransliterateRE(input);
    check(latin.size() <= input.size() * 3);
    const std::string russian = lm::TransliterateER(input);
    check(russian.size() <= input.size());
    lm::TransliterateER(latin);

    check(lm::HTTPDecode(input).size() <= input.size());
    check(lm::RemoveTagsInsideTag(text, format.substr(0, 3)).size() <= text.size());
    try {
        lm::DecodeString(input);
    } catch (const lm::Exception&) {
    }
    lm::Q_TestWildStr(text, format);
    return 0;
}
