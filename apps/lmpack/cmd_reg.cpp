// lmpack reg import FILE.reg | reg export KEY: registry export files into and out of the user's
// settings store.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "command.h"
#include "host/regfile.h"
#include "host/registry.h"
#include "util/cp1251.h"

namespace {

using lm::operator""_w;

int fail(const std::string& message)
{
    std::fprintf(stderr, "%s\n", lmcli::terminalText(message).c_str());
    return 1;
}

int runReg(const std::vector<std::string>& args)
{
    if (args.size() != 2 || (args[0] != "import" && args[0] != "export"))
        return lmcli::usageError("reg");
    try {
        if (args[0] == "export") {
            std::fputs(lm::ExportRegKey(*lm::DefaultRegistryStore(), lm::utf8ToCp1251(args[1])).c_str(), stdout);
            return 0;
        }
        std::ifstream in(args[1], std::ios::binary);
        if (!in)
            return fail(lm::Format("Не удалось открыть файл %s"_w, {lm::utf8ToCp1251(args[1])}));
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const lm::TRegFileContents contents = lm::ParseRegFile(bytes.str());
        lm::ApplyRegFile(contents, *lm::DefaultRegistryStore());
        for (const std::string& skipped : contents.Skipped)
            std::fprintf(stderr, "%s\n", lmcli::terminalText(skipped).c_str());
        std::printf("imported: %zu\n", contents.Ops.size());
        return 0;
    } catch (const lm::Exception& e) {
        return fail(args[0] == "import" ? lm::utf8ToCp1251(args[1]) + ": " + e.Message() : e.Message());
    }
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"reg",
     "lmpack reg import FILE.reg         load a registry export (REGEDIT4 or version 5.00) into the settings store\n"
     "lmpack reg export KEY              the key and its sub-keys as version 5.00 text",
     runReg});

} // namespace
