// messageOf: the message of the exception a piece of code raises, for comparing in tests.
#pragma once

#include <string>

#include "util/exceptions.h"

namespace lm::test {

// The message of the `E` that `f` raises, or "(no exception)" when it raises none. An
// exception of another type is not caught, so it fails the test.
template <typename E = Exception, typename F>
std::string messageOf(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "(no exception)";
}

} // namespace lm::test
