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
            char* end = nullptr;
            const long n = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || n < 0 || n > 100000000)
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
