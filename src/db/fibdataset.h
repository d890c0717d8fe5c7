// TpFIBDataSet: a dataset over a Firebird select, fetched into memory (completely at Open, or
// on demand), with the column origins of its fields and a local sort.
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

    // --- Writing ---------------------------------------------------------------------------
    // Post and Delete write to the database. Without the statements below, they are generated
    // for the update table: the first table of the FROM list whose primary key (read from the
    // metadata) is among the select's columns; only its own columns are written (on modify, the
    // changed ones), and the values the server assigned (defaults, triggers) come back into
    // the record. The host's statements take ":NAME" parameters for the record's values,
    // ":NEW_NAME" likewise and ":OLD_NAME" for the values before the edit.
    const std::string& UpdateSQL() const { return m_updateSQL; }
    void SetUpdateSQL(const std::string& sql) { m_updateSQL = sql; }
    const std::string& InsertSQL() const { return m_insertSQL; }
    void SetInsertSQL(const std::string& sql) { m_insertSQL = sql; }
    const std::string& DeleteSQL() const { return m_deleteSQL; }
    void SetDeleteSQL(const std::string& sql) { m_deleteSQL = sql; }
    // A select run after each post with the record's parameters; its first row's columns
    // replace the values of the fields of the same names.
    const std::string& RefreshSQL() const { return m_refreshSQL; }
    void SetRefreshSQL(const std::string& sql) { m_refreshSQL = sql; }
    // The transaction the writes run in; the host commits it. When none is set they run in
    // Transaction, committed (retaining) after each write. A failed write raises the server's
    // message and leaves the record as it was in the dataset, the edit still open.
    TFIBTransaction* UpdateTransaction() const { return m_updateTransaction; }
    void SetUpdateTransaction(TFIBTransaction* t);
    // False when the dataset is closed or read-only, when its update transaction is read-only,
    // or when it has neither an update table nor any of the host's statements.
    bool CanModify() const override;

    // With fetch on demand, Open reads only the first FetchBatch rows and keeps the cursor open;
    // the rest are read as the dataset needs them (moving past the fetched rows, RecordCount,
    // Last, a sort...). Off by default: Open reads every row. Both take effect at the next Open.
    bool FetchOnDemand() const { return m_fetchOnDemand; }
    void SetFetchOnDemand(bool on) { m_fetchOnDemand = on; }
    int FetchBatch() const { return m_fetchBatch; }
    void SetFetchBatch(int rows) { m_fetchBatch = rows > 0 ? rows : 1; }

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
    void InternalPost(TRecordStore::RecId rec, const TRecordStore* before) override;
    void InternalDelete(TRecordStore::RecId rec) override;
    void CheckCanModify(TUpdateKind kind) const override;
    void InternalLoadRecords() override;
    bool InternalFetchMore(int count) override;
    void InternalClose() override;
    void DoBeforeScroll() override;
    void DoAfterScroll() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void prepareStatement();
    void bindParams();
    // Reads up to `count` rows of the open cursor (all when count <= 0) into the store; true
    // when the cursor has more, false once it is read to the end (and closed).
    bool fetchRows(int count);
    void loadRow(const unsigned char* row);
    std::string fromClauseAlias(const std::string& relation) const;
    // The alias of the table statement column `column` reads (the statement's, else the FROM
    // list's).
    std::string columnAlias(std::size_t column) const;

    // The table the generated statements write: its name and alias, the statement columns of
    // its primary key, and the statement columns it may write (first occurrence of each of its
    // columns that is not computed). Found on first use after each prepare.
    struct UpdateTable {
        bool searched = false;
        std::string relation;
        std::string alias;
        std::vector<std::size_t> keyColumns;
        std::vector<std::size_t> columns;
    };
    const UpdateTable& updateTable() const;
    TFIBTransaction* writeTransaction() const;
    // Why a change of that kind cannot be made ("" when it can).
    std::string cannotModifyReason(TUpdateKind kind) const;
    // Runs one write of `kind` for the stored record `rec` (`before`: the values before an edit).
    void writeRecord(TUpdateKind kind, TRecordStore::RecId rec, const TRecordStore* before);
    void runWrite(TUpdateKind kind, TRecordStore::RecId rec, const TRecordStore* before, TFIBTransaction* tr);
    void refreshRecord(TRecordStore::RecId rec, TFIBTransaction* tr);
    // Whether output column `column`, of the table known as `alias`, reads a table of the
    // select's own FROM list directly (not through a sub-query, derived table or union).
    bool isTableColumn(std::size_t column, const std::string& alias) const;

    std::string m_selectSQL;
    std::map<std::string, Variant> m_params;  // upper-cased name -> value
    std::unique_ptr<fib::FibStatement> m_stmt;
    struct Cursor;  // how the open cursor's columns go into the store
    std::unique_ptr<Cursor> m_cursor;
    bool m_fetchOnDemand = false;
    int m_fetchBatch = 100;
    fib::FibLinks m_links;  // after m_stmt, which it unprepares
    std::vector<TSortFieldInfo> m_sort;
    int m_scrollDisabled = 0;
    std::size_t m_lastFetchCount = 0;  // rows of the previous fetch, to size the store
    std::vector<std::size_t> m_lastTextBytes;  // and its text per column
    std::string m_updateSQL, m_insertSQL, m_deleteSQL, m_refreshSQL;
    TFIBTransaction* m_updateTransaction = nullptr;
    mutable UpdateTable m_updateTable;
};

} // namespace lm
