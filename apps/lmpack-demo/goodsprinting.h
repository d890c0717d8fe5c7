// TGoodsPrinting: the goods screen's printing as a host form sets it up - the version-3 print
// menu over the "PrintForms/Goods" folder (reports open in the preview), the version-2 menu that
// carries the print wizard, their reports and report datasets over the goods, and the menu
// models the window shows.
#pragma once

#include <memory>
#include <string>

#include "util/component.h"

namespace lm {

class TfrDBDataSet;
class TfrPrintMenu;
class TfrReport;
class TfrxDBDataset;
class TfrxPrintMenu;
class TfrxReport;
class TGoodsData;
class TMenuItem;

class TGoodsPrinting {
public:
    // Prints `data`'s goods (as the dataset "Товары") from the report folder under `baseFolder`.
    TGoodsPrinting(TGoodsData& data, const std::string& baseFolder);
    ~TGoodsPrinting();

    // The print entries (one per report) and the design entries (new report, wizard, reports).
    TMenuItem& PrintMenu() { return *m_printRoot; }
    TMenuItem& DesignMenu() { return *m_designRoot; }
    TfrxPrintMenu& Menu() { return *m_menu; }
    TfrPrintMenu& WizardMenu() { return *m_menu2; }
    // The folder of the goods reports, ending in "/".
    std::string Folder() const;
    // Lists the folder again (after the wizard or the designer saved a report).
    void Refresh();

private:
    TComponent m_form;
    TMenuItem* m_printRoot;
    TMenuItem* m_designRoot;
    TfrDBDataSet* m_frData;
    TfrReport* m_report2;
    TfrxDBDataset* m_frxData;
    TfrxReport* m_report;
    TfrPrintMenu* m_menu2;
    TfrxPrintMenu* m_menu;
};

} // namespace lm
