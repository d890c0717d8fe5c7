// The registry of lmpack subcommands: each cmd_*.cpp registers a handler under its name.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lmcli {

// Arguments after the subcommand name, as given (UTF-8). A handler returns the exit code:
// 0 success, 1 failure (message printed on stderr), 2 bad arguments (usage printed).
using Handler = std::function<int(const std::vector<std::string>& args)>;

struct Command {
    std::string name;
    std::string usage;  // one or more lines shown by the usage message
    Handler run;
};

// Registers a command at static-initialisation time; returns true so it can initialise a
// namespace-scope constant.
bool registerCommand(Command command);
const std::vector<Command>& commands();

// Windows-1251 text as the terminal wants it: UTF-8, CR LF and lone CR turned into LF.
std::string terminalText(const std::string& text);

// Prints the usage of one command (or of all when name is empty) on stderr; returns 2.
int usageError(const std::string& name);

} // namespace lmcli
