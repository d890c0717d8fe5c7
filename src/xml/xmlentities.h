// The five named entities of the XML model: decoding parsed text and encoding written text.
#pragma once

#include <string>
#include <string_view>

namespace lm {

// Decodes &gt; &lt; &quot; &apos; &amp; (numeric references stay as they are) and turns zero
// bytes into spaces. Because &amp; is decoded last, "&amp;lt;" gives "&lt;". Raises
// lm::Exception "Illegal char in XML. Char %s code x%.2X." for the first byte in 1..8, 11, 12
// or 14..31.
std::string XMLDecode(std::string_view s);

// Replaces & " < > ' by their entities.
std::string XMLEncode(std::string_view s);
// XMLEncode, and zero bytes become spaces: the form of attribute values.
std::string XMLEncodeAttr(std::string_view s);
// Only & and < are replaced (zero bytes become spaces): the form of text content.
std::string XMLEncodeNode(std::string_view s);

namespace detail {
// What one pass over a text found: an illegal byte, only bytes up to ' ', an '&' or zero byte.
struct TextScan {
    bool illegal = false;
    bool blank = true;
    bool special = false;
};
TextScan scanText(std::string_view s);
// XMLDecode appending to out: the parser's form, which spares a temporary per text run.
void appendXMLDecoded(std::string& out, std::string_view s);
// The same for a text whose scan found no illegal byte.
void appendXMLDecodedChecked(std::string& out, std::string_view s, const TextScan& scan);
// The check half of XMLDecode: raises the illegal-character error when s holds one.
void checkXMLChars(std::string_view s);
} // namespace detail

} // namespace lm
