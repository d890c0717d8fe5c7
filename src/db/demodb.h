// The demo pharmacy database: goods with vendors, countries, prices, stock and dates, made with
// the embedded engine for the demo application, the tests and the benchmarks.
#pragma once

#include <string>

namespace lm {

// Creates the database file `path` (which must not exist) with `goodsCount` goods rows, the
// tables COUNTRY, VENDOR, GOODS and PR_LOCALE and the function FDT. The data is the same on
// every run. The file is built under a temporary name of its own beside `path`
// ("PATH.<pid>-<random>.tmp", created exclusively, so no other file is touched) and given its
// name when complete; a file that appears at `path` meanwhile is kept. Raises lm::Exception when
// the file exists or the engine reports an error.
void CreateDemoDatabase(const std::string& path, int goodsCount = 20000);

} // namespace lm
