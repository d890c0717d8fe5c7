// TpFIBDataSet: writing posted and deleted records to the database, through statements generated
// for the update table or the host's own.
#include <algorithm>
#include <map>

#include "db/fibdataset.h"
#include "db/fibdatabase.h"
#include "db/fibquery.h"
#include "db/fibsqltext.h"
#include "db/fibstatement.h"
#include "db/fibtransaction.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

namespace {

// The column names of `relation` that the query `sql` returns (one per row), read in a
// transaction of its own.
std::vector<std::string> metadataNames(TFIBDatabase* db, const std::string& sql, const std::string& relation)
{
    TFIBTransaction tr;
    tr.SetDefaultDatabase(db);
    tr.SetKind(TFIBTransaction::tkReadOnly);
    TpFIBQuery q;
    q.SetTransaction(&tr);
    q.SetOptions(TpFIBQuery::qoStartTransaction);
    q.SetSQL(sql);
    q.ExecWP({Variant(relation)});
    std::vector<std::string> names;
    for (; !q.Eof(); q.Next())
        names.push_back(q.Fields(0).AsString());  // CHAR values come without their padding
    return names;
}

std::vector<std::string> primaryKey(TFIBDatabase* db, const std::string& relation)
{
    return metadataNames(db,
                         "select s.rdb$field_name from rdb$relation_constraints c "
                         "join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name "
                         "where c.rdb$relation_name = ? and c.rdb$constraint_type = 'PRIMARY KEY' "
                         "order by s.rdb$field_position",
                         relation);
}

std::vector<std::string> computedColumns(TFIBDatabase* db, const std::string& relation)
{
    return metadataNames(db,
                         "select rf.rdb$field_name from rdb$relation_fields rf "
                         "join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
                         "where rf.rdb$relation_name = ? and f.rdb$computed_blr is not null",
                         relation);
}

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The value of `field` in record `rec` of `store` (which has the dataset's layout).
Variant storedValue(const TRecordStore& store, TRecordStore::RecId rec, const TField* field)
{
    const int col = field->StoreColumn();
    return store.IsNull(col, rec) ? Variant::Null() : field->ReadStored(store, col, rec);
}

void storeValue(TRecordStore& store, TRecordStore::RecId rec, const TField* field, const Variant& value)
{
    if (value.IsNullOrEmpty())
        store.SetNull(field->StoreColumn(), rec);
    else
        field->WriteStored(store, field->StoreColumn(), rec, value);
}

bool sameCell(const TRecordStore& a, TRecordStore::RecId ra, const TRecordStore& b, TRecordStore::RecId rb, int col)
{
    if (a.IsNull(col, ra) || b.IsNull(col, rb))
        return a.IsNull(col, ra) == b.IsNull(col, rb);
    switch (a.Kind(col)) {
    case TStoreKind::skInt: return a.GetInt(col, ra) == b.GetInt(col, rb);
    case TStoreKind::skFloat: return a.GetFloat(col, ra) == b.GetFloat(col, rb);
    default: return a.GetString(col, ra) == b.GetString(col, rb);
    }
}

// Runs a statement without parameters or result in the transaction (savepoints).
void execute(TFIBDatabase* db, TFIBTransaction* tr, const std::string& sql)
{
    fib::FibStatement st;
    st.prepare(db, tr, sql);
    st.execute();
}

const char* statementName(TUpdateKind kind)
{
    return kind == ukModify ? "UpdateSQL" : kind == ukInsert ? "InsertSQL" : "DeleteSQL";
}

} // namespace

void TpFIBDataSet::SetUpdateTransaction(TFIBTransaction* t) { ReplaceLink(m_updateTransaction, t); }

TFIBTransaction* TpFIBDataSet::writeTransaction() const
{
    return m_updateTransaction ? m_updateTransaction : m_links.transaction();
}

const TpFIBDataSet::UpdateTable& TpFIBDataSet::updateTable() const
{
    if (m_updateTable.searched || !m_stmt->prepared())
        return m_updateTable;
    m_updateTable = UpdateTable{};
    m_updateTable.searched = true;
    TFIBDatabase* db = m_links.runDatabase();
    const auto& cols = m_stmt->columns();
    // Each FROM table in turn: the first whose whole primary key the select reads directly.
    for (const fib::FromTable& table : fib::fromTables(m_selectSQL)) {
        std::map<std::string, std::size_t> own;  // its columns read directly: name -> first statement column
        for (std::size_t i = 0; i < cols.size(); ++i) {
            const std::string alias = columnAlias(i);
            if (cols[i].relation == table.relation && alias == table.alias && isTableColumn(i, alias))
                own.emplace(cols[i].field, i);
        }
        if (own.empty())
            continue;
        const std::vector<std::string> key = primaryKey(db, table.relation);
        if (key.empty() || !std::all_of(key.begin(), key.end(), [&](const std::string& k) { return own.count(k) > 0; }))
            continue;
        const std::vector<std::string> computed = computedColumns(db, table.relation);
        m_updateTable.relation = table.relation;
        m_updateTable.alias = table.alias;
        for (const std::string& k : key)
            m_updateTable.keyColumns.push_back(own[k]);
        for (const auto& [name, column] : own)
            if (!contains(computed, name))
                m_updateTable.columns.push_back(column);
        std::sort(m_updateTable.columns.begin(), m_updateTable.columns.end());
        break;
    }
    return m_updateTable;
}

std::string TpFIBDataSet::cannotModifyReason(TUpdateKind kind) const
{
    if (!m_stmt->prepared())
        return Format("%s: Cannot modify a closed dataset", {Name()});
    const TFIBTransaction* tr = writeTransaction();
    if (tr && tr->Kind() == TFIBTransaction::tkReadOnly)
        return Format("%s: Cannot modify: the update transaction is read-only", {Name()});
    const std::string& custom = kind == ukModify ? m_updateSQL : kind == ukInsert ? m_insertSQL : m_deleteSQL;
    if (!custom.empty())
        return {};
    if (updateTable().relation.empty())
        return Format("%s: Cannot modify: no table of the query has its primary key among the columns, and %s is not set",
                      {Name(), std::string(statementName(kind))});
    return {};
}

bool TpFIBDataSet::CanModify() const
{
    if (!TDataSet::CanModify() || !m_stmt->prepared())
        return false;
    return cannotModifyReason(ukModify).empty() || cannotModifyReason(ukInsert).empty()
        || cannotModifyReason(ukDelete).empty();
}

void TpFIBDataSet::CheckCanModify(TUpdateKind kind) const
{
    if (ReadOnly())
        TDataSet::CheckCanModify(kind);
    const std::string reason = cannotModifyReason(kind);
    if (!reason.empty())
        throw Exception(reason);
}

void TpFIBDataSet::InternalPost(TRecordStore::RecId rec, const TRecordStore* before)
{
    writeRecord(before ? ukModify : ukInsert, rec, before);
}

void TpFIBDataSet::InternalDelete(TRecordStore::RecId rec) { writeRecord(ukDelete, rec, nullptr); }

void TpFIBDataSet::writeRecord(TUpdateKind kind, TRecordStore::RecId rec, const TRecordStore* before)
{
    CheckCanModify(kind);
    TFIBDatabase* db = m_links.runDatabase();
    TFIBTransaction* tr = writeTransaction();
    if (!db || !tr)
        throw Exception(Format("%s: Transaction not assigned", {Name()}));
    if (!tr->InTransaction())
        tr->StartTransaction();
    // The write and its refresh stand or fall together, whatever else the transaction holds.
    execute(db, tr, "savepoint LM_WRITE");
    try {
        runWrite(kind, rec, before, tr);
        if (kind != ukDelete && !m_refreshSQL.empty())
            refreshRecord(rec, tr);
    } catch (...) {
        try {
            execute(db, tr, "rollback to savepoint LM_WRITE");
        } catch (const Exception&) {
            // the server's message of the write is the one worth showing
        }
        throw;
    }
    execute(db, tr, "release savepoint LM_WRITE only");
    if (!m_updateTransaction)
        tr->CommitRetaining();
}

namespace {

// The parameters of a host statement: ":NAME" and ":NEW_NAME" the record's values, ":OLD_NAME"
// the values before the edit (null for an insert).
class HostParams {
public:
    // `before`/`beforeRec`: the record's values before the change (none for an insert).
    HostParams(const TpFIBDataSet& ds, const TRecordStore& store, TRecordStore::RecId rec, const TRecordStore* before,
               TRecordStore::RecId beforeRec)
        : m_ds(ds), m_store(store), m_rec(rec), m_before(before), m_beforeRec(beforeRec) {}

