// lmpack demo-db PATH [--rows N]: creates the demo pharmacy database with the embedded engine.
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "db/demodb.h"

namespace {

int runDemoDb(const std::vector<std::string>& args)
{
    std::string path;
    int rows = 20000;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--rows" && i + 1 < args.size()) {
            // Digits only: no sign, no blanks, and not an empty text, which strtol reads as 0.
            const std::string& count = args[++i];
            if (count.empty() || count.size() > 9 || count.find_first_not_of("0123456789") != std::string::npos)
                return lmcli::usageError("demo-db");
            const long n = std::strtol(count.c_str(), nullptr, 10);
            if (n > 100000000)
                return lmcli::usageError("demo-db");
            rows = static_cast<int>(n);
        } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
            path = args[i];
        } else {
            return lmcli::usageError("demo-db");
        }
    }
    if (path.empty())
        return lmcli::usageError("demo-db");
    lm::CreateDemoDatabase(path, rows);
    std::printf("%s: %d goods\n", path.c_str(), rows);
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"demo-db", "lmpack demo-db PATH [--rows N]     create the demo pharmacy database (embedded Firebird)", runDemoDb});

} // namespace
