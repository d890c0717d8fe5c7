// TDataSet: the abstract dataset over an in-memory record store — fields, navigation,
// bookmarks, editing, local filtering and local sorting. Concrete datasets (the in-memory
// TMemDataSet, the Firebird TpFIBDataSet) only describe their fields and load the records.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/field.h"
#include "host/recordstore.h"
#include "util/component.h"
#include "util/variant.h"

namespace lm {

class TDataSource;
class TFilterExpr;

// dsCalcFields: inside OnCalcFields; dsFilter: inside OnFilterRecord (fields read the record
// under test).
enum TDataSetState : uint8_t { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields, dsFilter };

// What the dataset tells its data sources (and they their data links). `info` of
// deFieldChange and deFocusControl is the field; of deDataSetScroll the distance moved.
enum TDataEvent : uint8_t {
    deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
    deUpdateRecord, deUpdateState, deCheckBrowseMode, deFocusControl,
};

// What a write does to a record: the dataset layer's update kind.
enum TUpdateKind : uint8_t { ukModify, ukInsert, ukDelete };

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;

// The description of one stored column, filled by the concrete dataset before its fields exist.
struct TFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;          // characters of a string, decimals of a BCD
    bool Required = false;
    int Precision = 0;     // digits of a BCD or float, 0 for the type's default
    std::string Origin;    // the source column, when known
};

class TFieldDefs {
public:
    TFieldDef& Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    int Count() const { return static_cast<int>(m_defs.size()); }
    const TFieldDef& Items(int index) const { return m_defs.at(index); }
    TFieldDef& Items(int index) { return m_defs.at(index); }
    // Index of the definition of that name (ignoring letter case), -1 when absent.
    int IndexOf(const std::string& name) const;
    void Clear() { m_defs.clear(); }

private:
    std::vector<TFieldDef> m_defs;
};

// A record position that survives filtering, sorting and editing of other records (not
// Close/Open). The default bookmark points nowhere.
class TBookmark {
public:
    TBookmark() = default;
    bool Empty() const { return m_rec == kNone; }
    bool operator==(const TBookmark&) const = default;

private:
    friend class TDataSet;
    static constexpr uint32_t kNone = 0xFFFFFFFFu;
    TBookmark(uint32_t rec, uint32_t generation) : m_rec(rec), m_generation(generation) {}
    uint32_t m_rec = kNone;
    uint32_t m_generation = 0;
};

// One key of a local sort: the field and the direction. Nulls come first when ascending and
// last when descending, as Firebird orders them.
struct TSortKey {
    TField* Field = nullptr;
    bool Descending = false;
};

class TDataSet : public TComponent {
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
    using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;

    explicit TDataSet(TComponent* owner = nullptr);
    ~TDataSet() override;

