// TListItems: the entry storage shared by the lists that keep their own items.
#pragma once

#include <algorithm>
#include <memory>
#include <utility>

#include "util/duplicates.h"
#include "util/exceptions.h"
#include "util/object.h"

namespace lm::detail {

// Raises EStringListError with the list message ("SListIndexError", "SSortedListError",
// "SDuplicateString") and its data.
[[noreturn]] inline void ListError(const char* message, int data)
{
    throw EStringListError(message, data);
}

// A growable array of list entries. `Item` is a default-constructible entry with a
// `TObject* FObject` member (the attached object, a link unless the list says otherwise).
// The array grows by ListGrowDelta when full.
template <typename Item>
class TListItems {
public:
    int Count() const { return m_count; }
    int Capacity() const { return m_capacity; }
    // Unchecked access; CheckIndex first where the index comes from a caller.
    Item& operator[](int index) { return m_items[index]; }
    const Item& operator[](int index) const { return m_items[index]; }
    Item* Data() { return m_items.get(); }
    const Item* Data() const { return m_items.get(); }

    // Raises "SListIndexError" with the index unless 0 <= index < Count.
    void CheckIndex(int index) const
    {
        if (index < 0 || index >= m_count)
            ListError("SListIndexError", index);
    }

    // Values below Count are taken as Count: entries are never dropped this way.
    void SetCapacity(int capacity)
    {
        capacity = std::max(capacity, m_count);
        if (capacity == m_capacity)
            return;
        std::unique_ptr<Item[]> items;
        if (capacity > 0) {
            items = std::make_unique<Item[]>(static_cast<size_t>(capacity));
            std::move(m_items.get(), m_items.get() + m_count, items.get());
        }
        m_items = std::move(items);
        m_capacity = capacity;
    }

    // Puts `item` at `index` (0 <= index <= Count, not checked), moving the later entries up.
    void Insert(int index, Item item)
    {
        if (m_count == m_capacity)
            SetCapacity(m_capacity + ListGrowDelta(m_capacity));
        Item* items = m_items.get();
        std::move_backward(items + index, items + m_count, items + m_count + 1);
        items[index] = std::move(item);
        ++m_count;
    }

    // Removes the entry at a checked index; its object is not deleted.
    void Delete(int index)
    {
        CheckIndex(index);
        Item* items = m_items.get();
        std::move(items + index + 1, items + m_count, items + index);
        --m_count;
        items[m_count] = Item();
    }

    // Swaps two entries, checked, with their objects.
    void Exchange(int index1, int index2)
    {
        CheckIndex(index1);
        CheckIndex(index2);
        std::swap(m_items[index1], m_items[index2]);
    }

    // Removes every entry and releases the storage; attached objects are not deleted.
    void Clear()
    {
        m_items.reset();
        m_count = 0;
        m_capacity = 0;
    }

    // Deletes every attached object and clears the references.
    void FreeObjects()
    {
        for (int i = 0; i < m_count; ++i) {
            delete m_items[i].FObject;
            m_items[i].FObject = nullptr;
        }
    }

private:
    std::unique_ptr<Item[]> m_items;
    int m_count = 0;
    int m_capacity = 0;
};

} // namespace lm::detail
