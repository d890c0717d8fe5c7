// The demo's goods list report, kept in the goods report folder, and printing a report over the
// goods dataset straight into a PDF file.
#pragma once

#include <functional>
#include <string>

namespace lm {

class TDataSet;

// The goods list report in the report folder `dir` (both Windows-1251, as the print menus name
// files).
std::string GoodsReportFile(const std::string& dir);
// Writes the goods list report into `dir` unless a file of that name is there, so that a user's
// edited copy is kept.
void EnsureGoodsReport(const std::string& dir);
// Prints the report `form` (a Windows-1251 path) over `data` (as the report's dataset "Товары")
// into the PDF file `pdf` (a file-system path);
// `progress` hears each page begun. Returns the number of pages. Raises lm::Exception when the
// report cannot be read or run, or the file cannot be written.
int PrintReportToPdf(const std::string& form, TDataSet& data, const std::string& pdf,
                     const std::function<void(int page)>& progress = {});

} // namespace lm