    // --- Opening -----------------------------------------------------------------------------
    bool Active() const { return m_state != dsInactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    // Builds the field definitions and fields, loads the records, applies Filter when
    // Filtered, and goes to the first record. A bad filter text raises and leaves the dataset closed.
    void Open();
    // Discards any pending edit and the records. The fields stay (and stay valid).
    void Close();
    TDataSetState State() const { return m_state; }

    // --- Fields ------------------------------------------------------------------------------
    TFieldDefs& FieldDefs() { return m_fieldDefs; }
    const TFieldDefs& FieldDefs() const { return m_fieldDefs; }
    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    TField* Fields(int index) const { return m_fields.at(index); }
    // Ignoring letter case. FieldByName raises lm::Exception "<Name>: Field '<name>' not found"
    // ("Field '<name>' not found" for an unnamed dataset); FindField returns nullptr.
    TField* FieldByName(const std::string& name) const;
    TField* FindField(const std::string& name) const;
    // The fields named in a ";"-separated list (blanks around names ignored), in list order;
    // raises as FieldByName for a missing one.
    std::vector<TField*> GetFieldList(const std::string& fieldNames) const;

    // --- Navigation --------------------------------------------------------------------------
    // Records counted and numbered are those that pass the filter, in the current order.
    void First();
    void Last();
    void Next();    // past the last record sets Eof and stays on it
    void Prior();   // before the first record sets Bof and stays on it
    int MoveBy(int distance);  // returns the distance actually moved
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const;
    // Fetches the rest first when the dataset fetches on demand.
    int RecordCount() const;
    int RecNo() const;          // 1-based, 0 without a current record (and in dsInsert)
    void SetRecNo(int recNo);

    TBookmark GetBookmark() const;
    // Raises lm::Exception "Record not found" when the bookmark's record is gone or filtered out.
    void GotoBookmark(const TBookmark& bookmark);
    bool BookmarkValid(const TBookmark& bookmark) const;
    // Orders two bookmarks by their records' positions: <0, 0, >0; empty bookmarks come first.
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

    // Nested: while any DisableControls is open, data links hear of no moves and changes (they
    // still deliver pending values, take focus requests and learn of Open and Close); the last
    // EnableControls tells them once that the data (and, if it changed, the state) changed.
    void DisableControls() { ++m_disableCount; if (m_disableCount == 1) m_disableState = m_state; }
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // Goes to the first record (in the current order, filter applied) whose fields named in
    // `keyFields` (";"-separated) equal `keyValues` one by one. Without options the comparison
    // is exact and case-sensitive (strings byte-wise, numbers as numbers); a null key matches
    // only a null field. Returns false and stays put when none matches.
    bool Locate(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options = 0);
    bool Locate(const std::string& keyFields, const Variant& keyValue, TLocateOptions options = 0)
    {
        return Locate(keyFields, std::vector<Variant>{keyValue}, options);
    }
    // The value of `resultField` in the first matching record (exact search as Locate without
    // options), or Null; the current record does not move.
    Variant Lookup(const std::string& keyFields, const std::vector<Variant>& keyValues,
                   const std::string& resultField);

    // --- Editing -----------------------------------------------------------------------------
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Whether records can be changed at all (a dataset may still refuse one kind of change).
    virtual bool CanModify() const { return !m_readOnly; }
    // Edit puts the current record into an edit buffer (an empty dataset goes to Append);
    // Insert and Append start a new record (placed before the current one or at the end).
    // Each raises lm::Exception "Cannot modify a read-only dataset" on a read-only dataset (or
    // the dataset's own reason, see CheckCanModify) and "Dataset not open" when closed; an open
    // edit is posted first.
    void Edit();
    void Insert();
    void Append();
    // Append, the values in field order (fewer values leave the rest null), Post.
    void AppendRecord(const std::vector<Variant>& values);
    // Writes the buffer: first the data links deliver pending control values (UpdateRecord),
    // then required fields are checked ("Field '%s' must have a value"). A posted record
    // stays current and visible even if it does not pass the filter, until the filter is
    // applied again. Raises "Dataset not in edit or insert mode" in browse state.
    void Post();
    void Cancel();
    // Removes the current record; the next record (or the last) becomes current.
    // Raises lm::Exception "Cannot perform this operation on an empty dataset" when empty.
    void Delete();
    // Posts a pending edit (used before passes that need browse state).
    void CheckBrowseMode();
    // Asks the data links to store their controls' pending values into the fields.
    void UpdateRecord();
    bool Modified() const { return m_modified; }

    // --- Filtering ---------------------------------------------------------------------------
    // The local filter text (see filterexpr.h for the language). Changing it while Filtered
    // refilters at once; a text that does not parse raises and leaves the previous filter.
    const std::string& Filter() const { return m_filterText; }
    void SetFilter(const std::string& text);
    // Switching on compiles Filter and keeps only the records for which both the text and
    // OnFilterRecord accept; lm::Exception naming the text and position when it does not parse.
    // Switching off shows all records. Both keep the current record when it stays visible.
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool filtered);
    // Called with the dataset in dsFilter, fields reading the record under test.
    TFilterRecordEvent OnFilterRecord;

