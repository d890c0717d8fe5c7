// TRBTreeObject: the object instance of the red-black tree core.
#include "util/rbtreeobject.h"

#include "util/rbtreecore_impl.h"

namespace lm {

template class detail::TRBTreeCore<TDataObject*, detail::TRBObjectOrder>;

TRBTreeObject::TRBTreeObject(int blockSize) : TRBTreeCore(blockSize) {}

TRBTreeObject::~TRBTreeObject()
{
    // No entry is ever removed, so the nodes handed out since the last Clear are exactly the
    // tree's nodes; going through the blocks needs no stack.
    ForEachEntry([](TDataObject* object) { delete object; });
}

TRBTreeObject::TRBNode* TRBTreeObject::InsertNode(TDataObject* key)
{
    return TRBTreeCore::InsertNode(key);
}

TDataObject* TRBTreeObject::Find(const TDataObject* key) const
{
    TRBNode* node = FindNode(const_cast<TDataObject*>(key));
    return node == NILL() ? nullptr : node->Data;
}

} // namespace lm
