// The print wizard's field list, its four lists and their rules, and the column formatting.
#include "report/printwizard.h"

#include <algorithm>

#include "app/hooks.h"
#include "host/dataset.h"
#include "host/field.h"
#include "host/gridmodel.h"
#include "report/frprintmenu.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/sysutils.h"

namespace lm {

TPrintWizard::TPrintWizard(TfrPrintMenu& menu) : m_menu(menu) { buildFieldList(); }
TPrintWizard::~TPrintWizard() = default;

void TPrintWizard::buildFieldList()
{
    TDBGridEh* grid = m_menu.Grid();
    TDataSet* data = grid ? grid->DataSet() : nullptr;
    if (!data)
        throw Exception(Format("%s: Не указано свойство Grid"_w, {m_menu.Name()}));
    const TpmDataSet* item = m_menu.DataSetList().Find(data);
    if (!item)
        throw Exception(Format("Набор данных %s не зарегистрирован для печати"_w, {data->Name()}));
    m_prefix = Trim(item->Prefix);
    m_dataSetName = item->DisplayName();
    int npp = 0;
    for (int i = 0; i < data->FieldCount(); ++i) {
        TField* field = data->Fields(i);
        const TColumnEh* column = grid->FieldColumns(field->FieldName());
        if (!field->Visible() || !column)
            continue;
        auto entry = std::make_unique<TObjField>(column->Width(), field, npp++);
        entry->Flag = column->Visible();
        entry->Sample = column->DisplayText();
        if (auto* number = dynamic_cast<TNumericField*>(field); number && !field->IsNull() && field->AsFloat() != 0)
            entry->Sample = number->DisplayFormat().empty() ? FloatToStr(field->AsFloat() * 10)
                                                            : FormatFloat(number->DisplayFormat(), field->AsFloat() * 10);
        std::string caption = m_prefix.empty() ? entry->VarName : m_prefix + " " + entry->VarName;
        entry->Caption = caption.substr(0, 254);
        m_defaults.push_back(std::make_unique<TObjField>(*entry));
        m_lists[lkAllFields].push_back(entry.get());
        m_entries.push_back(std::move(entry));
    }
}

TObjField* TPrintWizard::FindObjNpp(int npp) const
{
    for (const auto& e : m_entries)
        if (e->Npp == npp)
            return e.get();
    return nullptr;
}

void TPrintWizard::SetSumOnlyGroup(bool on)
{
    m_sumOnlyGroup = on;
    if (on)
        m_noSumAfterOne = true;
}

void TPrintWizard::SetNoSumAfterOne(bool on)
{
    m_noSumAfterOne = on;
    if (!on)
        m_sumOnlyGroup = false;
}

bool TPrintWizard::contains(TListKind kind, const TObjField* entry) const
{
    const TList& list = m_lists[kind];
    return std::find(list.begin(), list.end(), entry) != list.end();
}

void TPrintWizard::addTo(TListKind kind, TObjField* entry)
{
    if (entry && !contains(kind, entry))
        m_lists[kind].push_back(entry);
}

void TPrintWizard::removeFrom(TListKind kind, const TObjField* entry)
{
    TList& list = m_lists[kind];
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
}

void TPrintWizard::restoreAllOrder()
{
    TList& all = m_lists[lkAllFields];
    if (m_alphabetical)
        std::stable_sort(all.begin(), all.end(), [](const TObjField* a, const TObjField* b) {
            return upperCase(a->Caption) < upperCase(b->Caption);
        });
    else
        std::sort(all.begin(), all.end(), [](const TObjField* a, const TObjField* b) { return a->Npp < b->Npp; });
}

void TPrintWizard::Conformity()
{
    TList& print = m_lists[lkPrint];
    int position = 0;
    for (TObjField* group : m_lists[lkGroupFields]) {
        const auto it = std::find(print.begin(), print.end(), group);
        if (it == print.end())
            continue;
        print.erase(it);
        print.insert(print.begin() + position++, group);
    }
}

void TPrintWizard::AddPrint(TObjField* entry)
{
    if (!entry || contains(lkPrint, entry))
        return;
    removeFrom(lkAllFields, entry);
    addTo(lkPrint, entry);
    Conformity();
}

void TPrintWizard::AddAllPrint()
{
    const TList all = m_lists[lkAllFields];
    for (TObjField* entry : all)
        if (entry->Flag) {
            removeFrom(lkAllFields, entry);
            addTo(lkPrint, entry);
        }
    Conformity();
}

void TPrintWizard::DelPrint(TObjField* entry)
{
    if (!entry || !contains(lkPrint, entry))
        return;
    addTo(lkAllFields, entry);
    removeFrom(lkPrint, entry);
    if (contains(lkGroupFields, entry) && contains(lkSummReport, entry))
        removeFrom(lkSummReport, entry);
    restoreAllOrder();
    Conformity();
}

void TPrintWizard::ClearPrint()
{
    for (TObjField* entry : m_lists[lkPrint])
        addTo(lkAllFields, entry);
    m_lists[lkPrint].clear();
    restoreAllOrder();
}

void TPrintWizard::MovePrint(int from, int to)
{
    TList& print = m_lists[lkPrint];
    if (from < 0 || to < 0 || from >= static_cast<int>(print.size()) || to >= static_cast<int>(print.size()))
        return;
    TObjField* entry = print[from];
    print.erase(print.begin() + from);
    print.insert(print.begin() + to, entry);
    Conformity();
}

namespace {

bool holdsCaption(const TPrintWizard::TList& list, const TObjField* entry)
{
    return std::any_of(list.begin(), list.end(), [&](const TObjField* e) { return e->Caption == entry->Caption; });
}

bool refuseDuplicate()
{
    ShowMessageBox("Такое поле уже есть"_w, "Внимание"_w, MB_OK | MB_ICONWARNING);
    return false;
}

} // namespace

bool TPrintWizard::AddGroup(TObjField* entry)
{
    if (!entry)
        return false;
    if (holdsCaption(m_lists[lkGroupFields], entry))
        return refuseDuplicate();
    m_lists[lkGroupFields].push_back(entry);
    Conformity();
    return true;
}

bool TPrintWizard::AddSumm(TObjField* entry)
{
    if (!entry)
        return false;
    if (holdsCaption(m_lists[lkSummReport], entry))
        return refuseDuplicate();
    m_lists[lkSummReport].push_back(entry);
    Conformity();
    return true;
}

void TPrintWizard::RemoveGroup(TObjField* entry)
{
    removeFrom(lkGroupFields, entry);
    Conformity();
}

void TPrintWizard::RemoveSumm(TObjField* entry) { removeFrom(lkSummReport, entry); }

void TPrintWizard::ClearGroups() { m_lists[lkGroupFields].clear(); }

void TPrintWizard::ClearAll()
{
    ClearPrint();
    m_lists[lkGroupFields].clear();
    m_lists[lkSummReport].clear();
}

void TPrintWizard::SortAllFields(bool alphabetical)
{
    m_alphabetical = alphabetical;
    restoreAllOrder();
}

void TPrintWizard::SetColumnWidth(int npp, int width)
{
    if (TObjField* e = FindObjNpp(npp))
        e->FieldWidth = width;
}

void TPrintWizard::SetColumnFont(int npp, const TFont& font)
{
    if (TObjField* e = FindObjNpp(npp))
        e->Font = font;
}

void TPrintWizard::SetColumnAlignment(int npp, int alignment)
{
    if (TObjField* e = FindObjNpp(npp))
        e->Alignment = alignment;
}

void TPrintWizard::SetColumnLabel(int npp, const std::string& label)
{
    if (TObjField* e = FindObjNpp(npp))
        e->PrintLabel = label;
}

void TPrintWizard::ResetDefaults(int npp)
{
    TObjField* e = FindObjNpp(npp);
    if (!e)
        return;
    for (const auto& d : m_defaults)
        if (d->Npp == npp) {
            e->Font = d->Font;
            e->FieldWidth = d->FieldWidth;
            e->Alignment = d->Alignment;
            e->PrintLabel = d->PrintLabel;
        }
}

std::string TPrintWizard::StatusText(const TObjField& entry)
{
    return "FieldName "_w + entry.FieldName + "  " + "Длина "_w + IntToStr(entry.FieldWidth) + "  " + "№ пп "_w +
           IntToStr(entry.Npp) + "  " + "Числовое "_w + (entry.IsNumeric ? "Да"_w : "Нет"_w);
}

int TPrintWizard::ToCalculatePoz(int npp) const
{
    int left = LeftPos;
    for (const TObjField* e : m_lists[lkPrint]) {
        if (e->Npp == npp)
            return left;
        left += e->FieldWidth;
    }
    return LeftPos;
}

} // namespace lm
