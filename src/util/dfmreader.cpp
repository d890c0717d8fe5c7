// Reading the textual component format (see dfmobject.h) with a byte scanner that keeps the
// line number for its messages.
#include <charconv>
#include <cstring>

#include "util/cp1251.h"
#include "util/dfmobject.h"

namespace lm {

namespace {

constexpr int kMaxDepth = 256;

bool identStart(unsigned char c) { return c == '_' || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c >= 0x80; }
bool identChar(unsigned char c) { return identStart(c) || (c >= '0' && c <= '9') || c == '.'; }
bool sameWord(std::string_view a, std::string_view b) { return upperCase(a) == upperCase(b); }

class Reader {
public:
    explicit Reader(std::string_view text) : m_s(text) {}

    TDfmObject document()
    {
        skipBlanks();
        TDfmObject object = readObject(ident());
        skipBlanks();
        if (m_p < m_s.size())
            fail("лишний текст после end"_w);
        return object;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw EParserError(Format("Строка %d: %s"_w, {m_line, what}));
    }

    void skipBlanks()
    {
        while (m_p < m_s.size()) {
            const char c = m_s[m_p];
            if (c == '\n')
                ++m_line;
            else if (c != ' ' && c != '\t' && c != '\r')
                break;
            ++m_p;
        }
    }

    char peek()
    {
        skipBlanks();
        return m_p < m_s.size() ? m_s[m_p] : '\0';
    }

    void expect(char c)
    {
        if (peek() != c)
            fail(Format("ожидается '%s'"_w, {std::string(1, c)}));
        ++m_p;
    }

    std::string ident()
    {
        skipBlanks();
        if (m_p >= m_s.size() || !identStart(static_cast<unsigned char>(m_s[m_p])))
            fail("ожидается идентификатор"_w);
        const std::size_t start = m_p;
        while (m_p < m_s.size() && identChar(static_cast<unsigned char>(m_s[m_p])))
            ++m_p;
        return std::string(m_s.substr(start, m_p - start));
    }

    void enter()
    {
        if (++m_depth > kMaxDepth)
            fail("слишком глубокая вложенность"_w);
    }

    // After the keyword "object", "inherited" or "inline".
    TDfmObject readObject(const std::string& keyword)
    {
        if (!sameWord(keyword, "object") && !sameWord(keyword, "inherited") && !sameWord(keyword, "inline"))
            fail("ожидается object"_w);
        enter();
        TDfmObject object;
        object.Kind = lowerCase(keyword);
        object.ClassName = ident();
        if (peek() == ':') {
            ++m_p;
            object.Name = object.ClassName;
            object.ClassName = ident();
        }
        if (peek() == '[') {  // the position of an inherited child
            ++m_p;
            readNumber();
            expect(']');
        }
        for (;;) {
            const std::string word = ident();
            if (sameWord(word, "end"))
                break;
            if (sameWord(word, "object") || sameWord(word, "inherited") || sameWord(word, "inline"))
                object.Children.push_back(readObject(word));
            else
                object.Properties.push_back(readProperty(word));
        }
        --m_depth;
        return object;
    }

    TDfmProperty readProperty(std::string name)
    {
        expect('=');
        return {std::move(name), readValue()};
    }

    TDfmValue readValue()
    {
        const char c = peek();
        if (c == '\'' || c == '#')
            return TDfmValue::String(readString());
        if (c == '-' || c == '+' || c == '$' || (c >= '0' && c <= '9'))
            return readNumber();
        if (c == '[')
            return readSet();
        if (c == '(' || c == '<') {
            enter();
            TDfmValue v = c == '(' ? readList() : readCollection();
            --m_depth;
            return v;
        }
        if (c == '{')
            return readBinary();
        if (c != '\0' && identStart(static_cast<unsigned char>(c)))
            return TDfmValue::Ident(ident());
        fail("неверное значение свойства"_w);
    }

    // Quoted runs and #N characters side by side, pieces joined with "+".
    std::string readString()
    {
        std::string out;
        for (;;) {
            readStringPiece(out);
            if (peek() != '+')
                break;
            ++m_p;
            const char next = peek();
            if (next != '\'' && next != '#')
                fail("ожидается строка после '+'"_w);
        }
        return out;
    }

    void readStringPiece(std::string& out)
    {
        while (m_p < m_s.size()) {
            const char c = m_s[m_p];
            if (c == '\'') {
                ++m_p;
                for (;;) {
                    if (m_p >= m_s.size() || m_s[m_p] == '\n' || m_s[m_p] == '\r')
                        fail("незакрытая строка"_w);
                    if (m_s[m_p] == '\'') {
                        if (m_p + 1 < m_s.size() && m_s[m_p + 1] == '\'') {
                            out += '\'';
                            m_p += 2;
                            continue;
                        }
                        ++m_p;
                        break;
                    }
                    out += m_s[m_p++];
                }
            } else if (c == '#') {
                ++m_p;
                out += characterCode();
            } else {
                break;
            }
        }
    }

