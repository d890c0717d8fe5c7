// The five named entities of the XML model: decoding parsed text and encoding written text.
#pragma once

#include <array>
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

// The bytes that need replacing: in attribute values & " < > ' and the zero byte, in text only
// & and < and the zero byte.
constexpr std::array<bool, 256> escapeTable(bool attr)
{
    std::array<bool, 256> t{};
    t['&'] = t['<'] = t[0] = true;
    if (attr)
        t['"'] = t['>'] = t['\''] = true;
    return t;
}
inline constexpr std::array<bool, 256> kEscapeAttr = escapeTable(true);
inline constexpr std::array<bool, 256> kEscapeText = escapeTable(false);

// XMLEncodeAttr (attr) or XMLEncodeNode of s handed to sink.add in runs, so that the writer can
// encode straight into its buffer.
template <class Sink>
void addXMLEncoded(Sink& sink, std::string_view s, bool attr)
{
    const std::array<bool, 256>& escape = attr ? kEscapeAttr : kEscapeText;
    std::size_t from = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!escape[static_cast<unsigned char>(s[i])])
            continue;
        std::string_view rep;
        switch (s[i]) {
        case '&': rep = "&amp;"; break;
        case '<': rep = "&lt;"; break;
        case '"': rep = "&quot;"; break;
        case '>': rep = "&gt;"; break;
        case '\'': rep = "&apos;"; break;
        default: rep = " "; break;
        }
        sink.add(s.substr(from, i - from));
        sink.add(rep);
        from = i + 1;
    }
    sink.add(s.substr(from));
}
} // namespace detail

} // namespace lm
