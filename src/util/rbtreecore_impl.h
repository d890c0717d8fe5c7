// The algorithms of the red-black tree core; included only by the sources that instantiate it.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

#include "util/rbtreecore.h"

namespace lm::detail {

template <typename TData, typename Order>
TRBTreeCore<TData, Order>::TRBTreeCore(int blockSize) : m_blockSize(blockSize < 1 ? 1 : blockSize)
{
    AllocateBlock();
}

template <typename TData, typename Order>
TRBTreeCore<TData, Order>::~TRBTreeCore() = default;

template <typename TData, typename Order>
TRBTreeCore<TData, Order>::TBlock::~TBlock()
{
    if (!nodes)
        return;  // moved from
    if (bytes)
        ::munmap(nodes, bytes);
    else
        std::free(nodes);
}

template <typename TData, typename Order>
void TRBTreeCore<TData, Order>::AllocateBlock()
{
    // A search visits nodes spread over the whole tree; with small pages most of its steps
    // would also miss the TLB. Blocks of 2 MB and more are therefore mapped at a 2 MB boundary
    // and offered huge pages. Fresh mapped pages read as zero and cost nothing until used.
    constexpr size_t kHugePage = size_t{2} << 20;
    m_blocks.reserve(m_blocks.size() + 1);  // so that recording the block cannot fail
    const size_t bytes = static_cast<size_t>(m_blockSize) * sizeof(TRBNode);
    if (bytes < kHugePage) {
        void* block = std::aligned_alloc(alignof(TRBNode), bytes);
        if (!block)
            throw std::bad_alloc();
        std::memset(block, 0, bytes);
        m_blocks.emplace_back(static_cast<TRBNode*>(block), 0);
        return;
    }
    const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t length = (bytes + page - 1) / page * page;
    const size_t mapped = length + kHugePage;
    void* area = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED)
        throw std::bad_alloc();
    auto* start = static_cast<char*>(area);
    const auto address = reinterpret_cast<uintptr_t>(start);
    const size_t head = ((address + kHugePage - 1) & ~(kHugePage - 1)) - address;
    if (head)
        ::munmap(start, head);
    start += head;
    if (const size_t tail = mapped - head - length)
        ::munmap(start + length, tail);
    ::madvise(start, length, MADV_HUGEPAGE);
    m_blocks.emplace_back(reinterpret_cast<TRBNode*>(start), length);
}

template <typename TData, typename Order>
typename TRBTreeCore<TData, Order>::TRBNode* TRBTreeCore<TData, Order>::NewNode()
{
    if (m_nodeIndex > m_blockSize - 1) {
        if (m_blockIndex + 1 >= BlockCount())
            AllocateBlock();
        ++m_blockIndex;
        m_nodeIndex = 0;
    }
    return m_blocks[m_blockIndex].nodes + m_nodeIndex++;
}

// Starts loading both children while the entry is compared: whichever way the search goes, its
// next node is already on its way from memory, which overlaps the cache misses of a large tree.
template <typename TNode>
inline void Prefetch(const TNode* left, const TNode* right)
{
    __builtin_prefetch(left);
    __builtin_prefetch(right);
}

template <typename TData, typename Order>
typename TRBTreeCore<TData, Order>::TRBNode* TRBTreeCore<TData, Order>::FindNode(const TData& key) const
{
    TRBNode* current = m_root;
    while (current != NILL()) {
        TRBNode* left = current->Left;
        TRBNode* right = current->Right;
        Prefetch(left, right);
        const int c = Order::Compare(key, current->Data);
        if (c == 0)
            return current;
        current = c < 0 ? left : right;
    }
    return current;
}

template <typename TData, typename Order>
typename TRBTreeCore<TData, Order>::TRBNode* TRBTreeCore<TData, Order>::InsertNode(const TData& key)
{
    TRBNode* current = m_root;
    TRBNode* parent = nullptr;
    int c = 0;
    while (current != NILL()) {
        TRBNode* left = current->Left;
        TRBNode* right = current->Right;
        Prefetch(left, right);
        c = Order::Compare(key, current->Data);
        if (c == 0) {
            m_inserted = false;
            return current;
        }
        parent = current;
        current = c < 0 ? left : right;
    }
    TRBNode* x = NewNode();
    x->Left = NILL();
    x->Right = NILL();
    x->ParentColor = reinterpret_cast<uintptr_t>(parent) | ncRed;
    x->Data = key;
    if (!parent)
        m_root = x;
    else if (c < 0)
        parent->Left = x;
    else
        parent->Right = x;
    InsertFixup(x);
    m_inserted = true;
    ++m_count;
    return x;
}

