// TDateList: storage, bisection, sorting and duplicate rules of the date-time list.
#include "util/datelist.h"

#include "util/listsort.h"

namespace lm {

TDateTime TDateList::Get(int index) const
{
    m_items.CheckIndex(index);
    return m_items[index].FDate;
}

TObject* TDateList::GetObject(int index) const
{
    m_items.CheckIndex(index);
    return m_items[index].FObject;
}

void TDateList::Put(int index, TDateTime date)
{
    if (m_sorted)
        detail::ListError("SSortedListError", 0);
    m_items.CheckIndex(index);
    m_items[index].FDate = date;
}

void TDateList::PutObject(int index, TObject* object)
{
    m_items.CheckIndex(index);
    m_items[index].FObject = object;
}

void TDateList::SetCapacity(int capacity)
{
    m_items.SetCapacity(capacity);
}

int TDateList::AddIndex(TDateTime date, int& existing) const
{
    if (!m_sorted)
        return m_items.Count();
    int index;
    if (Find(date, index) && m_items[index].FDate == date) {
        if (m_duplicates == dupIgnore) {
            existing = index;
            return -1;
        }
        if (m_duplicates == dupError)
            detail::ListError("SDuplicateString", 0);
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
    m_items.Insert(index, {date, object});
    return index;
}

void TDateList::Clear()
{
    m_items.Clear();
}

void TDateList::Delete(int index)
{
    m_items.Delete(index);
}

void TDateList::Exchange(int index1, int index2)
{
    m_items.Exchange(index1, index2);
}

bool TDateList::Find(TDateTime date, int& index) const
{
    const TDateItem* items = m_items.Data();
    if (m_items.Count() == 0 || date < items[0].FDate) {
        index = -1;
        return false;
    }
    int lo = 0;
    int hi = m_items.Count() - 1;
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
    for (int i = 0; i < m_items.Count(); ++i)
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
        detail::ListError("SSortedListError", 0);
    if (index < 0 || index > m_items.Count())
        detail::ListError("SListIndexError", index);
    m_items.Insert(index, {date, object});
}

int TDateList::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < m_items.Count(); ++i)
        if (m_items[i].FObject == object)
            return i;
    return -1;
}

void TDateList::FreeObjects()
{
    m_items.FreeObjects();
}

void TDateList::QuickSort(int left, int right)
{
    detail::QuickSortItems(m_items.Data(), left, right, [](const TDateItem& a, const TDateItem& b) {
        return a.FDate < b.FDate ? -1 : a.FDate > b.FDate ? 1 : 0;
    });
}

void TDateList::Sort()
{
    if (!m_sorted && m_items.Count() > 1)
        QuickSort(0, m_items.Count() - 1);
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
