// TXMLNode: construction, the attribute and value accessors, and the changes to a node's children.
#include "xml/xmlnode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "util/cp1251.h"
#include "xml/detail/xmlpool.h"
#include "util/filefunc.h"
#include "util/strs_files.h"

namespace lm {

namespace {

std::unique_ptr<TXMLNode> parsedChild(std::unique_ptr<TXMLNode> node, std::string_view text)
{
    if (!text.empty())
        node->ParseDocument(text);
    return node;
}

// node given parent and the flags html and ignoreCase (the parent's flags instead when there is
// one), then text parsed into it.
std::unique_ptr<TXMLNode> parsedUnder(std::unique_ptr<TXMLNode> node, std::string_view text, TXMLNode* parent,
                                      bool html, bool ignoreCase)
{
    node->Parent = parent;
    node->IsHTML = parent ? parent->IsHTML : html;
    node->IgnoreCase = parent ? parent->IgnoreCase : ignoreCase;
    return parsedChild(std::move(node), text);
}

// The bytes of a regular file read in one piece into a buffer of its size: a large document is
// then copied once and its buffer never zeroed, where a string grown while reading would be
// copied at every doubling. data is null when anything fails, or when the file grows while
// being read.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

FileBytes readWholeFile(const std::string& fileName)
{
    FileBytes file;
    const int fd = ::open(ToSysPath(fileName).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return file;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        // One byte of room beyond the size tells a file that grew from one read in full.
        const std::size_t room = static_cast<std::size_t>(st.st_size) + 1;
        std::unique_ptr<char[]> data(new char[room]);
        std::size_t size = 0;
        bool ok = true;
        while (ok && size < room) {
            const ssize_t n = ::read(fd, data.get() + size, room - size);
            if (n == 0)
                break;
            if (n < 0)
                ok = errno == EINTR;
            else
                size += static_cast<std::size_t>(n);
        }
        if (ok && size < room) {
            file.data = std::move(data);
            file.size = size;
        }
    }
    ::close(fd);
    return file;
}

} // namespace

std::unique_ptr<TXMLNode> TXMLNode::Create(std::string_view text)
{
    std::unique_ptr<TXMLNode> node(new TXMLNode());
    // A text that is empty up to its first zero byte is an empty document, not an error.
    if (text.empty() || text[0] == '\0')
        return node;
    return parsedChild(std::move(node), text);
}

std::unique_ptr<TXMLNode> TXMLNode::Create(std::string_view text, TXMLNode* parent, bool ignoreCase)
{
    return parsedUnder(std::unique_ptr<TXMLNode>(new TXMLNode()), text, parent, false, ignoreCase);
}

namespace {
// A file holds a document: an empty one is refused by the parser ("< ожидаемый") rather than
// read as a root without a name.
std::unique_ptr<TXMLNode> parsedFile(std::unique_ptr<TXMLNode> node, std::string_view text, TXMLNode* parent)
{
    node = parsedUnder(std::move(node), text, parent, false, false);
    if (text.empty())
        node->ParseDocument(text);
    return node;
}
} // namespace

std::unique_ptr<TXMLNode> TXMLNode::CreateFromFile(const std::string& fileName, TXMLNode* parent)
{
    if (const FileBytes file = readWholeFile(fileName); file.data)
        return parsedFile(std::unique_ptr<TXMLNode>(new TXMLNode()), std::string_view(file.data.get(), file.size), parent);
    // FileToStr names the failure in the house's words.
    const std::string text = FileToStr(fileName);
    return parsedFile(std::unique_ptr<TXMLNode>(new TXMLNode()), text, parent);
}

std::unique_ptr<TXMLNode> TXMLNode::CreateHTML(std::string_view text, TXMLNode* parent, bool ignoreCase)
{
    return parsedUnder(std::unique_ptr<TXMLNode>(new TXMLNode()), text, parent, true, ignoreCase);
}

std::unique_ptr<TXMLNode> TXMLNode::Create(std::string name, TXMLNodeType nodeType, TXMLNode* parent, std::string value)
{
    std::unique_ptr<TXMLNode> node(new TXMLNode());
    node->Name = std::move(name);
    node->NodeType = nodeType;
    node->Value = std::move(value);
    node->Parent = parent;
    if (nodeType != ntAttr && parent) {
        node->IsHTML = parent->IsHTML;
        node->IgnoreCase = parent->IgnoreCase;
    }
    return node;
}

std::unique_ptr<TXMLNode> TXMLNode::CreateDocument(const std::string& name, const std::string& encoding)
{
    std::unique_ptr<TXMLNode> node(new TXMLNode());
    node->Name = name;
    TXMLNode* decl = node->CreateHeader().AddNode("xml", std::string(), ntNode);
    decl->Attrs().AddNode("version", "1.0", ntAttr);
    decl->Attrs().AddNode("encoding", encoding, ntAttr);
    decl->Attrs().AddNode("standalone", "yes", ntAttr);
    return node;
}

struct TXMLNode::Lists {
    explicit Lists(TXMLNode* owner) : attrs(owner), nodes(owner) {}
    TXMLNodeList attrs;
    TXMLNodeList nodes;
    std::unique_ptr<TXMLNodeList> header;

