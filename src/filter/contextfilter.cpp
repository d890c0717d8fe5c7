// TContextFilter: the dataset hook, the lines, applying them and the multi-field settings.
#include "filter/contextfilter.h"

#include "app/globals.h"
#include "filter/contextsearchmodel.h"
#include "util/sysutils.h"

namespace lm {

namespace {

TContextSearchDialog& searchDialog()
{
    static TContextSearchDialog dialog;
    return dialog;
}

} // namespace

void SetContextSearchDialog(TContextSearchDialog dialog) { searchDialog() = std::move(dialog); }

TContextFilter::TContextFilter(TComponent* owner) : TComponent(owner) {}

TContextFilter::~TContextFilter()
{
    if (m_dataSet) {
        m_lines.clear();
        unhook();
    }
}

void TContextFilter::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_dataSet) {
        m_dataSet = nullptr;
        m_lines.clear();
        m_prevFilterRecord = nullptr;
    }
}

// Puts the dataset's own record filter back and filters it again without our lines.
void TContextFilter::unhook()
{
    TDataSet* ds = m_dataSet;
    ds->OnFilterRecord = std::move(m_prevFilterRecord);
    m_prevFilterRecord = nullptr;
    m_filterOn = false;
    if (ds->Active() && ds->Filtered()) {
        ds->SetFiltered(false);
        ds->SetFiltered(true);
    }
}

void TContextFilter::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == m_dataSet)
        return;
    if (m_dataSet) {
        m_lines.clear();
        unhook();
        ApplyFilter();
    }
    ReplaceLink(m_dataSet, dataSet);
    if (m_dataSet) {
        m_prevFilterRecord = std::move(m_dataSet->OnFilterRecord);
        m_dataSet->OnFilterRecord = [this](TDataSet* ds, bool& accept) { DSFilterRecord(ds, accept); };
    }
    ReadMultiFields();
    if (OnChange)
        OnChange(this);
}

void TContextFilter::SetRegKey(const std::string& key)
{
    m_regKey = key;
    ReadMultiFields();
}

bool TContextFilter::IsContextField(const TField* field)
{
    if (!field->Visible())
        return false;
    return field->FieldKind() == fkData ||
           (field->Lookup() && field->KeyFields().find(';') == std::string::npos);
}

void TContextFilter::DSFilterRecord(TDataSet* DataSet, bool& Accept)
{
    Accept = true;
    if (!m_server) {
        for (const auto& line : m_lines) {
            m_testLine = line.get();
            if (OnCheckLine && !line->IsMulti())
                OnCheckLine(this, line->GetField(), line->Value(), Accept);
            else
                Accept = line->IsAccept();
            m_testLine = nullptr;
            if (!Accept)
                break;
        }
    }
    if (Accept && OnFilterRecord)
        OnFilterRecord(DataSet, Accept);
    if (Accept && m_prevFilterRecord)
        m_prevFilterRecord(DataSet, Accept);
}

void TContextFilter::DefCheckLine(TContextFilter*, TField*, const std::string&, bool& Accept)
{
    Accept = m_testLine ? m_testLine->IsAccept() : true;
}

void TContextFilter::ApplyFilter()
{
    m_filterOn = !m_lines.empty();
    if (!m_dataSet)
        return;
    if (m_server && OnApply) {
        OnApply(this);
        return;
    }
    TDataSet* ds = m_dataSet;
    const bool active = ds->Active();
    const bool wasEmpty = active && ds->IsEmpty();
    const TBookmark mark = active ? ds->GetBookmark() : TBookmark();
    ds->SetFiltered(false);
    ds->SetFiltered(m_filterOn || !ds->Filter().empty());
    if (!ds->Active())
        return;
    if (!mark.Empty() && ds->BookmarkValid(mark))
        ds->GotoBookmark(mark);
    else if (wasEmpty)
        ds->First();
}

void TContextFilter::DoApplyFilter()
{
    ApplyFilter();
    if (OnChange)
        OnChange(this);
}

void TContextFilter::postPendingEdit()
{
    if (m_dataSet && m_dataSet->Active() && m_dataSet->State() != dsBrowse)
        m_dataSet->Post();
}

void TContextFilter::Clear()
{
    if (!m_dataSet || !m_filterOn)
        return;
    postPendingEdit();
    m_lines.clear();
    DoApplyFilter();
}

void TContextFilter::AddLine(const std::string& FieldName, const std::string& Value)
{
    // The field must exist; "*" is the multi-field search.
    const std::string name = FieldName == "*" || !m_dataSet ? FieldName : m_dataSet->FieldByName(FieldName)->FieldName();
    m_lines.push_back(std::make_unique<TFilterLine>(this, m_dataSet, name, Value));
}

void TContextFilter::DeleteLastLine()
{
    if (!m_lines.empty())
        m_lines.pop_back();
}

void TContextFilter::SetFilterMultiVals(const std::string& FieldName, const std::string& Value,
                                        const std::vector<Variant>& Vals)
{
    if (!m_batch)
        m_lines.clear();
    if (!Value.empty()) {
        AddLine(FieldName, Value);
        if (!Vals.empty())
            m_lines.back()->SetVals(Vals);
    }
    if (!m_batch)
        DoApplyFilter();
}

void TContextFilter::SetFilter(const std::string& FieldName, const std::string& Value)
{
    SetFilterMultiVals(FieldName, Value, {});
}

void TContextFilter::BeginSetFilter()
{
    m_batch = true;
    m_lines.clear();
}

void TContextFilter::EndSetFilter()
{
    m_batch = false;
    DoApplyFilter();
}

void TContextFilter::SetFiltersText(const std::string& Text)
{
    BeginSetFilter();
    try {
        std::size_t start = 0;
        while (start < Text.size()) {
            std::size_t end = Text.find('\n', start);
            if (end == std::string::npos)
                end = Text.size();
            std::string line = Text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            start = end + 1;
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            const std::string value = Trim(line.substr(eq + 1));
            if (eq > 0 && !value.empty())
                SetFilter(line.substr(0, eq), value);
        }
    } catch (...) {
        m_batch = false;
        m_lines.clear();
        throw;
    }
    EndSetFilter();
}

std::string TContextFilter::GetFiltersText() const
{
    std::string text;
    for (const auto& line : m_lines) {
        if (!text.empty())
            text += "\r\n";
        text += line->FieldName() + "=" + line->Value();
    }
    return text;
}

bool TContextFilter::CanMulti() const
{
    if (m_multiFields.empty() || m_server || !m_dataSet)
        return false;
    const std::string first = m_multiFields.substr(0, m_multiFields.find(';'));
    return m_dataSet->FindField(first) != nullptr;
}

std::string TContextFilter::MultiFieldsKey() const { return m_regKey + "\\" + Name(); }

void TContextFilter::ReadMultiFields()
{
    if (!m_regKey.empty())
        m_multiFields = LMReadRegStr("MultiFields", "", MultiFieldsKey());
}

void TContextFilter::SaveMultiFields()
{
    if (!m_regKey.empty())
        LMWriteRegStr("MultiFields", m_multiFields, MultiFieldsKey());
}

void TContextFilter::ExecDlg(TField* Field)
{
    if (!m_dataSet || !m_dataSet->Active() || !searchDialog())
        return;
    TContextSearchModel model(*this, Field);
    searchDialog()(model);
}

} // namespace lm
