// The version-3 print menu: menus over .fr3 and .frf files, printing, designing with conversion
// of old reports, the variable catalogue and the field aliases.
#include "report/frxprintmenu.h"

#include <algorithm>

#include "app/hooks.h"
#include "db/fibdataset.h"
#include "filter/usersort.h"
#include "host/dataset.h"
#include "host/field.h"
#include "host/gridmodel.h"
#include "report/fr2print.h"
#include "report/frdbdataset.h"
#include "report/frmodel.h"
#include "report/frprintmenu.h"
#include "report/frxclasses.h"
#include "report/frxreport.h"
#include "report/menuitem.h"
#include "report/printrows.h"
#include "report/repfixup3.h"
#include "report/reporthooks.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/sysutils.h"

namespace lm {

namespace {

const char* const kAliasesMemo = "Memo_DataSetsAliases";

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        from = end + 1;
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

} // namespace

TfrxPrintMenu::TfrxPrintMenu(TComponent* owner) : TComponent(owner) {}
TfrxPrintMenu::~TfrxPrintMenu() = default;
void TfrxPrintMenu::SetReport(TfrxReport* v) { ReplaceLink(m_report, v); }
void TfrxPrintMenu::SetGrid(TDBGridEh* v) { ReplaceLink(m_grid, v); }
void TfrxPrintMenu::SetUSort(TUserSort* v) { ReplaceLink(m_usort, v); }
void TfrxPrintMenu::SetReport2(TfrReport* v) { ReplaceLink(m_report2, v); }

bool TfrxPrintMenu::IsOldRep(const std::string& FileName)
{
    const auto dot = FileName.rfind('.');
    return dot != std::string::npos && upperCase(FileName.substr(dot)) == ".FRF";
}

std::string TfrxPrintMenu::FullDir() const { return PrintFormsDir(m_directory); }

void TfrxPrintMenu::SetDirectory(const std::string& directory)
{
    if (directory == m_directory)
        return;
    m_directory = directory;
    if (m_loaded)
        CreateReportList();
}

void TfrxPrintMenu::SetMainDataSet(TfrxDBDataset* data) { ReplaceLink(m_mainDataSet, data); }

void TfrxPrintMenu::Loaded()
{
    m_loaded = true;
    CreateReportList();
}

void TfrxPrintMenu::CreateReportList()
{
    m_files.clear();
    m_holder.reset();
    ForceDirectories(FullDir());
    CreateFileList(FullDir(), "*.fr3", m_files);
    CreateFileList(FullDir(), "*.frf", m_files);
    std::stable_sort(m_files.begin(), m_files.end(),
                     [](const std::string& a, const std::string& b) { return CompareReportNames(a, b) < 0; });
    // A report kept in both formats: the .fr3 file sorts first and stays.
    for (std::size_t i = m_files.size(); i-- > 1;)
        if (CompareReportNames(ReportCaption(m_files[i]), ReportCaption(m_files[i - 1])) == 0)
            m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(i));
    std::stable_sort(m_files.begin(), m_files.end(), [](const std::string& a, const std::string& b) {
        return CompareReportNames(ReportCaption(a), ReportCaption(b)) < 0;
    });
    m_holder = std::make_unique<TComponent>();
    if (m_menu) {
        if (m_menu->Count() > 0)
            NewMenuItem(m_holder.get(), m_menu, "-");
        for (std::size_t i = 0; i < m_files.size(); ++i)
            NewMenuItem(m_holder.get(), m_menu, ReportCaption(m_files[i]), static_cast<int>(i),
                        [this](TMenuItem* s) { PrintReport(s->Tag(), false); });
    }
    if (m_menuDesign) {
        auto design = [this](TMenuItem* s) { DesignReport(s->Tag()); };
        if (m_menuDesign->Count() > 0)
            NewMenuItem(m_holder.get(), m_menuDesign, "-");
        NewMenuItem(m_holder.get(), m_menuDesign, "Новая печатная форма"_w, -1, design);
        NewMenuItem(m_holder.get(), m_menuDesign, "-");
        for (std::size_t i = 0; i < m_files.size(); ++i)
            NewMenuItem(m_holder.get(), m_menuDesign, IsOldRep(m_files[i]) ? m_files[i] : ReportCaption(m_files[i]),
                        static_cast<int>(i), design);
    }
    if (OnAfterReportList)
        OnAfterReportList(this);
}

void TfrxPrintMenu::LinkComponents()
{
    if (TComponent* owner = Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (!m_report)
                if (auto* report = dynamic_cast<TfrxReport*>(c))
                    SetReport(report);
            if (!m_report2)
                if (auto* report = dynamic_cast<TfrReport*>(c))
                    SetReport2(report);
        }
    if (!m_report)
        throw Exception(Format("%s: Не указано свойство Report"_w, {Name()}));
}

