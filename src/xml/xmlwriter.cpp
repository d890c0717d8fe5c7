// The XML writer: compact and indented text of a node, and saving a tree to a file.
//
// Output format. Attributes are written as ' name="value"' with & " < > ' encoded; text as its
// value with & and < encoded; in both, the control bytes the parser refuses raw (below 32 but
// for tab, LF and CR) as "&#N;", which it decodes back. CDATA and comments raw inside their
// markers. The compact form has no line breaks. The indented form puts each element on its own
// line ending in CR LF, indented by one (FormattedCode) or two (FormattedFastCode) more spaces
// per level; an element whose first child is text starts its content on the same line, and one
// whose children mix text with elements is written compact inside its tags, so that a saved file
// reads back as the same tree. A saved file is the first declaration of the root's Header, CR
// LF, and the indented form of the root, written to the file as it is made.
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

#include "util/exceptions.h"
#include "util/faststring.h"
#include "util/filefunc.h"
#include "util/filereplacer.h"
#include "xml/xmlentities.h"
#include "xml/xmlnode.h"

namespace lm {

namespace {

// Appending to a std::string or to a TFastString through one interface.
struct StringSink {
    std::string& out;
    void add(std::string_view s) { out.append(s); }
};
// Collects the many small pieces of a tree in a block and hands them to target.pass in large
// runs.
template <class Target, std::size_t Size>
class BlockSink {
public:
    explicit BlockSink(Target& target) : m_target(target) {}
    BlockSink(const BlockSink&) = delete;
    BlockSink& operator=(const BlockSink&) = delete;

    void add(std::string_view s)
    {
        if (m_used + s.size() > Size) {
            flush();
            if (s.size() > Size) {
                m_target.pass(s);
                return;
            }
        }
        std::memcpy(m_block.data() + m_used, s.data(), s.size());
        m_used += s.size();
    }
    // Hands what is pending to the target; called once the text is complete.
    void flush()
    {
        if (m_used != 0)
            m_target.pass(std::string_view(m_block.data(), m_used));
        m_used = 0;
    }

private:
    Target& m_target;
    std::size_t m_used = 0;
    std::array<char, Size> m_block;
};

// Appends to a TFastString. While it writes, the buffer's growth step follows its length: a
// fixed step would make each growth copy the whole text again.
class FastTarget {
public:
    explicit FastTarget(TFastString& out) : m_out(out), m_growBy(out.GrowBy()) {}
    ~FastTarget() { m_out.SetGrowBy(m_growBy); }
    FastTarget(const FastTarget&) = delete;
    FastTarget& operator=(const FastTarget&) = delete;

