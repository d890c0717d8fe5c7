// lmpack sort: a user sort order, from a sort file or given as text, applied to a Firebird
// query's rows.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "dbquery.h"
#include "filter/usersort.h"

namespace {

using namespace lm;

// The names of a comma-separated list.
void addNames(const std::string& list, std::vector<std::string>& names)
{
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
}

int runSort(const std::vector<std::string>& args)
{
    lmcli::DbQueryArgs dbArgs;
    std::string srt, fields, direct;
    std::vector<std::string> printNames;
    bool bad = false, haveFields = false, haveDirect = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string& a = args[i];
        if (dbArgs.take(args, i, bad))
            continue;
        if (i + 1 >= args.size())
            bad = true;
        else if (a == "--srt")
            srt = lmcli::textArg(args[++i], "--srt");
        else if (a == "--fields")
            fields = lmcli::textArg(args[++i], "--fields"), haveFields = true;
        else if (a == "--direct")
            direct = lmcli::textArg(args[++i], "--direct"), haveDirect = true;
        else if (a == "--print")
            addNames(lmcli::textArg(args[++i], "--print"), printNames);
        else
            bad = true;
    }
    const bool fromText = haveFields && haveDirect;
    if (bad || dbArgs.db.empty() || dbArgs.query.empty() || printNames.empty() || srt.empty() == !fromText ||
        (!srt.empty() && (haveFields || haveDirect)))
        return lmcli::usageError("sort");

    lmcli::DbSession session(dbArgs, true);
    TpFIBDataSet& ds = session.DataSet();
    std::vector<TField*> printed;
    for (const std::string& name : printNames)
        printed.push_back(ds.FieldByName(name));
    TUserSort sort;
    sort.SetDS(&ds);
    if (fromText) {
        TSortOrderList order;
        order.LoadAsString(fields, direct);
        bool valid = !order.Empty();
        for (int i = 0; i < order.Count(); ++i)
            valid = valid && sort.CheckSortField(order.Strings(i));
        if (valid) {
            sort.SortOrder() = order;
            sort.DoCurrentSort();
        }
    } else {
        sort.LoadSortFromFile(srt);
    }
    ds.ScanRecords([&] { std::printf("%s\n", lmcli::toTerminal(lmcli::displayRow(printed)).c_str()); });
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"sort",
     "lmpack sort --db DB --query SQL (--srt FILE | --fields \"A;B;\" --direct \"10\") --print F[,F]...\n"
     "                                   the rows in the user sort order, texts tab-separated",
     runSort});

} // namespace
