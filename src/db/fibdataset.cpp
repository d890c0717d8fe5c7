// TpFIBDataSet: preparing the select, fetching it into the record store, origins and sorting.
#include "db/fibdataset.h"

#include <cstring>

#include "db/fibdatabase.h"
#include "db/fibsqltext.h"
#include "db/fibstatement.h"
#include "db/fibtransaction.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

using fib::ColumnInfo;

TpFIBDataSet::TpFIBDataSet(TComponent* owner)
    : TDataSet(owner), m_stmt(std::make_unique<fib::FibStatement>()), m_links(*this, *m_stmt, [this] { Close(); })
{
}

TpFIBDataSet::~TpFIBDataSet() = default;

void TpFIBDataSet::Notification(TComponent* component, TOperation operation)
{
    TDataSet::Notification(component, operation);
    m_links.removed(component, operation);  // the fetched records stay
    if (operation == opRemove && component == m_updateTransaction)
        m_updateTransaction = nullptr;
}

void TpFIBDataSet::SetSelectSQL(const std::string& sql)
{
    Close();
    m_stmt->unprepare();
    m_selectSQL = sql;
    m_updateTable = UpdateTable{};
}

void TpFIBDataSet::SetParamValue(const std::string& name, const Variant& value) { m_params[upperCase(name)] = value; }

Variant TpFIBDataSet::ParamValue(const std::string& name) const
{
    const auto it = m_params.find(upperCase(name));
    return it == m_params.end() ? Variant::Null() : it->second;
}

bool TpFIBDataSet::Prepared() const { return m_stmt->prepared(); }

void TpFIBDataSet::prepareStatement()
{
    TFIBTransaction* tr = m_links.requireTransaction();
    TFIBDatabase* db = m_links.runDatabase();
    if (!db)
        throw Exception(Format("%s: Database not assigned", {Name()}));
    if (!db->Connected())
        db->Open();
    // the statement outlives transactions: a committed one is started again for the next fetch
    if (!tr->InTransaction())
        tr->StartTransaction();
    if (m_stmt->prepared())
        return;
    m_stmt->prepare(db, tr, m_selectSQL);
    if (!m_stmt->isSelect()) {
        m_stmt->unprepare();
        throw Exception(Format("%s: SelectSQL is not a select statement", {Name()}));
    }
}

void TpFIBDataSet::Prepare()
{
    prepareStatement();
    InitFields();
}

namespace {

// `name`, or when a column of that name came earlier, the first free "NAME_1", "NAME_2", ...:
// every field then reads its own column, and the later ones get a name of their own.
std::string uniqueFieldName(const TFieldDefs& defs, const std::string& name)
{
    if (defs.IndexOf(name) < 0)
        return name;
    for (int n = 1;; ++n) {
        std::string candidate = name + "_" + std::to_string(n);
        if (defs.IndexOf(candidate) < 0)
            return candidate;
    }
}

} // namespace

void TpFIBDataSet::InternalInitFieldDefs()
{
    prepareStatement();
    m_updateTable = UpdateTable{};  // the statement may have been prepared again
    TFIBDatabase* db = m_links.runDatabase();
    TFieldDefs& defs = FieldDefs();
    defs.Clear();
    for (const ColumnInfo& c : m_stmt->columns()) {
        const fib::Slot& s = c.slot;
        TFieldType type = ftUnknown;
        int size = 0;
        int precision = 0;
        switch (s.type) {
        case SQL_TEXT: type = ftFixedChar; size = static_cast<int>(s.length); break;
        case SQL_VARYING: type = ftString; size = static_cast<int>(s.length); break;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            if (s.scale < -4) {
                type = ftFloat;
            } else if (s.scale < 0) {
                type = ftBCD;
                size = -s.scale;
                precision = s.type == SQL_SHORT ? 4 : s.type == SQL_LONG ? 9 : 18;
            } else if (s.type == SQL_SHORT) {
                type = db->IsBooleanColumn(c.relation, c.field) ? ftBoolean : ftSmallint;
            } else {
                type = s.type == SQL_LONG ? ftInteger : ftLargeint;
            }
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT: type = ftFloat; break;
        case SQL_TYPE_DATE: type = ftDate; break;
        case SQL_TYPE_TIME: type = ftTime; break;
        case SQL_TIMESTAMP: type = ftDateTime; break;
        case SQL_BOOLEAN: type = ftBoolean; break;
        case SQL_BLOB: type = s.subType == 1 ? ftMemo : ftBlob; break;
        default: type = ftString; break;  // SQL_NULL and the like: read as text
        }
        TFieldDef& def = defs.Add(uniqueFieldName(defs, c.name), type, size, !s.nullable && !c.relation.empty());
        def.Precision = precision;
    }
}

