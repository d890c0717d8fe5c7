// TUserSort: reading and applying the dataset's local sort, the stored order and sort files.
#include "filter/usersort.h"

#include "db/fibdataset.h"
#include "filter/sortdlgmodel.h"
#include "host/registry.h"
#include "util/cp1251.h"
#include "util/fastlist.h"

namespace lm {

namespace {

TSortDialog& sortDialog()
{
    static TSortDialog dialog;
    return dialog;
}

} // namespace

void SetSortDialog(TSortDialog dialog) { sortDialog() = std::move(dialog); }

TUserSort::TUserSort(TComponent* owner) : TComponent(owner) {}

void TUserSort::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_dataSet)
        m_dataSet = nullptr;
}

void TUserSort::SetDS(TDataSet* dataSet)
{
    if (ReplaceLink(m_dataSet, dataSet))
        Reset();
}

TpFIBDataSet* TUserSort::GetFibDS() const { return dynamic_cast<TpFIBDataSet*>(m_dataSet); }

void TUserSort::Reset()
{
    m_order.Clear();
    m_default.Clear();
    m_captureDefault = true;
}

void TUserSort::ParseSort(TSortOrderList& List)
{
    List.Clear();
    TpFIBDataSet* ds = GetFibDS();
    if (ds && ds->IsSorted()) {
        for (int i = 0; i < ds->SortFieldsCount(); ++i) {
            const TSortFieldInfo info = ds->SortFieldInfo(i);
            std::string name = info.FieldName;
            TField* field = ds->FindField(name);
            if (field && !field->Visible()) {
                for (int k = 0; k < ds->FieldCount(); ++k) {
                    TField* f = ds->Fields(k);
                    if (f->Visible() && f->Lookup() && f->KeyFields() == name) {
                        name = f->FieldName();
                        break;
                    }
                }
            }
            List.Add(name, info.Asc);
        }
    }
    if (m_captureDefault) {
        m_default = List;
        m_captureDefault = false;
    }
}

bool TUserSort::CheckSortField(const std::string& Name) const
{
    TField* field = m_dataSet ? m_dataSet->FindField(Name) : nullptr;
    return field && field->Visible();
}

bool TUserSort::allFieldsValid(const TSortOrderList& list) const
{
    for (int i = 0; i < list.Count(); ++i)
        if (!CheckSortField(list.Strings(i)))
            return false;
    return true;
}

void TUserSort::applyOrder(bool restoreDefault)
{
    TpFIBDataSet* ds = GetFibDS();
    if (!ds || !ds->Active())
        return;
    ParseSort(m_current);
    const bool toQueryOrder = restoreDefault && m_order.Empty() && m_default.Empty() && !m_current.Empty();
    if (m_order.Empty() && !toQueryOrder)
        m_order = m_current;
    if (toQueryOrder) {
        // the default is the query's own order: drop the local sort
        if (m_options & usoReopenDefSort)
            ds->CloseOpen();
        else
            ds->DoSortEx(std::vector<std::string>{}, {});
    } else if (!m_order.Empty() && !m_order.Equals(m_current)) {
        if ((m_options & usoReopenDefSort) && m_order.Equals(m_default))
            ds->CloseOpen();
        else
            ds->DoSortEx(m_order.Names(), m_order.AscFlags());
    }
    if (OnChange)
        OnChange(this);
}

void TUserSort::DoCurrentSort() { applyOrder(false); }

void TUserSort::SetOrder(const TSortOrderList& order)
{
    m_order = order;
    applyOrder(order.Equals(m_default));
}

void TUserSort::DoSort(const std::string& FieldName, bool Asc)
{
    if (!CheckSortField(FieldName))
        return;
    m_order.Clear();
    m_order.Add(upperCase(FieldName), Asc);
    DoCurrentSort();
}

void TUserSort::WriteToReg(const std::string& Key)
{
    const std::string key = Key.empty() ? m_regKey : Key;
    if (key.empty())
        return;  // no key of our own: never the root
    TRegistry reg;
    if (!m_order.Empty() && !m_order.Equals(m_default)) {
        reg.OpenKey(key, true);
        reg.WriteString("Fields", m_order.GetFieldStr());
        reg.WriteString("Direct", m_order.GetAscStr());
        reg.CloseKey();
    } else {
        reg.DeleteKey(key);
    }
}

void TUserSort::ReadFromReg(const std::string& Key)
{
    const std::string key = Key.empty() ? m_regKey : Key;
    m_order.Clear();
    TRegistry reg;
    if (!key.empty() && reg.OpenKeyReadOnly(key)) {
        if (reg.ValueExists("Fields") && reg.ValueExists("Direct"))
            m_order.LoadAsString(reg.ReadString("Fields"), reg.ReadString("Direct"));
        reg.CloseKey();
        if (!allFieldsValid(m_order))
            m_order.Clear();
        if (m_options & usoApplyOnReadReg) {
            DoCurrentSort();
            if (m_dataSet && m_dataSet->Active())
                m_dataSet->First();
        }
    }
    if (m_order.Empty())
        m_order = m_default;
}

void TUserSort::SaveSortToFile(const std::string& FileName, const TSortOrderList* List) const
{
    const TSortOrderList& list = List ? *List : m_order;
    TFastList lines;
    lines.Add(list.GetFieldStr());
    lines.Add(list.GetAscStr());
    lines.SaveToFile(FileName);
}

void TUserSort::LoadSortFromFile(const std::string& FileName)
{
    TFastList lines;
    lines.LoadFromFile(FileName);
    m_current.LoadAsString(lines.Count() > 0 ? lines.Strings(0) : std::string(),
                           lines.Count() > 1 ? lines.Strings(1) : std::string());
    if (m_current.Empty() || !allFieldsValid(m_current))
        return;
    m_order = m_current;
    DoCurrentSort();
}

void TUserSort::ExecDlg(const std::string& Caption, bool ShowSaveToFile)
{
    if (!m_dataSet || !m_dataSet->Active() || !sortDialog())
        return;
    TSortDlgModel model(*this, Caption, ShowSaveToFile);
    sortDialog()(model);
}

} // namespace lm
