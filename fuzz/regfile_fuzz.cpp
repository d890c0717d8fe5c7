// Fuzz target: arbitrary bytes through the .reg reader, and what it accepts applied to an
// in-memory store and exported again. Only lm::Exception may come out.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/regfile.h"
#include "host/registrystore.h"

using namespace lm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const TRegFileContents contents = ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size));
        TMemoryRegistryStore store;
        ApplyRegFile(contents, store);
        for (const std::string& key : store.KeyNames(""))
            ExportRegKey(store, key);
    } catch (const Exception&) {
    }
    return 0;
}
