// TFastString: the growing text buffer.
#include "util/faststring.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>

namespace lm {

TFastString::TFastString(int growBy) : m_growBy(growBy) {}

void TFastString::Reallocate(int capacity)
{
    void* block = std::realloc(m_buffer.get(), static_cast<size_t>(capacity) + 1);
    if (!block)
        throw std::bad_alloc();
    (void)m_buffer.release();
    m_buffer.reset(static_cast<char*>(block));
    m_capacity = capacity;
}

void TFastString::Add(std::string_view s)
{
    // An empty text needs no block; writing its terminator into a missing block would fault.
    if (s.empty())
        return;
    if (s.size() > static_cast<size_t>(std::numeric_limits<int>::max() - m_length))
        throw std::length_error("TFastString: text too long");
    const int needed = m_length + static_cast<int>(s.size());
    if (needed > m_capacity) {
        // `s` may be a view of this very buffer, which the reallocation can move.
        const char* old = m_buffer.get();
        const std::less<const char*> before;
        const bool inside = old && !before(s.data(), old) && before(s.data(), old + m_length + 1);
        const size_t offset = inside ? static_cast<size_t>(s.data() - old) : 0;
        const int shortfall = needed - m_capacity;
        const int64_t grown = int64_t{m_capacity} + std::max(shortfall, m_growBy);
        Reallocate(static_cast<int>(std::min<int64_t>(grown, std::numeric_limits<int>::max() - 1)));
        if (inside)
            s = std::string_view(m_buffer.get() + offset, s.size());
    }
    char* buffer = m_buffer.get();
    std::memmove(buffer + m_length, s.data(), s.size());
    m_length = needed;
    buffer[m_length] = '\0';
}

std::string TFastString::AsString() const
{
    const char* buffer = m_buffer.get();
    if (!buffer)
        return std::string();
    return std::string(buffer, ::strnlen(buffer, static_cast<size_t>(m_length)));
}

void TFastString::SetAsString(std::string_view s)
{
    if (s.size() > static_cast<size_t>(std::numeric_limits<int>::max() - 1))
        throw std::length_error("TFastString: text too long");
    m_buffer.reset();
    m_capacity = 0;
    m_length = 0;
    Reallocate(static_cast<int>(s.size()));
    std::memcpy(m_buffer.get(), s.data(), s.size());
    m_length = static_cast<int>(s.size());
    m_buffer.get()[m_length] = '\0';
}

} // namespace lm
