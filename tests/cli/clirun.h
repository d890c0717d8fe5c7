// Runs the built lmpack binary with given arguments and captures what it prints, so the
// command-line tests check the exact bytes and the exit code a script would see.
#pragma once

#include <string>
#include <vector>

namespace lmtest {

struct CliResult {
    int exitCode = -1;  // -1 when the program did not end normally
    std::string out;
    std::string err;
};

// Runs LMPACK_EXE with `args` (passed as they are, no shell) and waits for it.
CliResult runLmpack(const std::vector<std::string>& args);

} // namespace lmtest
