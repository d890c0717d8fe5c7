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

// One table of the outermost FROM list: its relation name and its alias (the alias equals the
// relation name when none is written). Names are upper-cased unless quoted.
struct FromTable {
    std::string relation;
    std::string alias;
};
// The tables of the outermost FROM clause and its JOINs, in order. Derived tables and
// procedures with arguments are skipped.
std::vector<FromTable> fromTables(const std::string& sql);

} // namespace lm::fib
