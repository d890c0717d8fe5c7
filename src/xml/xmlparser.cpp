// The XML parser: turns Windows-1251 text into a TXMLNode tree.
//
// Accepted syntax. The text is read in place with an index; only names, values and text runs
// are copied out. An element is "<name", attributes name="value" (double quotes only; a bare
// name value only on nodes made with CreateHTML), an optional "/" and ">", then content up to
// "</name". Content is text (the five named entities and the references of control bytes
// decoded, runs of whitespace alone dropped), child elements, "<![CDATA[...]]>" and
// "<!--...-->". Declarations "<?name ...?>" go to the Header of the element that follows them.
// Comments and a "<!DOCTYPE ...>" (with its bracketed internal subset) before the root element
// are dropped; any other "<!" construct is refused, as is a declaration without a name. A whole
// document (ParseDocument) is one root element followed by nothing but blanks, comments and
// declarations. Whitespace is any byte up to 32; name characters are $ % - . 0-9 : @ A-Z a-z _
// and the bytes 0xC0-0xFF.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "xml/xmlentities.h"
#include "xml/xmlnode.h"

namespace lm {

namespace {

// Deeper nesting is refused rather than risking the stack of the recursive tree walks.
constexpr int kMaxDepth = 1024;

constexpr std::array<bool, 256> kNameChar = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : std::string_view("$%-.:@_"))
        t[c] = true;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = t[c + 32] = true;
    for (int c = 0xC0; c <= 0xFF; ++c)
        t[c] = true;
    return t;
}();

// Space, tab, line feed and carriage return: the blanks a text run may hold raw.
constexpr std::array<bool, 256> kLayout = [] {
    std::array<bool, 256> t{};
    t[' '] = t['\t'] = t['\n'] = t['\r'] = true;
    return t;
}();

enum class Tok { Name, Close, Slash, Bang, Question, Quoted };

class Parser {
public:
    Parser(std::string_view text, std::size_t& pos) : t(text), L(text.size()), p(pos) {}

    void parseNode(TXMLNode* n, int depth);
    // After the root element: only blanks, comments and declarations may follow.
    void finishDocument();

private:
    unsigned char at(std::size_t i) const { return i < L ? static_cast<unsigned char>(t[i]) : 0; }
    void skipWS()
    {
        while (p < L && static_cast<unsigned char>(t[p]) <= ' ')
            ++p;
    }
    // Finds a literal at or after p; npos when there is none.
    std::size_t find(std::string_view what) const { return t.find(what, p); }

    Tok readToken(std::string_view& name, std::string& quoted);
    std::unique_ptr<TXMLNode> readAttribute(std::string_view name, TXMLNode* parent, bool html, Tok& valueToken);
    void parseContent(TXMLNode* n, int depth);

    // Line of a position: the CR LF pairs before it, plus one when there is any (so the first
    // line gives 0).
    int lineOf(std::size_t pos) const
    {
        int n = 0;
        for (std::size_t i = 0; i + 1 < pos && i + 1 < L; ++i)
            if (t[i] == '\r' && t[i + 1] == '\n')
                ++n;
        return n > 0 ? n + 1 : 0;
    }
    // "Строка № <line>, номер символа <position>" for the current position.
    std::string wherePrefix() const
    {
        std::string out = "Строка № "_w;
        out += std::to_string(lineOf(p));
        out += ", номер символа "_w;
        out += std::to_string(p);
        return out;
    }
    // count bytes of the text from start (clipped to the text).
    std::string excerpt(long long start, std::size_t count) const
    {
        const std::size_t s = start < 0 ? 0 : static_cast<std::size_t>(start);
        return s >= L ? std::string() : std::string(t.substr(s, count));
    }
    [[noreturn]] void tagOrderError(const std::string& name) const;
    // "Строка № <line>, номер символа <position> :<what>" at the current position.
    [[noreturn]] void errorHere(std::string_view what) const
    {
        std::string msg = wherePrefix();
        msg += " :";
        msg += what;
        throw Exception(std::move(msg));
    }
    // Moves past the "<!DOCTYPE" declaration whose name p stands after: quoted literals, the
    // bracketed internal subset and the comments in it may hold a ">".
    void skipDoctype();
    // Moves past the comment or declaration at p ("<!--" or "<?" known); false when neither
    // stands there.
    bool skipMisc();

    std::string_view t;
    std::size_t L;
    std::size_t& p;
    // Attributes of the tag being read, moved to the node's list in one piece at the tag's end.
    std::vector<std::unique_ptr<TXMLNode>> m_attrs;
};

