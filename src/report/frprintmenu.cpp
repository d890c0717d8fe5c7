// The version-2 print menu: report folder, menus, linking, printing, designing and variables.
#include "report/frprintmenu.h"

#include <algorithm>

#include "app/globals.h"
#include "app/hooks.h"
#include "db/fibdataset.h"
#include "filter/usersort.h"
#include "host/dataset.h"
#include "host/field.h"
#include "host/gridmodel.h"
#include "report/fr2print.h"
#include "report/frdbdataset.h"
#include "report/frmodel.h"
#include "report/frxreport.h"
#include "report/menuitem.h"
#include "report/printrows.h"
#include "report/reporthooks.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/sysutils.h"

namespace lm {

namespace {

std::string& baseFolder()
{
    static std::string folder;
    return folder;
}

TfrPrintMenu::TWizardEvent& wizardHook()
{
    static TfrPrintMenu::TWizardEvent hook;
    return hook;
}

std::function<void(const std::string&)>& duplicateHook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}

void warnDuplicate(const std::string& text)
{
    if (duplicateHook())
        duplicateHook()(text);
    else
        ShowMessageBox(text, "Предупреждение"_w, MB_OK | MB_ICONWARNING);
}

bool isNumberOrDate(TFieldType type)
{
    switch (type) {
    case ftSmallint: case ftInteger: case ftFloat: case ftBCD: case ftDate: case ftTime: case ftDateTime:
        return true;
    default:
        return false;
    }
}

// Disables the dataset's controls (and a Firebird dataset's scroll events) for the lifetime
// of the guard.
class ControlsOff {
public:
    explicit ControlsOff(TDataSet* data) : m_data(data && data->Active() ? data : nullptr)
    {
        if (!m_data)
            return;
        m_data->DisableControls();
        if (auto* fib = dynamic_cast<TpFIBDataSet*>(m_data))
            fib->DisableScrollEvents();
    }
    ~ControlsOff()
    {
        if (!m_data)
            return;
        m_data->EnableControls();
        if (auto* fib = dynamic_cast<TpFIBDataSet*>(m_data))
            fib->EnableScrollEvents();
    }
    ControlsOff(const ControlsOff&) = delete;
    ControlsOff& operator=(const ControlsOff&) = delete;

private:
    TDataSet* m_data;
};

} // namespace

std::string PrintFormsDir(const std::string& directory)
{
    return IncludeTrailingSlash(IncludeTrailingSlash(TfrPrintMenu::BaseFolder()) + Trim(directory));
}

std::string ReportCaption(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext)
{
    const auto slash = fileName.rfind('/');
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return fileName + ext;
    return fileName.substr(0, dot) + ext;
}

int CompareReportNames(const std::string& a, const std::string& b)
{
    return upperCase(a).compare(upperCase(b));
}

void LoadSideSort(TUserSort* sort, const std::string& reportPath)
{
    if (!sort)
        return;
    const std::string srt = ChangeFileExt(reportPath, ".srt");
    if (FileExists(srt))
        sort->LoadSortFromFile(srt);
}

std::string FieldVarName(const std::string& displayName, const std::string& prefix)
{
    std::string name = displayName;
    std::replace(name.begin(), name.end(), '|', ' ');
    return prefix.empty() ? name : prefix + " " + name;
}

// --- TpmDataSet

std::string TpmDataSet::DisplayName() const
{
    if (!m_dataSet)
        return {};
    if (m_dataSet->Owner() != m_menu->Owner() && m_dataSet->Owner())
        return m_dataSet->Owner()->Name() + "." + m_dataSet->Name();
    return m_dataSet->Name();
}

void TpmDataSet::SetDataSet(TDataSet* dataSet)
{
    if (m_dataSet == dataSet)
        return;
    m_dataSet = dataSet;
    if (dataSet)
        m_menu->FreeNotification(dataSet);
}

void TpmDataSet::Assign(const TpmDataSet& other)
{
    SetDataSet(other.m_dataSet);
    Section = other.Section;
    Prefix = other.Prefix;
    VisibleFields = other.VisibleFields;
}

