// lmpack colors: the colour rules stored under a registry path applied to every row of a
// Firebird query ("<text>\t<font colour>\t<back colour>"), or a formula checked with CheckExpr.
#include <cstdio>
#include <string>
#include <vector>

#include "color/colorgrid.h"
#include "command.h"
#include "dbquery.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;

std::string colorName(TColor c)
{
    const int i = ColorIndex(c);
    return i >= 0 ? GetColorName(i) : std::to_string(c);
}

int runColors(const std::vector<std::string>& args)
{
    lmcli::DbQueryArgs dbArgs;
    std::string regPath, printField, check;
    bool haveRegPath = false, haveCheck = false, bad = false;
    for (size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (dbArgs.take(args, i, bad)) {
            continue;
        } else if (a == "--reg-path" && hasValue) {
            regPath = lmcli::textArg(args[++i], "--reg-path");
            haveRegPath = true;
        } else if (a == "--print" && hasValue) {
            printField = lmcli::textArg(args[++i], "--print");
        } else if (a == "--check" && hasValue) {
            check = lmcli::textArg(args[++i], "--check");
            haveCheck = true;
        } else {
            bad = true;
        }
    }
    if (bad || dbArgs.db.empty() || dbArgs.query.empty() || !haveRegPath)
        return lmcli::usageError("colors");

    try {
        lmcli::DbSession session(dbArgs, true);
        TpFIBDataSet& ds = session.DataSet();
        TField* shown = printField.empty() ? (ds.FieldCount() ? ds.Fields(0) : nullptr) : ds.FieldByName(printField);

        TColorGrid grid;
        grid.SetDataSet(&ds);
        grid.SetRegPath(regPath);
        if (haveCheck) {
            grid.CheckExpr(check);
            std::printf("ok\n");
            return 0;
        }
        grid.Load();
        for (ds.First(); !ds.Eof(); ds.Next()) {
            TColor font, back;
            grid.CalcColors(font, back);
            std::printf("%s\t%s\t%s\n", shown ? cp1251ToUtf8(shown->DisplayText()).c_str() : "", colorName(font).c_str(),
                        colorName(back).c_str());
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", lmcli::terminalText(e.Message()).c_str());
        return 1;
    }
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"colors",
     "lmpack colors --db DB --query SQL --reg-path PATH [--label FIELD=Label]... [--print FIELD]\n"
     "                                   per row \"<FIELD text>\\t<font colour>\\t<back colour>\"\n"
     "lmpack colors --db DB --query SQL --reg-path PATH --check FORMULA\n"
     "                                   \"ok\", or the check message",
     runColors});

} // namespace
