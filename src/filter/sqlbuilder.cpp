// TSQLBuilder: validation and the SELECT text.
#include "filter/sqlbuilder.h"

#include <algorithm>

#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm::sqlbuilder {

std::string CombineConditions(const std::string& a, const std::string& b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return "(" + a + ") and (" + b + ")";
}

TSQLBuilder::TSQLBuilder(TComponent* owner) : TComponent(owner), m_fields(this), m_active(this) {}

TSQLBuilder::~TSQLBuilder() = default;

std::string TSQLBuilder::objectName() const { return Name().empty() ? std::string("TSQLBuilder") : Name(); }

void TSQLBuilder::raise(const std::string& prefix, const std::string& text) const
{
    throw Exception((prefix.empty() ? objectName() : prefix) + " :\r\n" + text);
}

void TSQLBuilder::CheckTable(int index) const
{
    const TTableItem* t = m_tables.Items(index);
    const std::string name = t->DisplayName();
    if (t->TableName().empty())
        raise(name, "Не указано свойство TableName"_w);
    if (index == 0)
        return;
    for (int i = 0; i < index; ++i)
        if (m_tables.Items(i)->TableName() == t->TableName())
            raise(name, "Свойство TableName: Имя таблицы должно быть уникально"_w);
    if (t->ParentTable().empty())
        raise(name, "Не указано свойство ParentSQL"_w);
    if (Trim(t->JoinSQL()).empty())
        raise(name, "Не указано свойство JoinSQL"_w);
    const TTableItem* parent = m_tables.FindByName(t->ParentTable());
    if (!parent)
        raise(name, "Не надена таблица ParentTable: "_w + t->ParentTable());
    if (m_tables.IndexOf(parent) >= index)
        raise(name, "Свойство ParentTable должно указывать на таблицу с меньшим индексом"_w);
    if (t->JoinKind() == jkInner && index > 1 && m_tables.Items(index - 1)->JoinKind() == jkOuter)
        raise(name, "Свойство JoinKind : таблица с INNER JOIN не может следовать за OUTER JOIN"_w);
}

void TSQLBuilder::CheckField(int index) const
{
    const TFieldItem* f = m_fields.Items(index);
    const std::string name = f->DisplayName();
    if (f->FieldName().empty())
        raise(name, "Не указано свойство FieldName"_w);
    for (int i = 0; i < index; ++i)
        if (m_fields.Items(i)->FieldName() == f->FieldName())
            raise(name, "Свойство FieldName: Имя поля (алиас) должно быть уникально"_w);
    if (f->Table().empty())
        raise(name, "Не указано свойство TableName"_w);
    for (const std::string& table : f->TableList())
        if (!m_tables.FindByName(table))
            raise(name, "Свойство Table: не найдена таблица "_w + table);
    if (f->Kind == fikLookup) {
        if (!f->LookupDataSet && f->LookupDataSetName.empty())
            raise(name, "Не указано свойство LookupDataSet"_w);
        if (f->LookupKeyField.empty())
            raise(name, "Не указано свойство LookupKeyField"_w);
        if (f->LookupResultField.empty())
            raise(name, "Не указано свойство LookupResultField"_w);
    }
}

void TSQLBuilder::CheckAllItems() const
{
    if (m_tables.Count() == 0)
        raise("", "Список таблиц пуст"_w);
    if (m_fields.Count() == 0)
        raise("", "Список полей пуст"_w);
    for (int i = 0; i < m_tables.Count(); ++i)
        CheckTable(i);
    for (int i = 0; i < m_fields.Count(); ++i)
        CheckField(i);
}

TFieldItem* TSQLBuilder::AddToActive(const TFieldItem& field)
{
    if (TFieldItem* existing = m_active.FindByName(field.FieldName()))
        return existing;
    return m_active.AddCopy(field);
}

void TSQLBuilder::RemoveFromActive(TFieldItem* item)
{
    if (item && m_active.FindByName(item->FieldName()) == item)
        m_active.Delete(m_active.IndexOf(item));
}

void TSQLBuilder::FieldCategories(std::vector<std::string>& list) const
{
    std::vector<std::string> seen;
    for (int i = 0; i < m_fields.Count(); ++i) {
        const std::string& c = m_fields.Items(i)->Category;
        if (!c.empty() && std::find(seen.begin(), seen.end(), c) == seen.end()) {
            seen.push_back(c);
            list.push_back(c);
        }
    }
}

std::string TSQLBuilder::FullSQLName(const TFieldItem& field) const
{
    std::string expr = field.SQLName().empty() ? "." + field.FieldName() : field.SQLName();
    if (expr[0] != '.')
        return expr;
    if (field.Table().empty())
        throw Exception("У поля "_w + field.DisplayName() + " не указана таблица"_w);
    return m_tables.ByName(field.Table())->TableName() + expr;
}

void TSQLBuilder::activate(TTableItem* table)
{
    // the parent chain ends at the first table, whose parent is never looked at
    for (int guard = 0; table && !table->Active && guard <= m_tables.Count(); ++guard) {
        table->Active = true;
        if (m_tables.IndexOf(table) == 0)
            break;
        table = m_tables.ByName(table->ParentTable());
    }
}

