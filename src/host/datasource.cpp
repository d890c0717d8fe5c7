// Relaying dataset events through data sources to data links.
#include "host/datasource.h"

#include <algorithm>

namespace lm {

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource()
{
    if (m_dataSet)
        m_dataSet->removeDataSource(this);
    m_dataSet = nullptr;
    for (TDataLink* link : std::vector<TDataLink*>(m_links)) {
        link->m_dataSource = nullptr;
        link->updateActive();
    }
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == m_dataSet)
        return;
    if (m_dataSet)
        m_dataSet->removeDataSource(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->addDataSource(this);
    updateState();
    if (m_state != dsInactive)
        for (TDataLink* link : std::vector<TDataLink*>(m_links))
            link->dataEvent(deDataSetChange, 0);
}

void TDataSource::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    updateState();
}

void TDataSource::Edit()
{
    if (m_autoEdit && m_dataSet && m_state == dsBrowse)
        m_dataSet->Edit();
}

// Takes the dataset's state and tells the links and OnStateChange when it differs.
void TDataSource::updateState()
{
    const TDataSetState state = m_dataSet && m_enabled ? m_dataSet->State() : dsInactive;
    if (state == m_state)
        return;
    m_state = state;
    for (TDataLink* link : std::vector<TDataLink*>(m_links))
        link->updateActive();
    if (OnStateChange)
        OnStateChange(this);
}

void TDataSource::dataEvent(TDataEvent event, intptr_t info)
{
    if (event == deUpdateState) {
        updateState();
        return;
    }
    if (m_state == dsInactive)
        return;
    for (TDataLink* link : std::vector<TDataLink*>(m_links))
        link->dataEvent(event, info);
    switch (event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange)
            OnDataChange(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData)
            OnUpdateData(this);
        break;
    default: break;
    }
}

void TDataSource::addLink(TDataLink* link)
{
    m_links.push_back(link);
}

void TDataSource::removeLink(TDataLink* link)
{
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
}

// --- TDataLink ------------------------------------------------------------------------------

TDataLink::~TDataLink()
{
    if (m_dataSource)
        m_dataSource->removeLink(this);
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (source == m_dataSource)
        return;
    if (m_dataSource)
        m_dataSource->removeLink(this);
    m_dataSource = source;
    if (m_dataSource)
        m_dataSource->addLink(this);
    updateActive();
}

TDataSet* TDataLink::DataSet() const
{
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool readOnly)
{
    if (readOnly == m_readOnly)
        return;
    m_readOnly = readOnly;
    updateEditing();
}

bool TDataLink::Edit()
{
    if (m_dataSource && !m_readOnly)
        m_dataSource->Edit();
    return m_editing;
}

void TDataLink::UpdateRecord()
{
    if (m_updating || !m_modified)
        return;
    m_updating = true;
    try {
        UpdateData();
    } catch (...) {
        m_updating = false;
        throw;  // the value stays pending (still modified)
    }
    m_updating = false;
    m_modified = false;
}

void TDataLink::Reset()
{
    RecordChanged(nullptr);
    m_modified = false;
}

void TDataLink::updateActive()
{
    const bool active = m_dataSource && m_dataSource->State() != dsInactive;
    if (active != m_active) {
        m_active = active;
        ActiveChanged();
    }
    updateEditing();
}

void TDataLink::updateEditing()
{
    const TDataSetState state = m_dataSource ? m_dataSource->State() : dsInactive;
    const bool editing = m_active && !m_readOnly && (state == dsEdit || state == dsInsert);
    if (editing == m_editing)
        return;
    m_editing = editing;
    m_modified = false;
    EditingChanged();
}

void TDataLink::dataEvent(TDataEvent event, intptr_t info)
{
    switch (event) {
    case deFieldChange: RecordChanged(reinterpret_cast<TField*>(info)); break;
    case deRecordChange: RecordChanged(nullptr); break;
    case deDataSetChange: DataSetChanged(); break;
    case deDataSetScroll: DataSetScrolled(static_cast<int>(info)); break;
    case deLayoutChange: LayoutChanged(); break;
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(reinterpret_cast<TField*>(info)); break;
    case deUpdateState: updateActive(); break;
    }
}

} // namespace lm
