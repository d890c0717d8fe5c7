// Fixed-size block pools for the XML tree's nodes and lists (not installed).
//
// A parsed document has several nodes per element, and general-purpose allocation of each one
// dominates parsing time and adds a header to every block. The pools hand out blocks from
// growing chunks in order and keep freed blocks on a free list of the freeing thread for reuse.
// Chunks are kept for the life of the process, so the memory of the largest tree a thread has
// built stays reserved for the next one.
#pragma once

#include <cstddef>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define LM_XMLPOOL_PLAIN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LM_XMLPOOL_PLAIN 1
#endif
#endif

namespace lm::xmlpool {

// Chunks double from kFirstChunk up to kMaxChunk: a small tree takes little memory, a large one
// few chunks.
inline constexpr std::size_t kFirstChunk = 64 * 1024, kMaxChunk = 4 * 1024 * 1024;

// A new chunk of size bytes (never freed). A large chunk is mapped with its pages made present
// at once: they are all written soon, and one call that fills them in costs far less than a
// page fault for each.
inline void* newChunk(std::size_t size)
{
#ifdef __linux__
    if (size >= 4 * kFirstChunk) {
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (p != MAP_FAILED)
            return p;
    }
#endif
    return ::operator new(size);
}

template <std::size_t Size>
class Pool {
    static_assert(Size >= sizeof(void*));
    struct Block {
        Block* next;
    };
    static constexpr std::size_t kStride = (Size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                                           alignof(std::max_align_t);
    struct State {
        Block* free = nullptr;
        char* bump = nullptr;  // the part of the newest chunk not handed out yet
        char* end = nullptr;
        std::size_t chunk = kFirstChunk;  // the size of the next chunk
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
            s.bump = static_cast<char*>(newChunk(s.chunk));
            s.end = s.bump + s.chunk;
            if (s.chunk < kMaxChunk)
                s.chunk *= 2;
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
