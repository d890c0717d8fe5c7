// Reading SQL text without a full parser: named parameters and the table aliases of the FROM and
// JOIN clauses.
#pragma once

#include <string>
#include <vector>

namespace lm::fib {

// `sql` with every ":name" parameter outside quotes, comments and quoted identifiers replaced by
// "?"; `names` receives the parameter names upper-cased, in order (positional "?" parameters
// give empty names).
std::string replaceNamedParams(const std::string& sql, std::vector<std::string>& names);

// `name` as it may be written in SQL: unchanged when it is a plain upper-case identifier,
// otherwise in double quotes with inner quotes doubled.
std::string quoteIdent(const std::string& name);

// One table of the outermost FROM list: its relation name and its alias (the alias equals the
// relation name when none is written). Names are upper-cased unless quoted.
struct FromTable {
    std::string relation;
    std::string alias;
};
// The tables of the outermost FROM clause and its JOINs, in order. Derived tables and
// procedures with arguments are skipped.
std::vector<FromTable> fromTables(const std::string& sql);

// One item of the outermost select list. A column is a bare or qualified column name with an
// optional alias; a star is "*" or "x.*"; anything else (sub-queries, functions, arithmetic,
// literals) is an expression. `qualifier` is the table part of a column or star, as fromTables
// spells aliases, empty when none is written.
struct SelectItem {
    enum Kind { Column, Star, Expression } kind = Expression;
    std::string qualifier;
};
struct SelectList {
    std::vector<SelectItem> items;
    bool isUnion = false;  // the statement combines several selects
};
// The outermost select list of `sql` (after WITH, FIRST/SKIP and DISTINCT); no items when the
// text does not read as a select.
SelectList selectList(const std::string& sql);

} // namespace lm::fib
