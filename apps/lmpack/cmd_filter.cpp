// lmpack filter: compiles a user filter over the fields of a Firebird query and prints the
// statement; with --run applies it the way a host's OnApply does and counts the rows.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "db/fibdatabase.h"
#include "db/fibdataset.h"
#include "db/fibtransaction.h"
#include "filter/ufilter.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

namespace {

using namespace lm;

// Where a condition goes in `sql`: the end of its outermost WHERE condition, i.e. before the
// first top-level GROUP, HAVING, ORDER, ROWS, PLAN, UNION or FOR keyword (or the end of the text).
// `whereEnd` is where the outermost WHERE's condition starts (just after the keyword), or npos
// when the outermost level has no WHERE.
size_t conditionEnd(const std::string& sql, size_t& whereEnd)
{
    static const char* const enders[] = {"GROUP", "HAVING", "ORDER", "ROWS", "PLAN", "UNION", "FOR"};
    whereEnd = std::string::npos;
    int depth = 0;
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const size_t close = sql.find(c, i + 1);
            i = close == std::string::npos ? sql.size() : close + 1;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const size_t eol = sql.find('\n', i);
            i = eol == std::string::npos ? sql.size() : eol + 1;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            const size_t close = sql.find("*/", i + 2);
            i = close == std::string::npos ? sql.size() : close + 2;
        } else if (c == '(' || c == ')') {
            depth += c == '(' ? 1 : -1;
            ++i;
        } else if (isLetter(static_cast<unsigned char>(c)) || c == '_') {
            size_t end = i;
            while (end < sql.size() && (isLetter(static_cast<unsigned char>(sql[end])) || sql[end] == '_' ||
                                        sql[end] == '$' || (sql[end] >= '0' && sql[end] <= '9')))
                ++end;
            if (depth == 0) {
                const std::string word = upperCase(sql.substr(i, end - i));
                if (word == "WHERE" && whereEnd == std::string::npos)
                    whereEnd = end;
                for (const char* ender : enders)
                    if (word == ender)
                        return i;
            }
            i = end;
        } else {
            ++i;
        }
    }
    return sql.size();
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// `sql` with the "AND (...)" condition appended to its WHERE: the existing condition goes in
// brackets, so that an OR in it does not take the appended AND into one of its branches (a
// "WHERE 1=1" is added first when there is none).
std::string withCondition(const std::string& sql, const std::string& condition)
{
    size_t whereEnd = std::string::npos;
    const size_t at = conditionEnd(sql, whereEnd);
    const std::string tail = sql.substr(at);
    std::string out;
    if (whereEnd == std::string::npos)
        out = trimmed(sql.substr(0, at)) + " WHERE 1=1 " + condition;
    else
        out = sql.substr(0, whereEnd) + " (" + trimmed(sql.substr(whereEnd, at - whereEnd)) + ") " + condition;
    return tail.empty() ? out : out + " " + tail;
}

std::string terminal(std::string text)
{
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return cp1251ToUtf8(text);
}

int runFilter(const std::vector<std::string>& args)
{
    std::string dbName, query, expr;
    std::vector<std::pair<std::string, std::string>> labels;
    TUFilterOptions options;
    bool run = false, haveExpr = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--db" && i + 1 < args.size()) {
            dbName = args[++i];
        } else if (a == "--query" && i + 1 < args.size()) {
            query = lmcli::textArg(args[++i], "--query");
        } else if (a == "--label" && i + 1 < args.size()) {
            const std::string labelArg = lmcli::textArg(args[++i], "--label");
            const size_t eq = labelArg.find('=');
            if (eq == std::string::npos || eq == 0)
                return lmcli::usageError("filter");
            labels.emplace_back(labelArg.substr(0, eq), labelArg.substr(eq + 1));
        } else if (a == "--sql-enabled") {
            options.Include(ufoSQLEnabled);
        } else if (a == "--prefer-sql") {
            options.Include(ufoSQLPrefer);
        } else if (a == "--ignore-case") {
            options.Include(ufoIgnoreCase);
        } else if (a == "--run") {
            run = true;
        } else if (!haveExpr && (a.empty() || a[0] != '-' || i + 1 == args.size())) {
            expr = lmcli::textArg(a, "EXPR");
            haveExpr = true;
        } else {
            return lmcli::usageError("filter");
        }
    }
    if (dbName.empty() || query.empty() || !haveExpr)
        return lmcli::usageError("filter");

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
    // Prepared only: with --run the query is opened once, as the applied filter makes it.
    ds.Prepare();
    for (const auto& [name, label] : labels)
        ds.FieldByName(name)->SetDisplayLabel(label);

    TUFilter filter;
    filter.SetDataSet(&ds);
    filter.SetOptions(options);
    filter.Prepare();
    if (run) {
        filter.OnApply = [&](TUFilter* sender, bool state) {
            const bool sql = state && sender->UseSQL();
            ds.SetFiltered(false);
            ds.SetFilter(state && !sql ? sender->FilterSQL() : std::string());
            const std::string selectSQL = sql ? withCondition(query, sender->FilterSQL()) : query;
            if (selectSQL != ds.SelectSQL())
                ds.SetSelectSQL(selectSQL);
            ds.Open();
            ds.SetFiltered(state && !sql);
        };
    }
    try {
        filter.SetSource(expr);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", terminal(e.Message()).c_str());
        return 1;
    }
    if (!filter.FilterSQL().empty())
        std::printf("%s%s\n", filter.UseSQL() ? "sql: " : "local: ", cp1251ToUtf8(filter.FilterSQL()).c_str());
    if (run) {
        if (!ds.Active())  // no filter was applied: the query as it is
            ds.Open();
        std::printf("rows: %d\n", ds.RecordCount());
    }
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"filter",
     "lmpack filter --db DB --query SQL [--label FIELD=Label]... [--sql-enabled] [--prefer-sql]\n"
     "              [--ignore-case] [--run] EXPR\n"
     "                                   compile a user filter; print \"sql: ...\" or \"local: ...\"",
     runFilter});

} // namespace
