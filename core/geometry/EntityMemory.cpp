#include "core/geometry/EntityMemory.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>

#include <sys/mman.h>

namespace {

constexpr size_t HugePage = size_t{2} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool UseHeap = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool UseHeap = true;
#else
constexpr bool UseHeap = false;
#endif
#else
constexpr bool UseHeap = false;
#endif

} // namespace

TBlockPool::TBlockPool(size_t regionBytes) : m_RegionBytes(regionBytes < HugePage ? HugePage : regionBytes) {}

TBlockPool::~TBlockPool()
{
    {
        const std::lock_guard lock(m_Mutex);
        m_Stopping = true;
    }
    m_TouchWake.notify_all();
    for (std::thread& toucher : m_Touchers)
        if (toucher.joinable())
            toucher.join();
    for (const auto& [start, bytes] : m_Regions)
        munmap(start, bytes);
}

void TBlockPool::NewRegion()
{
    // One huge page more than asked, so that the region can start on a huge
    // page boundary.
    const size_t mapped = m_RegionBytes + HugePage;
    void* start = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        throw std::bad_alloc();
    m_Regions.emplace_back(start, mapped);
    const auto address = reinterpret_cast<uintptr_t>(start);
    char* aligned = reinterpret_cast<char*>((address + HugePage - 1) & ~(HugePage - 1));
    // Only a hint: without huge pages the region works all the same.
    madvise(aligned, m_RegionBytes, MADV_HUGEPAGE);
    m_Next = aligned;
    m_End = aligned + m_RegionBytes;
    m_Touched = aligned;
    m_TouchTarget = aligned;
}

void TBlockPool::TouchAhead()
{
    if (m_TouchFailed || m_Stopping)
        return;
    const auto ahead = reinterpret_cast<uintptr_t>(m_Next) + kTouchAhead;
    char* target = std::min(reinterpret_cast<char*>((ahead + HugePage - 1) & ~(HugePage - 1)), m_End);
    if (target <= m_TouchTarget)
        return;
    m_TouchTarget = target;
    if (!m_Touchers[0].joinable()) {
        try {
            for (std::thread& toucher : m_Touchers)
                toucher = std::thread([this] { TouchLoop(); });
        } catch (const std::exception&) {
            // No thread to spare: the pages fault in as they are used.
            if (!m_Touchers[0].joinable())
                m_TouchFailed = true;
        }
    }
    m_TouchWake.notify_all();
}

void TBlockPool::TouchLoop()
{
    std::unique_lock lock(m_Mutex);
    while (true) {
        m_TouchWake.wait(lock, [this] { return m_Stopping || m_TouchFailed || m_Touched < m_TouchTarget; });
        if (m_Stopping || m_TouchFailed)
            return;
        // One huge page (or the rest up to the target) is this helper's.
        char* const from = m_Touched;
        char* const to = static_cast<size_t>(m_TouchTarget - from) > HugePage ? from + HugePage : m_TouchTarget;
        m_Touched = to;
        lock.unlock();
        // The range lies inside a region that stays mapped while the pool
        // lives; pages already resident are left as they are.
        const bool done = madvise(from, static_cast<size_t>(to - from), MADV_POPULATE_WRITE) == 0;
        lock.lock();
        if (!done) {
            m_TouchFailed = true;
            m_TouchWake.notify_all();
            return;
        }
    }
}

void* TBlockPool::Allocate(size_t bytes)
{
    if (bytes > kLargestBlock)
        return ::operator new(bytes);
    const size_t sizeClass = ClassOf(bytes);
    const std::lock_guard lock(m_Mutex);
    if (TFreeBlock* block = m_Free[sizeClass]) {
        m_Free[sizeClass] = block->Next;
        return block;
    }
    const size_t size = sizeClass * kGranule;
    if (static_cast<size_t>(m_End - m_Next) < size)
        NewRegion();
    void* block = m_Next;
    m_Next += size;
    if (reinterpret_cast<uintptr_t>(m_Next) + kTouchAhead / 2 > reinterpret_cast<uintptr_t>(m_TouchTarget))
        TouchAhead();
    return block;
}

void TBlockPool::Free(void* block, size_t bytes) noexcept
{
    if (!block)
        return;
    if (bytes > kLargestBlock) {
        ::operator delete(block);
        return;
    }
    const size_t sizeClass = ClassOf(bytes);
    const std::lock_guard lock(m_Mutex);
    auto* freed = static_cast<TFreeBlock*>(block);
    freed->Next = m_Free[sizeClass];
    m_Free[sizeClass] = freed;
}

size_t TBlockPool::RegionCount() const
{
    const std::lock_guard lock(m_Mutex);
    return m_Regions.size();
}

namespace {

// The pools are never destroyed: entities and lists freed during the
// process's exit still come back to them.
TBlockPool& EntityPool()
{
    static TBlockPool* pool = new TBlockPool();
    return *pool;
}

TBlockPool& ListNodePool()
{
    static TBlockPool* pool = new TBlockPool();
    return *pool;
}

void* AllocateFrom(TBlockPool& pool, size_t bytes)
{
    if constexpr (UseHeap)
        return ::operator new(bytes);
    else
        return pool.Allocate(bytes);
}

void FreeTo(TBlockPool& pool, void* block, size_t bytes) noexcept
{
    if constexpr (UseHeap)
        ::operator delete(block);
    else
        pool.Free(block, bytes);
}

} // namespace

void* AllocateEntityMemory(size_t bytes)
{
    return AllocateFrom(EntityPool(), bytes);
}

void FreeEntityMemory(void* block, size_t bytes) noexcept
{
    FreeTo(EntityPool(), block, bytes);
}

void* AllocateListNodeMemory(size_t bytes)
{
    return AllocateFrom(ListNodePool(), bytes);
}

void FreeListNodeMemory(void* block, size_t bytes) noexcept
{
    FreeTo(ListNodePool(), block, bytes);
}
