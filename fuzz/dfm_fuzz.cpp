// Fuzz target: arbitrary text through the component-format reader. Text that reads must write
// back to text that reads to the same tree, and a builder or a report state must take it
// without crashing (refusing it with EParserError is fine).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "filter/sqlbuilder.h"
#include "util/dfmobject.h"

using namespace lm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TDfmObject object;
    try {
        object = ReadDfmText(text);
    } catch (const EParserError&) {
        return 0;
    }
    std::string written;
    try {
        written = WriteDfmText(object);
    } catch (const Exception&) {
        return 0;  // a float the text spelled as infinity has no written form
    }
    if (!(ReadDfmText(written) == object))
        std::abort();
    try {
        TSQLBuilder builder;
        builder.LoadFromDfm(object);
        TSQLBuilderState state;
        sqlbuilder::StateFromDfm(object, state);
        builder.RestoreState(state);
        (void)builder.BuildSQL();
    } catch (const Exception&) {
    }
    return 0;
}
