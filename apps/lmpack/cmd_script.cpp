// lmpack script eval EXPR: evaluates one expression of the script language and prints its value
// as the package shows it ("Null", "True"/"False", numbers in the regional conventions).
#include <cstdio>

#include "command.h"
#include "script/script.h"
#include "util/cp1251.h"

namespace {

int runScript(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[0] != "eval")
        return lmcli::usageError("script");
    lm::TScript script;
    try {
        const lm::Variant value = script.Evaluate(lm::utf8ToCp1251(args[1]));
        std::printf("%s\n", lm::cp1251ToUtf8(lm::ScriptValueText(value)).c_str());
    } catch (const lm::Exception& e) {
        std::fprintf(stderr, "%s\n", lmcli::terminalText(e.Message()).c_str());
        return 1;
    }
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"script", "lmpack script eval EXPR            the value of a script-language expression", runScript});

} // namespace
