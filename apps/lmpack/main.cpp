// lmpack: the package's command-line tool. Text in and out is UTF-8.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/process.h"

int main(int argc, char** argv)
{
    lm::SetCmdLineArgs(argc, argv);
    if (argc < 2)
        return lmcli::usageError("");
    const std::string name = argv[1];
    for (const lmcli::Command& command : lmcli::commands()) {
        if (command.name != name)
            continue;
        try {
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const lm::EAbort&) {
            return 1;
        } catch (const lm::Exception& e) {
            std::fprintf(stderr, "%s\n", lm::cp1251ToUtf8(e.Message()).c_str());
            return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    return lmcli::usageError("");
}
