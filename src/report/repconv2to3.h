// Conversion of version-2 reports (.frf streams) into version-3 reports, and the load hook
// through which TfrxReport::LoadFromStream and LoadFromFile take such streams.
#pragma once

#include <string>

namespace lm {

class TfrxReport;

// Replaces the report's content with the conversion of a version-2 stream: pages, bands,
// views, dialog controls, object scripts as procedures of the report script, variables and
// report information. Damaged objects are skipped; a stream that cannot be read raises EFrfError
// ("Error in frf file") and leaves the report empty.
void ConvertFR2Report(TfrxReport& report, const std::string& data);

// The load hook's test: a stream whose first byte (the file version) is below 30.
bool IsFR2Stream(const std::string& data);

// The printer's margins (millimetres) that a page with all four margins zero receives.
inline constexpr double frDefaultMargin = 10;

} // namespace lm
