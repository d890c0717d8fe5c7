// The user filter dialog's logic.
#include "filter/ufilterdlgmodel.h"

#include <algorithm>

#include "app/hooks.h"
#include "filter/ufilter.h"
#include "util/cp1251.h"
#include "util/sysutils.h"

namespace lm {

namespace {

TUFilterDialog& filterDialog()
{
    static TUFilterDialog dialog;
    return dialog;
}

} // namespace

void SetUFilterDialog(TUFilterDialog dialog) { filterDialog() = std::move(dialog); }

void TUFilter::Customize()
{
    if (!filterDialog())
        return;
    TUFilterDlgModel model(*this);
    filterDialog()(model);
}

TUFilterDlgModel::TUFilterDlgModel(TUFilter& filter) : m_filter(filter), m_filterName(filter.FilterName())
{
    if (TEntryList* entries = filter.Entries())
        for (int i = 0; i < entries->Count(); ++i)
            AddEntryBtn(entries->GetEntry(i));
}

std::string TUFilterDlgModel::CategoryOf(const TUFilterEntry& entry) const
{
    if (entry.GetCategory().empty() && m_filter.DefaultFieldsPage())
        return "Поля"_w;
    return entry.GetCategory();
}

void TUFilterDlgModel::AddEntryBtn(TUFilterEntry* entry)
{
    const std::string category = CategoryOf(*entry);
    if (category.empty())
        return;
    auto page = std::find_if(m_pages.begin(), m_pages.end(), [&](const TPage& p) { return p.Caption == category; });
    if (page == m_pages.end())
        page = m_pages.insert(m_pages.begin(), TPage{category, {}});
    page->Entries.push_back(entry);
}

const std::vector<TUFilterDlgModel::TOperatorButton>& TUFilterDlgModel::OperatorButtons()
{
    static const std::vector<TOperatorButton> buttons = [] {
        std::vector<TOperatorButton> list;
        for (const char* op : {"+", "-", "*", "/", "(", ")", "=", ">", "<", "<>", ">=", "<="})
            list.push_back({op, "", op, 0});
        list.push_back({"ПУСТО"_w, "", "ПУСТО"_w, 0});
        for (const std::string word : {"И"_w, "ИЛИ"_w, "НЕ"_w})
            list.push_back({word, "", " " + word + " ", 0});
        list.push_back({"'_'", "Кавычки одинарные"_w, "''", 1});
        return list;
    }();
    return buttons;
}

std::string TUFilterDlgModel::EntryText(const TUFilterEntry& entry)
{
    return "[" + entry.EntryName + "]";
}

std::string TUFilterDlgModel::LookupText(const std::string& displayText)
{
    return "'" + displayText + "'";
}

std::string TUFilterDlgModel::Caption() const
{
    return m_filterName.empty() ? "Фильтр"_w : "Фильтр: "_w + m_filterName;
}

const std::string& TUFilterDlgModel::InitialText() const { return m_filter.FilterSource(); }
bool TUFilterDlgModel::PreferSQL() const { return m_filter.Options().Contains(ufoSQLPrefer); }
bool TUFilterDlgModel::IgnoreCase() const { return m_filter.Options().Contains(ufoIgnoreCase); }
bool TUFilterDlgModel::OnShow() const { return m_filter.Options().Contains(ufoSwitchOnShow); }

void TUFilterDlgModel::Accept(const std::string& text, bool preferSQL, bool ignoreCase, bool onShow, bool save)
{
    TUFilterOptions options = m_filter.Options();
    options.Set(ufoSQLPrefer, preferSQL);
    options.Set(ufoIgnoreCase, ignoreCase);
    m_filter.SetOptions(options);
    m_filter.SetFilterName(m_filterName);
    m_filter.SetSource(text);
    options.Set(ufoSwitchOnShow, onShow);
    m_filter.SetOptions(options);
    if (save)
        m_filter.SaveFilter();
}

void TUFilterDlgModel::Cancel()
{
    m_filter.SetActive(false);
}

std::vector<std::string> TUFilterDlgModel::AddList() const
{
    m_filter.UpdateFilterList();
    return m_filter.FilterList();
}

void TUFilterDlgModel::Add(const std::string& name, const std::string& text)
{
    m_filter.SaveFilterAs(name, text);
    m_filterName = name;
}

std::vector<std::string> TUFilterDlgModel::LoadList() const
{
    std::vector<std::string> list;
    m_filter.ReadFilterList(true, list);
    return list;
}

std::string TUFilterDlgModel::Load(const std::string& name)
{
    m_filterName = name;
    return m_filter.LoadFilter(name);
}

std::vector<std::string> TUFilterDlgModel::DeleteList() const
{
    std::vector<std::string> list;
    m_filter.ReadFilterList(false, list);
    return list;
}

void TUFilterDlgModel::Delete(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        m_filter.SaveFilterAs(name, std::string());
        if (name == m_filterName)
            m_filterName.clear();
    }
}

TSaveOpenDlgModel::TSaveOpenDlgModel(std::vector<std::string> list, TDoKind kind) : m_list(std::move(list)), m_kind(kind) {}

std::string TSaveOpenDlgModel::ActionWord() const
{
    switch (m_kind) {
    case doSave: return "Сохранить"_w;
    case doLoad: return "Загрузить"_w;
    case doDelete: break;
    }
    return "Удалить"_w;
}

std::string TSaveOpenDlgModel::Caption() const
{
    return ActionWord() + " фильтр"_w;
}

bool TSaveOpenDlgModel::CanClose(const std::string& name) const
{
    if (m_kind == doDelete)
        return true;
    if (Trim(name).empty()) {
        ShowMessageBox("Укажите имя"_w, std::string(), MB_OK | MB_ICONWARNING);
        return false;
    }
    if (m_kind == doSave && std::find(m_list.begin(), m_list.end(), Trim(name)) != m_list.end())
        return ShowMessageBox("Сохранить под уже существующем именем?"_w, std::string(), MB_YESNO | MB_ICONQUESTION) == IDYES;
    return true;
}

} // namespace lm
