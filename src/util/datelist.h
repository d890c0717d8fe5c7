// TDateList: a list of date-time values with attached objects, optionally kept sorted.
#pragma once

#include "util/duplicates.h"
#include "util/listitems.h"
#include "util/object.h"
#include "util/sysutils.h"

namespace lm {

class TDateList : public TObject {
public:
    struct TDateItem {
        TDateTime FDate = 0;
        TObject* FObject = nullptr;
    };

    TDateList() = default;
    TDateList(const TDateList&) = delete;
    TDateList& operator=(const TDateList&) = delete;

    // Indexes are 0-based; a bad index raises EStringListError "SListIndexError".
    virtual TDateTime Get(int index) const;
    virtual int GetCount() const { return m_items.Count(); }
    virtual TObject* GetObject(int index) const;
    // Raises "SSortedListError" on a sorted list.
    virtual void Put(int index, TDateTime date);
    virtual void PutObject(int index, TObject* object);
    // Values below Count are taken as Count.
    virtual void SetCapacity(int capacity);
    // Unsorted: appends. Sorted: inserts after the last entry not greater than `date`; when
    // that entry equals `date`, Duplicates decides: ignore returns its index without adding,
    // error raises "SDuplicateString", accept adds the new one after it. Returns the index.
    virtual int Add(TDateTime date);
    // As Add, attaching `object` to a new entry; an ignored duplicate keeps its own object.
    virtual int AddObject(TDateTime date, TObject* object);
    // Removes every entry and releases the storage; attached objects are not deleted.
    virtual void Clear();
    virtual void Delete(int index);
    virtual void Exchange(int index1, int index2);
    // Bisection of a sorted list for the last entry not greater than `date`: false and -1 when
    // the list is empty or `date` is below the first entry; otherwise true with that index
    // (true does not mean the entry equals `date`).
    virtual bool Find(TDateTime date, int& index) const;
    // Index of an entry equal to `date`, or -1.
    virtual int IndexOf(TDateTime date) const;
    // Raises "SSortedListError" on a sorted list, "SListIndexError" unless 0 <= index <= Count.
    virtual void Insert(int index, TDateTime date);
    // Sorts an unsorted list (quicksort, not stable); a list marked Sorted is left alone.
    virtual void Sort();

    void InsertObject(int index, TDateTime date, TObject* object);
    // Index of the first entry carrying `object`, or -1.
    int IndexOfObject(const TObject* object) const;
    // Deletes every attached object and clears the references.
    void FreeObjects();

    int Count() const { return GetCount(); }
    int Capacity() const { return m_items.Capacity(); }
    bool Sorted() const { return m_sorted; }
    // Turning the flag on sorts the list first.
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates duplicates) { m_duplicates = duplicates; }

private:
    // The index where a sorted Add puts `date`, or -1 for an ignored duplicate (then
    // `existing` is its index).
    int AddIndex(TDateTime date, int& existing) const;
    void QuickSort(int left, int right);

    detail::TListItems<TDateItem> m_items;
    bool m_sorted = false;
    TDuplicates m_duplicates = dupIgnore;
};

} // namespace lm