namespace {

const int64_t kScale[] = {10000, 1000, 100, 10, 1};

// How one column goes from the row buffer into the store.
struct Loader {
    enum Kind { Text, Varying, Int16, Int32, Int64, Bool16, Currency16, Currency32, Currency64,
                Scaled16, Scaled32, Scaled64, Float32, Float64, Date, Time, Stamp, Boolean, Other } kind;
    fib::Slot slot;
    int column;          // store column
    std::size_t index;   // statement column
    TField* field;       // for Other: converts the Variant itself
    int64_t mul = 1;     // currency: multiplier to four decimals
    double div = 1;      // scaled float: divisor
};

// The fast path for the field's class when it matches the column's type; Other (through Variant
// and the field's own conversion) for a persistent field of another type and for blobs.
Loader makeLoader(TField* field, const fib::Slot& s, std::size_t index)
{
    Loader l{Loader::Other, s, field->StoreColumn(), index, field};
    const TStoreKind kind = field->StoreKind();
    const bool flt = kind == TStoreKind::skFloat;
    switch (s.type) {
    case SQL_TEXT: l.kind = kind == TStoreKind::skString ? Loader::Text : Loader::Other; break;
    case SQL_VARYING: l.kind = kind == TStoreKind::skString ? Loader::Varying : Loader::Other; break;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const int w = s.type == SQL_SHORT ? 0 : s.type == SQL_LONG ? 1 : 2;
        if (field->DataType() == ftBoolean) {
            l.kind = s.type == SQL_SHORT && s.scale == 0 ? Loader::Bool16 : Loader::Other;
        } else if (s.scale == 0 && kind == TStoreKind::skInt && field->DataType() != ftBCD) {
            l.kind = static_cast<Loader::Kind>(Loader::Int16 + w);
        } else if (s.scale < 0 && s.scale >= -4 && field->DataType() == ftBCD) {
            l.kind = static_cast<Loader::Kind>(Loader::Currency16 + w);
            l.mul = kScale[4 + s.scale];
        } else if (s.scale < 0 && flt) {
            l.kind = static_cast<Loader::Kind>(Loader::Scaled16 + w);
            for (int k = 0; k < -s.scale; ++k)
                l.div *= 10;
        }
        break;
    }
    case SQL_FLOAT: l.kind = flt ? Loader::Float32 : Loader::Other; break;
    case SQL_DOUBLE:
    case SQL_D_FLOAT: l.kind = flt ? Loader::Float64 : Loader::Other; break;
    case SQL_TYPE_DATE: l.kind = flt ? Loader::Date : Loader::Other; break;
    case SQL_TYPE_TIME: l.kind = flt ? Loader::Time : Loader::Other; break;
    case SQL_TIMESTAMP: l.kind = flt ? Loader::Stamp : Loader::Other; break;
    case SQL_BOOLEAN: l.kind = kind == TStoreKind::skInt ? Loader::Boolean : Loader::Other; break;
    default: break;
    }
    return l;
}

