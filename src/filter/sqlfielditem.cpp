// The builder's field items and their filters.
#include "filter/sqlfielditem.h"

#include <algorithm>

#include "filter/sqlbuilder.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm::sqlbuilder {

void TFieldItem::SetFieldName(const std::string& name) { m_fieldName = NormalName(name); }
void TFieldItem::SetSQLName(const std::string& name) { m_sqlName = NormalName(name); }

void TFieldItem::SetTable(const std::string& name)
{
    const std::string table = NormalName(name);
    if (m_tableList.empty())
        m_tableList.push_back(table);
    else
        m_tableList.front() = table;
    if (table.empty() && m_tableList.size() == 1)
        m_tableList.clear();
}

void TFieldItem::SetTableList(const std::vector<std::string>& tables)
{
    m_tableList.clear();
    for (const std::string& t : tables)
        if (!NormalName(t).empty())
            m_tableList.push_back(NormalName(t));
}

std::string TFieldItem::DisplayName() const
{
    if (!Category.empty() && !DisplayLabel.empty())
        return Category + "." + DisplayLabel;
    return DisplayLabel.empty() ? m_fieldName : DisplayLabel;
}

void TFieldItem::AddFilter(const std::string& value)
{
    const std::string v = Trim(value);
    if (v.empty())
        return;
    if (static_cast<int>(m_filters.size()) >= kMaxFilterValues)
        throw Exception("Слишком много значений фильтра. Максимально допустимое количество значений 1000."_w);
    m_filters.push_back(v);
}

void TFieldItem::RemoveFilter(const std::string& value)
{
    const auto it = std::find(m_filters.begin(), m_filters.end(), Trim(value));
    if (it != m_filters.end())
        m_filters.erase(it);
}

bool TFieldItem::HasFilter(const std::string& value) const
{
    return std::find(m_filters.begin(), m_filters.end(), Trim(value)) != m_filters.end();
}

void TFieldItem::SetFilters(const std::vector<std::string>& list)
{
    m_filters.clear();
    for (const std::string& line : list)
        AddFilter(line);
}

bool TFieldItem::IsActive() const { return Builder && Builder->ActiveFields().FindByName(m_fieldName); }

TFieldItem* TFieldCollection::Add()
{
    m_items.push_back(std::make_unique<TFieldItem>());
    m_items.back()->Builder = m_builder;
    return m_items.back().get();
}

TFieldItem* TFieldCollection::AddCopy(const TFieldItem& item)
{
    m_items.push_back(std::make_unique<TFieldItem>(item));
    m_items.back()->Builder = m_builder;
    return m_items.back().get();
}

int TFieldCollection::IndexOf(const TFieldItem* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[i].get() == item)
            return i;
    return -1;
}

TFieldItem* TFieldCollection::FindByName(const std::string& name) const
{
    const std::string key = NormalName(name);
    for (const auto& item : m_items)
        if (item->FieldName() == key)
            return item.get();
    return nullptr;
}

} // namespace lm::sqlbuilder
