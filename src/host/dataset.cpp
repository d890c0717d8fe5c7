// The dataset machinery shared by every concrete dataset: opening, fields, the record that
// fields read, navigation over the filtered view, bookmarks, locate, data events.
#include "host/dataset.h"

#include <algorithm>
#include <numeric>

#include "host/datasetstate.h"
#include "host/datasource.h"
#include "host/filterexpr.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

namespace {

TStoreKind storeKindOf(TFieldType type)
{
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftBlob:
    case ftMemo: return TStoreKind::skString;
    case ftFloat:
    case ftCurrency:
    case ftDate:
    case ftTime:
    case ftDateTime: return TStoreKind::skFloat;
    default: return TStoreKind::skInt;
    }
}

bool sameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upCase(a[i]) != upCase(b[i]))
            return false;
    return true;
}

} // namespace

// --- TFieldDefs -----------------------------------------------------------------------------

TFieldDef& TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required)
{
    TFieldDef def;
    def.Name = name;
    def.DataType = type;
    def.Size = size;
    def.Required = required;
    m_defs.push_back(std::move(def));
    return m_defs.back();
}

int TFieldDefs::IndexOf(const std::string& name) const
{
    for (std::size_t i = 0; i < m_defs.size(); ++i)
        if (sameText(m_defs[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

// --- lifetime -------------------------------------------------------------------------------

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet()
{
    m_state = dsInactive;
    for (TDataSource* source : std::vector<TDataSource*>(m_dataSources)) {
        source->m_dataSet = nullptr;
        source->updateState();
    }
    for (TField* field : m_fields)
        field->m_dataSet = nullptr;
    m_defaultFields.clear();
}

void TDataSet::addField(TField* field)
{
    m_fields.push_back(field);
}

void TDataSet::removeField(TField* field)
{
    m_fields.erase(std::remove(m_fields.begin(), m_fields.end(), field), m_fields.end());
}

void TDataSet::addDataSource(TDataSource* source)
{
    m_dataSources.push_back(source);
}

void TDataSet::removeDataSource(TDataSource* source)
{
    m_dataSources.erase(std::remove(m_dataSources.begin(), m_dataSources.end(), source), m_dataSources.end());
}

// --- opening --------------------------------------------------------------------------------

void TDataSet::InitFields()
{
    if (Active())
        return;
    InternalInitFieldDefs();

    const bool hasPersistentData = std::any_of(m_fields.begin(), m_fields.end(), [&](TField* f) {
        return f->FieldKind() == fkData
            && std::none_of(m_defaultFields.begin(), m_defaultFields.end(),
                            [f](const std::unique_ptr<TField>& d) { return d.get() == f; });
    });
    if (hasPersistentData) {
        for (const auto& d : m_defaultFields)
            removeField(d.get());
        m_defaultFields.clear();
    } else {
        bool same = static_cast<int>(m_defaultFields.size()) == m_fieldDefs.Count();
        for (int i = 0; same && i < m_fieldDefs.Count(); ++i)
            same = m_defaultFields[i]->FieldName() == m_fieldDefs.Items(i).Name
                && m_defaultFields[i]->DataType() == m_fieldDefs.Items(i).DataType;
        if (!same) {
            for (const auto& d : m_defaultFields)
                removeField(d.get());
            for (auto& d : m_defaultFields)
                d->m_dataSet = nullptr;
            m_defaultFields.clear();
            std::vector<TField*> created;
            for (int i = 0; i < m_fieldDefs.Count(); ++i) {
                const TFieldDef& def = m_fieldDefs.Items(i);
                std::unique_ptr<TField> field(CreateField(def.DataType, nullptr));
                field->SetFieldName(def.Name);
                if (def.DataType == ftString || def.DataType == ftFixedChar || def.DataType == ftBCD)
                    field->SetSize(def.Size);
                if (def.Precision > 0) {
                    if (auto* bcd = dynamic_cast<TBCDField*>(field.get()))
                        bcd->SetPrecision(def.Precision);
                    else if (auto* flt = dynamic_cast<TFloatField*>(field.get()))
                        flt->SetPrecision(def.Precision);
                }
                field->m_dataSet = this;
                created.push_back(field.get());
                m_defaultFields.push_back(std::move(field));
            }
            m_fields.insert(m_fields.begin(), created.begin(), created.end());
        }
        for (int i = 0; i < m_fieldDefs.Count(); ++i) {
            const TFieldDef& def = m_fieldDefs.Items(i);
            m_defaultFields[i]->SetRequired(def.Required);
            m_defaultFields[i]->SetOrigin(def.Origin);
        }
    }

    // A column is stored the way its field holds values, so a field of another class than the
    // definition's type (a float over a NUMERIC column) converts once, when records are loaded.
    std::vector<TStoreKind> kinds;
    for (int i = 0; i < m_fieldDefs.Count(); ++i)
        kinds.push_back(storeKindOf(m_fieldDefs.Items(i).DataType));
    std::vector<uint8_t> bound(kinds.size(), 0);
    for (TField* field : m_fields) {
        field->m_fieldNo = 0;
        field->m_column = -1;
        switch (field->FieldKind()) {
        case fkData: {
            const int def = m_fieldDefs.IndexOf(field->FieldName());
            if (def < 0)
                throw Exception(Format("Field '%s' not found", {field->FieldName()}));
            if (bound[def] && field->StoreKind() != kinds[def])
                throw Exception(Format("Type mismatch for field '%s'", {field->FieldName()}));
            kinds[def] = field->StoreKind();
            bound[def] = 1;
            field->m_fieldNo = def + 1;
            field->m_column = def;
            break;
        }
        case fkCalculated:
            field->m_column = static_cast<int>(kinds.size());
            kinds.push_back(field->StoreKind());
            break;
        case fkLookup:
            field->RefreshLookupList();
            break;
        }
    }
    m_store.Reset(kinds);
    m_buffer.Reset(kinds);
    m_buffer.AddRecord();
}

void TDataSet::Open()
{
    if (Active())
        return;
    if (BeforeOpen)
        BeforeOpen(this);
    try {
        InitFields();
        m_allFetched = true;
        InternalLoadRecords();
        m_deleted.assign(m_store.Size(), 0);
        m_order.resize(m_store.Size());
        std::iota(m_order.begin(), m_order.end(), 0u);
        ++m_generation;
        for (TRecordStore::RecId rec = 0; rec < m_store.Size(); ++rec)
            calculateFields(rec);
        m_filterExpr.reset();
        if (m_filtered && !Trim(m_filterText).empty())
            m_filterExpr = std::make_unique<TFilterExpr>(m_filterText, *this);
        rebuildView();
        m_state = dsBrowse;  // for the fetch below; the data links hear of it after
        ensureFetched(1);    // a filter may have hidden every record fetched so far
        m_state = dsInactive;
    } catch (...) {
        m_state = dsInactive;
        m_store.Clear();
        m_order.clear();
        m_view.clear();
        m_deleted.clear();
        m_filterExpr.reset();
        InternalClose();
        throw;
    }
    m_cur = 0;
    m_bof = true;
    m_eof = m_view.empty();
    setState(dsBrowse);
    if (AfterOpen)
        AfterOpen(this);
    DoAfterScroll();
}

void TDataSet::Close()
{
    if (!Active())
        return;
    if (BeforeClose)
        BeforeClose(this);
    InternalClose();
    m_store.Clear();
    m_order.clear();
    m_view.clear();
    m_deleted.clear();
    m_posIndexValid = false;
    m_filterExpr.reset();
    m_modified = false;
    m_allFetched = true;
    m_cur = 0;
    m_bof = m_eof = true;
    setState(dsInactive);
    if (AfterClose)
        AfterClose(this);
}

void TDataSet::setState(TDataSetState state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_modified = false;
    DataEvent(deUpdateState);
}

void TDataSet::checkActive() const
{
    if (!Active())
        throw Exception("Dataset not open");
}

void TDataSet::CheckCanModify(TUpdateKind) const
{
    if (!CanModify())
        throw Exception("Cannot modify a read-only dataset");
}

void TDataSet::InternalPost(TRecordStore::RecId, const TRecordStore*) {}
void TDataSet::InternalDelete(TRecordStore::RecId) {}

void TDataSet::DoBeforeScroll()
{
    if (BeforeScroll)
        BeforeScroll(this);
}

void TDataSet::DoAfterScroll()
{
    if (AfterScroll)
        AfterScroll(this);
}

// --- fields ---------------------------------------------------------------------------------

TField* TDataSet::FindField(const std::string& name) const
{
    for (TField* field : m_fields)
        if (sameText(field->FieldName(), name))
            return field;
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& name) const
{
    if (TField* field = FindField(name))
        return field;
    if (Name().empty())
        throw Exception(Format("Field '%s' not found", {name}));
    throw Exception(Format("%s: Field '%s' not found", {Name(), name}));
}

std::vector<TField*> TDataSet::GetFieldList(const std::string& names) const
{
    std::vector<TField*> fields;
    std::size_t start = 0;
    while (start <= names.size()) {
        std::size_t end = names.find(';', start);
        if (end == std::string::npos)
            end = names.size();
        const std::string name = Trim(std::string_view(names).substr(start, end - start));
        if (!name.empty())
            fields.push_back(FieldByName(name));
        start = end + 1;
    }
    return fields;
}

bool TDataSet::ActiveRecord(const TRecordStore*& store, TRecordStore::RecId& rec) const
{
    switch (m_state) {
    case dsEdit:
    case dsInsert:
        store = &m_buffer;
        rec = 0;
        return true;
    case dsFilter:
        store = &m_store;
        rec = m_testRec;
        return true;
    case dsCalcFields:
        store = m_calcFromBuffer ? &m_buffer : &m_store;
        rec = m_calcFromBuffer ? 0 : m_testRec;
        return true;
    case dsBrowse:
        if (m_view.empty())
            return false;
        store = &m_store;
        rec = m_view[m_cur];
        return true;
    case dsInactive: break;
    }
    return false;
}

bool TDataSet::writableRecord(TRecordStore*& store, TRecordStore::RecId& rec, const TField* field)
{
    // Writes go where reads come from, but only while editing, or to a calculated field while
    // calculating.
    const bool writable = m_state == dsEdit || m_state == dsInsert
        || (m_state == dsCalcFields && field->FieldKind() == fkCalculated);
    const TRecordStore* active = nullptr;
    if (!writable || !ActiveRecord(active, rec))
        return false;
    store = const_cast<TRecordStore*>(active);  // one of this dataset's own stores
    return true;
}

void TDataSet::fieldChanged(TField* field)
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    m_modified = true;
    if (field->OnChange)
        field->OnChange(field);
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
}

// Fills the calculated fields of a stored record (or of the edit buffer when m_calcFromBuffer
// is set by the caller) through OnCalcFields.
void TDataSet::calculateFields(TRecordStore::RecId rec)
{
    if (!OnCalcFields)
        return;
    std::vector<TField*> calculated;
    for (TField* f : m_fields)
        if (f->FieldKind() == fkCalculated)
            calculated.push_back(f);
    if (calculated.empty())
        return;
    TRecordStore& store = m_calcFromBuffer ? m_buffer : m_store;
    const TRecordStore::RecId target = m_calcFromBuffer ? 0 : rec;
    for (TField* f : calculated)
        store.SetNull(f->m_column, target);
    m_testRec = rec;
    DataSetStateGuard guard(m_state, dsCalcFields);
    OnCalcFields(this);
}

Variant TDataSet::valueAt(TField* field, TRecordStore::RecId rec)
{
    if (field->m_column >= 0)
        return m_store.IsNull(field->m_column, rec) ? Variant::Null() : field->ReadStored(m_store, field->m_column, rec);
    const TRecordStore::RecId saved = m_testRec;
    m_testRec = rec;
    DataSetStateGuard guard(m_state, dsFilter);
    Variant v = field->Value();
    m_testRec = saved;
    return v;
}

// --- navigation -----------------------------------------------------------------------------

bool TDataSet::IsEmpty() const
{
    return m_view.empty() && m_state != dsInsert;
}

int TDataSet::RecordCount() const
{
    fetchAll();
    return static_cast<int>(m_view.size());
}

int TDataSet::RecNo() const
{
    if (m_state == dsInsert || m_view.empty())
        return 0;
    return static_cast<int>(m_cur) + 1;
}

void TDataSet::SetRecNo(int recNo)
{
    checkActive();
    CheckBrowseMode();
    if (recNo > 0)
        ensureFetched(static_cast<std::size_t>(recNo));
    if (m_view.empty())
        return;
    recNo = std::clamp(recNo, 1, static_cast<int>(m_view.size()));
    scrollTo(static_cast<std::size_t>(recNo - 1));
}

// Moves to view position `pos` with the scroll events; Bof and Eof are cleared.
void TDataSet::scrollTo(std::size_t pos)
{
    DoBeforeScroll();
    const int distance = static_cast<int>(pos) - static_cast<int>(m_cur);
    m_cur = pos;
    m_bof = m_eof = false;
    DataEvent(deDataSetScroll, distance);
    DoAfterScroll();
}

void TDataSet::First()
{
    checkActive();
    CheckBrowseMode();
    DoBeforeScroll();
    m_cur = 0;
    m_bof = true;
    m_eof = m_view.empty();
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::Last()
{
    checkActive();
    CheckBrowseMode();
    fetchAll();
    DoBeforeScroll();
    m_cur = m_view.empty() ? 0 : m_view.size() - 1;
    m_eof = true;
    m_bof = m_view.empty();
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::Next()
{
    MoveBy(1);
}

void TDataSet::Prior()
{
    MoveBy(-1);
}

int TDataSet::MoveBy(int distance)
{
    checkActive();
    CheckBrowseMode();
    DoBeforeScroll();
    int moved = 0;
    if (distance > 0) {
        ensureFetched(m_cur + static_cast<std::size_t>(distance) + 1);
        m_bof = false;
        const std::size_t avail = m_view.empty() ? 0 : m_view.size() - 1 - m_cur;
        moved = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(distance), avail));
        m_cur += static_cast<std::size_t>(moved);
        if (moved < distance)
            m_eof = true;
    } else if (distance < 0) {
        m_eof = false;
        const int back = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(-distance), m_cur));
        m_cur -= static_cast<std::size_t>(back);
        if (back < -distance)
            m_bof = true;
        moved = -back;
    }
    if (m_view.empty())
        m_bof = m_eof = true;
    if (moved != 0)
        DataEvent(deDataSetScroll, moved);
    DoAfterScroll();
    return moved;
}

std::size_t TDataSet::positionOf(TRecordStore::RecId rec) const
{
    if (!m_posIndexValid) {
        m_posIndex.assign(m_store.Size(), 0);
        for (std::size_t i = 0; i < m_view.size(); ++i)
            m_posIndex[m_view[i]] = static_cast<uint32_t>(i + 1);
        m_posIndexValid = true;
    }
    if (rec >= m_posIndex.size() || m_posIndex[rec] == 0)
        return std::string::npos;
    return m_posIndex[rec] - 1;
}

TBookmark TDataSet::GetBookmark() const
{
    if (!Active() || m_state == dsInsert || m_view.empty())
        return TBookmark();
    return TBookmark(m_view[m_cur], m_generation);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const
{
    return Active() && !bookmark.Empty() && bookmark.m_generation == m_generation
        && bookmark.m_rec < m_store.Size() && !m_deleted[bookmark.m_rec]
        && positionOf(bookmark.m_rec) != std::string::npos;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    checkActive();
    CheckBrowseMode();
    if (!BookmarkValid(bookmark))
        throw Exception("Record not found");
    scrollTo(positionOf(bookmark.m_rec));
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    if (a.Empty() || b.Empty())
        return a.Empty() == b.Empty() ? 0 : (a.Empty() ? -1 : 1);
    const std::size_t pa = BookmarkValid(a) ? positionOf(a.m_rec) : std::string::npos;
    const std::size_t pb = BookmarkValid(b) ? positionOf(b.m_rec) : std::string::npos;
    if (pa != pb)
        return pa < pb ? -1 : 1;
    return a.m_rec == b.m_rec ? 0 : (a.m_rec < b.m_rec ? -1 : 1);
}

void TDataSet::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount > 0)
        return;
    const bool stateChanged = m_state != m_disableState;
    const bool pending = m_pendingEvent;
    m_pendingEvent = false;
    if (stateChanged)
        DataEvent(deUpdateState);
    if (pending || stateChanged)
        DataEvent(deDataSetChange);
}

