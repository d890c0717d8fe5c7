// TFastString: a growing text buffer for building large texts without repeated concatenation.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "util/object.h"

namespace lm {

class TFastString : public TObject {
public:
    // An empty buffer (no block until the first non-empty Add); `growBy` is the minimum growth
    // step in bytes.
    explicit TFastString(int growBy);
    TFastString(const TFastString&) = delete;
    TFastString& operator=(const TFastString&) = delete;

    // Appends `s`. When it does not fit, the block grows by the larger of the shortfall and
    // GrowBy (plus the terminator byte, which is never counted in Capacity).
    void Add(std::string_view s);
    // The text up to the first zero byte; empty when no block exists.
    std::string AsString() const;
    // Replaces the block by an exact-size copy of `s`.
    void SetAsString(std::string_view s);

    // The zero-terminated block, or nullptr before first use.
    const char* Buffer() const { return m_buffer.get(); }
    int Capacity() const { return m_capacity; }
    int Length() const { return m_length; }
    int GrowBy() const { return m_growBy; }
    void SetGrowBy(int growBy) { m_growBy = growBy; }

private:
    struct FreeBlock {
        void operator()(char* p) const { std::free(p); }
    };
    // Resizes the block to `capacity` usable bytes plus the terminator; raises std::bad_alloc.
    void Reallocate(int capacity);

    std::unique_ptr<char, FreeBlock> m_buffer;
    int m_capacity = 0;
    int m_length = 0;
    int m_growBy;
};

} // namespace lm
