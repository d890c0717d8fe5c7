// Child process of the store tests: writes into a registry store file.
//   store_writer FILE distinct PREFIX COUNT   writes PREFIX0..PREFIXn-1 (integer i and string)
//   store_writer FILE loop                    alternates two large string values until killed
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/registry.h"
#include "host/sqliteregistrystore.h"

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    try {
        lm::TSqliteRegistryStore store(argv[1]);
        lm::TRegistry reg(&store);
        const std::string mode = argv[2];
        if (mode == "distinct" && argc == 5) {
            const std::string prefix = argv[3];
            const int count = std::atoi(argv[4]);
            for (int i = 0; i < count; ++i) {
                reg.OpenKey("\\Software\\Test\\Shared", true);
                reg.WriteInteger(prefix + std::to_string(i), i);
                reg.WriteString(prefix + "s" + std::to_string(i), std::string(100 + i, 'x'));
                reg.CloseKey();
            }
            return 0;
        }
        if (mode == "loop") {
            const std::string a(200000, 'A'), b(200000, 'B');
            reg.OpenKey("\\Software\\Test\\Kill", true);
            for (long i = 0;; ++i) {
                reg.WriteString("Big", i % 2 ? b : a);
                reg.WriteInteger("Counter", static_cast<int>(i));
                if (i == 10) {
                    std::puts("ready");
                    std::fflush(stdout);
                }
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 2;
}
