// Printing a version-2 report with the version-3 renderer: the report is converted in memory and
// its field references bound to the host's datasets, the master walked through the grid's
// selected rows.
#pragma once

#include <memory>
#include <vector>

namespace lm {

class TComponent;
class TDataSet;
class TDBGridEh;
class TfrReport;
class TfrxReport;

// The conversion of `report`, owned by the caller but inserted into `home` (the form whose
// datasets the report names, so that a dataset of that form is named without its form). Every
// dataset of `dataSets` gets a report dataset of its own name; the first one is the master,
// walked through the grid's selected rows when `grid` is given. Raises what the conversion
// raises.
std::unique_ptr<TfrxReport> frConvertForPrint(const TfrReport& report, TComponent* home,
                                              const std::vector<TDataSet*>& dataSets, TDBGridEh* grid);

} // namespace lm
