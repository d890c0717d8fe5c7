// FibStatement: one prepared statement with its parameter and row buffers, shared by the query
// and the dataset classes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/fibapi.h"

namespace lm {
class TFIBDatabase;
class TFIBTransaction;
}

namespace lm::fib {

// What the statement metadata says about one output column.
struct ColumnInfo {
    std::string name;           // the column's alias (what the select list calls it)
    std::string field;          // the underlying column name, empty for expressions
    std::string relation;       // the underlying table, empty for expressions
    std::string relationAlias;  // the table's alias in the statement (the table name if none)
    Slot slot;
};

class FibStatement {
public:
    FibStatement() = default;
    ~FibStatement();
    FibStatement(const FibStatement&) = delete;
    FibStatement& operator=(const FibStatement&) = delete;

    // Prepares `sql` (":name" parameters allowed) on the transaction, which must be active.
    // Raises lm::Exception with the server's message.
    void prepare(TFIBDatabase* db, TFIBTransaction* tra, const std::string& sql);
    bool prepared() const { return m_stmt != nullptr; }
    void unprepare();

    const std::vector<ColumnInfo>& columns() const { return m_columns; }
    const std::vector<std::string>& paramNames() const { return m_paramNames; }
    std::size_t paramCount() const { return m_paramSlots.size(); }
    // Sets parameter `index`; raises when the index is outside the statement's parameters.
    void setParam(std::size_t index, const Variant& value);
    bool isSelect() const { return m_isSelect; }
    // Lets every text parameter take up to the longest text the server accepts, so that a
    // value too long for its column reaches the server and is refused with its own message
    // (with the column's expected length). Parameters set before are cleared.
    void widenTextParams();
    // Records the last execution inserted, updated or deleted.
    uint64_t affectedRows();

    // Runs the statement. For a select, opens the cursor (fetch with fetch()); otherwise executes
    // and, for a statement with output (EXECUTE PROCEDURE, RETURNING), fills the row buffer.
    void execute();
    // Fetches the next row into the row buffer; false at the end.
    bool fetch();
    void closeCursor();
    bool cursorOpen() const { return m_cursor != nullptr; }

    const unsigned char* row() const { return m_row.data(); }
    std::size_t rowLength() const { return m_row.size(); }
    Variant value(std::size_t column) const;
    // Reads a value of a column from another row buffer of this statement's layout.
    Variant valueFrom(const unsigned char* row, std::size_t column) const;

private:
    TFIBDatabase* m_db = nullptr;
    TFIBTransaction* m_tra = nullptr;
    Firebird::IStatement* m_stmt = nullptr;
    Firebird::IMessageMetadata* m_inMeta = nullptr;
    Firebird::IMessageMetadata* m_outMeta = nullptr;
    Firebird::IResultSet* m_cursor = nullptr;
    std::vector<unsigned char> m_in;
    std::vector<unsigned char> m_row;
    std::vector<Slot> m_paramSlots;
    std::vector<std::string> m_paramNames;
    std::vector<ColumnInfo> m_columns;
    Status m_fetchStatus;  // reused by fetch(): one status object per row would cost as much as the row
    bool m_isSelect = false;
};

} // namespace lm::fib
