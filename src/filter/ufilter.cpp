// TUFilter's life cycle: building the entries from the dataset and applying or resetting the
// compiled statement through the host's events.
#include "filter/ufilter.h"

#include <algorithm>

#include "filter/fieldentry.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace lm {

TUFilter::TUFilter(TComponent* owner)
    : TComponent(owner), m_entries(std::make_unique<TEntryList>(this))
{
}

TUFilter::~TUFilter() = default;

void TUFilter::SetDataSet(TDataSet* dataSet)
{
    ReplaceLink(m_dataSet, dataSet);
}

void TUFilter::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_dataSet) {
        // The entries point into the dataset's fields, which are going away with it.
        m_dataSet = nullptr;
        m_entries->Clear();
    }
}

void TUFilter::Prepare()
{
    Reset();
    if (m_dataSet) {
        for (int i = 0; i < m_dataSet->FieldCount(); ++i) {
            TField* field = m_dataSet->Fields(i);
            if (field->FieldName().starts_with("Unvisible_"))
                continue;
            m_entries->AddEntry(std::make_unique<TFieldEntry>(field), false);
        }
    }
    if (OnPrepare)
        OnPrepare(this);
}

void TUFilter::Reset()
{
    m_entries->Clear();
    m_active = false;
    m_filterSource.clear();
    m_filterSQL.clear();
    m_filterName.clear();
    StateChanged();
}

void TUFilter::SetActive(bool state)
{
    if (state != m_active)
        ApplyFilter(state);
}

bool TUFilter::ApplyFilter(bool state)
{
    const bool newState = state && !m_filterSQL.empty();
    bool result = true;
    if (newState != m_active || m_changed) {
        try {
            if (OnApply)
                OnApply(this, newState);
            m_changed = false;
            m_active = newState;
        } catch (const std::exception& e) {
            dropFilter(e.what());
            result = false;
        } catch (...) {
            dropFilter("");
            result = false;
        }
    }
    StateChanged();
    return result;
}

void TUFilter::dropFilter(const std::string& message)
{
    m_filterSQL.clear();
    m_active = false;
    m_changed = false;
    m_errorText = "\r" + message;
}

void TUFilter::SetSource(const std::string& text)
{
    if (!m_filterName.empty()) {
        const std::string wanted = upperCase(m_filterName);
        const bool listed = std::any_of(m_filterList.begin(), m_filterList.end(),
                                        [&](const std::string& name) { return upperCase(name) == wanted; });
        if (!listed || text.empty() || LoadFilter(m_filterName) != text)
            m_filterName.clear();
    }
    m_errorText.clear();
    if (!Compile(text) || !ApplyFilter(true))
        throw Exception("Ошибка составления фильтра"_w + m_errorText);
}

void TUFilter::StateChanged()
{
    if (OnChange)
        OnChange(this);
}

} // namespace lm