void TDataSet::DataEvent(TDataEvent event, intptr_t info)
{
    // Pending control values and focus requests must still reach the links, or edits are lost;
    // opening and closing are told at once so that links never work on a closed dataset.
    if (m_disableCount > 0 && event != deUpdateRecord && event != deCheckBrowseMode && event != deFocusControl) {
        m_pendingEvent = true;
        if (event == deUpdateState)
            for (TDataSource* source : std::vector<TDataSource*>(m_dataSources))
                if ((source->State() == dsInactive) != (m_state == dsInactive))
                    source->dataEvent(event, info);
        return;
    }
    for (TDataSource* source : std::vector<TDataSource*>(m_dataSources))
        source->dataEvent(event, info);
}

// --- locate and lookup ----------------------------------------------------------------------

std::vector<TDataSet::SearchKey> TDataSet::searchKeys(const std::string& keyFields,
                                                      const std::vector<Variant>& keyValues,
                                                      const char* operation) const
{
    const std::vector<TField*> fields = GetFieldList(keyFields);
    if (fields.size() != keyValues.size() || fields.empty())
        throw Exception(Format("%s: %d key values for the fields '%s'",
                               {operation, static_cast<int>(keyValues.size()), keyFields}));
    std::vector<SearchKey> keys;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool storedText = fields[i]->StoreColumn() >= 0 && fields[i]->StoreKind() == TStoreKind::skString
            && !keyValues[i].IsNullOrEmpty();
        keys.push_back({fields[i], keyValues[i], storedText ? keyValues[i].AsString() : std::string(), storedText});
    }
    return keys;
}

