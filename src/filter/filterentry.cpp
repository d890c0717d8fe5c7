// The filter entry base and the entry list.
#include "filter/filterentry.h"

#include "filter/fieldentry.h"
#include "filter/ufilter.h"
#include "host/dataset.h"
#include "util/cp1251.h"

namespace lm {

std::string TUFilterEntry::GetKeyValue(const std::string& value) const
{
    if (!IsLookup)
        return value;
    if (!LookupDataSet)
        return {};
    if (!LookupDataSet->Active())
        LookupDataSet->Open();
    if (LookupDataSet->FieldByName(LookupResultField)->AsString() != value &&
        !LookupDataSet->Locate(LookupResultField, Variant(value)))
        return {};
    return LookupDataSet->FieldByName(LookupKeyFields)->AsString();
}

int TEntryList::IndexOf(const std::string& name) const
{
    const std::string key = upperCase(name);
    for (size_t i = 0; i < m_items.size(); ++i)
        if (upperCase(m_items[i].first) == key)
            return static_cast<int>(i);
    return -1;
}

TUFilterEntry* TEntryList::EntryByName(const std::string& name) const
{
    const int i = IndexOf(name);
    return i < 0 ? nullptr : m_items[static_cast<size_t>(i)].second.get();
}

TUFilterEntry* TEntryList::AddEntry(std::unique_ptr<TUFilterEntry> entry, bool setDefaultCategory)
{
    if (!entry || entry->Kinds.Empty())
        return nullptr;
    while (IndexOf(entry->EntryName) >= 0)
        entry->EntryName += '*';
    if (auto* fieldEntry = dynamic_cast<TFieldEntry*>(entry.get()); fieldEntry && m_owner &&
                                                                      m_owner->OnAddFieldEntry) {
        bool doAdd = true;
        m_owner->OnAddFieldEntry(m_owner, fieldEntry->FieldName, doAdd);
        if (!doAdd)
            return nullptr;
    }
    entry->FilterOwner = m_owner;
    if (setDefaultCategory && entry->GetCategory().empty())
        entry->SetCategory("Дополнительно"_w);
    TUFilterEntry* added = entry.get();
    m_items.emplace_back(added->EntryName, std::move(entry));
    return added;
}

} // namespace lm
