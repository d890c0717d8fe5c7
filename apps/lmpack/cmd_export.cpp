// lmpack export: a grid over a Firebird query's dataset exported through the grid export of
// either back end (xlsx or ods), saved to OUT.
#include <cstdio>
#include <string>
#include <vector>

#include "app/hooks.h"
#include "command.h"
#include "export/excelexport.h"
#include "export/opoffice.h"
#include "host/datasource.h"
#include "host/gridmodel.h"
#include "querysource.h"
#include "termprogress.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;
using lmcli::QuerySource;

int runExport(const std::vector<std::string>& args)
{
    std::string dbName, sql, out, title, sheet = "Лист1"_w;
    std::vector<std::pair<std::string, std::string>> labels;
    bool ods = false, haveFormat = false, multiHeader = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--db" && hasValue) {
            dbName = args[++i];
        } else if (a == "--query" && hasValue) {
            sql = utf8ToCp1251(args[++i]);
        } else if ((a == "--xlsx" || a == "--ods") && hasValue && !haveFormat) {
            ods = a == "--ods";
            haveFormat = true;
            out = utf8ToCp1251(args[++i]);
        } else if (a == "--title" && hasValue) {
            title = utf8ToCp1251(args[++i]);
        } else if (a == "--sheet" && hasValue) {
            sheet = utf8ToCp1251(args[++i]);
        } else if (a == "--multiheader") {
            multiHeader = true;
        } else if (a == "--label" && hasValue) {
            const std::string label = utf8ToCp1251(args[++i]);
            const size_t eq = label.find('=');
            if (eq == std::string::npos || eq == 0)
                return lmcli::usageError("export");
            labels.emplace_back(label.substr(0, eq), label.substr(eq + 1));
        } else {
            return lmcli::usageError("export");
        }
    }
    if (dbName.empty() || sql.empty() || !haveFormat || out.empty())
        return lmcli::usageError("export");

    QuerySource query(dbName, sql, true);
    TpFIBDataSet& ds = query.ds;
    for (const auto& [name, label] : labels)
        ds.FieldByName(name)->SetDisplayLabel(label);
    TDataSource source;
    source.SetDataSet(&ds);
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