TDataSet* TfrxPrintMenu::GetMainDS() const { return m_mainDataSet ? m_mainDataSet->DataSet() : nullptr; }

std::string TfrxPrintMenu::checkedPath(int index) const
{
    const std::string name = index >= 0 && index < static_cast<int>(m_files.size()) ? m_files[index] : std::string();
    const std::string path = FullDir() + name;
    if (name.empty() || !FileExists(path))
        throw Exception(Format("Не найден файл \"%s\""_w, {path}));
    return path;
}

void TfrxPrintMenu::DoSort(const std::string& FileName) { LoadSideSort(m_usort, FileName); }

void TfrxPrintMenu::PrepareMainDS()
{
    ++m_prepared;
    if (TDataSet* main = GetMainDS()) {
        if (main->State() == dsEdit || main->State() == dsInsert)
            main->Post();
        main->DisableControls();
        if (auto* fib = dynamic_cast<TpFIBDataSet*>(main))
            fib->DisableScrollEvents();
    }
    if (!m_grid)
        return;
    m_grid->SelectedRows().Refresh();
    if (m_mainDataSet && !m_mainDataSet->OnCheckEOF)
        WalkSelectedRows(*m_mainDataSet, m_grid);
    if (m_report2 && m_report2->Dataset())
        WalkSelectedRows(*m_report2->Dataset(), m_grid);
}

void TfrxPrintMenu::ReleaseMainDS()
{
    if (m_prepared == 0)
        return;
    --m_prepared;
    if (TDataSet* main = GetMainDS()) {
        main->EnableControls();
        if (auto* fib = dynamic_cast<TpFIBDataSet*>(main))
            fib->EnableScrollEvents();
    }
}

void TfrxPrintMenu::PrepareDataSets(bool /*InDesigner*/)
{
    TComponent* owner = Owner();
    if (!owner)
        return;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* ds = dynamic_cast<TfrxDBDataset*>(owner->Components(i))) {
            m_report->AddDataSet(ds);
            if (ds->DataSet())
                FillAliases(*ds);
        }
}

void TfrxPrintMenu::FillAliases(TfrxDBDataset& DataSet)
{
    TDataSet* data = DataSet.DataSet();
    std::vector<std::string> aliases, used;
    for (bool visible : {true, false})
        for (int i = 0; i < data->FieldCount(); ++i) {
            const TField* f = data->Fields(i);
            if (f->Visible() != visible)
                continue;
            std::string alias = f->DisplayLabel();
            std::replace(alias.begin(), alias.end(), '|', ' ');
            const std::string key = upperCase(alias);
            if (!visible && std::find(used.begin(), used.end(), key) != used.end())
                alias = f->FieldName();
            aliases.push_back(f->FieldName() + "=" + alias);
            used.push_back(upperCase(alias));
        }
    DataSet.SetFieldAliases(std::move(aliases));
}

void TfrxPrintMenu::SaveAliases()
{
    auto* memo = dynamic_cast<TfrxMemoView*>(m_report->FindObject(kAliasesMemo));
    if (!memo) {
        TfrxComponent* data = m_report->FindObject("Data");
        if (!data) {
            data = m_report->Add(frxCreateComponent("TfrxDataPage"));
            data->SetName("Data");
        }
        memo = static_cast<TfrxMemoView*>(data->Add(std::make_unique<TfrxMemoView>()));
        memo->SetName(kAliasesMemo);
        memo->SetBounds(10, 10, 160, 16);
    }
    std::string text;
    for (TfrxDBDataset* ds : m_report->DataSets()) {
        text += " " + ds->UserName() + "\r\n";
        for (const std::string& line : ds->FieldAliases())
            text += line + "\r\n";
    }
    memo->SetText(text);
}

void TfrxPrintMenu::LoadAliases()
{
    const auto* memo = dynamic_cast<const TfrxMemoView*>(m_report->FindObject(kAliasesMemo));
    if (!memo)
        return;
    const std::vector<std::string> lines = splitLines(memo->Text());
    for (TfrxDBDataset* ds : m_report->DataSets()) {
        const auto head = std::find(lines.begin(), lines.end(), " " + ds->UserName());
        if (head == lines.end())
            continue;
        std::vector<std::string> aliases;
        for (auto it = head + 1; it != lines.end() && !(!it->empty() && (*it)[0] == ' '); ++it)
            aliases.push_back(*it);
        ds->SetFieldAliases(std::move(aliases));
    }
}

void TfrxPrintMenu::UpdateVarValues()
{
    for (const TfrxVariable& v : m_catVars.Items()) {
        auto it = std::find_if(m_report->Variables.begin(), m_report->Variables.end(),
                               [&](const TfrxVariable& r) { return upperCase(r.Name) == upperCase(v.Name); });
        if (it != m_report->Variables.end())
            it->Value = v.Value;
        else
            m_report->Variables.push_back(v);
    }
}

