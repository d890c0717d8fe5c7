// lmpack wizard: the print wizard without a window — its lists loaded from a settings file over
// a query's grid, the report generated as "Создать отчет" does and saved with its side files.
#include <string>
#include <vector>

#include "command.h"
#include "printhost.h"
#include "report/frprintmenu.h"
#include "report/printwizard.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/strs_files.h"

namespace {

using namespace lm;

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

int runWizard(const std::vector<std::string>& args)
{
    lmcli::DbQueryArgs dbArgs;
    std::string settings, out;
    bool bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        if (dbArgs.take(args, i, bad))
            continue;
        if (i + 1 >= args.size())
            bad = true;
        else if (args[i] == "--settings")
            settings = lmcli::textArg(args[++i], "--settings");
        else if (args[i] == "--out")
            out = lmcli::textArg(args[++i], "--out");
        else
            bad = true;
    }
    if (bad || dbArgs.db.empty() || dbArgs.query.empty() || settings.empty() || out.empty())
        return lmcli::usageError("wizard");

    lmcli::PrintHost host(dbArgs, folderOf(out));
    bool created = false;
    TfrPrintMenu::SetWizardHook([&](TfrPrintMenu* menu) {
        TPrintWizard wizard(*menu);
        wizard.LoadFormFromXML(settings);
        created = wizard.CreateReport();
        if (created)
            wizard.SaveReport(out);
    });
    host.menu2->DesignReport(-2, true);
    TfrPrintMenu::SetWizardHook({});
    if (!created)
        throw Exception("Отчет не создан"_w);
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"wizard",
     "lmpack wizard --db DB --query SQL --settings FILE.wzd.xml --out REPORT.frf [--label F=L]...\n"
     "                                   the print wizard without a window",
     runWizard});

} // namespace
