// Small text encoders and decoders: tag stripping, URL decoding, character-code lists,
// hexadecimal dumps, byte shifting and the two-digit base-36 code counter.
#pragma once

#include <string>
#include <string_view>

namespace lm {

// Removes every piece from "<" to the next ">"; a "<" without a ">" after it cuts the text.
std::string RemoveTags(std::string_view s);
// Keeps every element whose start tag begins with "<" + `tag`, start and end tag included,
// but strips the tags inside its content (RemoveTags). Everything outside such elements stays.
// The element ends at the next "</" + `tag` (case-sensitive); without one it runs to the end.
std::string RemoveTagsInsideTag(std::string_view s, std::string_view tag);
// "+" becomes a blank, "%%" a "%", and "%" with two hexadecimal digits (0-9, A-F) the byte of
// that value; any other "%" is kept as written.
std::string HTTPDecode(std::string_view s);
// A text starting with "^" is a list of decimal character codes, each after a "^" and
// optionally surrounded by blanks ("^72^ 105" gives "Hi"); any other text is returned as it
// is. A code that is not an integer raises EConvertError; a code above 255 gives its low byte.
std::string DecodeString(std::string_view s);
// Every byte as two upper-case hexadecimal digits.
std::string HextoStr(std::string_view s);
// Every byte increased by `n`, wrapping within 0-255.
std::string ShiftStr(std::string_view s, int n);
// Moves the two-digit base-36 code `w` ("0".."9", "A".."Z"; lower-case letters read as
// capitals; an empty `w` is "00", one digit gets a "0" in front) by `delta` steps. The result
// stays within "00".."ZZ". A code with other characters or more than two raises EConvertError.
std::string CodeWordChange(std::string_view w, int delta);

} // namespace lm
