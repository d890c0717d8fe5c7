// lmpack sqlbuild: the SELECT of a TSQLBuilder described in a form file, with every field or
// the fields of a saved report, optionally run on a database.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "dbquery.h"
#include "filter/sqlbuilder.h"
#include "util/dfmobject.h"
#include "util/exceptions.h"
#include "util/fastlist.h"

namespace {

using namespace lm;

int runSqlBuild(const std::vector<std::string>& args)
{
    std::string def, report, db;
    bool run = false, bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string& a = args[i];
        if (a == "--report" && i + 1 < args.size())
            report = lmcli::textArg(args[++i], "--report");
        else if (a == "--db" && i + 1 < args.size())
            db = args[++i];
        else if (a == "--run")
            run = true;
        else if (def.empty() && !a.empty() && a[0] != '-')
            def = lmcli::textArg(a, "DEF.dfm");
        else
            bad = true;
    }
    if (bad || def.empty() || (run && db.empty()))
        return lmcli::usageError("sqlbuild");

    TFastList text;
    text.LoadFromFile(def);
    const TDfmObject form = ReadDfmText(text.Text());
    const TDfmObject* object = form.FindClass("TSQLBuilder");
    if (!object)
        throw Exception(def + ": no TSQLBuilder object");
    TSQLBuilder builder;
    builder.LoadFromDfm(*object);
    if (!report.empty())
        builder.LoadReport(report);
    else
        for (int i = 0; i < builder.Fields().Count(); ++i)
            builder.AddToActive(*builder.Fields().Items(i));
    const std::string sql = builder.BuildSQL();
    std::printf("%s\n", lmcli::toTerminal(sql).c_str());
    if (db.empty())
        return 0;

    lmcli::DbQueryArgs dbArgs;
    dbArgs.db = db;
    dbArgs.query = sql;
    lmcli::DbSession session(dbArgs, run);
    if (!run)
        return 0;
    TpFIBDataSet& ds = session.DataSet();
    std::vector<TField*> fields;
    for (int i = 0; i < ds.FieldCount(); ++i)
        fields.push_back(ds.Fields(i));
    int rows = 0;
    ds.ScanRecords([&] {
        ++rows;
        std::printf("%s\n", lmcli::toTerminal(lmcli::displayRow(fields)).c_str());
    });
    std::printf("rows: %d\n", rows);
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"sqlbuild",
     "lmpack sqlbuild DEF.dfm [--report R.rpt] [--db DB [--run]]\n"
     "                                   the SELECT of a TSQLBuilder in the textual component format;\n"
     "                                   --run also the rows tab-separated and \"rows: N\"",
     runSqlBuild});

} // namespace