template <typename TData, typename Order>
void TRBTreeCore<TData, Order>::InsertFixup(TRBNode* x)
{
    while (x != m_root && x->Parent()->Color() == ncRed) {
        TRBNode* parent = x->Parent();
        TRBNode* grandparent = parent->Parent();  // exists: a red parent is never the root
        if (parent == grandparent->Right)
            x = FixupStep<&TRBNode::Left, &TRBNode::Right>(x);
        else
            x = FixupStep<&TRBNode::Right, &TRBNode::Left>(x);
    }
    m_root->SetColor(ncBlack);
}

template <typename TData, typename Order>
template <TRBNodeOf<TData>* TRBNodeOf<TData>::*Near, TRBNodeOf<TData>* TRBNodeOf<TData>::*Far>
typename TRBTreeCore<TData, Order>::TRBNode* TRBTreeCore<TData, Order>::FixupStep(TRBNode* x)
{
    TRBNode* parent = x->Parent();
    TRBNode* grandparent = parent->Parent();
    TRBNode* uncle = grandparent->*Near;
    if (uncle->Color() == ncRed) {
        parent->SetColor(ncBlack);
        uncle->SetColor(ncBlack);
        grandparent->SetColor(ncRed);
        return grandparent;
    }
    if (x == parent->*Near) {
        // The inner grandchild: turn it into the outer one first.
        x = parent;
        Rotate<Far, Near>(x);
    }
    x->Parent()->SetColor(ncBlack);
    x->Parent()->Parent()->SetColor(ncRed);
    Rotate<Near, Far>(x->Parent()->Parent());
    return x;
}

template <typename TData, typename Order>
template <TRBNodeOf<TData>* TRBNodeOf<TData>::*Near, TRBNodeOf<TData>* TRBNodeOf<TData>::*Far>
void TRBTreeCore<TData, Order>::Rotate(TRBNode* x)
{
    TRBNode* y = x->*Far;
    x->*Far = y->*Near;
    if (y->*Near != NILL())
        (y->*Near)->SetParent(x);
    TRBNode* parent = x->Parent();
    if (y != NILL())
        y->SetParent(parent);
    if (!parent)
        m_root = y;
    else if (x == parent->*Near)
        parent->*Near = y;
    else
        parent->*Far = y;
    y->*Near = x;
    if (x != NILL())
        x->SetParent(y);
}

template <typename TData, typename Order>
void TRBTreeCore<TData, Order>::Clear()
{
    m_root = NILL();
    m_count = 0;
    m_blockIndex = 0;
    m_nodeIndex = 0;
}

template <typename TData, typename Order>
std::string TRBTreeCore<TData, Order>::CheckInvariants() const
{
    const TRBNode* nill = NILL();
    if (nill->Left != nill || nill->Right != nill || nill->ParentColor != 0)
        return "the sentinel was modified";
    if (m_root != nill && m_root->Parent())
        return "the root has a parent";
    if (m_root->Color() != ncBlack)
        return "the root is red";

    // Iterative in-order walk; the stack holds each node with the black count of its path.
    struct Frame {
        const TRBNode* node;
        int blacks;
    };
    std::vector<Frame> stack;
    const TRBNode* previous = nullptr;
    int pathBlacks = -1;
    int nodes = 0;
    const TRBNode* node = m_root;
    int blacks = 0;
    for (;;) {
        while (node != nill) {
            blacks += node->Color() == ncBlack ? 1 : 0;
            for (const TRBNode* child : {node->Left, node->Right}) {
                if (child != nill && child->Parent() != node)
                    return "a child's parent link is wrong";
                if (node->Color() == ncRed && child->Color() == ncRed)
                    return "a red node has a red child";
            }
            if (node->Left == nill || node->Right == nill) {
                if (pathBlacks < 0)
                    pathBlacks = blacks;
                else if (pathBlacks != blacks)
                    return "paths differ in black nodes";
            }
            stack.push_back({node, blacks});
            node = node->Left;
        }
        if (stack.empty())
            break;
        const Frame frame = stack.back();
        stack.pop_back();
        if (previous && Order::Compare(previous->Data, frame.node->Data) >= 0)
            return "entries are out of order";
        previous = frame.node;
        ++nodes;
        node = frame.node->Right;
        blacks = frame.blacks;
    }
    if (nodes != m_count)
        return "Count differs from the nodes in the tree";
    if (m_count != int64_t{m_blockIndex} * m_blockSize + m_nodeIndex)
        return "Count differs from the nodes handed out";
    return std::string();
}

} // namespace lm::detail