TpmDataSet* TpmDataSetList::AddDataSet(TDataSet* dataSet, const std::string& section, const std::string& prefix,
                                       bool visibleFields)
{
    auto item = std::make_unique<TpmDataSet>(m_owner);
    item->SetDataSet(dataSet);
    item->Section = section;
    item->Prefix = prefix;
    item->VisibleFields = visibleFields;
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

TpmDataSet* TpmDataSetList::Find(const TDataSet* dataSet) const
{
    for (const auto& item : m_items)
        if (dataSet && item->DataSet() == dataSet)
            return item.get();
    return nullptr;
}

// --- TfrPrintMenu

TfrPrintMenu::TfrPrintMenu(TComponent* owner) : TComponent(owner) {}
TfrPrintMenu::~TfrPrintMenu() = default;
void TfrPrintMenu::SetReport(TfrReport* v) { ReplaceLink(m_report, v); }
void TfrPrintMenu::SetGrid(TDBGridEh* v) { ReplaceLink(m_grid, v); }
void TfrPrintMenu::SetUSort(TUserSort* v) { ReplaceLink(m_usort, v); }

void TfrPrintMenu::SetBaseFolder(const std::string& folder) { baseFolder() = folder; }

std::string TfrPrintMenu::BaseFolder()
{
    return baseFolder().empty() ? ProgramDir() + "PrintForms/" : baseFolder();
}

std::string TfrPrintMenu::FullDir() const { return PrintFormsDir(m_directory); }

void TfrPrintMenu::SetWizardHook(TWizardEvent hook) { wizardHook() = std::move(hook); }

void TfrPrintMenu::SetDuplicateWarningHook(std::function<void(const std::string&)> hook)
{
    duplicateHook() = std::move(hook);
}

void TfrPrintMenu::SetDirectory(const std::string& directory)
{
    if (directory == m_directory)
        return;
    m_directory = directory;
    if (m_loaded)
        CreateReportList();
}

void TfrPrintMenu::Loaded()
{
    m_loaded = true;
    CreateReportList();
}

void TfrPrintMenu::CreateReportList()
{
    m_files.clear();
    m_holder.reset();
    ForceDirectories(FullDir());
    CreateFileList(FullDir(), "*.frf", m_files);
    std::stable_sort(m_files.begin(), m_files.end(), [](const std::string& a, const std::string& b) {
        return CompareReportNames(ReportCaption(a), ReportCaption(b)) < 0;
    });
    m_holder = std::make_unique<TComponent>();
    if (m_menu)
        fillMenu(m_menu, false);
    if (m_menuDesign) {
        if (m_menuDesign->Count() > 0)
            NewMenuItem(m_holder.get(), m_menuDesign, "-");
        auto design = [this](TMenuItem* s) { DesignReport(s->Tag(), s->Tag() == -2); };
        NewMenuItem(m_holder.get(), m_menuDesign, "Новая печатная форма"_w, -1, design);
        NewMenuItem(m_holder.get(), m_menuDesign, "Мастер печатных форма"_w, -2, design);
        NewMenuItem(m_holder.get(), m_menuDesign, "-");
        fillMenu(m_menuDesign, true);
    }
    if (OnAfterReportList)
        OnAfterReportList(this);
}

void TfrPrintMenu::fillMenu(TMenuItem* parent, bool design)
{
    if (!design && parent->Count() > 0)
        NewMenuItem(m_holder.get(), parent, "-");
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        TMenuItem::TNotifyEvent click;
        if (design)
            click = [this](TMenuItem* s) { DesignReport(s->Tag(), s->Tag() == -2); };
        else
            click = [this](TMenuItem* s) { PrintReport(s->Tag()); };
        NewMenuItem(m_holder.get(), parent, ReportCaption(m_files[i]), static_cast<int>(i), std::move(click));
    }
}

void TfrPrintMenu::LinkComponents()
{
    if (TComponent* owner = Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (!m_report)
                if (auto* report = dynamic_cast<TfrReport*>(c))
                    SetReport(report);
            if (!m_grid)
                if (auto* grid = dynamic_cast<TDBGridEh*>(c))
                    SetGrid(grid);
        }
    if (!m_report)
        throw Exception(Format("%s: Не указано свойство Report"_w, {Name()}));
    m_mainDataSet = m_report->Dataset();
    if (!m_mainDataSet)
        throw Exception(Format("%s: Не указано свойство DataSet"_w, {m_report->Name()}));
    if (m_grid)
        WalkSelectedRows(*m_mainDataSet, m_grid);
}

TDataSet* TfrPrintMenu::GetMainDS() const { return m_mainDataSet ? m_mainDataSet->DataSet() : nullptr; }

std::string TfrPrintMenu::checkedPath(int index) const
{
    const std::string name = index >= 0 && index < static_cast<int>(m_files.size()) ? m_files[index] : std::string();
    const std::string path = FullDir() + name;
    if (name.empty() || !FileExists(path))
        throw Exception(Format("Не найден файл \"%s\""_w, {name}));
    return path;
}

void TfrPrintMenu::loadReport(int index)
{
    const std::string path = checkedPath(index);
    m_report->LoadFromFile(path);
    m_report->FileName = path;
    m_report->Title = ReportCaption(m_files[index]);
}

void TfrPrintMenu::postMain()
{
    TDataSet* main = GetMainDS();
    if (main && main->Active() && main->State() != dsBrowse)
        main->Post();
}

void TfrPrintMenu::loadSort(int index)
{
    if (m_usort && index >= 0)
        LoadSideSort(m_usort, FullDir() + m_files[index]);
}

