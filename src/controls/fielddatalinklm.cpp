// The field data link: field lookup and the notifications passed on to the control.
#include "controls/fielddatalinklm.h"

namespace lm {

void TFieldDataLinkLM::SetFieldName(const std::string& name)
{
    m_fieldName = name;
    updateField();
}

bool TFieldDataLinkLM::CanModify() const { return m_field && !ReadOnly() && m_field->CanModify(); }

void TFieldDataLinkLM::updateField()
{
    TDataSet* ds = DataSet();
    m_field = Active() && ds && !m_fieldName.empty() ? ds->FindField(m_fieldName) : nullptr;
    if (OnDataChange)
        OnDataChange();
}

void TFieldDataLinkLM::ActiveChanged()
{
    updateField();
    if (OnActiveChange)
        OnActiveChange();
}

void TFieldDataLinkLM::EditingChanged()
{
    if (OnEditingChange)
        OnEditingChange();
}

void TFieldDataLinkLM::RecordChanged(TField* field)
{
    if ((!field || field == m_field) && OnDataChange)
        OnDataChange();
}

void TFieldDataLinkLM::LayoutChanged() { updateField(); }

void TFieldDataLinkLM::UpdateData()
{
    if (OnUpdateData)
        OnUpdateData();
}

} // namespace lm
