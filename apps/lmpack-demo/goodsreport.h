// The demo's report forms: the goods list report kept in the "PrintForms" folder, the list of
// forms found there, and printing one over the goods dataset into a PDF file.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lm {

class TDataSet;

struct TReportForm {
    std::string FileName;  // full path
    std::string Caption;   // the report's name (Windows-1251), else the file's name
};

// Writes the goods list report into `dir` ("goods.fr3") unless a file of that name is there,
// so that a user's edited copy is kept.
void EnsureGoodsReport(const std::string& dir);
// The .fr3 forms of `dir`, sorted by file name.
std::vector<TReportForm> ListReportForms(const std::string& dir);
// Prints `form` over `data` (as the report's dataset "Товары") into the PDF file `pdf`;
// `progress` hears each page begun. Returns the number of pages. Raises lm::Exception when the
// report cannot be read or run, or the file cannot be written.
int PrintReportToPdf(const std::string& form, TDataSet& data, const std::string& pdf,
                     const std::function<void(int page)>& progress = {});

} // namespace lm
