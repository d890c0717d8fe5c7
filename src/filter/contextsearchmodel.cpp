// The context search dialogs' logic: field list, memo, buttons and what closing does.
#include "filter/contextsearchmodel.h"

#include "app/lmtranslate.h"
#include "filter/contextfilter.h"
#include "host/dataset.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

const char* TContextSearchModel::MultiItemText() { return "  Мульти поиск"_w; }

TContextSearchModel::TContextSearchModel(TContextFilter& filter, TField* field) : m_filter(filter)
{
    TDataSet* ds = filter.DataSet();
    if (ds && ds->Active() && ds->State() != dsBrowse)
        ds->Post();
    if (filter.CanMulti()) {
        m_items.push_back(MultiItemText());
        m_fields.push_back(nullptr);
        m_itemIndex = 0;
    }
    for (int i = 0; ds && i < ds->FieldCount(); ++i) {
        TField* f = ds->Fields(i);
        if (!TContextFilter::IsContextField(f))
            continue;
        if (m_itemIndex < 0 && f == field)
            m_itemIndex = static_cast<int>(m_items.size());
        m_items.push_back(f->DisplayLabel());
        m_fields.push_back(f);
    }
    if (m_itemIndex < 0 && !m_items.empty())
        m_itemIndex = 0;
}

std::string TContextSearchModel::Caption() const
{
    return m_filter.Caption().empty() ? std::string("Поиск по контексту"_w) : m_filter.Caption();
}

bool TContextSearchModel::MultiSettingsVisible() const { return !m_filter.Server(); }

void TContextSearchModel::SetItemIndex(int index)
{
    if (index >= -1 && index < static_cast<int>(m_items.size()))
        m_itemIndex = index;
}

bool TContextSearchModel::MultiSelected() const { return m_itemIndex >= 0 && !m_fields[m_itemIndex]; }

TField* TContextSearchModel::SelectedField() const { return m_itemIndex >= 0 ? m_fields[m_itemIndex] : nullptr; }

TDataSet* TContextSearchModel::ValueListDataSet() const
{
    TField* f = SelectedField();
    return f && f->Lookup() ? f->LookupDataSet() : nullptr;
}

std::string TContextSearchModel::ValueListResultField() const
{
    return ValueListDataSet() ? SelectedField()->LookupResultField() : std::string();
}

std::string TContextSearchModel::ValueListKeyField() const
{
    return ValueListDataSet() ? SelectedField()->LookupKeyFields() : std::string();
}

std::string TContextSearchModel::MemoText() const
{
    std::string text;
    TDataSet* ds = m_filter.DataSet();
    for (int i = 0; i < m_filter.GetFilterLineCount(); ++i) {
        TFilterLine* line = m_filter.GetFilterLine(i);
        std::string label = line->FieldName();
        if (line->IsMulti())
            label = MultiItemText();
        else if (TField* f = ds ? ds->FindField(line->FieldName()) : nullptr)
            label = f->DisplayLabel();
        if (i > 0)
            text += " И "_w;
        text += "[" + label + "]=" + line->Value();
    }
    return text;
}

void TContextSearchModel::DeleteLast() { m_filter.DeleteLastLine(); }

TContextSearchModel::TSearchAction TContextSearchModel::EnterAction(const std::string& editText)
{
    return editText.empty() ? saInFound : saSearch;
}

char TContextSearchModel::TranslateKey(unsigned key, unsigned shift, char ch) { return Translate(key, shift, ch); }

std::string TContextSearchModel::PasteText(const std::string& clipboard, bool& replaceClipboard)
{
    const std::size_t cr = clipboard.find('\r');
    replaceClipboard = cr != std::string::npos;
    return replaceClipboard ? clipboard.substr(0, cr) : clipboard;
}

void TContextSearchModel::Finish(TSearchAction action, const std::string& editText)
{
    if (action == saCancel) {
        m_filter.Clear();
        return;
    }
    const std::string value = Trim(editText);
    if (action == saSearch && !value.empty())
        m_filter.ClearLines();
    if (!value.empty() && m_itemIndex >= 0)
        m_filter.AddLine(MultiSelected() ? std::string("*") : SelectedField()->FieldName(), value);
    m_filter.DoApplyFilter();
}

namespace {

// `name` upper-cased between ";" delimiters, to find whole names in a ";"-list.
std::string delimited(const std::string& name)
{
    std::string out(1, ';');
    out += upperCase(name);
    out += ';';
    return out;
}

} // namespace

TContextMultiModel::TContextMultiModel(TContextFilter& filter) : m_filter(filter)
{
    const std::string names = delimited(filter.MultiFields());
    TDataSet* ds = filter.DataSet();
    for (int i = 0; ds && i < ds->FieldCount(); ++i) {
        TField* f = ds->Fields(i);
        if (!TContextFilter::IsContextField(f))
            continue;
        m_items.push_back(f->DisplayLabel());
        m_names.push_back(f->FieldName());
        m_checked.push_back(names.find(delimited(f->FieldName())) != std::string::npos);
    }
}

const char* TContextMultiModel::Caption() { return "Список полей мульти поиска"_w; }

void TContextMultiModel::UncheckAll() { m_checked.assign(m_checked.size(), false); }

void TContextMultiModel::Accept()
{
    std::string fields;
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (m_checked[i])
            fields += m_names[i] + ";";
    m_filter.SetMultiFields(fields);
    m_filter.SaveMultiFields();
}

} // namespace lm
