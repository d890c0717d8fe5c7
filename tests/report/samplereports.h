// Version-2 reports built in code for the format and conversion tests: one of every object
// type, band type and add-in class, with the fields a given file version carries.
#pragma once

#include <memory>

#include "report/frmodel.h"

namespace lmtest {

// A report page (margins 36 units = 10 mm) with bands of every type, memos, a picture, a line, a
// sub-report and every add-in class; from version 24 on also a dialog page with its controls.
std::unique_ptr<lm::TfrReport> sampleReport(uint8_t version);

// A memo at (x, y) with the given text lines.
lm::TfrMemoView* addMemo(lm::TfrPage& page, const std::string& name, int x, int y, std::vector<std::string> lines);
lm::TfrBandView* addBand(lm::TfrPage& page, const std::string& name, lm::TfrBandType type, int y, int height);

} // namespace lmtest
