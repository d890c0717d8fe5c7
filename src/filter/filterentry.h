// The vocabulary of a user filter: entries (the names written in brackets) and the list that
// owns them.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "filter/filtertypes.h"

namespace lm {

class TDataSet;
class TCalcNode;
class TUFilter;

// A name that an expression may use between brackets, with what the compiler and the printer
// need to know about it.
class TUFilterEntry {
public:
    TUFilterEntry() = default;
    virtual ~TUFilterEntry() = default;
    TUFilterEntry(const TUFilterEntry&) = delete;
    TUFilterEntry& operator=(const TUFilterEntry&) = delete;

    const std::string& GetCategory() const { return m_category; }
    void SetCategory(const std::string& category) { m_category = category; }

    // The text that stands for the entry in `kind`; empty when the entry cannot be printed so.
    virtual std::string CalcClause(TFilterKind kind) const = 0;
    // The whole comparison with this entry on the left: `znak` is the operator's printed text
    // (empty for a lone boolean field), `right` the right operand (null for a lone boolean
    // field). Empty when a piece cannot be printed.
    virtual std::string BoolClause(TFilterKind kind, const std::string& znak,
                                   const TCalcNode* right) const = 0;
    // For a lookup entry, the key (as text) of the lookup record whose result field equals
    // `value` exactly; empty when no record has it. Moves the lookup dataset's current record.
    // Any other entry returns `value` unchanged.
    virtual std::string GetKeyValue(const std::string& value) const;

    TUFilter* FilterOwner = nullptr;  // set when the entry joins a list
    std::string EntryName;
    TFilterKinds Kinds;               // empty: the entry is never added
    bool IsNumeric = false;           // numeric and not a lookup
    bool IsLookup = false;
    TDataSet* LookupDataSet = nullptr;
    std::string LookupKeyFields;
    std::string LookupResultField;
    bool IsBoolean = false;

private:
    std::string m_category;
};

// The entries of one filter, in order of addition, each under its unique name. Owns them.
class TEntryList {
public:
    explicit TEntryList(TUFilter* owner) : m_owner(owner) {}
    TEntryList(const TEntryList&) = delete;
    TEntryList& operator=(const TEntryList&) = delete;

    TUFilter* Owner() const { return m_owner; }
    int Count() const { return static_cast<int>(m_items.size()); }
    // The name under which the i-th entry was added (its EntryName).
    const std::string& Strings(int index) const { return m_items.at(index).first; }
    TUFilterEntry* GetEntry(int index) const { return m_items.at(index).second.get(); }
    // The entry of that name, compared ignoring letter case; nullptr when there is none.
    TUFilterEntry* EntryByName(const std::string& name) const;
    int IndexOf(const std::string& name) const;

    // Takes the entry. An entry without kinds, or one that the owner's OnAddFieldEntry vetoes,
    // is destroyed and nullptr returned. A taken name gets "*" appended until it is unique. With
    // `setDefaultCategory` an entry without a category is put on "Дополнительно".
    TUFilterEntry* AddEntry(std::unique_ptr<TUFilterEntry> entry, bool setDefaultCategory);
    void Clear() { m_items.clear(); }

private:
    TUFilter* m_owner;
    std::vector<std::pair<std::string, std::unique_ptr<TUFilterEntry>>> m_items;
};

} // namespace lm
