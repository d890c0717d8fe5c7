// Test helper: the message of the lm::Exception an action raises, for checking what the server
// or the client library said.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "util/exceptions.h"

namespace lmtest {

// The message of the lm::Exception `action` raises; records a test failure and gives "" when it
// raises none.
inline std::string errorMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const lm::Exception& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception was raised";
    return {};
}

} // namespace lmtest
