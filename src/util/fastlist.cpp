// TFastList: storage, search, sorting and duplicate rules of the fast string list.
#include "util/fastlist.h"

#include <cstdlib>

#include "util/listsort.h"
#include "util/sysutils.h"

namespace lm {

TFastList::~TFastList()
{
    if (m_ownsObjects)
        FreeObjects();
}

int TFastList::CompareStrings(std::string_view a, std::string_view b) const
{
    if (m_numericSort) {
        const int x = StrToInt(a);
        const int y = StrToInt(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return a.compare(b);
}

const std::string& TFastList::Get(int index) const
{
    m_items.CheckIndex(index);
    return m_items[index].FString;
}

TObject* TFastList::GetObject(int index) const
{
    m_items.CheckIndex(index);
    return m_items[index].FObject;
}

void TFastList::Put(int index, const std::string& s)
{
    m_items.CheckIndex(index);
    const int existing = IndexOf(s);
    if (existing >= 0 && existing != index) {
        if (m_duplicates == dupIgnore)
            return;
        if (m_duplicates == dupError)
            detail::ListError("SDuplicateString", 0);
    }
    m_items[index].FString = s;
    if (m_sorted && m_items.Count() > 1)
        QuickSort(0, m_items.Count() - 1);
}

void TFastList::PutObject(int index, TObject* object)
{
    m_items.CheckIndex(index);
    m_items[index].FObject = object;
}

void TFastList::SetCapacity(int capacity)
{
    m_items.SetCapacity(capacity);
}

int TFastList::Add(const std::string& s)
{
    int index = m_items.Count();
    if (m_sorted && Find(s, index)) {
        if (m_duplicates == dupIgnore)
            return index;
        if (m_duplicates == dupError)
            detail::ListError("SDuplicateString", 0);
    }
    m_items.Insert(index, {s, nullptr});
    return index;
}

void TFastList::Clear()
{
    m_items.Clear();
}

void TFastList::Delete(int index)
{
    m_items.Delete(index);
}

void TFastList::Exchange(int index1, int index2)
{
    m_items.Exchange(index1, index2);
}

int TFastList::IndexOf(const std::string& s) const
{
    if (m_sorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < m_items.Count(); ++i)
        if (SameText(m_items[i].FString, s))
            return i;
    return -1;
}

void TFastList::Insert(int index, const std::string& s)
{
    if (m_sorted)
        detail::ListError("SSortedListError", 0);
    if (index < 0 || index > m_items.Count())
        detail::ListError("SListIndexError", index);
    m_items.Insert(index, {s, nullptr});
}

bool TFastList::Find(std::string_view s, int& index) const
{
    bool found = false;
    int lo = 0;
    int hi = m_items.Count() - 1;
    while (lo <= hi) {
        const int i = lo + (hi - lo) / 2;
        const int c = CompareStrings(m_items[i].FString, s);
        if (c < 0) {
            lo = i + 1;
        } else {
            hi = i - 1;
            if (c == 0) {
                found = true;
                if (m_duplicates != dupAccept)
                    lo = i;
            }
        }
    }
    index = lo;
    return found;
}

void TFastList::QuickSort(int left, int right)
{
    if (m_numericSort) {
        detail::QuickSortItems(m_items.Data(), left, right, [this](const TStringItem& a, const TStringItem& b) {
            return CompareStrings(a.FString, b.FString);
        });
    } else {
        // The exact comparison inlined: the common case of large sorts.
        detail::QuickSortItems(m_items.Data(), left, right, [](const TStringItem& a, const TStringItem& b) {
            return a.FString.compare(b.FString);
        });
    }
}

void TFastList::Sort()
{
    if (!m_sorted && m_items.Count() > 1)
        QuickSort(0, m_items.Count() - 1);
}

void TFastList::SetSorted(bool sorted)
{
    if (sorted == m_sorted)
        return;
    if (sorted)
        Sort();
    m_sorted = sorted;
}

void TFastList::SetNumericSort(bool numeric)
{
    if (numeric == m_numericSort)
        return;
    m_numericSort = numeric;
    if (m_sorted && m_items.Count() > 1)
        QuickSort(0, m_items.Count() - 1);
}

void TFastList::FreeObjects()
{
    m_items.FreeObjects();
}

void TFastList::FreePointers()
{
    for (int i = 0; i < m_items.Count(); ++i) {
        std::free(m_items[i].FObject);
        m_items[i].FObject = nullptr;
    }
}

int TFastList::IndexOfNameFast(std::string_view name) const
{
    for (int i = 0; i < m_items.Count(); ++i) {
        const std::string& s = m_items[i].FString;
        if (s.size() > name.size() && s[name.size()] == '='
            && SameText(std::string_view(s).substr(0, name.size()), name))
            return i;
    }
    return -1;
}

std::string TFastList::FastGetValue(std::string_view name) const
{
    const int index = IndexOfNameFast(name);
    return index < 0 ? std::string() : m_items[index].FString.substr(name.size() + 1);
}

void TFastList::FastSetValue(std::string_view name, std::string_view value)
{
    SetValueAt(IndexOfNameFast(name), name, value);
}

} // namespace lm

