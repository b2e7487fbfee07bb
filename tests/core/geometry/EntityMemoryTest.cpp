// The block pool the entities live in: blocks of each size are distinct,
// aligned and keep what is written into them; freed blocks serve the next
// block of their size class; large blocks go to the heap; a region that runs
// full is followed by another; the pages made resident ahead of use keep
// what is written into them; threads may allocate at once.

#include "core/entities/Line2D.h"
#include "core/geometry/EntityMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace entity_memory_test {

namespace {

TEST(BlockPool, BlocksAreDistinctAlignedAndKeepTheirBytes)
{
    TBlockPool pool(1);
    struct TBlock {
        unsigned char* Start;
        size_t Size;
    };
    std::vector<TBlock> blocks;
    for (size_t size : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{72}, size_t{448},
                        size_t{1368}, TBlockPool::kLargestBlock, TBlockPool::kLargestBlock + 1, size_t{100000}})
        for (int copy = 0; copy < 3; ++copy) {
            auto* start = static_cast<unsigned char*>(pool.Allocate(size));
            EXPECT_EQ(reinterpret_cast<uintptr_t>(start) % 16, 0u) << size;
            std::memset(start, static_cast<int>(blocks.size() & 0xFF), size);
            blocks.push_back({start, size});
        }
    // No two blocks overlap, and each still holds its own fill.
    std::vector<TBlock> sorted = blocks;
    std::sort(sorted.begin(), sorted.end(), [](const TBlock& a, const TBlock& b) { return a.Start < b.Start; });
    for (size_t i = 1; i < sorted.size(); ++i)
        EXPECT_LE(sorted[i - 1].Start + std::max<size_t>(sorted[i - 1].Size, 1), sorted[i].Start);
    for (size_t i = 0; i < blocks.size(); ++i)
        EXPECT_TRUE(std::all_of(blocks[i].Start, blocks[i].Start + blocks[i].Size,
                                [&](unsigned char b) { return b == (i & 0xFF); }))
            << "block " << i;
    for (const TBlock& b : blocks)
        pool.Free(b.Start, b.Size);
}

TEST(BlockPool, FreedBlocksServeTheirSizeClassAgain)
{
    TBlockPool pool(1);
    void* a = pool.Allocate(40);
    void* b = pool.Allocate(40);
    pool.Free(a, 40);
    EXPECT_NE(pool.Allocate(100), a); // another class
    EXPECT_EQ(pool.Allocate(33), a);  // 33..48 bytes share a's class
    pool.Free(b, 40);
    EXPECT_EQ(pool.Allocate(48), b);
}

TEST(BlockPool, AFullRegionIsFollowedByAnother)
{
    TBlockPool pool(1); // the smallest region: one huge page
    EXPECT_EQ(pool.RegionCount(), 0u);
    std::set<void*> blocks;
    for (int i = 0; i < 1000; ++i)
        blocks.insert(pool.Allocate(4000)); // about 4 MB in all
    EXPECT_EQ(blocks.size(), 1000u);
    EXPECT_GE(pool.RegionCount(), 2u);
}

TEST(BlockPool, BlocksKeepTheirBytesWhileThePagesAheadAreMadeResident)
{
    // Several regions' worth of blocks, each filled as soon as it is handed
    // out, while the pool's helper works on the pages just ahead of them.
    TBlockPool pool(1);
    constexpr size_t size = 1000;
    std::vector<unsigned char*> blocks;
    for (int i = 0; i < 8000; ++i) {
        auto* block = static_cast<unsigned char*>(pool.Allocate(size));
        std::memset(block, i % 251, size);
        blocks.push_back(block);
    }
    EXPECT_GE(pool.RegionCount(), 3u);
    for (size_t i = 0; i < blocks.size(); ++i)
        ASSERT_TRUE(std::all_of(blocks[i], blocks[i] + size, [&](unsigned char b) { return b == i % 251; }))
            << "block " << i;
}

TEST(BlockPool, ThreadsAllocateAndFreeAtOnce)
{
    TBlockPool pool(1);
    std::vector<std::vector<void*>> taken(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < taken.size(); ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                void* block = pool.Allocate(64);
                std::memset(block, static_cast<int>(t), 64);
                if (i % 3 == 0)
                    pool.Free(block, 64);
                else
                    taken[t].push_back(block);
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    std::set<void*> all;
    for (size_t t = 0; t < taken.size(); ++t)
        for (void* block : taken[t]) {
            all.insert(block);
            const auto* bytes = static_cast<const unsigned char*>(block);
            EXPECT_TRUE(std::all_of(bytes, bytes + 64, [&](unsigned char b) { return b == t; }));
        }
    EXPECT_EQ(all.size(), taken[0].size() * taken.size());
}

TEST(BlockPool, EntitiesAndTheirPointsAreMadeAndFreedThroughIt)
{
    // Many lines made and dropped in turns: each keeps its points whatever
    // was freed before it.
    std::vector<std::unique_ptr<TLine2D>> lines;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 500; ++i)
            lines.push_back(std::make_unique<TLine2D>(i, MakePoint2D(i, round), MakePoint2D(i + 1, round + 1)));
        for (size_t i = 0; i < lines.size(); i += 2)
            lines[i].reset();
        std::erase(lines, nullptr);
    }
    for (const auto& line : lines) {
        const TPoint2D a = line->Points().Get(0);
        const TPoint2D b = line->Points().Get(1);
        EXPECT_EQ(b.X, a.X + 1);
        EXPECT_EQ(b.Y, a.Y + 1);
    }
}

} // namespace

}  // namespace entity_memory_test
