// The grouped price list used by the render test and the benchmark: goods grouped by country,
// with the price of each row, a sum per group, a grand total and "page / pages" in the footer.
#pragma once

#include <memory>

#include "report/frxreport.h"

namespace lmtest {

// The report over a dataset of user name "Товары" with fields COUNTRY, NAME and PRICE.
std::unique_ptr<lm::TfrxReport> groupedReport(lm::TComponent* owner = nullptr);

// The query that feeds it from the demo database (the first `rows` goods, in group order).
std::string groupedQuery(int rows);

} // namespace lmtest
