// lmpack export: a grid over a Firebird query's dataset exported through the grid export of
// either back end (xlsx or ods), saved to OUT.
#include <cstdio>
#include <string>
#include <vector>

#include "app/hooks.h"
#include "command.h"
#include "dbquery.h"
#include "export/excelexport.h"
#include "export/opoffice.h"
#include "host/datasource.h"
#include "host/gridmodel.h"
#include "termprogress.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;

int runExport(const std::vector<std::string>& args)
{
    lmcli::DbQueryArgs dbArgs;
    std::string out, title, sheet = "Лист1"_w;
    bool ods = false, haveFormat = false, multiHeader = false, bad = false;
    for (size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (dbArgs.take(args, i, bad)) {
            continue;
        } else if ((a == "--xlsx" || a == "--ods") && hasValue && !haveFormat) {
            ods = a == "--ods";
            haveFormat = true;
            out = lmcli::textArg(args[++i], "OUT");
        } else if (a == "--title" && hasValue) {
            title = lmcli::textArg(args[++i], "--title");
        } else if (a == "--sheet" && hasValue) {
            sheet = lmcli::textArg(args[++i], "--sheet");
        } else if (a == "--multiheader") {
            multiHeader = true;
        } else {
            bad = true;
        }
    }
    if (bad || dbArgs.db.empty() || dbArgs.query.empty() || !haveFormat || out.empty())
        return lmcli::usageError("export");

    lmcli::DbSession session(dbArgs, true);
    TDataSource source;
    source.SetDataSet(&session.DataSet());
    TDBGridEh grid;
    grid.SetDataSource(&source);

    lmcli::InstallTerminalProgress();
    if (!ods) {
        ExcelCopyGridDDE(&grid, sheet, title, out, multiHeader);
        return 0;
    }
    // The Calc-style export reports its errors through the message box: here, on stderr.
    std::string error;
    SetMessageBoxHook([&](const std::string& text, const std::string&, int) {
        error = text;
        return IDOK;
    });
    const bool ok = OpExcelOleCopyGrideh(&grid, nullptr, title, sheet, multiHeader, std::string(), true, true, true, false,
                                         std::string(), out, true, false, 0);
    SetMessageBoxHook(nullptr);
    if (!ok)
        std::fprintf(stderr, "%s\n", cp1251ToUtf8(error).c_str());
    return ok ? 0 : 1;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"export",
     "lmpack export --db DB --query SQL (--xlsx|--ods) OUT [--title T] [--sheet S] [--multiheader]\n"
     "              [--label FIELD=Label]...\n"
     "                                   export the query's grid to a workbook",
     runExport});

} // namespace
