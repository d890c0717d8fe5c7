// TRBTreeObject: a red-black tree of objects of a user class that supplies the ordering.
#pragma once

#include "util/object.h"
#include "util/rbtreecore.h"

namespace lm {

// The entries of a TRBTreeObject derive from this class and define their order.
class TDataObject : public TObject {
public:
    // Three-way comparison with `other`: negative when this object sorts first, 0 when equal,
    // positive otherwise.
    virtual int Compare(const TDataObject* other) const = 0;
};

namespace detail {
struct TRBObjectOrder {
    static int Compare(const TDataObject* a, const TDataObject* b) { return a->Compare(b); }
};
} // namespace detail

class TRBTreeObject : public TObject, public detail::TRBTreeCore<TDataObject*, detail::TRBObjectOrder> {
public:
    // An empty tree; nodes are allocated `blockSize` at a time.
    explicit TRBTreeObject(int blockSize);
    // Deletes every object still in the tree, then releases the blocks.
    ~TRBTreeObject() override;

    // Adds `key` unless an equal object is present. When added (Inserted() true) the tree owns
    // it; otherwise the node of the equal object is returned and `key` stays with the caller.
    TRBNode* InsertNode(TDataObject* key);
    // The stored object equal to `key`, or nullptr.
    TDataObject* Find(const TDataObject* key) const;

    static bool CompEQ(const TDataObject* a, const TDataObject* b) { return a->Compare(b) == 0; }
    static bool CompLT(const TDataObject* a, const TDataObject* b) { return a->Compare(b) < 0; }
};

} // namespace lm