    void pass(std::string_view s)
    {
        if (m_out.Length() > m_out.GrowBy())
            m_out.SetGrowBy(m_out.Length());
        m_out.Add(s);
    }

private:
    TFastString& m_out;
    int m_growBy;
};

// Writes to a file as the text is made, so that a large document is never held whole in
// memory; a failed write raises EInOutError for fileName.
struct FileTarget {
    TFileReplacer& file;
    const std::string& fileName;
    void pass(std::string_view s);
};

// ' name="value"' of an attribute node.
template <class Sink>
void addAttr(Sink& sink, const TXMLNode& a)
{
    sink.add(" ");
    sink.add(a.Name);
    sink.add("=\"");
    detail::addXMLEncoded(sink, a.Value, detail::kEscapeAttr);
    sink.add("\"");
}

template <class Sink>
void addAttrs(Sink& sink, const TXMLNode& n)
{
    for (const TXMLNode* a : n.Attrs())
        addAttr(sink, *a);
}

// "<name" and the attributes of element n, then selfClose when n has no children; true when n
// is thus complete.
template <class Sink>
bool addStartTag(Sink& sink, const TXMLNode& n, std::string_view selfClose)
{
    sink.add("<");
    sink.add(n.Name);
    addAttrs(sink, n);
    if (n.GetCount() != 0)
        return false;
    sink.add(selfClose);
    return true;
}

// "</name" of element n and then close.
template <class Sink>
void addEndTag(Sink& sink, const TXMLNode& n, std::string_view close)
{
    sink.add("</");
    sink.add(n.Name);
    sink.add(close);
}

// The compact form of n; with headers, each node's declarations go in front of it.
template <class Sink>
void writeCompact(Sink& sink, const TXMLNode& n, bool headers)
{
    if (headers && n.Header())
        for (const TXMLNode* decl : *n.Header())
            sink.add(decl->HeaderCode());
    switch (n.NodeType) {
    case ntNode:
        if (addStartTag(sink, n, "/>"))
            return;
        sink.add(">");
        for (const TXMLNode* child : n.Nodes())
            writeCompact(sink, *child, headers);
        addEndTag(sink, n, ">");
        return;
    case ntAttr:
        addAttr(sink, n);
        return;
    case ntText:
        detail::addXMLEncoded(sink, n.Value, detail::kEscapeText);
        return;
    case ntCData:
    case ntComment: {
        const bool cdata = n.NodeType == ntCData;
        sink.add(cdata ? "<![CDATA[" : "<!--");
        sink.add(n.Value);
        sink.add(cdata ? "]]>" : "-->");
        return;
    }
    }
}

// True when n's children mix text with elements. Such content is written as it stands: line
// breaks and indents put around its elements would be read back as part of its text.
bool mixedContent(const TXMLNode& n)
{
    bool text = false, element = false;
    for (const TXMLNode* child : n.Nodes()) {
        text = text || child->NodeType == ntText;
        element = element || child->NodeType == ntNode;
        if (text && element)
            return true;
    }
    return false;
}

// The indented form. indent grows by step for each level and is restored on return; a node
// without a parent starts its children at rootIndent (when not empty) instead of indent. Nodes
// other than elements are written compact (with their declarations when headers is set).
template <class Sink>
void writeFormatted(Sink& sink, const TXMLNode& n, std::string& indent, std::size_t step,
                    std::string_view rootIndent, bool headers)
{
    if (n.NodeType != ntNode) {
        writeCompact(sink, n, headers);
        return;
    }
    if (addStartTag(sink, n, "/>\r\n"))
        return;
    if (mixedContent(n)) {
        sink.add(">");
        for (const TXMLNode* child : n.Nodes())
            writeCompact(sink, *child, headers);
        addEndTag(sink, n, ">\r\n");
        return;
    }
    sink.add(n.Nodes().First()->NodeType == ntText ? ">" : ">\r\n");
    const bool atRoot = !n.Parent && !rootIndent.empty();
    std::string rootLevel(atRoot ? rootIndent : std::string_view());
    std::string& level = atRoot ? rootLevel : indent;
    bool elementWritten = false;
    for (const TXMLNode* child : n.Nodes()) {
        if (child->NodeType != ntNode) {
            writeCompact(sink, *child, headers);
            continue;
        }
        sink.add(level);
        const std::size_t keep = level.size();
        level.append(step, ' ');
        writeFormatted(sink, *child, level, step, rootIndent, headers);
        level.resize(keep);
        elementWritten = true;
    }
    if (elementWritten)
        sink.add(std::string_view(level).substr(0, level.size() >= step ? level.size() - step : 0));
    addEndTag(sink, n, ">\r\n");
}

// The layout of FormattedFastCode and SaveXML: two spaces more per level, a root's children at
// two spaces, no declarations.
template <class Sink>
void writeFastLayout(Sink& sink, const TXMLNode& n, const std::string& indent)
{
    std::string level = indent;
    writeFormatted(sink, n, level, 2, "  ", false);
    sink.flush();
}

[[noreturn]] void ioError(const std::string& fileName, int code)
{
    throw EInOutError(Format("Cannot create file \"%s\". %s", {fileName, std::strerror(code)}), code);
}

void FileTarget::pass(std::string_view s)
{
    if (!file.Write(s))
        ioError(fileName, errno);
}

using FastSink = BlockSink<FastTarget, 16384>;

} // namespace

std::string TXMLNode::Code() const
{
    std::string out;
    StringSink sink{out};
    writeCompact(sink, *this, true);
    return out;
}

std::string TXMLNode::HeaderCode() const
{
    std::string out = "<?" + Name;
    StringSink sink{out};
    addAttrs(sink, *this);
    out += " ?>";
    return out;
}

void TXMLNode::FastCode(TFastString& buffer) const
{
    FastTarget target(buffer);
    FastSink sink(target);
    writeCompact(sink, *this, false);
    sink.flush();
}

std::string TXMLNode::FormattedCode(const std::string& indent) const
{
    std::string out;
    StringSink sink{out};
    std::string level = indent;
    writeFormatted(sink, *this, level, 1, std::string_view(), true);
    return out;
}

void TXMLNode::FormattedFastCode(TFastString& buffer, const std::string& indent) const
{
    FastTarget target(buffer);
    FastSink sink(target);
    writeFastLayout(sink, *this, indent);
}

void TXMLNode::SaveXML(const std::string& fileName, bool freeAfter)
{
    // Frees the node on the way out, saved or not, once the caller has handed it over.
    struct FreeGuard {
        TXMLNode* node;
        ~FreeGuard()
        {
            if (!node)
                return;
            if (const TXMLNode* parent = node->Parent) {
                for (TXMLNodeList* list : {parent->nodeList(), parent->attrList(), parent->Header()})
                    if (list && list->IndexOf(node) >= 0) {
                        list->DeleteNode(node);
                        return;
                    }
            }
            delete node;
        }
    } guard{freeAfter ? this : nullptr};

    // The text goes to the file as it is made, the way FormattedFastCode makes it. A failed save
    // leaves the previous file as it was (see TFileReplacer).
    TFileReplacer file;
    if (!file.Open(ToSysPath(fileName)))
        ioError(fileName, errno);
    FileTarget target{file, fileName};
    auto sink = std::make_unique<BlockSink<FileTarget, 256 * 1024>>(target);
    if (Header() && !Header()->Empty()) {
        sink->add(Header()->First()->HeaderCode());
        sink->add("\r\n");
    }
    writeFastLayout(*sink, *this, " ");
    if (!file.Commit())
        ioError(fileName, errno);
}

} // namespace lm