template <typename T>
T load(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

void TpFIBDataSet::bindParams()
{
    const auto& names = m_stmt->paramNames();
    for (std::size_t i = 0; i < m_stmt->paramCount(); ++i)
        m_stmt->setParam(i, names[i].empty() ? Variant::Null() : ParamValue(names[i]));
}

struct TpFIBDataSet::Cursor {
    std::vector<Loader> loaders;
};

void TpFIBDataSet::InternalLoadRecords()
{
    prepareStatement();
    m_sort.clear();
    const auto& cols = m_stmt->columns();
    auto cursor = std::make_unique<Cursor>();
    for (int f = 0; f < FieldCount(); ++f) {
        TField* field = Fields(f);
        if (field->FieldNo() <= 0 || field->StoreColumn() < 0)
            continue;
        const std::size_t i = static_cast<std::size_t>(field->FieldNo() - 1);
        if (i >= cols.size())
            continue;
        cursor->loaders.push_back(makeLoader(field, cols[i].slot, i));
    }

    bindParams();
    m_stmt->execute();
    m_cursor = std::move(cursor);
    // a reopened query usually returns about as many rows and as much text; fetched on demand,
    // only what is read is stored
    if (!m_fetchOnDemand)
        MutableStore().Reserve(m_lastFetchCount, m_lastTextBytes);
    SetAllFetched(!fetchRows(m_fetchOnDemand ? m_fetchBatch : 0));
}

bool TpFIBDataSet::InternalFetchMore(int count)
{
    return m_cursor && fetchRows(count);
}

bool TpFIBDataSet::fetchRows(int count)
{
    for (int n = 0; count <= 0 || n < count; ++n) {
        if (!m_stmt->fetch()) {
            m_stmt->closeCursor();
            m_cursor.reset();
            m_lastFetchCount = Store().Size();
            m_lastTextBytes = Store().TextBytes();
            return false;
        }
        loadRow(m_stmt->row());
    }
    return true;
}

void TpFIBDataSet::loadRow(const unsigned char* row)
{
    TRecordStore& store = MutableStore();
    const TRecordStore::RecId rec = AddStoredRecord();
    for (const Loader& l : m_cursor->loaders) {
        const fib::Slot& s = l.slot;
        if (s.nullable && load<short>(row + s.nullOffset))
            continue;  // new records start null
        const unsigned char* p = row + s.offset;
        switch (l.kind) {
        case Loader::Text: {
            std::size_t n = s.length;
            while (n > 0 && p[n - 1] == ' ') --n;
            store.SetString(l.column, rec, std::string_view(reinterpret_cast<const char*>(p), n));
            break;
        }
        case Loader::Varying:
            store.SetString(l.column, rec, std::string_view(reinterpret_cast<const char*>(p + 2), load<uint16_t>(p)));
            break;
        case Loader::Int16: store.SetInt(l.column, rec, load<int16_t>(p)); break;
        case Loader::Int32: store.SetInt(l.column, rec, load<int32_t>(p)); break;
        case Loader::Int64: store.SetInt(l.column, rec, load<int64_t>(p)); break;
        case Loader::Bool16: store.SetInt(l.column, rec, load<int16_t>(p) != 0); break;
        case Loader::Currency16: store.SetInt(l.column, rec, load<int16_t>(p) * l.mul); break;
        case Loader::Currency32: store.SetInt(l.column, rec, load<int32_t>(p) * l.mul); break;
        case Loader::Currency64: store.SetInt(l.column, rec, load<int64_t>(p) * l.mul); break;
        case Loader::Scaled16: store.SetFloat(l.column, rec, load<int16_t>(p) / l.div); break;
        case Loader::Scaled32: store.SetFloat(l.column, rec, load<int32_t>(p) / l.div); break;
        case Loader::Scaled64: store.SetFloat(l.column, rec, static_cast<double>(load<int64_t>(p)) / l.div); break;
        case Loader::Float32: store.SetFloat(l.column, rec, load<float>(p)); break;
        case Loader::Float64: store.SetFloat(l.column, rec, load<double>(p)); break;
        case Loader::Date: store.SetFloat(l.column, rec, fib::fromIscDate(load<int32_t>(p))); break;
        case Loader::Time: store.SetFloat(l.column, rec, fib::fromIscTime(load<uint32_t>(p))); break;
        case Loader::Stamp:
            store.SetFloat(l.column, rec, fib::fromIscDate(load<int32_t>(p)) + fib::fromIscTime(load<uint32_t>(p + 4)));
            break;
        case Loader::Boolean: store.SetInt(l.column, rec, *p != 0); break;
        case Loader::Other:
            l.field->WriteStored(store, l.column, rec, m_stmt->value(l.index));
            break;
        }
    }
}

void TpFIBDataSet::InternalClose()
{
    m_stmt->closeCursor();
    m_cursor.reset();
    m_sort.clear();
}

void TpFIBDataSet::DoBeforeScroll()
{
    if (m_scrollDisabled == 0)
        TDataSet::DoBeforeScroll();
}

void TpFIBDataSet::DoAfterScroll()
{
    if (m_scrollDisabled == 0)
        TDataSet::DoAfterScroll();
}

void TpFIBDataSet::CloseOpen(bool restorePosition)
{
    const int recNo = restorePosition && Active() ? RecNo() : 0;
    Close();
    Open();
    if (recNo > 1 && !IsEmpty())
        SetRecNo(recNo);  // clamped to the last record
}

bool TpFIBDataSet::isTableColumn(std::size_t column, const std::string& alias) const
{
    const auto& cols = m_stmt->columns();
    const fib::SelectList list = fib::selectList(m_selectSQL);
    if (list.isUnion)
        return false;  // the statement reports the first branch's table for every branch
    // The select item of each column: a star stands for the run of columns of its table.
    std::vector<const fib::SelectItem*> itemOf;
    for (std::size_t k = 0; k < list.items.size(); ++k) {
        const fib::SelectItem& item = list.items[k];
        if (item.kind != fib::SelectItem::Star) {
            itemOf.push_back(&item);
            continue;
        }
        const std::size_t later = list.items.size() - k - 1;
        while (itemOf.size() + later < cols.size()
               && (item.qualifier.empty() || cols[itemOf.size()].relationAlias == item.qualifier
                   || cols[itemOf.size()].relation == item.qualifier))
            itemOf.push_back(&item);
    }
    if (itemOf.size() == cols.size()) {
        const fib::SelectItem& item = *itemOf[column];
        if (item.kind == fib::SelectItem::Expression)
            return false;  // a sub-query's column names a table that is not in scope here
        if (!item.qualifier.empty() && item.qualifier != alias)
            return false;
    }
    // Only a table of the outer FROM list is in scope for a condition on this select; derived
    // tables and the tables of sub-queries are not.
    const std::string& relation = cols[column].relation;
    for (const fib::FromTable& t : fib::fromTables(m_selectSQL))
        if (t.alias == alias && t.relation == relation)
            return true;
    return false;
}

std::string TpFIBDataSet::columnAlias(std::size_t column) const
{
    const ColumnInfo& c = m_stmt->columns()[column];
    return c.relationAlias.empty() ? fromClauseAlias(c.relation) : c.relationAlias;
}

std::string TpFIBDataSet::fromClauseAlias(const std::string& relation) const
{
    for (const fib::FromTable& t : fib::fromTables(m_selectSQL))
        if (t.relation == relation)
            return t.alias;
    return relation;
}

std::string TpFIBDataSet::GetFieldOriginAlias(TField* field)
{
    if (!field || field->DataSet() != this)
        throw Exception(Format("%s: field does not belong to the dataset", {Name()}));
    if (!Active() && !Prepared())
        Prepare();
    const int no = field->FieldNo();
    if (no <= 0 || static_cast<std::size_t>(no) > m_stmt->columns().size())
        return {};
    const ColumnInfo& c = m_stmt->columns()[no - 1];
    const std::string alias = columnAlias(no - 1);
    if (c.relation.empty() || c.field.empty() || !isTableColumn(no - 1, alias))
        return "." + fib::quoteIdent(field->FieldName());
    return fib::quoteIdent(alias) + "." + fib::quoteIdent(c.field);
}

bool TpFIBDataSet::IsNativeBoolean(const TField* field)
{
    if (!field || field->DataSet() != this)
        return false;
    if (!Active() && !Prepared())
        Prepare();
    const int no = field->FieldNo();
    if (no <= 0 || static_cast<std::size_t>(no) > m_stmt->columns().size())
        return false;
    return m_stmt->columns()[no - 1].slot.type == SQL_BOOLEAN;
}

std::string TpFIBDataSet::GetFieldOriginAlias(const std::string& fieldName)
{
    if (!Active() && !Prepared())
        Prepare();
    return GetFieldOriginAlias(FBN(fieldName));
}

void TpFIBDataSet::DoSortEx(const std::vector<std::string>& fields, const std::vector<bool>& ascending)
{
    std::vector<TField*> list;
    for (const std::string& name : fields)
        list.push_back(FieldByName(name));
    DoSortEx(list, ascending);
}

void TpFIBDataSet::DoSortEx(const std::vector<TField*>& fields, const std::vector<bool>& ascending)
{
    if (!Active())
        throw Exception(Format("%s: Cannot perform this operation on a closed dataset", {Name()}));
    std::vector<TSortKey> keys;
    std::vector<TSortFieldInfo> info;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        TField* f = fields[i];
        if (!f || f->DataSet() != this)
            throw Exception(Format("%s: field does not belong to the dataset", {Name()}));
        const bool asc = i < ascending.size() ? ascending[i] : true;
        keys.push_back({f, !asc});
        info.push_back({f->FieldName(), f->Index(), static_cast<int>(i) + 1, asc, asc});
    }
    CheckBrowseMode();
    if (!m_sort.empty() && !keys.empty())
        SortRecords({});  // ties fall back to the fetch order, not to the previous sort
    SortRecords(keys);
    m_sort = std::move(info);
}

TSortFieldInfo TpFIBDataSet::SortFieldInfo(int index) const
{
    if (index < 0 || index >= SortFieldsCount())
        throw Exception(Format("Sort field index %d out of range", {index}));
    return m_sort[index];
}

} // namespace lm
