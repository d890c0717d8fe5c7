// TFieldItem and TFieldCollection of the SQL builder: the fields a user may pick into an
// ad-hoc report, with their column expressions, kinds, grouping detail, sort and filters.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lm {
class TDataSet;
}

namespace lm::sqlbuilder {

enum TFieldItemKind { fikData, fikLookup, fikDateTime, fikSumm };
enum TDateDetail { dtDateTime, dtDate, dtMonth };
enum TSortKind { skNone, skAsc, skDesc };

inline constexpr int kMaxFilterValues = 1000;

class TFieldItem {
public:
    std::string Category;
    std::string DisplayLabel;
    std::string DisplayFormat;
    TFieldItemKind Kind = fikData;
    std::string SelectSQL;        // replaces the generated select item
    std::string GroupBySQL;       // replaces the generated group item
    // The lookup (fikLookup): the dataset (or, read from a form file, its component name).
    TDataSet* LookupDataSet = nullptr;
    std::string LookupDataSetName;
    std::string LookupKeyField;
    std::string LookupResultField;
    int RoundSumTo = -1;          // 0..4 rounds a sum to that many decimals
    bool DisplayCategory = false;
    TDateDetail DateDetail = dtDateTime;
    TSortKind SortKind = skNone;

    // The column alias (trimmed, upper-cased).
    const std::string& FieldName() const { return m_fieldName; }
    void SetFieldName(const std::string& name);
    // The column expression (trimmed, upper-cased).
    const std::string& SQLName() const { return m_sqlName; }
    void SetSQLName(const std::string& name);
    // The first entry of TableList.
    std::string Table() const { return m_tableList.empty() ? std::string() : m_tableList.front(); }
    void SetTable(const std::string& name);
    // The tables the field needs (trimmed, upper-cased, empty entries dropped).
    const std::vector<std::string>& TableList() const { return m_tableList; }
    void SetTableList(const std::vector<std::string>& tables);
    // Category.DisplayLabel when both exist, else DisplayLabel, else FieldName.
    std::string DisplayName() const;

    // Filter values, inserted verbatim into "E in (...)" (they carry their own quotes).
    const std::vector<std::string>& Filters() const { return m_filters; }
    // Trims; ignores an empty value; raises lm::Exception "Слишком много значений фильтра..."
    // for a value beyond the 1000th.
    void AddFilter(const std::string& value);
    void RemoveFilter(const std::string& value);
    bool HasFilter(const std::string& value) const;
    // The trimmed, non-empty lines of `list` (the limit applies).
    void SetFilters(const std::vector<std::string>& list);
    void ClearFilters() { m_filters.clear(); }

    // Whether the owning builder's active list holds a field of this name.
    bool IsActive() const;
    // The builder the item belongs to (set by its collection).
    class TSQLBuilder* Builder = nullptr;

private:
    std::string m_fieldName;
    std::string m_sqlName;
    std::vector<std::string> m_tableList;
    std::vector<std::string> m_filters;
};

class TFieldCollection {
public:
    explicit TFieldCollection(TSQLBuilder* builder = nullptr) : m_builder(builder) {}
    int Count() const { return static_cast<int>(m_items.size()); }
    TFieldItem* Items(int index) const { return m_items.at(index).get(); }
    TFieldItem* Add();
    // A copy of `item` at the end.
    TFieldItem* AddCopy(const TFieldItem& item);
    void Delete(int index) { m_items.erase(m_items.begin() + index); }
    int IndexOf(const TFieldItem* item) const;
    void Clear() { m_items.clear(); }
    // The field of that alias (upper-cased exact match), nullptr when absent.
    TFieldItem* FindByName(const std::string& name) const;

private:
    TSQLBuilder* m_builder;
    std::vector<std::unique_ptr<TFieldItem>> m_items;
};

} // namespace lm::sqlbuilder
