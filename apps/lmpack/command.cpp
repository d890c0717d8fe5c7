// Subcommand registry and usage text of lmpack.
#include "command.h"

#include <cstdio>

namespace lmcli {

namespace {
std::vector<Command>& registry()
{
    static std::vector<Command> list;
    return list;
}
} // namespace

bool registerCommand(Command command)
{
    registry().push_back(std::move(command));
    return true;
}

const std::vector<Command>& commands() { return registry(); }

int usageError(const std::string& name)
{
    std::fprintf(stderr, "usage:\n");
    for (const Command& c : registry())
        if (name.empty() || c.name == name)
            std::fprintf(stderr, "%s\n", c.usage.c_str());
    return 2;
}

} // namespace lmcli
