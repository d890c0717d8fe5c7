// TfrxPrintMenu: the print and design menus over a folder of version-3 (.fr3) and old
// version-2 (.frf) reports. Old reports print unchanged through the version-2 report; designing
// one converts it, fixes it up and saves it beside the old file as ".fr3". Keeps the variable
// catalogue that the host fills before each run, the field aliases of the form's datasets and
// the user-edited aliases stored inside the report.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/frxcatvars.h"
#include "util/component.h"

namespace lm {

class TDataSet;
class TDBGridEh;
class TfrReport;
class TfrxDBDataset;
class TfrxReport;
class TMenuItem;
class TUserSort;

class TfrxPrintMenu : public TComponent {
public:
    using TfrxBeforePrintEvent = std::function<void(TfrxPrintMenu* Sender, int ReportIndex, bool InDesigner)>;
    using TfrxPrintMenuEvent = std::function<void(TfrxPrintMenu* Sender)>;

    explicit TfrxPrintMenu(TComponent* owner = nullptr);
    ~TfrxPrintMenu() override;

    TfrxReport* Report() const { return m_report; }
    void SetReport(TfrxReport* v);
    TMenuItem* Menu() const { return m_menu; }
    void SetMenu(TMenuItem* menu) { m_menu = menu; }
    TMenuItem* MenuDesign() const { return m_menuDesign; }
    void SetMenuDesign(TMenuItem* menu) { m_menuDesign = menu; }
    const std::string& Directory() const { return m_directory; }
    void SetDirectory(const std::string& directory);
    TDBGridEh* Grid() const { return m_grid; }
    void SetGrid(TDBGridEh* v);
    TUserSort* USort() const { return m_usort; }
    void SetUSort(TUserSort* v);
    TfrxDBDataset* MainDataSet() const { return m_mainDataSet; }
    void SetMainDataSet(TfrxDBDataset* data);
    TfrReport* Report2() const { return m_report2; }
    void SetReport2(TfrReport* v);
    TfrxCatVars& CatVars() { return m_catVars; }

    TfrxBeforePrintEvent OnBeforePrint;
    TfrxPrintMenuEvent OnAfterReportList;

    std::string FullDir() const;
    const std::vector<std::string>& FileList() const { return m_files; }
    static bool IsOldRep(const std::string& FileName);

    void Loaded();
    void CreateReportList();
    // PrepareOnly: everything but showing the report.
    void PrintReport(int Index, bool PrepareOnly = false);
    void DesignReport(int Index);
    void LinkComponents();
    TDataSet* GetMainDS() const;
    void DoSort(const std::string& FileName);
    void PrepareMainDS();
    void ReleaseMainDS();
    void PrepareDataSets(bool InDesigner);
    void FillAliases(TfrxDBDataset& DataSet);
    void SaveAliases();
    void LoadAliases();
    void UpdateVarList();
    void UpdateVarValues();
    // The designer's save step: aliases (and variables) kept in the report, then saved under
    // its file name (asking for one when SaveAs or when it has none). Returns whether saved.
    bool OnSaveReport(bool SaveAs);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::string checkedPath(int index) const;

    TfrxReport* m_report = nullptr;
    TfrReport* m_report2 = nullptr;
    TMenuItem* m_menu = nullptr;
    TMenuItem* m_menuDesign = nullptr;
    TDBGridEh* m_grid = nullptr;
    TUserSort* m_usort = nullptr;
    TfrxDBDataset* m_mainDataSet = nullptr;
    std::string m_directory;
    std::vector<std::string> m_files;
    std::unique_ptr<TComponent> m_holder;
    TfrxCatVars m_catVars;
    std::string m_newFolder;  // where a new report is saved
    int m_prepared = 0;       // PrepareMainDS calls not yet released
    bool m_loaded = false;
};

} // namespace lm