Tok Parser::readToken(std::string_view& name, std::string& quoted)
{
    name = {};
    if (p >= L)
        return Tok::Name;
    const char c = t[p];
    switch (c) {
    case '>': ++p; return Tok::Close;
    case '/': ++p; return Tok::Slash;
    case '!': ++p; return Tok::Bang;
    case '?': ++p; return Tok::Question;
    case '"': {
        const std::size_t q = t.find('"', p + 1);
        if (q == std::string_view::npos)
            throw Exception("Неопределенный атрибут"_w);
        quoted.clear();
        detail::appendXMLDecoded(quoted, t.substr(p + 1, q - p - 1));
        p = q + 1;
        return Tok::Quoted;
    }
    default:
        break;
    }
    if (!kNameChar[static_cast<unsigned char>(c)]) {
        std::string msg = wherePrefix();
        msg += " :Недопустимый символ в XML:\""_w;
        msg += c;
        msg += '"';
        throw Exception(std::move(msg));
    }
    const std::size_t start = p;
    while (p < L && kNameChar[static_cast<unsigned char>(t[p])])
        ++p;
    name = t.substr(start, p - start);
    return Tok::Name;
}

// Reads the value token after "name=" and makes the attribute node. A bare name value is
// refused unless html is set.
std::unique_ptr<TXMLNode> Parser::readAttribute(std::string_view name, TXMLNode* parent, bool html, Tok& valueToken)
{
    // The name and value are read straight into the node's own strings.
    std::unique_ptr<TXMLNode> attr = TXMLNode::Create(std::string(), ntAttr, parent, std::string());
    attr->Name.assign(name);
    std::string_view bare;
    valueToken = readToken(bare, attr->Value);
    if (valueToken == Tok::Name) {
        attr->Value.assign(bare);
        if (!html)
            throw Exception("Ожидаемое значение атрибута"_w);
    }
    return attr;
}

void Parser::tagOrderError(const std::string& name) const
{
    const std::size_t first = t.find("<" + name + ">");
    const std::string closing = "</" + name + ">";
    const bool closed = t.find(closing, first == std::string_view::npos ? 0 : first) != std::string_view::npos;
    std::string msg = "Строка № "_w;
    msg += std::to_string(first == std::string_view::npos ? 0 : lineOf(first));
    msg += ", Ошибка порядка тегов. Тег: \""_w;
    msg += name;
    msg += "\" ";
    if (!closed)
        msg += Format("Нет закрывающего тега </%s>"_w, {name});
    msg += " code: ";
    msg += excerpt(static_cast<long long>(p) - 102, 200);
    throw Exception(std::move(msg));
}

void Parser::parseNode(TXMLNode* n, int depth)
{
    std::string_view name;
    std::string quoted;
    for (;;) {  // starts again after a declaration and after a comment before the root element
        if (at(p) != '<')
            throw Exception("< ожидаемый"_w);
        ++p;
        const Tok tag = readToken(name, quoted);
        n->Name.assign(tag == Tok::Quoted ? std::string_view(quoted) : name);

        if (tag == Tok::Name) {
            bool empty = false;
            Tok last = Tok::Name;
            while (p <= L && last != Tok::Close) {
                skipWS();
                last = readToken(name, quoted);
                if (last == Tok::Slash) {
                    empty = true;
                } else if (last == Tok::Name) {
                    skipWS();
                    if (at(p) != '=')
                        throw Exception("= ожидаемый:"_w + excerpt(static_cast<long long>(p) - 51, 100));
                    ++p;
                    m_attrs.push_back(readAttribute(name, n, n->IsHTML, last));
                }
            }
            if (!m_attrs.empty()) {
                TXMLNodeList& attrs = n->Attrs();
                attrs.Reserve(static_cast<int>(m_attrs.size()));
                for (auto& a : m_attrs)
                    attrs.Add(std::move(a));
                m_attrs.clear();
            }
            if (last != Tok::Close)
                throw Exception("> expected");
            if (!empty)
                parseContent(n, depth);
            return;
        }

        if (tag == Tok::Bang) {
            if (t.substr(p, 7) == "[CDATA[") {
                p += 7;
                n->Name = "#cdata-section";
                const std::size_t end = find("]]>");
                if (end == std::string_view::npos)
                    errorHere("Не найден конец секции CDATA"_w);
                n->Value.assign(t.substr(p, end - p));
                p = end + 3;
                n->NodeType = ntCData;
                return;
            }
            if (t.substr(p, 2) == "--") {
                p += 2;
                n->Name = "#comment";
                n->NodeType = ntComment;
                const std::size_t end = find("-->");
                if (end == std::string_view::npos)
                    throw Exception("Не найден конец комментария"_w);
                n->Value.assign(t.substr(p, end - p));
                p = end + 3;
                skipWS();
                if (n->Parent)
                    return;
                n->NodeType = ntNode;
                n->Name.clear();
                n->Value.clear();
                continue;
            }
            if (!n->Parent && t.substr(p, 7) == "DOCTYPE") {
                p += 7;
                skipDoctype();
                skipWS();
                continue;
            }
            p -= 2;  // the message points at the "<"
            errorHere("Неизвестная конструкция \"<!\""_w);
        }

        if (tag == Tok::Question) {
            if (find("?>") == std::string_view::npos)
                throw Exception("Незакрытый заголовок XML"_w);
            TXMLNodeList& header = n->CreateHeader();
            const std::size_t namePos = p;
            Tok last = readToken(name, quoted);
            if (last != Tok::Name || name.empty()) {
                p = namePos;
                errorHere("Ожидаемое имя объявления"_w);
            }
            TXMLNode* decl = header.AddNode(std::string(name), std::string(), ntNode);
            while (p <= L && last != Tok::Close) {
                skipWS();
                last = readToken(name, quoted);
                if (last == Tok::Name) {
                    skipWS();
                    if (at(p) != '=')
                        throw Exception("= ожидаемый"_w);
                    ++p;
                    decl->Attrs().Add(readAttribute(name, decl, n->IsHTML, last));
                }
            }
            skipWS();
            continue;
        }

        throw Exception("Ожидаемое имя тега: "_w + excerpt(static_cast<long long>(p) - 21, 200));
    }
}

