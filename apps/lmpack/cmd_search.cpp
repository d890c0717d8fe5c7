// lmpack search: the context search over a Firebird query, locally or as the SQL the server
// runs, and the records it keeps.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "dbquery.h"
#include "filter/contextfilter.h"

namespace {

using namespace lm;

int runSearch(const std::vector<std::string>& args)
{
    lmcli::DbQueryArgs dbArgs;
    std::string multi, print, conditions;
    bool server = false, bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string& a = args[i];
        if (dbArgs.take(args, i, bad))
            continue;
        if (a == "--multi" && i + 1 < args.size())
            multi = lmcli::textArg(args[++i], "--multi");
        else if (a == "--print" && i + 1 < args.size())
            print = lmcli::textArg(args[++i], "--print");
        else if (a == "--server")
            server = true;
        else if (a.find('=') != std::string::npos && a[0] != '-')
            conditions += lmcli::textArg(a, "FIELD=VALUE") + "\r\n";
        else
            bad = true;
    }
    if (bad || dbArgs.db.empty() || dbArgs.query.empty() || conditions.empty())
        return lmcli::usageError("search");

    lmcli::DbSession session(dbArgs, true);
    TpFIBDataSet& ds = session.DataSet();
    TField* printed = print.empty() ? nullptr : ds.FieldByName(print);
    TContextFilter filter;
    filter.SetDataSet(&ds);
    filter.SetMultiFields(multi);
    filter.SetServer(server);
    // the host's part in server mode: the query re-run with the conditions appended
    filter.OnApply = [&](TContextFilter* sender) {
        const std::string sql = sender->GetSQL();
        std::printf("sql: %s\n", lmcli::toTerminal(sql).c_str());
        ds.SetSelectSQL(dbArgs.query + sql);
        ds.Open();
    };
    filter.SetFiltersText(conditions);
    int rows = 0;
    ds.ScanRecords([&] {
        ++rows;
        if (printed)
            std::printf("%s\n", lmcli::toTerminal(printed->DisplayText()).c_str());
    });
    std::printf("rows: %d\n", rows);
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"search",
     "lmpack search --db DB --query SQL [--label FIELD=Label]... [--multi \"F1;F2;\"] [--server]\n"
     "              [--print FIELD] FIELD=VALUE...\n"
     "                                   context search (FIELD \"*\": the fields of --multi); with\n"
     "                                   --server \"sql: ...\" and the query re-run with it appended",
     runSearch});

} // namespace
