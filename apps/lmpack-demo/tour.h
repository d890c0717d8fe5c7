// The scripted tour of the demo: drives every feature of the goods screen through its real
// windows, checks each step's outcome, and writes screenshots, the exported workbooks, the
// printed PDF and a log into the output folder.
#pragma once

#include <string>

namespace lm {

class TDemoConnection;
class TfrmGoods;

// Runs the tour over `window` (shown by the tour); prints one line per step and the files
// written. Returns 0 when every step passed, 1 otherwise.
int RunTour(TfrmGoods& window, TDemoConnection& connection, const std::string& outDir);

} // namespace lm
