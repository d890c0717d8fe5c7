// lmpack words rur|usd AMOUNT: the amount in Russian words, printed exactly as the function
// returns it (a whole amount keeps its trailing blank), then a newline.
#include <cstdio>

#include "command.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/strs_amount.h"
#include "util/strs_numbers.h"

namespace {

int runWords(const std::vector<std::string>& args)
{
    if (args.size() != 2 || (args[0] != "rur" && args[0] != "usd") || args[1].empty())
        return lmcli::usageError("words");
    double amount = 0;
    try {
        amount = lm::iStrtoFloat(lmcli::textArg(args[1], "AMOUNT"));  // a point or a comma
    } catch (const lm::EConvertError& e) {
        std::fprintf(stderr, "%s\n", lm::cp1251ToUtf8(e.Message()).c_str());
        return lmcli::usageError("words");
    }
    const std::string text = args[0] == "rur" ? lm::ValuetoTextRUR(amount) : lm::ValuetoTextUSD(amount);
    std::printf("%s\n", lm::cp1251ToUtf8(text).c_str());
    return 0;
}

[[maybe_unused]] const bool registered = lmcli::registerCommand(
    {"words", "lmpack words rur|usd AMOUNT      amount in words (AMOUNT with a point or a comma)", runWords});

} // namespace
