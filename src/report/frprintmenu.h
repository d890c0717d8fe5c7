// TfrPrintMenu: the print and design menus over a folder of version-2 report files, printing
// through the host's TfrReport (only the grid's selected rows when there are any) and filling
// the report's variables with the fields of the registered datasets before designing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "util/component.h"

namespace lm {

class TDataSet;
class TDBGridEh;
class TfrDBDataSet;
class TfrPrintMenu;
class TfrReport;
class TMenuItem;
class TUserSort;

// One dataset whose fields become report variables under the category Section.
class TpmDataSet {
public:
    explicit TpmDataSet(TfrPrintMenu* menu) : m_menu(menu) {}
    // The dataset's Name, qualified by its owner's name when that is not the print menu's owner;
    // empty without a dataset.
    std::string DisplayName() const;
    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet);
    std::string Section;
    std::string Prefix;
    bool VisibleFields = true;
    void Assign(const TpmDataSet& other);

private:
    friend class TfrPrintMenu;
    TfrPrintMenu* m_menu;
    TDataSet* m_dataSet = nullptr;
};

class TpmDataSetList {
public:
    explicit TpmDataSetList(TfrPrintMenu* owner) : m_owner(owner) {}
    TfrPrintMenu* Owner() const { return m_owner; }
    int Count() const { return static_cast<int>(m_items.size()); }
    TpmDataSet* GetDataSet(int index) const { return m_items.at(index).get(); }
    void SetDataSet(int index, const TpmDataSet& value) { m_items.at(index)->Assign(value); }
    TpmDataSet* AddDataSet(TDataSet* dataSet, const std::string& section, const std::string& prefix,
                           bool visibleFields);
    void Delete(int index) { m_items.erase(m_items.begin() + index); }
    // The first item of that dataset, or null.
    TpmDataSet* Find(const TDataSet* dataSet) const;

private:
    TfrPrintMenu* m_owner;
    std::vector<std::unique_ptr<TpmDataSet>> m_items;
};

class TfrPrintMenu : public TComponent {
public:
    using TfrBeforeEvent = std::function<void(TfrPrintMenu* Sender, int ReportIndex)>;
    using TfrPrintMenuEvent = std::function<void(TfrPrintMenu* Sender)>;
    using TWizardEvent = std::function<void(TfrPrintMenu* Sender)>;

    explicit TfrPrintMenu(TComponent* owner = nullptr);
    ~TfrPrintMenu() override;

    TfrReport* Report() const { return m_report; }
    void SetReport(TfrReport* v);
    TMenuItem* Menu() const { return m_menu; }
    void SetMenu(TMenuItem* menu) { m_menu = menu; }
    TMenuItem* MenuDesign() const { return m_menuDesign; }
    void SetMenuDesign(TMenuItem* menu) { m_menuDesign = menu; }
    const std::string& Directory() const { return m_directory; }
    // A different value rebuilds the menus (once the component is loaded).
    void SetDirectory(const std::string& directory);
    TDBGridEh* Grid() const { return m_grid; }
    void SetGrid(TDBGridEh* v);
    TUserSort* USort() const { return m_usort; }
    void SetUSort(TUserSort* v);
    TpmDataSetList& DataSetList() { return m_dataSetList; }

    TfrBeforeEvent OnBeforePrint;
    TfrBeforeEvent OnBeforeDesign;
    TfrPrintMenuEvent OnAfterReportList;

    // The folder the reports live in; by default "PrintForms" beside the program. A host may
    // give another base folder (the menus then list that folder's Directory).
    static void SetBaseFolder(const std::string& folder);
    static std::string BaseFolder();
    // The report folder, with a trailing "/".
    std::string FullDir() const;
    // The bare names of the listed report files, in menu order.
    const std::vector<std::string>& FileList() const { return m_files; }

    // Marks the component as loaded and builds the menus.
    void Loaded();
    void CreateReportList();
    void PrintReport(int Index);
    // Index -1: a new report; -2 with Wizard: the print wizard on an empty report.
    void DesignReport(int Index, bool Wizard);
    void CreateFieldList();
    // Runs the print wizard (installed by the host; nothing without one).
    void Wizard();
    void LinkComponents();
    TDataSet* GetMainDS() const;
    TfrDBDataSet* MainDataSet() const { return m_mainDataSet; }

    // The print wizard's window, installed by the widgets.
    static void SetWizardHook(TWizardEvent hook);
    // The warning of a duplicate variable name (a message box by default).
    static void SetDuplicateWarningHook(std::function<void(const std::string& text)> hook);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void fillMenu(TMenuItem* parent, bool design);
    std::string checkedPath(int index) const;
    void loadReport(int index);
    void postMain();
    void loadSort(int index);
    void resetVariables(int index);

    TfrReport* m_report = nullptr;
    TMenuItem* m_menu = nullptr;
    TMenuItem* m_menuDesign = nullptr;
    TDBGridEh* m_grid = nullptr;
    TUserSort* m_usort = nullptr;
    TfrDBDataSet* m_mainDataSet = nullptr;
    std::string m_directory;
    TpmDataSetList m_dataSetList{this};
    std::vector<std::string> m_files;
    std::unique_ptr<TComponent> m_holder;
    bool m_loaded = false;
};

// The report folder beneath `base` for `directory`: base + "PrintForms/" + directory, with a
// trailing "/" (shared with the version-3 menu).
std::string PrintFormsDir(const std::string& directory);
// The name without its extension, as the menus show it.
std::string ReportCaption(const std::string& fileName);
// The name with its extension replaced by `ext` (".srt").
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
// Case-insensitive comparison of two names in the code page's letter order.
int CompareReportNames(const std::string& a, const std::string& b);
// Loads the ".srt" file beside the report into the sort, when both exist.
void LoadSideSort(TUserSort* sort, const std::string& reportPath);
// The builder of the version-2 report's variables for one item (exposed for the wizard): the
// variable name of a field of that item.
std::string FieldVarName(const std::string& displayName, const std::string& prefix);

} // namespace lm
