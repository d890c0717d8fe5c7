// Property: a generated tree saved with SaveXML and parsed back is the same tree.
//
// The generator keeps to what the parser can carry unchanged: text never starts or ends with
// blanks (space, tab, CR, LF) and two texts are never neighbours; comments hold no "-->" and do not end in "-"; CDATA holds
// no "]]>". Control bytes may stand anywhere in text and attribute values, edges included.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "util/cp1251.h"
#include "xml/xmlnode.h"

using namespace lm;

namespace {

class TreeGenerator {
public:
    explicit TreeGenerator(unsigned seed) : m_rng(seed) {}

    std::unique_ptr<TXMLNode> document()
    {
        std::unique_ptr<TXMLNode> root = pick(2) ? TXMLNode::CreateDocument(name())
                                                 : TXMLNode::Create(name(), ntNode, nullptr, "");
        fill(*root, 0);
        return root;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    std::string name() { return m_names[static_cast<std::size_t>(pick(static_cast<int>(m_names.size())))]; }

    // Awkward but representable bytes: markup characters, quotes, Cyrillic, inner blanks.
    std::string text(bool inner, std::string_view forbidden)
    {
        for (;;) {
            std::string s;
            const int n = 1 + pick(8);
            for (int i = 0; i < n; ++i)
                s += m_pieces[static_cast<std::size_t>(pick(static_cast<int>(m_pieces.size())))];
            if (inner && (blank(s.front()) || blank(s.back())))
                continue;
            if (!forbidden.empty() && (s.find(forbidden) != std::string::npos || s.back() == forbidden.front()))
                continue;
            return s;
        }
    }

    static bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    void fill(TXMLNode& node, int depth)
    {
        const int attrs = pick(4);
        for (int i = 0; i < attrs; ++i) {
            std::string key("k");
            key += std::to_string(i);
            node.Attrs().AddNode(key, pick(4) ? text(false, "") : std::string(), ntAttr);
        }
        if (depth > 3)
            return;
        const bool elements = pick(3) != 0;
        const int count = pick(5);
        bool lastText = false;
        for (int i = 0; i < count; ++i) {
            // 0 element, 1 CDATA, 2 comment, 3 text; mixed content where elements are.
            const int kind = elements ? pick(4) : 1 + pick(3);
            if (kind == 0) {
                fill(*node.Nodes().AddNode(name(), "", ntNode), depth + 1);
                lastText = false;
            } else if (kind == 1) {
                node.Nodes().AddNode("#cdata-section", pick(5) ? text(false, "]]>") : std::string(), ntCData);
                lastText = false;
            } else if (kind == 2) {
                node.Nodes().AddNode("#comment", text(false, "-->"), ntComment);
                lastText = false;
            } else if (!lastText) {
                node.Nodes().AddNode("", text(true, ""), ntText);
                lastText = true;
            }
        }
    }

    std::mt19937 m_rng;
    // Element names, all of name characters only (Ё and ё are not among them).
    const std::vector<std::string> m_names{"a", "item", "x.y", "_z", "n-1", "ns:tag", "$v", "товар"_w, "Ель"_w, "A9"};
    // Awkward but representable pieces of text, control bytes and lone CR among them.
    const std::vector<std::string> m_pieces{"&",   "<",    ">",    "\"",   "'",    "&amp;", "&lt;", "]]",   "--",
                                            "Ж"_w, "ё"_w,  "№"_w,  "a",    "Zz",   " ",     "\t",   "\r\n", "\xA0",
                                            "\x98", "\xFF", "&#65;", "&#7;", "=",    "/",     "?",    "!",    "\x01",
                                            "\x07", "\x0B", "\x0C", "\x1F", "\r",   "\r\t"};
};

// Empty when the trees agree, else where they first differ.
std::string difference(const TXMLNode& a, const TXMLNode& b, const std::string& at)
{
    if (a.NodeType != b.NodeType || a.Name != b.Name || a.Value != b.Value)
        return at + ": node " + a.Name + "=" + a.Value + " vs " + b.Name + "=" + b.Value;
    if (a.Attrs().Count() != b.Attrs().Count())
        return at + ": attribute count";
    for (int i = 0; i < a.Attrs().Count(); ++i) {
        const TXMLNode* x = a.Attrs().GetNode(i);
        const TXMLNode* y = b.Attrs().GetNode(i);
        if (x->Name != y->Name || x->Value != y->Value)
            return at + ": attribute " + x->Name + "=" + x->Value + " vs " + y->Name + "=" + y->Value;
    }
    if (a.GetCount() != b.GetCount())
        return at + ": child count " + std::to_string(a.GetCount()) + " vs " + std::to_string(b.GetCount());
    for (int i = 0; i < a.GetCount(); ++i) {
        const std::string d = difference(*a.GetNodebyIndex(i), *b.GetNodebyIndex(i), at + "/" + std::to_string(i));
        if (!d.empty())
            return d;
    }
    return std::string();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(XmlRoundTrip, SavedTreesReadBackEqual)
{
    const std::string dir = testing::TempDir() + "xml_roundtrip/";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "tree.xml";
    for (unsigned seed = 1; seed <= 300; ++seed) {
        TreeGenerator gen(seed);
        std::unique_ptr<TXMLNode> tree = gen.document();
        tree->SaveXML(path);
        std::unique_ptr<TXMLNode> back = TXMLNode::CreateFromFile(path);
        const std::string d = difference(*tree, *back, tree->Name);
        ASSERT_EQ(d, "") << "seed " << seed << "\n" << cp1251ToUtf8(tree->Code());
        if (tree->Header()) {
            ASSERT_NE(back->Header(), nullptr);
            EXPECT_EQ(difference(*tree->Header()->GetNode(0), *back->Header()->GetNode(0), "xml"), "");
        }
        // Saving what was read gives the same bytes again.
        const std::string first = readFile(path);
        back->SaveXML(path);
        ASSERT_EQ(readFile(path), first) << "seed " << seed;
        // The compact form reads back the same way.
        EXPECT_EQ(difference(*tree, *TXMLNode::Create(tree->Code()), tree->Name), "") << "seed " << seed;
    }
}

TEST(XmlRoundTrip, ParsedDocumentsSaveTheSameTwice)
{
    // Documents that once changed or broke on the way through SaveXML: mixed content gained a
    // line break per pass, numeric references gained "&amp;", a DOCTYPE became "</>".
    const std::string dir = testing::TempDir() + "xml_roundtrip/";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "doc.xml";
    const std::pair<std::string, std::string> cases[] = {
        {"<r><a/>tail text</r>", "<r><a/>tail text</r>\r\n"},
        {"<r>\r\n  head <a>x</a> tail\r\n</r>", "<r>\r\n  head <a>x</a> tail\r\n</r>\r\n"},
        {"<r>&#65;&#1046;<a k=\"&#x416;\"/></r>", "<r>&#65;&#1046;<a k=\"&#x416;\"/></r>\r\n"},
        {"<!DOCTYPE r [<!ENTITY e \"x\">]><r><b/></r>", "<r>\r\n  <b/>\r\n</r>\r\n"},
    };
    for (const auto& [text, saved] : cases) {
        TXMLNode::Create(text)->SaveXML(path);
        EXPECT_EQ(readFile(path), saved) << text;
        TXMLNode::CreateFromFile(path)->SaveXML(path);
        EXPECT_EQ(readFile(path), saved) << text;
    }
}
