// TRBTree: the currency instance of the red-black tree core.
#include "util/rbtree.h"

#include "util/rbtreecore_impl.h"

namespace lm {

template class detail::TRBTreeCore<Currency, detail::TRBCurrencyOrder>;

TRBTree::TRBTree(int blockSize) : TRBTreeCore(blockSize) {}

TRBTree::~TRBTree() = default;

TRBTree::TRBNode* TRBTree::InsertNode(Currency key)
{
    return TRBTreeCore::InsertNode(key);
}

bool TRBTree::Find(Currency key) const
{
    return FindNode(key) != NILL();
}

} // namespace lm
