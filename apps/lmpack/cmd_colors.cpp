// lmpack colors: the colour rules stored under a registry path applied to every row of a
// Firebird query ("<text>\t<font colour>\t<back colour>"), or a formula checked with CheckExpr.
#include <cstdio>
#include <string>
#include <vector>

#include "color/colorgrid.h"
#include "command.h"
#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"
#include "host/field.h"
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
    std::string dbName, query, regPath, printField, check;
    bool haveRegPath = false, haveCheck = false;
    std::vector<std::pair<std::string, std::string>> labels;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--db" && hasValue) {
            dbName = args[++i];
        } else if (a == "--query" && hasValue) {
            query = utf8ToCp1251(args[++i]);
        } else if (a == "--reg-path" && hasValue) {
            regPath = utf8ToCp1251(args[++i]);
            haveRegPath = true;
        } else if (a == "--label" && hasValue) {
            const std::string labelArg = utf8ToCp1251(args[++i]);
            const size_t eq = labelArg.find('=');
            if (eq == std::string::npos || eq == 0)
                return lmcli::usageError("colors");
            labels.emplace_back(labelArg.substr(0, eq), labelArg.substr(eq + 1));
        } else if (a == "--print" && hasValue) {
            printField = utf8ToCp1251(args[++i]);
        } else if (a == "--check" && hasValue) {
            check = utf8ToCp1251(args[++i]);
            haveCheck = true;
        } else {
            return lmcli::usageError("colors");
        }
    }
    if (dbName.empty() || query.empty() || !haveRegPath)
        return lmcli::usageError("colors");

    try {
        TFIBDatabase db;
        db.SetDatabaseName(dbName);
        db.Open();
        TFIBTransaction tr;
        tr.SetDefaultDatabase(&db);
        tr.SetKind(TFIBTransaction::tkReadOnly);
        TpFIBDataSet ds;
        ds.SetDatabase(&db);
        ds.SetTransaction(&tr);
        ds.SetSelectSQL(query);
        ds.Open();
        for (const auto& [name, label] : labels)
            ds.FieldByName(name)->SetDisplayLabel(label);
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
