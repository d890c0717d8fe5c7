// ConvertReport: rewrites a report converted from version 2 for the version-3 engine — field
// references by the datasets' user names and aliases, variables in angle brackets, IF as IIF,
// bracketed script expressions as plain script, data bands on the master dataset, page margins of
// at least 5 mm, and the declarations that let the converted script compile.
#pragma once

#include <functional>
#include <string>

namespace lm {

class TfrxReport;
class TfrxDBDataset;

// Rewrites the report in place with DataSet as the dataset of every data band. A script that
// does not compile is reported through the warning hook ("Ошибка в скрипте отчета:", a line
// break and the engine's message); the report keeps the converted script.
void ConvertReport(TfrxReport& report, TfrxDBDataset* dataSet);

// The warning hook; an empty function restores the default, which prints on stderr (UTF-8).
void SetReportWarningHook(std::function<void(const std::string& text)> hook);

} // namespace lm
