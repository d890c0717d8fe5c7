// ConvertOrRaise: the raising form of the TryStrTo* conversions.
#pragma once

#include <string_view>

#include "util/exceptions.h"

namespace lm::detail {

// The value `tryConvert` reads from `s`; EConvertError with `message` (a Format pattern taking
// `s`) when it cannot.
template <typename T>
T ConvertOrRaise(bool (*tryConvert)(std::string_view, T&), std::string_view s, const char* message)
{
    T value{};
    if (!tryConvert(s, value))
        throw EConvertError(Format(message, {s}));
    return value;
}

} // namespace lm::detail
