// TTableItem and TTableCollection: the tables an ad-hoc report query may join, with their
// join conditions.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lm::sqlbuilder {

enum TJoinKind { jkInner, jkOuter };

class TTableItem {
public:
    // The alias used in the query (stored trimmed and upper-cased).
    const std::string& TableName() const { return m_tableName; }
    void SetTableName(const std::string& name);
    // The real table name; only TableName is written when empty or equal to it.
    const std::string& SQLName() const { return m_sqlName; }
    void SetSQLName(const std::string& name);
    // The table this one joins to.
    const std::string& ParentTable() const { return m_parentTable; }
    void SetParentTable(const std::string& name);
    TJoinKind JoinKind() const { return m_joinKind; }
    void SetJoinKind(TJoinKind kind) { m_joinKind = kind; }
    // The ON condition; for the first table a plain condition of the query.
    const std::string& JoinSQL() const { return m_joinSQL; }
    void SetJoinSQL(const std::string& sql) { m_joinSQL = sql; }
    std::string DisplayName() const { return m_tableName; }

    // Run-time state of BuildSQL.
    bool Active = false;
    std::string Filter;

private:
    std::string m_tableName;
    std::string m_sqlName;
    std::string m_parentTable;
    TJoinKind m_joinKind = jkInner;
    std::string m_joinSQL;
};

class TTableCollection {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    TTableItem* Items(int index) const { return m_items.at(index).get(); }
    int IndexOf(const TTableItem* item) const;
    // A new table at the end; it copies the previous table's JoinKind (the first is inner).
    TTableItem* Add();
    void Clear() { m_items.clear(); }
    // The table of that alias (upper-cased exact match), nullptr when absent.
    TTableItem* FindByName(const std::string& name) const;
    // As FindByName; raises lm::Exception "Таблица <name> не найдена" when absent.
    TTableItem* ByName(const std::string& name) const;

private:
    std::vector<std::unique_ptr<TTableItem>> m_items;
};

// Trimmed and upper-cased, as the builder stores names and expressions.
std::string NormalName(const std::string& name);

} // namespace lm::sqlbuilder