void Parser::parseContent(TXMLNode* n, int depth)
{
    while (p < L) {
        if (t[p] != '<') {
            // The layout between tags: blanks that may stand in text, dropped without a scan.
            std::size_t q = p;
            while (q < L && kLayout[static_cast<unsigned char>(t[q])])
                ++q;
            if (q == L || t[q] == '<') {
                p = q;
                continue;
            }
            std::size_t end = t.find('<', q);
            if (end == std::string_view::npos)
                end = L;
            const std::string_view run = t.substr(p, end - p);
            p = end;
            const detail::TextScan scan = detail::scanText(run);
            if (scan.illegal())
                detail::checkXMLChars(run);
            // Only a raw run of blanks is dropped: a control byte's reference ("&#7;") is
            // content even though it decodes to a byte below the blank.
            if (scan.blank())
                continue;
            std::string text;
            text.reserve(run.size());
            detail::appendXMLDecodedChecked(text, run, scan);
            n->Nodes().Add(TXMLNode::Create(std::string(), ntText, n, std::move(text)));
            continue;
        }
        if (at(p + 1) == '/') {
            const std::string& name = n->Name;
            // The name, blanks, then ">" (or the end of the text, which ends any content).
            if (p + 2 + name.size() <= L && t.compare(p + 2, name.size(), name) == 0) {
                std::size_t q = p + 2 + name.size();
                while (q < L && static_cast<unsigned char>(t[q]) <= ' ')
                    ++q;
                if (q >= L || t[q] == '>') {
                    p = q < L ? q + 1 : L;
                    return;
                }
            }
            tagOrderError(name);
        }
        if (depth + 1 >= kMaxDepth) {
            std::string msg = wherePrefix();
            msg += Format(" :Слишком глубокая вложенность тегов (более %d)"_w, {kMaxDepth});
            throw Exception(std::move(msg));
        }
        std::unique_ptr<TXMLNode> child = TXMLNode::Create(std::string_view(), n, false);
        parseNode(child.get(), depth + 1);
        n->Nodes().Add(std::move(child));
    }
}

void Parser::skipDoctype()
{
    int subset = 0;
    while (p < L) {
        const char c = t[p];
        if (c == '"' || c == '\'') {
            const std::size_t close = t.find(c, p + 1);
            if (close == std::string_view::npos)
                break;
            p = close + 1;
        } else if (c == '<' && t.substr(p, 4) == "<!--") {
            const std::size_t close = t.find("-->", p + 4);
            if (close == std::string_view::npos)
                break;
            p = close + 3;
        } else {
            ++p;
            if (c == '[')
                ++subset;
            else if (c == ']' && subset > 0)
                --subset;
            else if (c == '>' && subset == 0)
                return;
        }
    }
    p = L;
    errorHere("Не найден конец объявления DOCTYPE"_w);
}

bool Parser::skipMisc()
{
    const std::string_view close = t.substr(p, 4) == "<!--" ? "-->" : t.substr(p, 2) == "<?" ? "?>" : "";
    if (close.empty())
        return false;
    const std::size_t end = t.find(close, p + (close == "-->" ? 4 : 2));
    if (end == std::string_view::npos)
        errorHere(close == "-->" ? "Не найден конец комментария"_w : "Незакрытый заголовок XML"_w);
    p = end + close.size();
    return true;
}

void Parser::finishDocument()
{
    for (;;) {
        skipWS();
        if (p >= L)
            return;
        if (!skipMisc())
            errorHere("Данные после корневого элемента"_w);
    }
}

} // namespace

void TXMLNode::ParseXML(std::string_view text, std::size_t& pos)
{
    Parser(text, pos).parseNode(this, 0);
}

void TXMLNode::ParseDocument(std::string_view text)
{
    std::size_t pos = 0;
    Parser parser(text, pos);
    parser.parseNode(this, 0);
    parser.finishDocument();
}

} // namespace lm
