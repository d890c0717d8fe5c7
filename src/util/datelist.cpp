// TDateList: storage, bisection, sorting and duplicate rules of the date-time list.
#include "util/datelist.h"

#include <algorithm>
#include <utility>

#include "util/exceptions.h"
#include "util/listsort.h"

namespace lm {

void TDateList::Error(const char* message, int data)
{
    throw EStringListError(message, data);
}

void TDateList::CheckIndex(int index) const
{
    if (index < 0 || index >= m_count)
        Error("SListIndexError", index);
}

TDateTime TDateList::Get(int index) const
{
    CheckIndex(index);
    return m_items[index].FDate;
}

TObject* TDateList::GetObject(int index) const
{
    CheckIndex(index);
    return m_items[index].FObject;
}

void TDateList::Put(int index, TDateTime date)
{
    if (m_sorted)
        Error("SSortedListError", 0);
    CheckIndex(index);
    m_items[index].FDate = date;
}

void TDateList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    m_items[index].FObject = object;
}

void TDateList::SetCapacity(int capacity)
{
    capacity = std::max(capacity, m_count);
    if (capacity == m_capacity)
        return;
    std::unique_ptr<TDateItem[]> items;
    if (capacity > 0) {
        items = std::make_unique<TDateItem[]>(static_cast<size_t>(capacity));
        std::copy(m_items.get(), m_items.get() + m_count, items.get());
    }
    m_items = std::move(items);
    m_capacity = capacity;
}

void TDateList::Grow()
{
    SetCapacity(m_capacity + ListGrowDelta(m_capacity));
}

void TDateList::InsertItem(int index, TDateTime date, TObject* object)
{
    if (m_count == m_capacity)
        Grow();
    TDateItem* items = m_items.get();
    std::copy_backward(items + index, items + m_count, items + m_count + 1);
    items[index] = TDateItem{date, object};
    ++m_count;
}

int TDateList::AddIndex(TDateTime date, int& existing) const
{
    if (!m_sorted)
        return m_count;
    int index;
    if (Find(date, index) && m_items[index].FDate == date) {
        if (m_duplicates == dupIgnore) {
            existing = index;
            return -1;
        }
        if (m_duplicates == dupError)
            Error("SDuplicateString", 0);
    }
    return index + 1;
}

int TDateList::Add(TDateTime date)
{
    return AddObject(date, nullptr);
}

int TDateList::AddObject(TDateTime date, TObject* object)
{
    int existing = -1;
    const int index = AddIndex(date, existing);
    if (index < 0)
        return existing;
    InsertItem(index, date, object);
    return index;
}

void TDateList::Clear()
{
    m_items.reset();
    m_count = 0;
    m_capacity = 0;
}

void TDateList::Delete(int index)
{
    CheckIndex(index);
    TDateItem* items = m_items.get();
    std::copy(items + index + 1, items + m_count, items + index);
    --m_count;
    items[m_count] = TDateItem();
}

void TDateList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(m_items[index1], m_items[index2]);
}

bool TDateList::Find(TDateTime date, int& index) const
{
    const TDateItem* items = m_items.get();
    if (m_count == 0 || date < items[0].FDate) {
        index = -1;
        return false;
    }
    int lo = 0;
    int hi = m_count - 1;
    if (date >= items[hi].FDate) {
        index = hi;
        return true;
    }
    // items[lo] <= date < items[hi]
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (items[mid].FDate > date) {
            hi = mid;
        } else {
            lo = mid;
            if (items[mid].FDate == date && m_duplicates != dupAccept)
                break;
        }
    }
    index = lo;
    return true;
}

int TDateList::IndexOf(TDateTime date) const
{
    if (m_sorted) {
        int index;
        return Find(date, index) && m_items[index].FDate == date ? index : -1;
    }
    for (int i = 0; i < m_count; ++i)
        if (m_items[i].FDate == date)
            return i;
    return -1;
}

void TDateList::Insert(int index, TDateTime date)
{
    InsertObject(index, date, nullptr);
}

void TDateList::InsertObject(int index, TDateTime date, TObject* object)
{
    if (m_sorted)
        Error("SSortedListError", 0);
    if (index < 0 || index > m_count)
        Error("SListIndexError", index);
    InsertItem(index, date, object);
}

int TDateList::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_items[i].FObject == object)
            return i;
    return -1;
}

void TDateList::FreeObjects()
{
    for (int i = 0; i < m_count; ++i) {
        delete m_items[i].FObject;
        m_items[i].FObject = nullptr;
    }
}

void TDateList::QuickSort(int left, int right)
{
    detail::QuickSortItems(m_items.get(), left, right, [](const TDateItem& a, const TDateItem& b) {
        return a.FDate < b.FDate ? -1 : a.FDate > b.FDate ? 1 : 0;
    });
}

void TDateList::Sort()
{
    if (!m_sorted && m_count > 1)
        QuickSort(0, m_count - 1);
}

void TDateList::SetSorted(bool sorted)
{
    if (sorted == m_sorted)
        return;
    if (sorted)
        Sort();
    m_sorted = sorted;
}

} // namespace lm
