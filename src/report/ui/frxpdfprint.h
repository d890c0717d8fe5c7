// Printing a report straight into a PDF file: laid out with the Qt measurements, then exported.
#pragma once

#include <string>

namespace lm {

class TfrxReport;

// Renders the report (its datasets open) and writes the pages as a PDF titled with the report's
// name. Raises what the renderer and the export raise; no file is left on failure.
void frxPrintToPdf(TfrxReport& report, const std::string& fileName);

} // namespace lm
