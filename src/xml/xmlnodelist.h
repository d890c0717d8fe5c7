// TXMLNodeList: the owning list of attributes, children or declarations of an XML node.
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "util/exceptions.h"
#include "xml/xmlnodetype.h"

namespace lm {

class TXMLNode;

namespace detail {
// Storage of the node lists' arrays: most lists are short (the attributes of a tag, the children
// of a leaf element), so arrays of up to 64 bytes come from the node pools by size class and only
// longer ones from the heap.
void* allocateListArray(std::size_t bytes);
void freeListArray(void* p, std::size_t bytes) noexcept;

template <class T>
struct ListAllocator {
    using value_type = T;
    ListAllocator() = default;
    template <class U>
    ListAllocator(const ListAllocator<U>&) noexcept
    {
    }
    static T* allocate(std::size_t n) { return static_cast<T*>(allocateListArray(n * sizeof(T))); }
    static void deallocate(T* p, std::size_t n) noexcept { freeListArray(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const ListAllocator<U>&) const noexcept
    {
        return true;
    }
};
} // namespace detail

// The list error of the node lists: "XML List Error:" followed by the list's own message.
class EListError : public Exception {
public:
    using Exception::Exception;
};

class TXMLNodeList final {
public:
    // Three-way comparison of two nodes for Sort: negative, zero or positive.
    using TCompare = std::function<int(const TXMLNode*, const TXMLNode*)>;

    // An empty list of owner; IgnoreCase is copied from the owner (false without one).
    explicit TXMLNodeList(TXMLNode* owner);
    ~TXMLNodeList();
    TXMLNodeList(const TXMLNodeList&) = delete;
    // Lists come from a pool of fixed-size blocks, as the nodes do.
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;
    TXMLNodeList& operator=(const TXMLNodeList&) = delete;

    TXMLNode* Owner() const { return m_owner; }
    // Name lookups of NodebyName ignore letter case when set.
    bool IgnoreCase = false;

    int Count() const { return static_cast<int>(m_items.size()); }
    bool Empty() const { return m_items.empty(); }
    // The node at index (0-based); raises EListError "XML List Error:List index out of bounds (%d)".
    TXMLNode* GetNode(int index) const;
    TXMLNode* First() const { return m_items.empty() ? nullptr : m_items.front().get(); }
    TXMLNode* Last() const { return m_items.empty() ? nullptr : m_items.back().get(); }
    // The index of node in the list, -1 when it is not there.
    int IndexOf(const TXMLNode* node) const;

    // Frees every node and empties the list.
    void ClearNodes();
    // Appends a node made by code (parent: the owner; flags copied from it except for ntAttr).
    TXMLNode* AddNode(const std::string& name, const std::string& value, TXMLNodeType nodeType);
    // Appends a node of the owner whose value is stored by kind: in Value for text and CDATA, as
    // a text child for a non-empty element value, not at all for the other kinds.
    TXMLNode* AddSetValue(const std::string& name, const std::string& value, TXMLNodeType nodeType);
    // NodebyName(name), or a new empty element of that name appended when there is none.
    TXMLNode* GetCreateNode(const std::string& name);

    // The first node called name (ignoring case when IgnoreCase is set); null when none.
    TXMLNode* NodebyName(std::string_view name) const;
    // The first node called exactly name whose attribute attr equals value exactly; with an
    // empty value a node without the attribute matches too. Null when none.
    TXMLNode* NodebyNameAttr(std::string_view name, std::string_view attr, std::string_view value) const;
    // The first node whose attributes attrs[i] (as GetAttr gives them) equal values[i] for
    // every i; raises lm::Exception when the two arrays differ in length. Null when none.
    TXMLNode* NodebyAttrs(const std::vector<std::string>& attrs, const std::vector<std::string>& values) const;

    // Removes node from the list and frees it; a node not in the list is left alone.
    void DeleteNode(TXMLNode* node);
    // Frees, from the last node to the first, the nodes called exactly name (except false) or
    // the nodes called otherwise (except true).
    void DeleteNodes(std::string_view name, bool except);
    // Sorts in place by compare (reversed when ascending is false): a quicksort with the middle
    // element as pivot, so equal keys keep no particular order.
    void Sort(const TCompare& compare, bool ascending);

    // Ownership transfer for the tree operations: Add appends, Insert puts at index (0..Count),
    // Extract removes the node at index and hands it over. Parent links are the caller's task.
    TXMLNode* Add(std::unique_ptr<TXMLNode> node);
    TXMLNode* Insert(int index, std::unique_ptr<TXMLNode> node);
    std::unique_ptr<TXMLNode> Extract(int index);
    // Moves every node, in order, to the end of target (target must be another list).
    void TransferTo(TXMLNodeList& target);
    // Swaps the nodes at two valid indexes.
    void Exchange(int i, int j);

private:
    using Items = std::vector<std::unique_ptr<TXMLNode>, detail::ListAllocator<std::unique_ptr<TXMLNode>>>;

public:
    // Iteration over the nodes as plain pointers.
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TXMLNode*;
        using difference_type = std::ptrdiff_t;
        using pointer = TXMLNode* const*;
        using reference = TXMLNode*;
        using Base = Items::const_iterator;
        explicit const_iterator(Base it) : m_it(it) {}
        TXMLNode* operator*() const { return m_it->get(); }
        const_iterator& operator++() { ++m_it; return *this; }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }

    private:
        Base m_it;
    };
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

    // Reserves room for count more nodes (the parser knows how many attributes it read).
    void Reserve(int count) { m_items.reserve(m_items.size() + static_cast<std::size_t>(count)); }

private:
    [[noreturn]] void Error(const std::string& message, int index) const;
    void CheckIndex(int index) const;

    TXMLNode* m_owner;
    Items m_items;
};

} // namespace lm
