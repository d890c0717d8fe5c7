// The owning node list: lookups by name and attribute, deletion and sorting.
#include "xml/xmlnodelist.h"

#include <utility>

#include "util/cp1251.h"
#include "xml/xmlnode.h"
#include "xml/detail/xmlpool.h"
#include "util/qstr.h"

namespace lm {

namespace detail {

void* allocateListArray(std::size_t bytes)
{
    if (bytes <= 16)
        return xmlpool::Pool<16>::allocate();
    if (bytes <= 32)
        return xmlpool::Pool<32>::allocate();
    if (bytes <= 64)
        return xmlpool::Pool<64>::allocate();
    return ::operator new(bytes);
}

void freeListArray(void* p, std::size_t bytes) noexcept
{
    if (bytes <= 16)
        xmlpool::Pool<16>::deallocate(p);
    else if (bytes <= 32)
        xmlpool::Pool<32>::deallocate(p);
    else if (bytes <= 64)
        xmlpool::Pool<64>::deallocate(p);
    else
        ::operator delete(p);
}

} // namespace detail

TXMLNodeList::TXMLNodeList(TXMLNode* owner)
    : IgnoreCase(owner && owner->IgnoreCase), m_owner(owner)
{
}

TXMLNodeList::~TXMLNodeList() = default;

void* TXMLNodeList::operator new(std::size_t size)
{
    return xmlpool::Pool<sizeof(TXMLNodeList)>::allocate();
}

void TXMLNodeList::operator delete(void* p) noexcept
{
    xmlpool::Pool<sizeof(TXMLNodeList)>::deallocate(p);
}

void TXMLNodeList::Error(const std::string& message, int index) const
{
    throw EListError("XML List Error:" + Format(message, {index}));
}

void TXMLNodeList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        Error("List index out of bounds (%d)", index);
}

TXMLNode* TXMLNodeList::GetNode(int index) const
{
    CheckIndex(index);
    return m_items[static_cast<std::size_t>(index)].get();
}

int TXMLNodeList::IndexOf(const TXMLNode* node) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == node)
            return static_cast<int>(i);
    return -1;
}

void TXMLNodeList::ClearNodes()
{
    m_items.clear();
}

TXMLNode* TXMLNodeList::AddNode(const std::string& name, const std::string& value, TXMLNodeType nodeType)
{
    return Add(TXMLNode::Create(name, nodeType, m_owner, value));
}

TXMLNode* TXMLNodeList::AddSetValue(const std::string& name, const std::string& value, TXMLNodeType nodeType)
{
    std::unique_ptr<TXMLNode> node = TXMLNode::Create(std::string_view(), m_owner, false);
    node->Name = name;
    node->NodeType = nodeType;
    if (nodeType == ntText || nodeType == ntCData)
        node->Value = value;
    else if (nodeType == ntNode && !value.empty())
        node->Nodes().AddNode(std::string(), value, ntText);
    return Add(std::move(node));
}

TXMLNode* TXMLNodeList::GetCreateNode(const std::string& name)
{
    if (TXMLNode* node = NodebyName(name))
        return node;
    return AddNode(name, std::string(), ntNode);
}

TXMLNode* TXMLNodeList::NodebyName(std::string_view name) const
{
    for (const auto& node : m_items)
        if (IgnoreCase ? Q_SameText(node->Name, name) : node->Name == name)
            return node.get();
    return nullptr;
}

TXMLNode* TXMLNodeList::NodebyNameAttr(std::string_view name, std::string_view attr, std::string_view value) const
{
    for (const auto& node : m_items) {
        if (node->Name != name)
            continue;
        const TXMLNode* a = node->AttrNode(attr);
        if (a ? a->Value == value : value.empty())
            return node.get();
    }
    return nullptr;
}

TXMLNode* TXMLNodeList::NodebyAttrs(const std::vector<std::string>& attrs, const std::vector<std::string>& values) const
{
    if (attrs.size() != values.size())
        throw Exception("Количество атрибутов и значений различно"_w);
    for (const auto& node : m_items) {
        bool all = true;
        for (std::size_t i = 0; all && i < attrs.size(); ++i)
            all = node->GetAttr(attrs[i]) == values[i];
        if (all)
            return node.get();
    }
    return nullptr;
}

void TXMLNodeList::DeleteNode(TXMLNode* node)
{
    const int i = IndexOf(node);
    if (i >= 0)
        m_items.erase(m_items.begin() + i);
}

void TXMLNodeList::DeleteNodes(std::string_view name, bool except)
{
    for (int i = Count() - 1; i >= 0; --i)
        if ((m_items[static_cast<std::size_t>(i)]->Name == name) != except)
            m_items.erase(m_items.begin() + i);
}

TXMLNode* TXMLNodeList::Add(std::unique_ptr<TXMLNode> node)
{
    m_items.push_back(std::move(node));
    return m_items.back().get();
}

TXMLNode* TXMLNodeList::Insert(int index, std::unique_ptr<TXMLNode> node)
{
    if (index < 0 || index > Count())
        Error("List index out of bounds (%d)", index);
    return m_items.insert(m_items.begin() + index, std::move(node))->get();
}

std::unique_ptr<TXMLNode> TXMLNodeList::Extract(int index)
{
    CheckIndex(index);
    std::unique_ptr<TXMLNode> node = std::move(m_items[static_cast<std::size_t>(index)]);
    m_items.erase(m_items.begin() + index);
    return node;
}

void TXMLNodeList::TransferTo(TXMLNodeList& target)
{
    if (&target == this)
        return;
    target.m_items.reserve(target.m_items.size() + m_items.size());
    for (auto& node : m_items)
        target.m_items.push_back(std::move(node));
    m_items.clear();
}

void TXMLNodeList::Exchange(int i, int j)
{
    CheckIndex(i);
    CheckIndex(j);
    std::swap(m_items[static_cast<std::size_t>(i)], m_items[static_cast<std::size_t>(j)]);
}

void TXMLNodeList::Sort(const TCompare& compare, bool ascending)
{
    if (m_items.size() < 2)
        return;
    auto cmp = [&](const TXMLNode* a, const TXMLNode* b) {
        const int r = compare(a, b);
        if (ascending)
            return r;
        return r > 0 ? -1 : (r < 0 ? 1 : 0);
    };
    // Hoare partition around the middle element, recursing on the lower part and looping on
    // the upper one. The scans are bounded, so a comparison that contradicts itself cannot run
    // them off the list.
    auto& items = m_items;
    auto quickSort = [&](auto& self, int l, int r) -> void {
        do {
            int i = l, j = r;
            const TXMLNode* pivot = items[static_cast<std::size_t>((l + r) / 2)].get();
            do {
                while (i < r && cmp(items[static_cast<std::size_t>(i)].get(), pivot) < 0)
                    ++i;
                while (j > l && cmp(items[static_cast<std::size_t>(j)].get(), pivot) > 0)
                    --j;
                if (i <= j) {
                    if (i != j)
                        std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j)
                self(self, l, j);
            l = i;
        } while (l < r);
    };
    quickSort(quickSort, 0, Count() - 1);
}

} // namespace lm
