// The OpenDocument spellings of what the workbook model keeps in spreadsheet terms: number
// formats as number styles, date serials as ISO dates, A1 formulas in OpenFormula references.
#pragma once

#include <string>
#include <string_view>

namespace lm {

// The <number:...-style> element named `name` for a number format in file syntax ("#,##0.00",
// "DD.MM.YYYY", "@", "0%"). Only the first section of the format is used.
std::string OdsNumberStyle(const std::string& name, std::string_view format);
// A date serial (days since 30.12.1899) as "yyyy-mm-ddThh:mm:ss".
std::string OdsDateValue(double serial);
// "SUM(C2:C10)" as "SUM([.C2:.C10])": every cell reference in brackets with a sheet-local dot.
std::string OdsFormula(std::string_view formula);

} // namespace lm