void TfrxPrintMenu::UpdateVarList()
{
    TfrxCatVars result = m_catVars;
    std::string category;
    for (const TfrxVariable& v : m_report->Variables) {
        const bool heading = !v.Name.empty() && v.Name[0] == ' ';
        if (heading) {
            if (result.GetVariable(v.Name).empty() &&
                std::none_of(result.Items().begin(), result.Items().end(),
                             [&](const TfrxVariable& r) { return upperCase(r.Name) == upperCase(v.Name); }))
                result.SetVariable(v.Name, v.Value);
            category = v.Name.substr(1);
            continue;
        }
        if (category.empty())
            continue;  // variables before the first category are dropped
        if (std::none_of(result.Items().begin(), result.Items().end(),
                         [&](const TfrxVariable& r) { return upperCase(r.Name) == upperCase(v.Name); }))
            result.AddVariable(category, v.Name, v.Value);
    }
    m_report->Variables = result.Items();
}

void TfrxPrintMenu::PrintReport(int Index, bool PrepareOnly)
{
    LinkComponents();
    const std::string path = checkedPath(Index);
    const bool old = IsOldRep(path);
    if (old) {
        if (!m_report2)
            throw Exception("TfrxPrintMenu: Не найден компонент типа TfrReport - \"старый\" отчет."_w);
        m_report2->LoadFromFile(path);
        m_report2->Title = ReportCaption(m_files[Index]);
    } else {
        m_report->LoadFromFile(path);
    }
    PrepareDataSets(false);
    m_catVars.Clear();
    struct Release {
        TfrxPrintMenu* menu;
        ~Release() { menu->ReleaseMainDS(); }
    } release{this};
    if (OnBeforePrint)
        OnBeforePrint(this, Index, false);
    PrepareMainDS();
    DoSort(path);
    if (old) {
        for (const TfrxVariable& v : m_catVars.Items())
            m_report2->Variables.SetVariable(v.Name, v.Value);
        auto printable = frConvertForPrint(*m_report2, Owner(), {GetMainDS()}, m_grid);
        if (!PrepareOnly)
            frxShowReport(*printable);
    } else {
        LoadAliases();
        UpdateVarValues();
        if (!PrepareOnly)
            frxShowReport(*m_report);
    }
}

bool TfrxPrintMenu::OnSaveReport(bool SaveAs)
{
    const bool larger = m_catVars.Count() > static_cast<int>(m_report->Variables.size());
    if (larger)
        PrepareDataSets(true);
    SaveAliases();
    if (larger)
        UpdateVarList();
    std::string path = m_report->FileName;
    if (SaveAs || path.empty()) {
        TFileDialogRequest request;
        request.Kind = fdSave;
        request.Filter = "Файлы отчета|*.fr3|Все файлы |*.*"_w;
        request.FileName = ToSysPath(path.empty() ? m_newFolder : path);
        if (!ShowFileDialog(request))
            return false;
        path = ChangeFileExt(FromSysPath(request.FileName), ".fr3");
    }
    m_report->SaveToFile(path);
    m_report->FileName = path;
    return true;
}

void TfrxPrintMenu::DesignReport(int Index)
{
    LinkComponents();
    std::string path;
    m_newFolder = FullDir();
    if (Index >= 0) {
        path = checkedPath(Index);
        m_report->LoadFromFile(path);
    } else {
        m_report->Clear();
        m_report->FileName.clear();
    }
    const bool old = Index >= 0 && IsOldRep(path);
    m_catVars.Clear();
    {
        struct Release {
            TfrxPrintMenu* menu;
            ~Release() { menu->ReleaseMainDS(); }
        } release{this};
        if (OnBeforePrint)
            OnBeforePrint(this, Index, true);
        PrepareDataSets(true);
        if (old) {
            UpdateVarValues();
            ConvertReport(*m_report, m_mainDataSet);
            m_report->Variables.clear();
            m_report->FileName = ChangeFileExt(path, ".fr3");
        }
        UpdateVarList();
        PrepareMainDS();
        if (!path.empty())
            DoSort(path);
        TDesignRun run;
        run.Folder = m_newFolder;
        run.OnSave = [this](bool saveAs) { return OnSaveReport(saveAs); };
        run.OnPreview = [this] {
            LoadAliases();
            frxShowReport(*m_report);
        };
        frxDesignReport(*m_report, run);
    }
    CreateReportList();
}

void TfrxPrintMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == m_report) m_report = nullptr;
    if (component == m_report2) m_report2 = nullptr;
    if (component == m_grid) m_grid = nullptr;
    if (component == m_usort) m_usort = nullptr;
    if (component == m_mainDataSet) m_mainDataSet = nullptr;
}

} // namespace lm
