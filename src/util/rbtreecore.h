// The red-black tree shared by TRBTree and TRBTreeObject: insertion and lookup only, nodes
// carved from zero-filled blocks of a caller-chosen size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace lm {

enum TNodeColor { ncBlack, ncRed };

namespace detail {

// A node. The colour shares a word with the parent link (in its lowest bit, free because
// nodes are aligned), which makes a node of an 8-byte entry exactly 32 bytes: aligned in its
// block, it never straddles two cache lines, and a search reads one line per level.
template <typename TData>
struct alignas(32) TRBNodeOf {
    TRBNodeOf* Left;
    TRBNodeOf* Right;
    uintptr_t ParentColor;
    TData Data;

    // nullptr for the root.
    TRBNodeOf* Parent() const { return reinterpret_cast<TRBNodeOf*>(ParentColor & ~uintptr_t{1}); }
    TNodeColor Color() const { return static_cast<TNodeColor>(ParentColor & 1); }
    void SetParent(TRBNodeOf* parent) { ParentColor = reinterpret_cast<uintptr_t>(parent) | (ParentColor & 1); }
    void SetColor(TNodeColor color) { ParentColor = (ParentColor & ~uintptr_t{1}) | color; }
};

// `Order::Compare(a, b)` is a three-way comparison of two entries (negative when `a` sorts
// first). The definitions live in rbtreecore_impl.h, instantiated by each tree's source file.
template <typename TData, typename Order>
class TRBTreeCore {
public:
    using TRBNode = TRBNodeOf<TData>;

    // The sentinel of this node type: every missing child, and the root of an empty tree. Its
    // children are itself, its parent is null, it is black and empty; the tree never writes it.
    static TRBNode* NILL() { return &LEAF; }

    // An empty tree with the first block of `blockSize` nodes allocated (sizes below 1 are
    // taken as 1). Raises std::bad_alloc when memory runs out.
    explicit TRBTreeCore(int blockSize);
    ~TRBTreeCore();
    TRBTreeCore(const TRBTreeCore&) = delete;
    TRBTreeCore& operator=(const TRBTreeCore&) = delete;

    // The node holding an entry equal to `key` (Inserted() false afterwards), or a new node
    // holding `key` (Inserted() true, Count() one more).
    TRBNode* InsertNode(const TData& key);
    // The node holding an entry equal to `key`, or NILL().
    TRBNode* FindNode(const TData& key) const;
    // Forgets every node but keeps the blocks: the next inserts refill them from the first.
    void Clear();

    TRBNode* Root() const { return m_root; }
    int Count() const { return m_count; }
    bool Inserted() const { return m_inserted; }
    int BlockSize() const { return m_blockSize; }
    int BlockCount() const { return static_cast<int>(m_blocks.size()); }

    // Checks the red-black rules (black root and sentinel, no red node with a red child, the
    // same number of black nodes on every path), the parent links, the strict order of the
    // entries, and Count against the nodes in the tree and those handed out from the blocks.
    // Returns the first violation found, or the empty text.
    std::string CheckInvariants() const;

protected:
    // Calls `visit(data)` for the entry of every node handed out since the last Clear.
    template <typename Visit>
    void ForEachEntry(Visit visit) const
    {
        for (int b = 0; b <= m_blockIndex && b < BlockCount(); ++b) {
            const int used = b < m_blockIndex ? m_blockSize : m_nodeIndex;
            for (int i = 0; i < used; ++i)
                visit(m_blocks[b].nodes[i].Data);
        }
    }

    TRBNode* NewNode();
    void InsertFixup(TRBNode* x);
    // One step of InsertFixup for a red `x` under a red parent that is the `Far` child of its
    // own parent (&TRBNode::Left / &TRBNode::Right, or the mirror image). Returns the node
    // the loop goes on with.
    template <TRBNode* TRBNode::*Near, TRBNode* TRBNode::*Far>
    TRBNode* FixupStep(TRBNode* x);
    // Moves `x` down on its `Near` side; its `Far` child takes its place. Rotate<Left, Right>
    // is the left rotation, Rotate<Right, Left> the right one.
    template <TRBNode* TRBNode::*Near, TRBNode* TRBNode::*Far>
    void Rotate(TRBNode* x);

private:
    // A zero-filled block of nodes: from aligned_alloc, or for large blocks mapped straight
    // from the system (`bytes` not 0) so that it can be backed by huge pages.
    struct TBlock {
        TRBNode* nodes = nullptr;
        size_t bytes = 0;
        TBlock(TRBNode* n, size_t b) : nodes(n), bytes(b) {}
        TBlock(TBlock&& o) noexcept : nodes(o.nodes), bytes(o.bytes) { o.nodes = nullptr; }
        TBlock& operator=(TBlock&&) = delete;
        ~TBlock();
    };
    void AllocateBlock();

    static TRBNode LEAF;

    TRBNode* m_root = NILL();
    int m_blockSize;
    std::vector<TBlock> m_blocks;
    int m_blockIndex = 0;
    int m_nodeIndex = 0;
    int m_count = 0;
    bool m_inserted = false;
};

template <typename TData, typename Order>
typename TRBTreeCore<TData, Order>::TRBNode TRBTreeCore<TData, Order>::LEAF{&LEAF, &LEAF, 0, TData{}};

} // namespace detail
} // namespace lm
