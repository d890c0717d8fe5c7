// The algorithms of the red-black tree core; included only by the sources that instantiate it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <new>

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
void TRBTreeCore<TData, Order>::AllocateBlock()
{
    // calloc: the zero pages of a fresh block cost nothing until nodes are carved from them.
    auto* block = static_cast<TRBNode*>(std::calloc(static_cast<size_t>(m_blockSize), sizeof(TRBNode)));
    if (!block)
        throw std::bad_alloc();
    m_blocks.emplace_back(block);
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
    return m_blocks[m_blockIndex].get() + m_nodeIndex++;
}

template <typename TData, typename Order>
typename TRBTreeCore<TData, Order>::TRBNode* TRBTreeCore<TData, Order>::FindNode(const TData& key) const
{
    TRBNode* current = m_root;
    while (current != NILL()) {
        const int c = Order::Compare(key, current->Data);
        if (c == 0)
            return current;
        current = c < 0 ? current->Left : current->Right;
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
        c = Order::Compare(key, current->Data);
        if (c == 0) {
            m_inserted = false;
            return current;
        }
        parent = current;
        current = c < 0 ? current->Left : current->Right;
    }
    TRBNode* x = NewNode();
    x->Left = NILL();
    x->Right = NILL();
    x->Parent = parent;
    x->Color = ncRed;
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
    while (x != m_root && x->Parent->Color == ncRed) {
        TRBNode* parent = x->Parent;
        TRBNode* grandparent = parent->Parent;  // exists: a red parent is never the root
        if (parent == grandparent->Right) {
            TRBNode* uncle = grandparent->Left;
            if (uncle->Color == ncRed) {
                parent->Color = ncBlack;
                uncle->Color = ncBlack;
                grandparent->Color = ncRed;
                x = grandparent;
            } else {
                if (x == parent->Left) {
                    x = parent;
                    RotateRight(x);
                }
                x->Parent->Color = ncBlack;
                x->Parent->Parent->Color = ncRed;
                RotateLeft(x->Parent->Parent);
            }
        } else {
            TRBNode* uncle = grandparent->Right;
            if (uncle->Color == ncRed) {
                parent->Color = ncBlack;
                uncle->Color = ncBlack;
                grandparent->Color = ncRed;
                x = grandparent;
            } else {
                if (x == parent->Right) {
                    x = parent;
                    RotateLeft(x);
                }
                x->Parent->Color = ncBlack;
                x->Parent->Parent->Color = ncRed;
                RotateRight(x->Parent->Parent);
            }
        }
    }
    m_root->Color = ncBlack;
}

template <typename TData, typename Order>
void TRBTreeCore<TData, Order>::RotateLeft(TRBNode* x)
{
    TRBNode* y = x->Right;
    x->Right = y->Left;
    if (y->Left != NILL())
        y->Left->Parent = x;
    if (y != NILL())
        y->Parent = x->Parent;
    if (!x->Parent)
        m_root = y;
    else if (x == x->Parent->Left)
        x->Parent->Left = y;
    else
        x->Parent->Right = y;
    y->Left = x;
    if (x != NILL())
        x->Parent = y;
}

template <typename TData, typename Order>
void TRBTreeCore<TData, Order>::RotateRight(TRBNode* x)
{
    TRBNode* y = x->Left;
    x->Left = y->Right;
    if (y->Right != NILL())
        y->Right->Parent = x;
    if (y != NILL())
        y->Parent = x->Parent;
    if (!x->Parent)
        m_root = y;
    else if (x == x->Parent->Right)
        x->Parent->Right = y;
    else
        x->Parent->Left = y;
    y->Right = x;
    if (x != NILL())
        x->Parent = y;
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
    if (nill->Left != nill || nill->Right != nill || nill->Parent || nill->Color != ncBlack)
        return "the sentinel was modified";
    if (m_root != nill && m_root->Parent)
        return "the root has a parent";
    if (m_root->Color != ncBlack)
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
            if (node->Color != ncBlack && node->Color != ncRed)
                return "a node has no valid colour";
            blacks += node->Color == ncBlack ? 1 : 0;
            for (const TRBNode* child : {node->Left, node->Right}) {
                if (child != nill && child->Parent != node)
                    return "a child's parent link is wrong";
                if (node->Color == ncRed && child->Color == ncRed)
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
