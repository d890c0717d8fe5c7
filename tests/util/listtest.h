// Helpers shared by the list tests: a list's entries as a vector, and the list errors.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "util/exceptions.h"

namespace lm::test {

// Every entry of `list` (anything with Count() and Get(i)), in order.
template <typename List>
auto contents(const List& list)
{
    std::vector<std::decay_t<decltype(list.Get(0))>> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Get(i));
    return out;
}

// Fails unless `f` raises EStringListError with exactly this message and data.
template <typename F>
void expectListError(F&& f, const char* message, int64_t data)
{
    try {
        f();
        ADD_FAILURE() << "no exception, expected " << message;
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), message);
        EXPECT_EQ(e.Data(), data);
    }
}

} // namespace lm::test
