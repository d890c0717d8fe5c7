// The registry of lmpack subcommands: each cmd_*.cpp registers a handler under its name.
#pragma once

#include <functional>
#include <stdexcept>
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

// An argument that cannot be used as given; main prints the message and exits with 2.
class BadArgument : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The Windows-1251 text of the UTF-8 argument `arg`, which the usage calls `name`. Raises
// BadArgument when the argument is not well-formed UTF-8 or holds a character that Windows-1251
// lacks: a lossy conversion would make "?" of it and the command would work on other text.
std::string textArg(const std::string& arg, const std::string& name);

} // namespace lmcli