    static void* operator new(std::size_t) { return xmlpool::Pool<sizeof(Lists)>::allocate(); }
    static void operator delete(void* p) noexcept { xmlpool::Pool<sizeof(Lists)>::deallocate(p); }
};

TXMLNode::~TXMLNode() = default;

TXMLNode::Lists& TXMLNode::lists()
{
    if (!m_lists)
        m_lists = std::make_unique<Lists>(this);
    return *m_lists;
}

TXMLNodeList* TXMLNode::attrList() const
{
    return m_lists ? &m_lists->attrs : nullptr;
}

TXMLNodeList* TXMLNode::nodeList() const
{
    return m_lists ? &m_lists->nodes : nullptr;
}

TXMLNodeList* TXMLNode::Header() const
{
    return m_lists ? m_lists->header.get() : nullptr;
}

void* TXMLNode::operator new(std::size_t size)
{
    return xmlpool::Pool<sizeof(TXMLNode)>::allocate();
}

void TXMLNode::operator delete(void* p) noexcept
{
    xmlpool::Pool<sizeof(TXMLNode)>::deallocate(p);
}

TXMLNodeList& TXMLNode::Attrs()
{
    return lists().attrs;
}

TXMLNodeList& TXMLNode::Nodes()
{
    return lists().nodes;
}

namespace {
const TXMLNodeList& emptyList()
{
    static const TXMLNodeList empty(nullptr);
    return empty;
}
} // namespace

const TXMLNodeList& TXMLNode::Attrs() const
{
    return m_lists ? m_lists->attrs : emptyList();
}

const TXMLNodeList& TXMLNode::Nodes() const
{
    return m_lists ? m_lists->nodes : emptyList();
}

TXMLNodeList& TXMLNode::CreateHeader()
{
    Lists& l = lists();
    if (!l.header)
        l.header = std::make_unique<TXMLNodeList>(this);
    return *l.header;
}

int TXMLNode::GetCount() const
{
    return m_lists ? m_lists->nodes.Count() : 0;
}

TXMLNode* TXMLNode::GetNodebyIndex(int index) const
{
    return Nodes().GetNode(index);
}

std::string TXMLNode::GetValue() const
{
    if (NodeType != ntNode)
        return Value;
    for (const TXMLNode* child : Nodes())
        if (child->NodeType == ntText || child->NodeType == ntCData)
            return child->Value;
    return std::string();
}

void TXMLNode::SetValue(const std::string& value)
{
    switch (NodeType) {
    case ntNode:
        for (TXMLNode* child : Nodes())
            if (child->NodeType == ntText || child->NodeType == ntCData) {
                child->Value = value;
                return;
            }
        Nodes().AddNode(std::string(), value, ntText);
        break;
    case ntAttr:
    case ntText:
    case ntCData:
        Value = value;
        break;
    case ntComment:
        break;
    }
}

TXMLNode* TXMLNode::AttrNode(std::string_view name) const
{
    return m_lists ? m_lists->attrs.NodebyName(name) : nullptr;
}

std::string TXMLNode::GetAttr(std::string_view name) const
{
    const TXMLNode* attr = AttrNode(name);
    return attr ? attr->Value : std::string();
}

int TXMLNode::GetAttrI(std::string_view name) const
{
    return StrToInt(GetAttr(name));
}

void TXMLNode::SetAttr(const std::string& name, const std::string& value)
{
    TXMLNode* attr = AttrNode(name);
    if (value.empty()) {
        if (attr)
            m_lists->attrs.DeleteNode(attr);
    } else if (attr) {
        attr->Value = value;
    } else {
        Attrs().AddNode(name, value, ntAttr);
    }
}

void TXMLNode::DeleteNode(int index)
{
    Nodes().Extract(index);
}

void TXMLNode::ReplaceNode(TXMLNode* oldNode, std::unique_ptr<TXMLNode>&& newNode)
{
    TXMLNodeList* nodes = nodeList();
    const int index = nodes ? nodes->IndexOf(oldNode) : -1;
    if (index < 0)
        throw Exception("Replaced node not found");
    newNode->Parent = this;
    std::unique_ptr<TXMLNode> old = nodes->Extract(index);
    nodes->Insert(index, std::move(newNode));
}

bool TXMLNode::MoveNode(TXMLNode* node, bool down)
{
    TXMLNodeList* nodes = nodeList();
    const int index = nodes ? nodes->IndexOf(node) : -1;
    if (index < 0)
        throw Exception("Узел для перемещения не найден"_w);
    const int other = down ? index + 1 : index - 1;
    if (other < 0 || other >= nodes->Count())
        return false;
    nodes->Exchange(index, other);
    return true;
}

void TXMLNode::MoveChildsTo(TXMLNode* target)
{
    TXMLNodeList* nodes = nodeList();
    if (target == this || !nodes)
        return;
    // Children moved under one of their own descendants would own their ancestor.
    for (const TXMLNode* n = target; n; n = n->Parent)
        if (n->Parent == this)
            throw Exception("Узлы нельзя переместить в их собственный дочерний узел"_w);
    for (TXMLNode* child : *nodes)
        child->Parent = target;
    nodes->TransferTo(target->Nodes());
}

} // namespace lm
