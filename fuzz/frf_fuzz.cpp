// Fuzz target: arbitrary bytes as a version-2 report stream, read into the version-2 model and
// converted into a version-3 report; what was read is written again in every file version and
// read back. Errors must arrive as lm::Exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "report/frmodel.h"
#include "report/frxreport.h"
#include "report/repconv2to3.h"
#include "util/exceptions.h"

using namespace lm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TfrReport report;
    bool read = false;
    try {
        report.LoadFromStream(bytes);
        read = true;
    } catch (const Exception&) {
    }
    if (read)
        for (uint8_t version : {21, 23, 24, 25}) {
            try {
                TfrReport back;
                back.LoadFromStream(report.SaveToStream(version));
            } catch (const Exception&) {
                // Texts too long for the version's fields are refused by the writer.
            }
        }
    try {
        TfrxReport converted;
        ConvertFR2Report(converted, bytes);
        (void)converted.SaveToString();
    } catch (const Exception&) {
    }
    return 0;
}
