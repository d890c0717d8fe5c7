// The dataset's edit buffer: Edit, Insert, Append, Post, Cancel, Delete and the checks around them.
#include <algorithm>

#include "host/dataset.h"
#include "util/exceptions.h"

namespace lm {

void TDataSet::Edit()
{
    checkActive();
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (m_view.empty()) {
        Append();
        return;
    }
    CheckCanModify(ukModify);
    if (BeforeEdit)
        BeforeEdit(this);
    m_buffer.CopyRecord(m_store, m_view[m_cur], 0);
    setState(dsEdit);
    DataEvent(deRecordChange);
    if (AfterEdit)
        AfterEdit(this);
}

void TDataSet::beginEditBuffer(bool atEnd)
{
    checkActive();
    CheckBrowseMode();
    if (atEnd || m_view.empty())
        fetchAll();  // the new record goes after every record of the source
    CheckCanModify(ukInsert);
    if (BeforeInsert)
        BeforeInsert(this);
    DoBeforeScroll();
    m_buffer.ClearRecord(0);
    m_insertAtEnd = atEnd;
    setState(dsInsert);
    if (OnNewRecord)
        OnNewRecord(this);
    m_modified = false;
    DataEvent(deDataSetChange);
    if (AfterInsert)
        AfterInsert(this);
    DoAfterScroll();
}

void TDataSet::Insert()
{
    beginEditBuffer(false);
}

void TDataSet::Append()
{
    beginEditBuffer(true);
}

void TDataSet::AppendRecord(const std::vector<Variant>& values)
{
    Append();
    try {
        for (std::size_t i = 0; i < values.size() && i < m_fields.size(); ++i)
            if (m_fields[i]->FieldKind() == fkData)
                m_fields[i]->SetValue(values[i]);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

void TDataSet::Post()
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert)
        throw Exception("Dataset not in edit or insert mode");
    UpdateRecord();
    if (BeforePost)
        BeforePost(this);
    for (TField* field : m_fields)
        if (field->FieldKind() == fkData && field->Required() && field->IsNull())
            throw Exception(Format("Field '%s' must have a value", {field->DisplayName()}));
    m_calcFromBuffer = true;
    try {
        calculateFields(0);
    } catch (...) {
        m_calcFromBuffer = false;
        throw;
    }
    m_calcFromBuffer = false;

    const bool inserted = m_state == dsInsert;
    if (inserted) {
        const TRecordStore::RecId rec = m_store.AddRecord();
        m_deleted.push_back(0);
        m_store.CopyRecord(m_buffer, 0, rec);
        try {
            InternalPost(rec, nullptr);
        } catch (...) {
            m_store.ClearRecord(rec);
            m_deleted[rec] = 1;
            throw;
        }
        if (m_insertAtEnd || m_view.empty()) {
            m_order.push_back(rec);
            m_view.push_back(rec);
            m_cur = m_view.size() - 1;
        } else {
            const auto inOrder = std::find(m_order.begin(), m_order.end(), m_view[m_cur]);
            m_order.insert(inOrder, rec);
            m_view.insert(m_view.begin() + static_cast<std::ptrdiff_t>(m_cur), rec);
        }
        m_posIndexValid = false;
    } else {
        const TRecordStore::RecId rec = m_view[m_cur];
        TRecordStore backup(std::vector<TStoreKind>{});
        backup.Reset([&] {
            std::vector<TStoreKind> kinds;
            for (int c = 0; c < m_store.ColumnCount(); ++c)
                kinds.push_back(m_store.Kind(c));
            return kinds;
        }());
        backup.AddRecord();
        backup.CopyRecord(m_store, rec, 0);
        m_store.CopyRecord(m_buffer, 0, rec);
        try {
            InternalPost(rec, &backup);
        } catch (...) {
            m_store.CopyRecord(backup, 0, rec);
            throw;
        }
    }
    m_bof = m_eof = false;
    setState(dsBrowse);
    DataEvent(deDataSetChange);
    if (AfterPost)
        AfterPost(this);
}

void TDataSet::Cancel()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    if (BeforeCancel)
        BeforeCancel(this);
    setState(dsBrowse);
    DataEvent(deDataSetChange);
    if (AfterCancel)
        AfterCancel(this);
}

void TDataSet::Delete()
{
    checkActive();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (m_view.empty())
        throw Exception("Cannot perform this operation on an empty dataset");
    CheckCanModify(ukDelete);
    DataEvent(deCheckBrowseMode);
    if (BeforeDelete)
        BeforeDelete(this);
    DoBeforeScroll();
    const TRecordStore::RecId rec = m_view[m_cur];
    InternalDelete(rec);
    m_deleted[rec] = 1;
    m_store.ClearRecord(rec);
    m_view.erase(m_view.begin() + static_cast<std::ptrdiff_t>(m_cur));
    m_order.erase(std::find(m_order.begin(), m_order.end(), rec));
    m_posIndexValid = false;
    ensureFetched(m_cur + 1);  // the next record becomes current, also when not read yet
    if (m_cur >= m_view.size())
        m_cur = m_view.empty() ? 0 : m_view.size() - 1;
    m_bof = m_eof = m_view.empty();
    if (m_state != dsBrowse)
        setState(dsBrowse);
    DataEvent(deDataSetChange);
    if (AfterDelete)
        AfterDelete(this);
    DoAfterScroll();
}

void TDataSet::CheckBrowseMode()
{
    checkActive();
    DataEvent(deCheckBrowseMode);
    if (m_state == dsEdit || m_state == dsInsert) {
        UpdateRecord();
        if (m_modified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::UpdateRecord()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    DataEvent(deUpdateRecord);
}

} // namespace lm
