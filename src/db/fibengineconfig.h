// The embedded engine's configuration: set up before the client library first starts, so that
// several programs can open one database file at the same time.
#pragma once

#include <string>

namespace lm::fib {

// Points the client library (through the FIREBIRD variable) at a root folder of the user's own
// that links to the system's engine files and whose firebird.conf selects the engine mode that
// shares database files between processes, then includes the system's configuration. Leaves everything as it is when the
// host set FIREBIRD itself, or when the library's layout or the folder is not as expected.
// Returns the folder used, "" when nothing was changed. Must run before the first call into
// the client library; later calls do nothing.
std::string ConfigureEmbeddedEngine();

} // namespace lm::fib
