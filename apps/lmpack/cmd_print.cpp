// lmpack print: the print menu over a query's grid and a report folder — its entries, or one
// entry printed to PDF with only the chosen records selected in the grid.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "host/gridmodel.h"
#include "printhost.h"
#include "report/frprintmenu.h"
#include "report/frxprintmenu.h"
#include "report/frxreport.h"
#include "report/menuitem.h"
#include "report/reporthooks.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/filefunc.h"
#include "util/sysutils.h"
#ifdef LMPACK_REPORT_PDF
#include "report/ui/frxpdfprint.h"
#endif

namespace {

using namespace lm;

// The 1-based record numbers of "N,N,..."; false for anything else.
bool parseRows(const std::string& text, std::vector<int>& rows)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        int n = 0;
        if (!TryStrToInt(text.substr(start, end - start), n) || n < 1)
            return false;
        rows.push_back(n);
        start = end + 1;
    }
    return !rows.empty();
}

int runPrint(const std::vector<std::string>& args)
{
    lmcli::DbQueryArgs dbArgs;
    std::string forms, name, pdf, rowsText;
    bool list = false, bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        if (dbArgs.take(args, i, bad))
            continue;
        if (args[i] == "--list") {
            list = true;
            continue;
        }
        if (i + 1 >= args.size())
            bad = true;
        else if (args[i] == "--forms")
            forms = lmcli::textArg(args[++i], "--forms");
        else if (args[i] == "--report")
            name = lmcli::textArg(args[++i], "--report");
        else if (args[i] == "--pdf")
            pdf = args[++i];
        else if (args[i] == "--rows")
            rowsText = args[++i];
        else
            bad = true;
    }
    std::vector<int> rows;
    if (bad || dbArgs.db.empty() || dbArgs.query.empty() || forms.empty() || list == !name.empty() ||
        (!name.empty() && pdf.empty()) || (list && (!pdf.empty() || !rowsText.empty())) ||
        (!rowsText.empty() && !parseRows(rowsText, rows)))
        return lmcli::usageError("print");

    // a mistyped folder would otherwise list an empty menu as if all were well
    if (!DirectoryExists(forms))
        throw Exception(Format("Папка %s не найдена"_w, {forms}));
    lmcli::PrintHost host(dbArgs, forms);
    TMenuItem menu, design;
    host.menu->SetMenu(&menu);
    host.menu->Loaded();
    const auto& files = host.menu->FileList();
    if (list) {
        for (int i = 0; i < menu.Count(); ++i)
            std::printf("%s\t%s\n", lmcli::toTerminal(menu.Items(i)->Caption()).c_str(),
                        lmcli::toTerminal(files.at(menu.Items(i)->Tag())).c_str());
        return 0;
    }
    TMenuItem* entry = nullptr;
    for (int i = 0; i < menu.Count() && !entry; ++i)
        if (upperCase(menu.Items(i)->Caption()) == upperCase(name) ||
            upperCase(files.at(menu.Items(i)->Tag())) == upperCase(name))
            entry = menu.Items(i);
    if (!entry)
        throw Exception(Format("Нет печатной формы \"%s\""_w, {name}));
    for (int n : rows) {
        if (n > host.data->RecordCount())
            throw Exception(Format("Нет записи %d"_w, {n}));
        host.data->SetRecNo(n);
        host.grid->SelectedRows().SetCurrentRowSelected(true);
    }
#ifdef LMPACK_REPORT_PDF
    SetReportShowHook([&](TfrxReport& report) { frxPrintToPdf(report, pdf); });
    entry->Click();
    SetReportShowHook({});
    return 0;
#else
    throw Exception("PDF output is not built into this lmpack (no Qt)");
#endif
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"print",
     "lmpack print --db DB --query SQL --forms DIR [--label F=L]... (--list | --report NAME --pdf OUT\n"
     "             [--rows N,N,...])     the print menu: its entries, or one printed to PDF",
     runPrint});

} // namespace