    // --- Events ------------------------------------------------------------------------------
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord;   // in dsInsert, to give the new record default values
    TDataSetNotifyEvent OnCalcFields;  // in dsCalcFields, once per record when loaded or posted

    // Calls `visit` once per record that passes the filter, in the current order, with the
    // fields reading that record (stored values, also while editing). The current record, the
    // state seen afterwards and the data links are untouched; no events fire.
    void ScanRecords(const std::function<void()>& visit);
    // The same for the records at positions first .. first + count - 1 of the current order
    // (clipped to the records there are); `visit` gets the 0-based position. The current record
    // is read as the fields show it (its edit buffer while editing). For views that draw a
    // window of rows without moving the current record.
    void ScanRecords(int first, int count, const std::function<void(int index)>& visit);
    // The bookmark of the record at 0-based position `index` (filter applied, current order);
    // empty when there is no such record.
    TBookmark BookmarkAt(int index) const;
    // The 0-based position of the bookmark's record, -1 when it is not shown.
    int IndexOfBookmark(const TBookmark& bookmark) const;

    // --- Fetching on demand ------------------------------------------------------------------
    // A dataset that fetches on demand holds after Open only the first records of its source;
    // moving or reading past them fetches more, and whatever needs every record (Last,
    // RecordCount, a sort, Locate of a record not read yet, a full scan) fetches the rest.
    bool AllFetched() const { return m_allFetched; }
    // The records fetched so far that pass the filter (RecordCount without fetching).
    int FetchedRecordCount() const { return static_cast<int>(m_view.size()); }
    // Fetches up to `count` more records (all the rest when count <= 0); returns how many
    // passed the filter and were added to the end of the view.
    int FetchMore(int count);

    // --- Storage access for fields, filters and derived datasets ----------------------------
    const TRecordStore& Store() const { return m_store; }
    // The store and record that fields read now: the edit buffer while editing, the record under
    // test while filtering, otherwise the current record. False when there is none.
    bool ActiveRecord(const TRecordStore*& store, TRecordStore::RecId& rec) const;
    // Tells every data source and data link (unless controls are disabled).
    void DataEvent(TDataEvent event, intptr_t info = 0);

protected:
    // Fills FieldDefs (called by Open and InitFields). Calculated and lookup fields have none.
    virtual void InternalInitFieldDefs() = 0;
    // Adds the records to Store() (called by Open once fields and the store layout exist).
    // Use AddStoredRecord and the fields' StoreColumn().
    virtual void InternalLoadRecords() = 0;
    // Hooks around the buffer operations: called after the record is in the store (Post) or
    // before it leaves (Delete); an exception cancels the operation and leaves the stored
    // record as it was. `before` holds the edited record as it was before (record 0), null
    // for an inserted one. A dataset may update the stored record `rec` (values the database
    // assigned).
    virtual void InternalPost(TRecordStore::RecId rec, const TRecordStore* before);
    virtual void InternalDelete(TRecordStore::RecId rec);
    // Raises when a change of that kind may not start (Edit: ukModify, Insert and Append:
    // ukInsert, Delete: ukDelete); the default refuses every change unless CanModify.
    virtual void CheckCanModify(TUpdateKind kind) const;
    virtual void InternalClose() {}
    // Adds up to `count` more records to the store (all the rest when count <= 0) for a dataset
    // whose InternalLoadRecords left records unread (SetAllFetched(false)); returns whether any
    // remain unread after this call.
    virtual bool InternalFetchMore(int count);
    // Called from InternalLoadRecords when the source has records that were not read yet.
    void SetAllFetched(bool all) { m_allFetched = all; }
    // The scroll events go through these so a dataset can suppress them.
    virtual void DoBeforeScroll();
    virtual void DoAfterScroll();

