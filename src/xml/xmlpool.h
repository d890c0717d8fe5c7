// Fixed-size block pools for the XML tree's nodes and lists (not installed).
//
// A parsed document has several nodes per element, and general-purpose allocation of each one
// dominates parsing time and adds a header to every block. The pools carve blocks out of 64 KiB
// chunks and keep freed blocks on a free list of the freeing thread for reuse; chunks are kept
// for the life of the process, so the memory of the largest tree a thread has built stays
// reserved for the next one.
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
    static constexpr std::size_t kChunk = 64 * 1024;
    static constexpr std::size_t kStride = (Size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                                           alignof(std::max_align_t);

    static Block*& freeList()
    {
        thread_local Block* head = nullptr;
        return head;
    }

    static Block* refill()
    {
        char* chunk = static_cast<char*>(::operator new(kChunk));
        Block* head = nullptr;
        for (std::size_t off = (kChunk / kStride - 1) * kStride;; off -= kStride) {
            Block* b = reinterpret_cast<Block*>(chunk + off);
            b->next = head;
            head = b;
            if (off == 0)
                break;
        }
        return head;
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
        Block*& head = freeList();
        if (!head)
            head = refill();
        Block* b = head;
        head = b->next;
        return b;
    }

    static void deallocate(void* p) noexcept
    {
        if (!p)
            return;
        Block*& head = freeList();
        Block* b = static_cast<Block*>(p);
        b->next = head;
        head = b;
    }
#endif
};

} // namespace lm::xmlpool
