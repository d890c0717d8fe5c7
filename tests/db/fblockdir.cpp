// Gives the embedded engine of the test processes a lock folder of their own, so that tests run
// as root leave the system's /tmp/firebird (shared with the package's service) untouched.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

const bool lockFolderSet = [] {
    const std::string dir = "/tmp/lmpack-firebird-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    return setenv("FIREBIRD_LOCK", dir.c_str(), 0) == 0;  // a folder chosen by the caller wins
}();

} // namespace
