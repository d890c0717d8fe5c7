// Fixed-size block pools for the XML tree's nodes and lists (not installed).
//
// A parsed document has several nodes per element, and general-purpose allocation of each one
// dominates parsing time and adds a header to every block. The pools hand out blocks from
// 64 KiB chunks in order and keep freed blocks on a free list of the freeing thread for reuse.
// Chunks are kept for the life of the process, so the memory of the largest tree a thread has
// built stays reserved for the next one.
#pragma once

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define LM_XMLPOOL_PLAIN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LM_XMLPOOL_PLAIN 1
#endif
#endif

namespace lm::xmlpool {

template <std::size_t Size>
class Pool {
    static_assert(Size >= sizeof(void*));
    struct Block {
        Block* next;
    };
    static constexpr std::size_t kStride = (Size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                                           alignof(std::max_align_t);
    static constexpr std::size_t kChunk = 64 * 1024;
    struct State {
        Block* free = nullptr;
        char* bump = nullptr;  // the part of the newest chunk not handed out yet
        char* end = nullptr;
    };
    static State& state()
    {
        thread_local State s;
        return s;
    }

public:
#ifdef LM_XMLPOOL_PLAIN
    // Under the address sanitizer every block is its own allocation, so a use after free is
    // still caught.
    static void* allocate() { return ::operator new(Size); }
    static void deallocate(void* p) noexcept { ::operator delete(p); }
#else
    static void* allocate()
    {
        State& s = state();
        if (Block* b = s.free) {
            s.free = b->next;
            return b;
        }
        if (static_cast<std::size_t>(s.end - s.bump) < kStride) {
            s.bump = static_cast<char*>(::operator new(kChunk));
            s.end = s.bump + kChunk;
        }
        void* p = s.bump;
        s.bump += kStride;
        return p;
    }

    static void deallocate(void* p) noexcept
    {
        if (!p)
            return;
        State& s = state();
        Block* b = static_cast<Block*>(p);
        b->next = s.free;
        s.free = b;
    }
#endif
};

} // namespace lm::xmlpool
