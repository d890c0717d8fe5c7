// lmpack: the package's command-line tool. Text in and out is UTF-8.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command.h"
#include "util/cp1251.h"
#include "util/exceptions.h"
#include "util/process.h"

namespace {

// Runs the command; its exit code.
int run(const lmcli::Command& command, const std::vector<std::string>& args)
{
    try {
        return command.run(args);
    } catch (const lmcli::BadArgument& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
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

// What was printed must have reached its file: a full disk or a closed output is a failure.
int checkedOutput(int code)
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return code;
    std::fprintf(stderr, "lmpack: cannot write the output: %s\n", std::strerror(errno));
    return code == 0 ? 1 : code;
}

} // namespace

int main(int argc, char** argv)
{
    lm::SetCmdLineArgs(argc, argv);
    if (argc < 2)
        return lmcli::usageError("");
    const std::string name = argv[1];
    for (const lmcli::Command& command : lmcli::commands())
        if (command.name == name)
            return checkedOutput(run(command, std::vector<std::string>(argv + 2, argv + argc)));
    return lmcli::usageError("");
}
