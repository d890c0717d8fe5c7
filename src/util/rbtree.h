// TRBTree: a red-black tree of currency values, a fast set of amounts or identifiers.
#pragma once

#include "util/currency.h"
#include "util/object.h"
#include "util/rbtreecore.h"

namespace lm {

namespace detail {
struct TRBCurrencyOrder {
    static int Compare(Currency a, Currency b) { return a < b ? -1 : b < a ? 1 : 0; }
};
} // namespace detail

class TRBTree : public TObject, public detail::TRBTreeCore<Currency, detail::TRBCurrencyOrder> {
public:
    // An empty tree; nodes are allocated `blockSize` at a time.
    explicit TRBTree(int blockSize);
    ~TRBTree() override;

    TRBNode* InsertNode(Currency key);
    // True when the value is in the tree.
    bool Find(Currency key) const;

    static bool CompEQ(Currency a, Currency b) { return a == b; }
    static bool CompLT(Currency a, Currency b) { return a < b; }
};

} // namespace lm