    // Creates the field definitions and (when there are no data fields yet, or the definitions
    // changed) the default fields; binds data fields to their store columns. Safe to call on a
    // closed dataset, to have fields without records. A data field of another class than its
    // definition's type is stored as the field holds values (loaders convert through
    // WriteStored). Raises lm::Exception "Field '%s' not found" for a data field without a
    // definition, "Type mismatch for field '%s'" for two fields of one definition held differently.
    void InitFields();
    TRecordStore& MutableStore() { return m_store; }
    // Appends a record slot to the store during InternalLoadRecords (not yet in the order).
    TRecordStore::RecId AddStoredRecord() { return m_store.AddRecord(); }
    // Reorders all records by the keys (stable); the current record stays current. Empty keys
    // restore the load order.
    void SortRecords(const std::vector<TSortKey>& keys);
    // Re-reads the records after a derived class added some to the store behind the dataset's
    // back: every live record in load order, the filter applied again, the first record current.
    void Resync();

private:
    friend class TField;
    friend class TDataSource;

    void checkActive() const;
    void beginEditBuffer(bool fromCurrent);
    void calculateFields(TRecordStore::RecId rec);
    void rebuildView();
    bool recordPasses(TRecordStore::RecId rec);
    void setCurrent(std::size_t pos, int distance);
    void scrollTo(std::size_t pos);
    // Fetches until the view holds `size` records or the source is exhausted; const because
    // reading on demand is invisible to callers (the records were there all along).
    void ensureFetched(std::size_t size) const;
    void fetchAll() const { ensureFetched(std::string::npos); }
    void appendFetched(std::size_t firstNew);
    std::size_t positionOf(TRecordStore::RecId rec) const;
    // One key of Locate/Lookup, prepared once for the whole search.
    struct SearchKey {
        TField* field;
        Variant value;
        std::string text;   // the value as text, for stored text columns
        bool storedText;    // compare `text` against the column directly
    };
    std::vector<SearchKey> searchKeys(const std::string& keyFields, const std::vector<Variant>& keyValues,
                                      const char* operation) const;
    bool keysMatch(const std::vector<SearchKey>& keys, TRecordStore::RecId rec, TLocateOptions options);
    void fieldChanged(TField* field);
    bool writableRecord(TRecordStore*& store, TRecordStore::RecId& rec, const TField* field);
    Variant valueAt(TField* field, TRecordStore::RecId rec);
    void setState(TDataSetState state);
    void refilter();
    void addField(TField* field);
    void removeField(TField* field);
    void addDataSource(TDataSource* source);
    void removeDataSource(TDataSource* source);

    TFieldDefs m_fieldDefs;
    std::vector<TField*> m_fields;                      // in dataset order
    std::vector<std::unique_ptr<TField>> m_defaultFields;
    std::vector<TDataSource*> m_dataSources;
    TRecordStore m_store;
    TRecordStore m_buffer;                             // one record: the edit buffer
    std::vector<TRecordStore::RecId> m_order;           // every live record, in the current order
    std::vector<TRecordStore::RecId> m_view;            // the records that pass the filter
    mutable std::vector<uint32_t> m_posIndex;           // record -> position in m_view + 1
    mutable bool m_posIndexValid = false;
    std::vector<uint8_t> m_deleted;                     // per record slot
    std::unique_ptr<TFilterExpr> m_filterExpr;
    std::string m_filterText;
    std::size_t m_cur = 0;                              // position in m_view
    TRecordStore::RecId m_testRec = 0;                  // record under test in dsFilter / dsCalcFields
    uint32_t m_generation = 0;
    int m_disableCount = 0;
    TDataSetState m_state = dsInactive;
    TDataSetState m_disableState = dsInactive;
    TDataSetState m_savedState = dsInactive;            // around dsFilter / dsCalcFields
    bool m_eof = true;
    bool m_bof = true;
    bool m_filtered = false;
    bool m_readOnly = false;
    bool m_modified = false;
    bool m_pendingEvent = false;
    bool m_insertAtEnd = false;
    bool m_calcFromBuffer = false;
    bool m_allFetched = true;
};

} // namespace lm
