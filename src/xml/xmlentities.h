// The five named entities of the XML model: decoding parsed text and encoding written text.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace lm {

// Decodes &gt; &lt; &quot; &apos; &amp; and turns zero bytes into spaces. Numeric references
// stay as they are, except those of the control bytes 1..8, 11, 12 and 14..31 ("&#7;" or
// "&#x7;"), which are decoded: they are the only form in which such a byte can be stored, and
// the writers use it. Because &amp; is decoded last, "&amp;lt;" gives "&lt;". Raises
// lm::Exception "Illegal char in XML. Char %s code x%.2X." for the first raw byte in 1..8, 11,
// 12 or 14..31.
std::string XMLDecode(std::string_view s);

// Replaces & " < > ' by their entities and the control bytes XMLDecode refuses raw by "&#N;".
// A well-formed numeric reference that XMLDecode leaves as it is ("&#65;", "&#x416;") is written
// unchanged, so that a parsed text is saved as it was read; the references of control bytes,
// which XMLDecode decodes, get their "&" encoded.
std::string XMLEncode(std::string_view s);
// XMLEncode, and zero bytes become spaces: the form of attribute values.
std::string XMLEncodeAttr(std::string_view s);
// Only & and < and the control bytes are replaced (zero bytes become spaces): the form of text
// content.
std::string XMLEncodeNode(std::string_view s);

namespace detail {
// What one pass over a text found: an illegal byte, only bytes up to ' ', an '&' or zero byte,
// a zero byte. The findings are bits of one integer, which comes back from the scan in a register.
struct TextScan {
    static constexpr unsigned kIllegal = 1, kSpecial = 2, kVisible = 4, kZero = 8;
    unsigned bits = 0;
    bool illegal() const { return (bits & kIllegal) != 0; }
    bool blank() const { return (bits & kVisible) == 0; }
    bool special() const { return (bits & kSpecial) != 0; }
};
TextScan scanText(std::string_view s);
// XMLDecode appending to out: the parser's form, which spares a temporary per text run.
void appendXMLDecoded(std::string& out, std::string_view s);
// The same for a text whose scan found no illegal byte.
void appendXMLDecodedChecked(std::string& out, std::string_view s, const TextScan& scan);
// The check half of XMLDecode: raises the illegal-character error when s holds one.
void checkXMLChars(std::string_view s);

// True for a control byte that XML text may not hold raw: below 32 except zero (which the
// encoders and the decoder turn into a space), tab, line feed and carriage return.
constexpr bool isIllegalControl(unsigned char c)
{
    return c >= 1 && c < 32 && c != 9 && c != 10 && c != 13;
}

// The length of the numeric reference ("&#N;" or "&#xH;") that s starts with when XMLDecode
// leaves it undecoded; 0 when s starts with anything else.
std::size_t keptReference(std::string_view s);

// "&#N;" for each control byte that isIllegalControl holds (empty for the others).
inline constexpr std::array<std::string_view, 32> kControlRefs = {
    "",      "&#1;",  "&#2;",  "&#3;",  "&#4;",  "&#5;",  "&#6;",  "&#7;",  "&#8;",  "",      "",
    "&#11;", "&#12;", "",      "&#14;", "&#15;", "&#16;", "&#17;", "&#18;", "&#19;", "&#20;", "&#21;",
    "&#22;", "&#23;", "&#24;", "&#25;", "&#26;", "&#27;", "&#28;", "&#29;", "&#30;", "&#31;",
};

// The bytes that need replacing: & < and the control bytes always; " > ' when quotes, the zero
// byte when zeroToSpace.
constexpr std::array<bool, 256> escapeTable(bool quotes, bool zeroToSpace)
{
    std::array<bool, 256> t{};
    t['&'] = t['<'] = true;
    t[0] = zeroToSpace;
    if (quotes)
        t['"'] = t['>'] = t['\''] = true;
    for (int c = 1; c < 32; ++c)
        t[c] = isIllegalControl(static_cast<unsigned char>(c));
    return t;
}
inline constexpr std::array<bool, 256> kEscapeAll = escapeTable(true, false);
inline constexpr std::array<bool, 256> kEscapeAttr = escapeTable(true, true);
inline constexpr std::array<bool, 256> kEscapeText = escapeTable(false, true);

// s encoded by the escape table (kEscapeAll for XMLEncode, kEscapeAttr for XMLEncodeAttr,
// kEscapeText for XMLEncodeNode) and handed to sink.add in runs, so that the writer can encode
// straight into its buffer.
template <class Sink>
void addXMLEncoded(Sink& sink, std::string_view s, const std::array<bool, 256>& escape)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (!escape[c])
            continue;
        std::string_view rep;
        switch (c) {
        case '&':
            if (keptReference(s.substr(i)) != 0)
                continue;
            rep = "&amp;";
            break;
        case '<': rep = "&lt;"; break;
        case '"': rep = "&quot;"; break;
        case '>': rep = "&gt;"; break;
        case '\'': rep = "&apos;"; break;
        case 0: rep = " "; break;
        default: rep = kControlRefs[c]; break;
        }
        sink.add(s.substr(from, i - from));
        sink.add(rep);
        from = i + 1;
    }
    sink.add(s.substr(from));
}
} // namespace detail

} // namespace lm