bool TDataSet::keysMatch(const std::vector<SearchKey>& keys, TRecordStore::RecId rec, TLocateOptions options)
{
    for (const SearchKey& key : keys) {
        const int col = key.field->StoreColumn();
        if (key.storedText) {
            if (m_store.IsNull(col, rec))
                return false;
            std::string_view have = m_store.GetString(col, rec);
            if (options & loPartialKey) {
                if (have.size() < key.text.size())
                    return false;
                have = have.substr(0, key.text.size());
            }
            if ((options & loCaseInsensitive) ? !sameText(have, key.text) : have != key.text)
                return false;
            continue;
        }
        const Variant have = valueAt(key.field, rec);
        if (key.value.IsNullOrEmpty() || have.IsNullOrEmpty()) {
            if (key.value.IsNullOrEmpty() != have.IsNullOrEmpty())
                return false;
            continue;
        }
        if (have.VarType() == TVarType::varString && key.value.VarType() == TVarType::varString) {
            const std::string a = have.AsString();
            const std::string b = key.value.AsString();
            if ((options & loCaseInsensitive) ? !sameText(a, b) : a != b)
                return false;
            continue;
        }
        try {
            if (have.Compare(key.value) != 0)
                return false;
        } catch (const Exception&) {
            return false;  // a key that does not convert to the field's kind matches nothing
        }
    }
    return true;
}

bool TDataSet::Locate(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options)
{
    checkActive();
    CheckBrowseMode();
    const std::vector<SearchKey> keys = searchKeys(keyFields, keyValues, "Locate");
    for (std::size_t pos = 0;; ++pos) {
        if (pos == m_view.size()) {
            if (m_allFetched)
                return false;
            fetchAll();  // the records not read yet are searched after the fetched ones
            if (pos == m_view.size())
                return false;
        }
        if (keysMatch(keys, m_view[pos], options)) {
            scrollTo(pos);
            return true;
        }
    }
}

Variant TDataSet::Lookup(const std::string& keyFields, const std::vector<Variant>& keyValues,
                         const std::string& resultField)
{
    if (!Active())
        return Variant::Null();
    const std::vector<SearchKey> keys = searchKeys(keyFields, keyValues, "Lookup");
    TField* result = FieldByName(resultField);
    fetchAll();
    for (TRecordStore::RecId rec : m_view)
        if (keysMatch(keys, rec, 0))
            return valueAt(result, rec);
    return Variant::Null();
}

} // namespace lm
