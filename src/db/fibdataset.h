// TpFIBDataSet: a dataset over a Firebird select, fetched completely into memory, with the
// column origins of its fields and a local sort.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/fiblinks.h"
#include "host/dataset.h"

namespace lm {

namespace fib { class FibStatement; }
class TFIBDatabase;
class TFIBTransaction;

// One key of the local sort, as SortFieldInfo reports it.
struct TSortFieldInfo {
    std::string FieldName;
    int InDataSetIndex = -1;  // the field's Index
    int InOrderIndex = 0;     // 1-based position among the sort keys
    bool Asc = true;
    bool NullsFirst = true;   // nulls come first ascending and last descending
};

class TpFIBDataSet : public TDataSet {
public:
    explicit TpFIBDataSet(TComponent* owner = nullptr);
    ~TpFIBDataSet() override;

    TFIBDatabase* Database() const { return m_links.database(); }
    void SetDatabase(TFIBDatabase* db) { m_links.setDatabase(db); }
    // The transaction the select runs in; it is started when inactive.
    TFIBTransaction* Transaction() const { return m_links.transaction(); }
    void SetTransaction(TFIBTransaction* t) { m_links.setTransaction(t); }
    // The select text; ":name" parameters take the values set with SetParamValue. Changing it
    // closes the dataset.
    const std::string& SelectSQL() const { return m_selectSQL; }
    void SetSelectSQL(const std::string& sql);
    // Value of the ":name" parameter for the next Open (names ignore case); unset ones are null.
    void SetParamValue(const std::string& name, const Variant& value);
    Variant ParamValue(const std::string& name) const;

    // Prepares the select and creates the fields without fetching any record.
    void Prepare();
    bool Prepared() const;

    // The qualified column a field comes from: the table's alias in the select (the table name
    // when it has none), a point and the column name, e.g. "G.NAME". For a column computed
    // from an expression, read through a scalar sub-query or a derived table, or combined by a
    // union, the alias part is empty (".NAME"); calculated and lookup fields give
    // "". An inactive dataset is prepared first. Raises lm::Exception for a field of another
    // dataset.
    std::string GetFieldOriginAlias(TField* field);
    std::string GetFieldOriginAlias(const std::string& fieldName);
    // Whether the field reads a native BOOLEAN column (not a SMALLINT of a boolean domain), by
    // the statement's own description; false for fields of other datasets and non-data fields.
    bool IsNativeBoolean(const TField* field);
    // Field by name; raises like FieldByName.
    TField* FBN(const std::string& name) const { return FieldByName(name); }
    // Closes and opens again; with `restorePosition` the record number is kept where possible.
    void CloseOpen(bool restorePosition = false);
    // Scroll events (BeforeScroll/AfterScroll) are suppressed between these, nested.
    void DisableScrollEvents() { ++m_scrollDisabled; }
    void EnableScrollEvents() { if (m_scrollDisabled > 0) --m_scrollDisabled; }
    bool ScrollEventsDisabled() const { return m_scrollDisabled > 0; }
    // The records that pass the local filter (what a grid over the dataset shows).
    int VisibleRecordCount() const { return RecordCount(); }

    // Sorts the fetched records by `fields` (names), each ascending when the matching entry of
    // `ascending` is true (missing entries: ascending). Nulls first ascending, last descending;
    // records with equal keys keep their fetch order, whatever an earlier sort did.
    // An empty list removes the sort (load order). Raises for an unknown field name or a
    // closed dataset.
    void DoSortEx(const std::vector<std::string>& fields, const std::vector<bool>& ascending);
    void DoSortEx(const std::vector<TField*>& fields, const std::vector<bool>& ascending);
    bool IsSorted() const { return !m_sort.empty(); }
    int SortFieldsCount() const { return static_cast<int>(m_sort.size()); }
    // The i-th sort key (0-based); raises when out of range.
    TSortFieldInfo SortFieldInfo(int index) const;

protected:
    void InternalInitFieldDefs() override;
    void InternalLoadRecords() override;
    void InternalClose() override;
    void DoBeforeScroll() override;
    void DoAfterScroll() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void prepareStatement();
    void bindParams();
    std::string fromClauseAlias(const std::string& relation) const;
    // Whether output column `column`, of the table known as `alias`, reads a table of the
    // select's own FROM list directly (not through a sub-query, derived table or union).
    bool isTableColumn(std::size_t column, const std::string& alias) const;

    std::string m_selectSQL;
    std::map<std::string, Variant> m_params;  // upper-cased name -> value
    std::unique_ptr<fib::FibStatement> m_stmt;
    fib::FibLinks m_links;  // after m_stmt, which it unprepares
    std::vector<TSortFieldInfo> m_sort;
    int m_scrollDisabled = 0;
    std::size_t m_lastFetchCount = 0;  // rows of the previous fetch, to size the store
};

} // namespace lm
