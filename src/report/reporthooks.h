// The windows the print menus open, installed by the host: the preview that shows a report and
// the designers that edit one. A host without windows (the command line) installs its own
// preview (a PDF file) and no designer.
#pragma once

#include <functional>
#include <string>

namespace lm {

class TfrReport;
class TfrxReport;

// What a designer run may do besides editing: save (the menu's save step, SaveAs asking for a
// name; returns whether the report was saved) and preview the report as it stands.
struct TDesignRun {
    std::string Folder;  // where a new report is saved
    std::function<bool(bool SaveAs)> OnSave;
    std::function<void()> OnPreview;
};

using TfrxShowHook = std::function<void(TfrxReport& report)>;
using TfrDesignHook = std::function<void(TfrReport& report, TDesignRun& run)>;
using TfrxDesignHook = std::function<void(TfrxReport& report, TDesignRun& run)>;

// Install a hook; an empty function removes it.
void SetReportShowHook(TfrxShowHook hook);
void SetFRDesignHook(TfrDesignHook hook);
void SetFRXDesignHook(TfrxDesignHook hook);

// Shows a report whose datasets are ready. Without a preview installed raises lm::Exception
// "Просмотр отчетов недоступен".
void frxShowReport(TfrxReport& report);
// Whether a version-2 designer is installed.
bool frDesignerInstalled();
// Run the designer. Without one installed raise lm::Exception "Дизайнер отчетов недоступен".
void frDesignReport(TfrReport& report, TDesignRun& run);
void frxDesignReport(TfrxReport& report, TDesignRun& run);

} // namespace lm