void TfrPrintMenu::PrintReport(int Index)
{
    LinkComponents();
    loadReport(Index);
    if (OnBeforePrint)
        OnBeforePrint(this, Index);
    postMain();
    loadSort(Index);
    if (m_grid)
        m_grid->SelectedRows().Refresh();
    std::vector<TDataSet*> dataSets{GetMainDS()};
    for (int i = 0; i < m_dataSetList.Count(); ++i)
        if (TDataSet* d = m_dataSetList.GetDataSet(i)->DataSet(); d && d != GetMainDS())
            dataSets.push_back(d);
    ControlsOff off(GetMainDS());
    auto printable = frConvertForPrint(*m_report, Owner(), dataSets, m_grid);
    frxShowReport(*printable);
}

void TfrPrintMenu::resetVariables(int index)
{
    m_report->Variables.Clear();
    if (OnBeforeDesign)
        OnBeforeDesign(this, index);
    // The handler's variables follow the dataset categories.
    const TfrVariables added = m_report->Variables;
    m_report->Variables.Clear();
    CreateFieldList();
    for (int i = 0; i < added.Count(); ++i)
        m_report->Variables.SetVariable(added.Items(i).Name, added.Items(i).Value);
}

void TfrPrintMenu::DesignReport(int Index, bool Wizard)
{
    LinkComponents();
    TDesignRun run;
    run.Folder = FullDir();
    if (Index < 0) {
        m_report->Clear();
        m_report->FileName = "Untitled";
        m_report->Title.clear();
    } else {
        loadReport(Index);
    }
    resetVariables(Index);
    postMain();
    loadSort(Index);
    if (Wizard) {
        this->Wizard();
    } else {
        run.OnSave = [this, &run](bool saveAs) {
            std::string path = m_report->FileName;
            if (saveAs || path.empty() || path == "Untitled") {
                TFileDialogRequest request;
                request.Kind = fdSave;
                request.Filter = "Файлы отчета|*.frf|Все файлы |*.*"_w;
                request.FileName = ToSysPath(run.Folder);
                if (!ShowFileDialog(request))
                    return false;
                path = ChangeFileExt(FromSysPath(request.FileName), ".frf");
            }
            m_report->SaveToFile(path);
            m_report->FileName = path;
            return true;
        };
        run.OnPreview = [this] {
            auto printable = frConvertForPrint(*m_report, Owner(), {GetMainDS()}, m_grid);
            frxShowReport(*printable);
        };
        frDesignReport(*m_report, run);
    }
    CreateReportList();
}

void TfrPrintMenu::Wizard()
{
    if (wizardHook())
        wizardHook()(this);
}

void TfrPrintMenu::CreateFieldList()
{
    std::vector<TDataSet*> seen;
    for (int i = 0; i < m_dataSetList.Count();) {
        TDataSet* d = m_dataSetList.GetDataSet(i)->DataSet();
        if (!d || Trim(m_dataSetList.GetDataSet(i)->Section).empty() ||
            std::find(seen.begin(), seen.end(), d) != seen.end()) {
            m_dataSetList.Delete(i);
            continue;
        }
        seen.push_back(d);
        ++i;
    }
    if (TDataSet* main = GetMainDS(); main && std::find(seen.begin(), seen.end(), main) == seen.end())
        m_dataSetList.AddDataSet(main, " Строки таблицы"_w, "", true);

    std::vector<std::string> names;  // upper-cased, for the duplicate check
    for (int i = 0; i < m_dataSetList.Count(); ++i) {
        const TpmDataSet& item = *m_dataSetList.GetDataSet(i);
        m_report->Variables.SetVariable(" " + Trim(item.Section), "");
        const std::string display = item.DisplayName();
        const std::string q = display.empty() ? std::string() : display + ".";
        for (int f = 0; f < item.DataSet()->FieldCount(); ++f) {
            const TField* field = item.DataSet()->Fields(f);
            if (item.VisibleFields && !field->Visible())
                continue;
            const std::string name = FieldVarName(field->DisplayName(), item.Prefix);
            const std::string key = upperCase(name);
            if (std::find(names.begin(), names.end(), key) != names.end())
                warnDuplicate("Список переменных для печати - дубль "_w + q + name);
            else
                names.push_back(key);
            const std::string ref = q + "\"" + field->FieldName() + "\"";
            const std::string value = isNumberOrDate(field->DataType()) && !q.empty()
                                          ? "IF(FIELDISNULL(" + ref + "),Null, [" + ref + "])"
                                          : "[" + ref + "]";
            m_report->Variables.SetVariable(name, value);
        }
    }
}

void TfrPrintMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    for (int i = 0; i < m_dataSetList.Count(); ++i)
        if (m_dataSetList.GetDataSet(i)->m_dataSet == component)
            m_dataSetList.GetDataSet(i)->m_dataSet = nullptr;
    if (component == m_report) {
        m_report = nullptr;
        m_mainDataSet = nullptr;
    }
    if (component == m_grid)
        m_grid = nullptr;
    if (component == m_usort)
        m_usort = nullptr;
}

} // namespace lm
