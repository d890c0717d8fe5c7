// The builder's table items.
#include "filter/sqltableitem.h"

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm::sqlbuilder {

std::string NormalName(const std::string& name) { return upperCase(Trim(name)); }

void TTableItem::SetTableName(const std::string& name) { m_tableName = NormalName(name); }
void TTableItem::SetSQLName(const std::string& name) { m_sqlName = NormalName(name); }
void TTableItem::SetParentTable(const std::string& name) { m_parentTable = NormalName(name); }

int TTableCollection::IndexOf(const TTableItem* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[i].get() == item)
            return i;
    return -1;
}

TTableItem* TTableCollection::Add()
{
    auto item = std::make_unique<TTableItem>();
    if (!m_items.empty())
        item->SetJoinKind(m_items.back()->JoinKind());
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

TTableItem* TTableCollection::FindByName(const std::string& name) const
{
    const std::string key = NormalName(name);
    for (const auto& item : m_items)
        if (item->TableName() == key)
            return item.get();
    return nullptr;
}

TTableItem* TTableCollection::ByName(const std::string& name) const
{
    TTableItem* item = FindByName(name);
    if (!item)
        throw Exception("Таблица "_w + name + " не найдена"_w);
    return item;
}

} // namespace lm::sqlbuilder