std::string TSQLBuilder::tableFilter(TTableItem* table)
{
    std::string sql;
    if (OnTableFilterSQL)
        OnTableFilterSQL(table, sql);
    return CombineConditions(sql, table->Filter);
}

namespace {

std::string selectItem(const TFieldItem& f, const std::string& e)
{
    const std::string& a = f.FieldName();
    if (f.Kind == fikSumm) {
        std::string item = "sum(" + e + ")";
        if (f.RoundSumTo >= 0 && f.RoundSumTo <= 4)
            item = "cast(" + item + " as numeric(15," + std::to_string(f.RoundSumTo) + "))";
        return item + " as " + a;
    }
    if (f.Kind == fikDateTime && f.DateDetail == dtDate)
        return "cast(" + e + " as date) as " + a;
    if (f.Kind == fikDateTime && f.DateDetail == dtMonth)
        return "cast(fdt(" + e + ", '01.mm.yyyy') as DATE) as " + a;
    // a column read under another name keeps the field's alias, so the result has that column
    return !f.SQLName().empty() && f.SQLName() != a ? e + " as " + a : e;
}

std::string groupItem(const TFieldItem& f, const std::string& e)
{
    if (!f.GroupBySQL.empty())
        return f.GroupBySQL;
    if (f.Kind == fikDateTime && f.DateDetail == dtDate)
        return "cast(" + e + " as date)";
    if (f.Kind == fikDateTime && f.DateDetail == dtMonth)
        return "cast(fdt(" + e + ", '01.mm.yyyy') as DATE)";
    return e;
}

void appendItem(std::string& list, const std::string& item)
{
    if (!list.empty())
        list += ",\r\n";
    list += "\t" + item;
}

} // namespace

std::string TSQLBuilder::BuildSQL()
{
    CheckAllItems();
    if (m_active.Count() == 0)
        throw Exception("Не выбрано ни одного поля!"_w);
    for (int i = 0; i < m_tables.Count(); ++i) {
        m_tables.Items(i)->Active = false;
        m_tables.Items(i)->Filter.clear();
    }
    m_where.clear();

    std::string selectList, groupList, orderList;
    for (int i = 0; i < m_active.Count(); ++i) {
        TFieldItem* f = m_active.Items(i);
        for (const std::string& table : f->TableList())
            activate(m_tables.ByName(table));
        const std::string e = FullSQLName(*f);
        std::string item = f->SelectSQL.empty() ? selectItem(*f, e) : f->SelectSQL;
        if (OnSelectSQL)
            OnSelectSQL(f, item);
        appendItem(selectList, item);
        if (f->Kind != fikSumm) {
            std::string group = groupItem(*f, e);
            if (OnGroupBySQL)
                OnGroupBySQL(f, group);
            appendItem(groupList, group);
        }
        if (f->SortKind != skNone) {
            if (!orderList.empty())
                orderList += ", ";
            orderList += std::to_string(i + 1) + (f->SortKind == skDesc ? " desc" : "");
        }
        std::string values;
        for (const std::string& v : f->Filters())
            if (!Trim(v).empty())
                values += (values.empty() ? "" : ", ") + Trim(v);
        std::string condition = values.empty() ? std::string() : e + " in (" + values + ")";
        if (OnFieldFilterSQL)
            OnFieldFilterSQL(f, condition);
        if (!condition.empty()) {
            TTableItem* table = m_tables.ByName(f->Table());
            if (m_tables.IndexOf(table) == 0 || table->JoinKind() == jkInner)
                table->Filter = CombineConditions(table->Filter, condition);
            else
                m_where = CombineConditions(m_where, condition);
        }
    }

    TTableItem* first = m_tables.Items(0);
    std::string pending = CombineConditions(first->JoinSQL(), tableFilter(first));
    std::string from;
    for (int i = 0; i < m_tables.Count(); ++i) {
        TTableItem* t = m_tables.Items(i);
        if (!t->Active)
            continue;
        std::string clause;
        if (i > 0)
            clause = t->JoinKind() == jkInner ? "inner join " : "left outer join ";
        if (!t->SQLName().empty() && t->SQLName() != t->TableName())
            clause += t->SQLName() + " ";
        clause += t->TableName();
        if (i > 0) {
            clause += " on (" + t->JoinSQL() + ") ";
            const std::string filter = tableFilter(t);
            if (!filter.empty())
                clause += " and (" + filter + ")";
            if (t->JoinKind() == jkInner && !pending.empty()) {
                clause += " and (" + pending + ")";
                pending.clear();
            }
        }
        if (!from.empty())
            from += "\r\n";
        from += "\t" + clause;
    }
    const std::string where = CombineConditions(m_where, pending);

    std::string sql = "select \r\n" + selectList + "\r\n" + "from " + from + "\r\n";
    if (!where.empty())
        sql += "where\r\n\t" + where + "\r\n";
    if (!groupList.empty())
        sql += "group by\r\n" + groupList;
    if (!orderList.empty())
        sql += "\r\norder by " + orderList;
    return sql;
}

} // namespace lm::sqlbuilder
