#pragma once
// Memory for the drawing's entities and their points sets. A large drawing
// holds hundreds of thousands of small blocks; taken one by one from the
// system heap, every 4 KB they first touch costs a page fault, and opening
// a large file spends more time in those faults than in reading it.
// TBlockPool carves blocks of 16-byte size classes out of large regions that
// ask the kernel for huge pages, and keeps the blocks freed on one free list
// per class for the next ones of that size. Regions are never handed back
// while the pool lives, so memory freed by a closed drawing serves the next.
//
// The kernel clears each page on its first touch, and for a large drawing
// that clearing is a good part of the reading. Helper threads of the pool
// therefore make the pages just ahead of the allocation cursor resident
// (madvise MADV_POPULATE_WRITE, which leaves what the pages hold alone), a
// huge page each at a time, so that the clearing overlaps the work of the
// thread that allocates. Where the kernel cannot do that the helpers stop
// and nothing else changes.
//
// Blocks above kLargestBlock bytes come from the ordinary heap. Every block
// is aligned for any type (16 bytes). All members are thread-safe.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

class TBlockPool {
public:
    static constexpr size_t kLargestBlock = 4096;
    static constexpr size_t kGranule = 16;
    // How far ahead of the allocation cursor the helpers keep pages resident.
    static constexpr size_t kTouchAhead = size_t{8} << 20;
    static constexpr int kTouchers = 2;

    explicit TBlockPool(size_t regionBytes = size_t{32} << 20);
    ~TBlockPool();
    TBlockPool(const TBlockPool&) = delete;
    TBlockPool& operator=(const TBlockPool&) = delete;

    // A block of at least bytes bytes (0 counts as 1); raises std::bad_alloc
    // when the system has no memory left.
    void* Allocate(size_t bytes);
    // Takes back a block of this pool; bytes is the size it was asked with.
    void Free(void* block, size_t bytes) noexcept;
    // How many regions the pool has taken from the system.
    size_t RegionCount() const;

private:
    // A block of 0 bytes is one of 1.
    static size_t ClassOf(size_t bytes) { return ((bytes == 0 ? 1 : bytes) + kGranule - 1) / kGranule; }
    void NewRegion();
    // Wakes the helpers (starting them on first need) when the cursor has
    // come within half of kTouchAhead of the pages made resident. Under
    // m_Mutex.
    void TouchAhead();
    void TouchLoop();

    struct TFreeBlock {
        TFreeBlock* Next;
    };
    mutable std::mutex m_Mutex;
    size_t m_RegionBytes;
    std::vector<std::pair<void*, size_t>> m_Regions; // as mapped, for unmapping
    char* m_Next = nullptr;                           // the unused rest of the newest region
    char* m_End = nullptr;
    TFreeBlock* m_Free[kLargestBlock / kGranule + 1] = {};

    // The helpers' work: [m_Touched, m_TouchTarget) of the newest region is
    // still to be taken on.
    std::thread m_Touchers[kTouchers];
    std::condition_variable m_TouchWake;
    char* m_Touched = nullptr;
    char* m_TouchTarget = nullptr;
    bool m_TouchFailed = false;
    bool m_Stopping = false;
};

// The pool every entity and points set of the process lives in. Built with
// the address sanitizer, these hand each block to the ordinary heap instead,
// so that the sanitizer keeps watching every entity's memory.
void* AllocateEntityMemory(size_t bytes);
void FreeEntityMemory(void* block, size_t bytes) noexcept;
// The pool of the object lists' nodes (their links and their ID index), the
// same way. Apart from the entities, the nodes of a list filled in one go lie
// side by side, so that walking or re-indexing them reads memory in order.
void* AllocateListNodeMemory(size_t bytes);
void FreeListNodeMemory(void* block, size_t bytes) noexcept;

// A standard allocator on one of the pools above.
template <class T, void* (*AllocateBlock)(size_t), void (*FreeBlock)(void*, size_t) noexcept>
struct TPoolAllocator {
    using value_type = T;
    template <class U>
    struct rebind {
        using other = TPoolAllocator<U, AllocateBlock, FreeBlock>;
    };
    TPoolAllocator() = default;
    template <class U>
    TPoolAllocator(const TPoolAllocator<U, AllocateBlock, FreeBlock>&) noexcept
    {
    }
    T* allocate(size_t n) { return static_cast<T*>(AllocateBlock(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { FreeBlock(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const TPoolAllocator<U, AllocateBlock, FreeBlock>&) const noexcept
    {
        return true;
    }
};

// For the storage of the entities' points.
template <class T>
using TEntityAllocator = TPoolAllocator<T, AllocateEntityMemory, FreeEntityMemory>;
// For the nodes of the object lists.
template <class T>
using TListNodeAllocator = TPoolAllocator<T, AllocateListNodeMemory, FreeListNodeMemory>;

// Gives a class (and every class derived from it) the entities' pool as the
// place its objects are made in with new.
#define KB_ENTITY_MEMORY                                                                                          \
    static void* operator new(size_t bytes) { return AllocateEntityMemory(bytes); }                               \
    static void operator delete(void* block, size_t bytes) noexcept { FreeEntityMemory(block, bytes); }
