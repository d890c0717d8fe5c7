// Entity decoding and encoding of the XML model.
#include "xml/xmlentities.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "util/exceptions.h"

namespace lm {

namespace {

// Byte classes: kIllegal a control byte no XML text may hold (tab, line feed, carriage return
// and the zero byte, which becomes a space, are allowed), kSpecial a byte the decoder must look
// at ('&' and the zero byte), kVisible a byte above the blank, kZero the zero byte.
constexpr unsigned char kIllegal = detail::TextScan::kIllegal, kSpecial = detail::TextScan::kSpecial,
                        kVisible = detail::TextScan::kVisible, kZero = detail::TextScan::kZero;
constexpr std::array<unsigned char, 256> kClass = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 1; c < 32; ++c)
        if (detail::isIllegalControl(static_cast<unsigned char>(c)))
            t[c] |= kIllegal;
    t[0] |= kSpecial | kZero;
    t['&'] |= kSpecial;
    for (int c = 33; c < 256; ++c)
        t[c] |= kVisible;
    return t;
}();

// The entities; occurrences never overlap (each holds a single '&', at its start), so one
// left-to-right pass equals replacing them one kind at a time.
struct Entity {
    std::string_view text;
    char byte;
};
constexpr Entity kEntities[] = {
    {"&gt;", '>'}, {"&lt;", '<'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'},
};

// The entity s starts with ('&' known), null when none: the second byte tells the candidate.
const Entity* namedEntity(std::string_view s)
{
    if (s.size() < 4)
        return nullptr;
    const Entity* e;
    switch (s[1]) {
    case 'g': e = &kEntities[0]; break;
    case 'l': e = &kEntities[1]; break;
    case 'q': e = &kEntities[2]; break;
    case 'a': e = s[2] == 'p' ? &kEntities[3] : &kEntities[4]; break;
    default: return nullptr;
    }
    return s.substr(0, e->text.size()) == e->text ? e : nullptr;
}

// The byte of the reference "&#N;" or "&#xH;" that s starts with ("&#" known) when it names a
// control byte that text may not hold raw; -1 otherwise, and then the reference stays as it is.
// len gets the reference's length.
int controlReference(std::string_view s, std::size_t& len)
{
    if (s.size() < 4)
        return -1;
    const bool hex = s[2] == 'x';
    const int base = hex ? 16 : 10;
    std::size_t i = hex ? 3 : 2;
    const std::size_t first = i;
    int value = 0;
    // Three digits are enough for any byte (leading zeros included); longer ones name none.
    for (; i < s.size() && i < first + 3; ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        value = value * base + d;
    }
    if (i == first || i >= s.size() || s[i] != ';' || value >= 32 ||
        !detail::isIllegalControl(static_cast<unsigned char>(value)))
        return -1;
    len = i + 1;
    return value;
}

} // namespace

namespace detail {

std::size_t keptReference(std::string_view s)
{
    if (s.size() < 4 || s[1] != '#')
        return 0;
    const bool hex = s[2] == 'x';
    std::size_t i = hex ? 3 : 2;
    const std::size_t first = i;
    const auto digit = [hex](char c) {
        return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    };
    while (i < s.size() && digit(s[i]))
        ++i;
    if (i == first || i >= s.size() || s[i] != ';')
        return 0;
    std::size_t len = 0;
    return controlReference(s, len) >= 0 ? 0 : i + 1;
}

TextScan scanText(std::string_view s)
{
    // Eight bytes at a time: a byte below 32 anywhere (then the class table decides what it
    // is), a byte above 32 anywhere (the text is not blank), an '&' anywhere. The findings stay
    // in integers: a short run costs little more than the call.
    constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    uint64_t control = 0, visible = 0, amp = 0;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t x;
        std::memcpy(&x, s.data() + i, 8);
        control |= (x - ones * 32) & ~x & highs;
        visible |= ((x & ~highs) + ones * (127 - 32)) | x;
        const uint64_t a = x ^ (ones * '&');
        amp |= (a - ones) & ~a & highs;
    }
    unsigned acc = 0;
    for (; i < s.size(); ++i)
        acc |= kClass[static_cast<unsigned char>(s[i])];
    if (control & highs)
        for (std::size_t j = 0; j + 8 <= s.size(); j += 8)
            for (std::size_t k = j; k < j + 8; ++k)
                acc |= kClass[static_cast<unsigned char>(s[k])];
    if (visible & highs)
        acc |= kVisible;
    if (amp & highs)
        acc |= kSpecial;
    return TextScan{acc};
}

void checkXMLChars(std::string_view s)
{
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (kClass[c] & kIllegal) {
            static const char hex[] = "0123456789ABCDEF";
            std::string msg = "Illegal char in XML. Char ";
            msg += ch;
            msg += " code x";
            msg += hex[c >> 4];
            msg += hex[c & 15];
            msg += '.';
            throw Exception(std::move(msg));
        }
    }
}

void appendXMLDecoded(std::string& out, std::string_view s)
{
    const TextScan scan = scanText(s);
    if (scan.illegal())
        checkXMLChars(s);
    appendXMLDecodedChecked(out, s, scan);
}

void appendXMLDecodedChecked(std::string& out, std::string_view s, const TextScan& scan)
{
    if (!scan.special()) {
        out.append(s);
        return;
    }
    std::size_t i = 0;
    const bool zeros = (scan.bits & TextScan::kZero) != 0;
    while (i < s.size()) {
        // Copy the run up to the next byte that needs a look: the next '&' when the text holds
        // no zero byte, which is nearly always.
        std::size_t j = i;
        if (zeros) {
            while (j < s.size() && s[j] != '&' && s[j] != '\0')
                ++j;
        } else {
            j = s.find('&', i);
            if (j == std::string_view::npos)
                j = s.size();
        }
        out.append(s.data() + i, j - i);
        if (j == s.size())
            break;
        if (s[j] == '\0') {
            out += ' ';
            i = j + 1;
            continue;
        }
        i = j + 1;
        char decoded = '&';
        std::size_t len = 0;
        if (j + 1 < s.size() && s[j + 1] == '#') {
            if (const int control = controlReference(s.substr(j), len); control >= 0) {
                out += static_cast<char>(control);
                i = j + len;
                continue;
            }
        }
        if (const Entity* e = namedEntity(s.substr(j))) {
            decoded = e->byte;
            i = j + e->text.size();
        }
        out += decoded;
    }
}

} // namespace detail

std::string XMLDecode(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    detail::appendXMLDecoded(out, s);
    return out;
}

namespace {
struct Appender {
    std::string& out;
    void add(std::string_view s) { out.append(s); }
};
std::string encoded(std::string_view s, const std::array<bool, 256>& escape)
{
    std::string out;
    out.reserve(s.size());
    Appender sink{out};
    detail::addXMLEncoded(sink, s, escape);
    return out;
}
} // namespace

std::string XMLEncode(std::string_view s)
{
    return encoded(s, detail::kEscapeAll);
}

std::string XMLEncodeAttr(std::string_view s)
{
    return encoded(s, detail::kEscapeAttr);
}

std::string XMLEncodeNode(std::string_view s)
{
    return encoded(s, detail::kEscapeText);
}

} // namespace lm