    // The byte of "#N" (decimal or $hex N, a Unicode code point); "?" outside the code page.
    char characterCode()
    {
        const bool hex = m_p < m_s.size() && m_s[m_p] == '$';
        if (hex)
            ++m_p;
        const char* first = m_s.data() + m_p;
        uint32_t code = 0;
        const auto [ptr, ec] = std::from_chars(first, m_s.data() + m_s.size(), code, hex ? 16 : 10);
        if (ec != std::errc() || ptr == first || code > 0x10FFFF)
            fail("неверный код символа"_w);
        m_p += static_cast<std::size_t>(ptr - first);
        const int byte = detail::cp1251FromUnicode(code);
        return byte < 0 ? '?' : static_cast<char>(byte);
    }

    TDfmValue readNumber()
    {
        skipBlanks();
        if (m_p >= m_s.size())
            fail("ожидается число"_w);
        const std::size_t start = m_p;
        if (m_s[m_p] == '$') {
            ++m_p;
            uint64_t n = 0;
            const char* first = m_s.data() + m_p;
            const auto [ptr, ec] = std::from_chars(first, m_s.data() + m_s.size(), n, 16);
            if (ec != std::errc() || ptr == first)
                fail("неверное число"_w);
            m_p += static_cast<std::size_t>(ptr - first);
            return TDfmValue::Integer(static_cast<int64_t>(n));
        }
        if (m_s[m_p] == '-' || m_s[m_p] == '+')
            ++m_p;
        bool isFloat = false;
        while (m_p < m_s.size()) {
            const char c = m_s[m_p];
            if (c == '.' || c == 'e' || c == 'E') {
                isFloat = true;
            } else if ((c == '-' || c == '+') && (m_s[m_p - 1] == 'e' || m_s[m_p - 1] == 'E')) {
            } else if (c < '0' || c > '9') {
                break;
            }
            ++m_p;
        }
        std::string text(m_s.substr(start, m_p - start));
        if (!text.empty() && text[0] == '+')
            text.erase(0, 1);
        const char* end = text.data() + text.size();
        if (isFloat) {
            double d = 0;
            const auto [ptr, ec] = std::from_chars(text.data(), end, d);
            if (ec != std::errc() || ptr != end)
                fail("неверное число"_w);
            return TDfmValue::FloatValue(d);
        }
        int64_t n = 0;
        const auto [ptr, ec] = std::from_chars(text.data(), end, n);
        if (ec != std::errc() || ptr != end)
            fail("неверное число"_w);
        return TDfmValue::Integer(n);
    }

    TDfmValue readSet()
    {
        expect('[');
        TDfmValue v;
        v.Kind = TDfmValue::vkSet;
        if (peek() == ']') {
            ++m_p;
            return v;
        }
        for (;;) {
            const char c = peek();
            if (c >= '0' && c <= '9') {
                const std::size_t start = m_p;
                while (m_p < m_s.size() && m_s[m_p] >= '0' && m_s[m_p] <= '9')
                    ++m_p;
                v.Set.emplace_back(m_s.substr(start, m_p - start));
            } else {
                v.Set.push_back(ident());
            }
            if (peek() == ']') {
                ++m_p;
                return v;
            }
            expect(',');
        }
    }

    TDfmValue readList()
    {
        expect('(');
        TDfmValue v;
        v.Kind = TDfmValue::vkList;
        while (peek() != ')') {
            if (m_p >= m_s.size())
                fail("ожидается ')'"_w);
            v.List.push_back(readValue());
        }
        ++m_p;
        return v;
    }

    TDfmValue readCollection()
    {
        expect('<');
        TDfmValue v;
        v.Kind = TDfmValue::vkCollection;
        while (peek() != '>') {
            if (!sameWord(ident(), "item"))
                fail("ожидается item"_w);
            if (peek() == '[') {
                ++m_p;
                readNumber();
                expect(']');
            }
            std::vector<TDfmProperty> props;
            for (;;) {
                std::string word = ident();
                if (sameWord(word, "end"))
                    break;
                props.push_back(readProperty(std::move(word)));
            }
            v.Items.push_back(std::move(props));
        }
        ++m_p;
        return v;
    }

    TDfmValue readBinary()
    {
        expect('{');
        TDfmValue v;
        v.Kind = TDfmValue::vkBinary;
        int high = -1;
        for (;;) {
            const char c = peek();
            if (c == '}')
                break;
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
                digit = (c | 0x20) - 'a' + 10;
            if (digit < 0)
                fail("ожидается '}'"_w);
            ++m_p;
            if (high < 0) {
                high = digit;
            } else {
                v.Str += static_cast<char>(high * 16 + digit);
                high = -1;
            }
        }
        if (high >= 0)
            fail("нечётное число шестнадцатеричных цифр"_w);
        ++m_p;
        return v;
    }

    std::string_view m_s;
    std::size_t m_p = 0;
    int m_line = 1;
    int m_depth = 0;
};

} // namespace

TDfmObject ReadDfmText(std::string_view text) { return Reader(text).document(); }

} // namespace lm