    Variant value(const std::string& name) const
    {
        if (const TField* f = field(name))
            return storedValue(m_store, m_rec, f);
        if (name.rfind("NEW_", 0) == 0)
            if (const TField* f = field(name.substr(4)))
                return storedValue(m_store, m_rec, f);
        if (name.rfind("OLD_", 0) == 0)
            if (const TField* f = field(name.substr(4)))
                return m_before ? storedValue(*m_before, m_beforeRec, f) : Variant::Null();
        throw Exception(Format("%s: no field for the parameter %s", {m_ds.Name(), name}));
    }

private:
    const TField* field(const std::string& name) const
    {
        const TField* f = m_ds.FindField(name);
        return f && f->StoreColumn() >= 0 ? f : nullptr;
    }

    const TpFIBDataSet& m_ds;
    const TRecordStore& m_store;
    TRecordStore::RecId m_rec;
    const TRecordStore* m_before;
    TRecordStore::RecId m_beforeRec;
};

// The data field that reads statement column `column`, or nullptr.
TField* fieldOfColumn(const TDataSet& ds, std::size_t column)
{
    for (int i = 0; i < ds.FieldCount(); ++i) {
        TField* f = ds.Fields(i);
        if (f->FieldKind() == fkData && f->FieldNo() == static_cast<int>(column) + 1 && f->StoreColumn() >= 0)
            return f;
    }
    return nullptr;
}

} // namespace

void TpFIBDataSet::runWrite(TUpdateKind kind, TRecordStore::RecId rec, const TRecordStore* before, TFIBTransaction* tr)
{
    TFIBDatabase* db = m_links.runDatabase();
    TRecordStore& store = MutableStore();
    fib::FibStatement st;
    const std::string& custom = kind == ukModify ? m_updateSQL : kind == ukInsert ? m_insertSQL : m_deleteSQL;
    if (!custom.empty()) {
        st.prepare(db, tr, custom);
        st.widenTextParams();
        // a deleted record is its own "before"
        const HostParams params(*this, store, rec, kind == ukDelete ? &store : before, kind == ukDelete ? rec : 0);
        for (std::size_t i = 0; i < st.paramCount(); ++i)
            st.setParam(i, params.value(st.paramNames()[i]));
        st.execute();
        // a statement with a result (RETURNING, a procedure) gives the fields of its column names
        if (!st.isSelect())
            for (std::size_t i = 0; i < st.columns().size(); ++i)
                if (TField* f = FindField(st.columns()[i].name); f && f->StoreColumn() >= 0)
                    storeValue(store, rec, f, st.value(i));
        return;
    }

    const UpdateTable& target = updateTable();
    const auto& cols = m_stmt->columns();
    const std::string table = fib::quoteIdent(target.relation);
    std::vector<Variant> values;
    std::string where;
    for (std::size_t k : target.keyColumns) {
        TField* f = fieldOfColumn(*this, k);
        if (!f)
            throw Exception(Format("%s: the key column %s has no field", {Name(), cols[k].field}));
        where += std::string(where.empty() ? " where " : " and ") + fib::quoteIdent(cols[k].field) + " = ?";
    }
    auto keyValues = [&](const TRecordStore& from, TRecordStore::RecId r) {
        for (std::size_t k : target.keyColumns)
            values.push_back(storedValue(from, r, fieldOfColumn(*this, k)));
    };
    // every column of the table the dataset reads comes back as the server stored it
    std::string returning;
    std::vector<TField*> returned;
    for (std::size_t i = 0; i < cols.size(); ++i)
        if (TField* f = fieldOfColumn(*this, i); f && cols[i].relation == target.relation
            && columnAlias(i) == target.alias && isTableColumn(i, target.alias)
            && std::find(returned.begin(), returned.end(), f) == returned.end()) {
            returning += std::string(returning.empty() ? " returning " : ", ") + fib::quoteIdent(cols[i].field);
            returned.push_back(f);
        }

    std::string sql;
    if (kind == ukDelete) {
        sql = "delete from " + table + where;
        keyValues(store, rec);
    } else if (kind == ukModify) {
        std::string set;
        for (std::size_t c : target.columns) {
            TField* f = fieldOfColumn(*this, c);
            if (!f || sameCell(*before, 0, store, rec, f->StoreColumn()))
                continue;
            set += std::string(set.empty() ? " set " : ", ") + fib::quoteIdent(cols[c].field) + " = ?";
            values.push_back(storedValue(store, rec, f));
        }
        if (set.empty())
            return;  // nothing of the table changed
        sql = "update " + table + set + where + returning;
        keyValues(*before, 0);
    } else {
        std::string names, marks;
        for (std::size_t c : target.columns) {
            TField* f = fieldOfColumn(*this, c);
            if (!f || store.IsNull(f->StoreColumn(), rec))
                continue;  // left to the column's default
            names += std::string(names.empty() ? "" : ", ") + fib::quoteIdent(cols[c].field);
            marks += std::string(marks.empty() ? "" : ", ") + "?";
            values.push_back(storedValue(store, rec, f));
        }
        sql = "insert into " + table + (names.empty() ? " default values" : " (" + names + ") values (" + marks + ")") + returning;
    }
    st.prepare(db, tr, sql);
    st.widenTextParams();
    for (std::size_t i = 0; i < values.size(); ++i)
        st.setParam(i, values[i]);
    st.execute();
    if (st.affectedRows() != 1)
        throw Exception(Format("%s: the record was not found in %s; another user may have changed or deleted it",
                               {Name(), target.relation}));
    if (kind != ukDelete)
        for (std::size_t i = 0; i < returned.size(); ++i)
            storeValue(store, rec, returned[i], st.value(i));
}

void TpFIBDataSet::refreshRecord(TRecordStore::RecId rec, TFIBTransaction* tr)
{
    TRecordStore& store = MutableStore();
    fib::FibStatement st;
    st.prepare(m_links.runDatabase(), tr, m_refreshSQL);
    const HostParams params(*this, store, rec, nullptr, 0);
    for (std::size_t i = 0; i < st.paramCount(); ++i)
        st.setParam(i, params.value(st.paramNames()[i]));
    st.execute();
    if (!st.fetch())
        return;
    for (std::size_t i = 0; i < st.columns().size(); ++i)
        if (TField* f = FindField(st.columns()[i].name); f && f->StoreColumn() >= 0)
            storeValue(store, rec, f, st.value(i));
    st.closeCursor();
}

} // namespace lm
