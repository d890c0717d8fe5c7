// TpFIBQuery: a statement run for its effect or read row by row, with parameters given in order
// (ExecWP) or by name.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "db/fiblinks.h"
#include "util/component.h"
#include "util/variant.h"

namespace lm {

namespace fib { class FibStatement; }
class TFIBDatabase;
class TFIBTransaction;

class TpFIBQuery : public TComponent {
public:
    enum TpFIBQueryOption { qoStartTransaction = 1, qoAutoCommit = 2 };

    explicit TpFIBQuery(TComponent* owner = nullptr);
    ~TpFIBQuery() override;

    TFIBDatabase* Database() const { return m_links.database(); }
    void SetDatabase(TFIBDatabase* db) { m_links.setDatabase(db); }
    TFIBTransaction* Transaction() const { return m_links.transaction(); }
    void SetTransaction(TFIBTransaction* t) { m_links.setTransaction(t); }
    // Setting the text closes and unprepares the query. ":name" parameters are allowed.
    const std::string& SQL() const { return m_sql; }
    void SetSQL(const std::string& sql);
    // A set of TpFIBQueryOption bits. qoStartTransaction starts an inactive transaction before
    // running; qoAutoCommit commits (retaining) after a statement that is not a select.
    int Options() const { return m_options; }
    void SetOptions(int options) { m_options = options; }

    void Prepare();
    bool Prepared() const;
    // Runs the statement with the parameters as set; a select is positioned on its first row
    // (Eof when there is none).
    void ExecQuery();
    // Sets the parameters in order from `params` and runs the statement. Raises when more values
    // are given than the statement has parameters; missing ones stay null.
    void ExecWP(const std::vector<Variant>& params);
    void ExecWP(std::initializer_list<Variant> params) { ExecWP(std::vector<Variant>(params)); }
    // Moves to the next row of a select; sets Eof past the last one.
    void Next();
    bool Eof() const { return m_eof; }
    bool Open() const;
    void Close();

    int ParamCount() const;
    std::string ParamName(int index) const;
    void SetParam(int index, const Variant& value);
    // Sets every parameter of that name (":NAME" may occur more than once); raises when none.
    void SetParamByName(const std::string& name, const Variant& value);

    int FieldCount() const;
    std::string FieldName(int index) const;
    // The value of a column of the current row (the output of a non-select statement after it
    // ran). Raises when the index is out of range or there is no row.
    Variant Fields(int index) const;
    Variant FieldByName(const std::string& name) const;
    // The index of the column of that name (compared ignoring case), or -1.
    int FieldIndex(const std::string& name) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ensurePrepared();
    // Makes the statement's row buffer the current row.
    void takeRow();

    std::string m_sql;
    int m_options = 0;
    std::unique_ptr<fib::FibStatement> m_stmt;
    fib::FibLinks m_links;  // after m_stmt, which it unprepares
    std::vector<Variant> m_row;
    bool m_hasRow = false;
    bool m_eof = true;
};

} // namespace lm
