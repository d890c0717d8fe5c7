// lmpack translit re|er TEXT: Russian-Latin transliteration of one UTF-8 argument, printed in
// UTF-8 followed by a newline.
#include <cstdio>

#include "command.h"
#include "util/cp1251.h"
#include "util/translit.h"

namespace {

int runTranslit(const std::vector<std::string>& args)
{
    if (args.size() != 2 || (args[0] != "re" && args[0] != "er"))
        return lmcli::usageError("translit");
    const std::string text = lmcli::textArg(args[1], "TEXT");
    const std::string result = args[0] == "re" ? lm::TransliterateRE(text) : lm::TransliterateER(text);
    std::printf("%s\n", lm::cp1251ToUtf8(result).c_str());
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"translit", "lmpack translit re|er TEXT        transliteration (re: Russian to Latin, er: Latin to Russian)",
     runTranslit});

} // namespace
