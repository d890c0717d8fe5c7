// TFastList: a string list with its own storage, sorting and duplicate rules.
#pragma once

#include <string>
#include <string_view>

#include "util/duplicates.h"
#include "util/listitems.h"
#include "util/strings.h"

namespace lm {

class TFastList : public TStrings {
public:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };

    TFastList() = default;
    // With OwnsObjects, deletes every attached object.
    ~TFastList() override;

    const std::string& Get(int index) const override;
    int GetCapacity() const override { return m_items.Capacity(); }
    int GetCount() const override { return m_items.Count(); }
    TObject* GetObject(int index) const override;
    // Replaces the string at `index`. When another entry already holds `s` (IndexOf), the
    // Duplicates rule applies: ignore does nothing, error raises "SDuplicateString". A sorted
    // list is sorted again afterwards.
    void Put(int index, const std::string& s) override;
    void PutObject(int index, TObject* object) override;
    // Values below Count are taken as Count: entries are never dropped this way.
    void SetCapacity(int capacity) override;
    // Unsorted: appends. Sorted: inserts at the place Find gives; an existing equal entry is
    // returned (ignore), raises "SDuplicateString" (error) or gets a twin (accept).
    int Add(const std::string& s) override;
    // Removes every entry and releases the storage; attached objects are not deleted.
    void Clear() override;
    void Delete(int index) override;
    void Exchange(int index1, int index2) override;
    // Sorted: the entry Find reports (exact comparison), else -1. Unsorted: the first entry
    // equal to `s` ignoring letter case, or -1.
    int IndexOf(const std::string& s) const override;
    // Raises "SSortedListError" on a sorted list, "SListIndexError" unless 0 <= index <= Count.
    void Insert(int index, const std::string& s) override;

    // Binary search of a sorted list. True with the index of an equal entry (the first of
    // equal ones when duplicates are accepted); false with the index where `s` would go.
    virtual bool Find(std::string_view s, int& index) const;
    // Sorts an unsorted list (quicksort, not stable); a list marked Sorted is left alone.
    virtual void Sort();

    bool Sorted() const { return m_sorted; }
    // Turning the flag on sorts the list first.
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates duplicates) { m_duplicates = duplicates; }
    bool OwnsObjects() const { return m_ownsObjects; }
    void SetOwnsObjects(bool owns) { m_ownsObjects = owns; }
    // With NumericSort, comparisons convert both strings with StrToInt (a string that is not an
    // integer raises EConvertError). Changing it re-sorts a sorted list.
    bool NumericSort() const { return m_numericSort; }
    void SetNumericSort(bool numeric);

    // Deletes every attached object and clears the references.
    void FreeObjects();
    // Releases every attached reference as a raw block with std::free and clears it. For lists
    // whose entries carry malloc'ed blocks stored as objects, e.g.
    // PutObject(i, static_cast<TObject*>(std::malloc(n))); such references are never deleted
    // as objects, so OwnsObjects must stay off for them.
    void FreePointers();
    // The text after "=" of the first entry that starts with `name` followed by "=" (the name
    // compared ignoring letter case), or the empty text.
    std::string FastGetValue(std::string_view name) const;
    // Sets the entry "name=value" in place of the first entry named `name`, appending one when
    // there is none; an empty value deletes that entry.
    void FastSetValue(std::string_view name, std::string_view value);

private:
    // Three-way comparison by the list's rule: exact bytes, or as integers with NumericSort.
    int CompareStrings(std::string_view a, std::string_view b) const;
    int IndexOfNameFast(std::string_view name) const;
    void QuickSort(int left, int right);

    detail::TListItems<TStringItem> m_items;
    bool m_sorted = false;
    TDuplicates m_duplicates = dupIgnore;
    bool m_ownsObjects = false;
    bool m_numericSort = false;
};

} // namespace lm
