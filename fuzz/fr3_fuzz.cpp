// Fuzz target: arbitrary bytes loaded as a report (the .fr3 document, or a version-2 stream
// through the load hook when the first byte is below 30), saved and loaded again. Errors must
// arrive as lm::Exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "report/frxreport.h"
#include "util/exceptions.h"

using namespace lm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TfrxReport report;
    try {
        report.LoadFromStream(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Exception&) {
        return 0;
    }
    const std::string saved = report.SaveToString();
    TfrxReport again;
    again.LoadFromStream(saved);  // what we write must load
    (void)report.AllObjects();
    return 0;
}
