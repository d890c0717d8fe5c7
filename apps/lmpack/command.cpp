// Subcommand registry and usage text of lmpack.
#include "command.h"

#include "util/cp1251.h"

#include <cstdio>

#include "util/cp1251.h"

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

std::string terminalText(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return lm::cp1251ToUtf8(out);
}

int usageError(const std::string& name)
{
    std::fprintf(stderr, "usage:\n");
    for (const Command& c : registry())
        if (name.empty() || c.name == name)
            std::fprintf(stderr, "%s\n", c.usage.c_str());
    return 2;
}

std::string textArg(const std::string& arg, const std::string& name)
{
    std::string text;
    if (!lm::tryUtf8ToCp1251(arg, text))
        throw BadArgument("lmpack: " + name + " is not UTF-8 text that Windows-1251 can hold");
    return text;
}

} // namespace lmcli
