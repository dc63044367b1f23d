// Tests of the first-fit heap against a plain model of it: the lowest free block large enough,
// cut from the front, merged on free, and bounded by the block records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <vector>

#include "engine/core/memory/Heap.h"

namespace {

// First fit the obvious way: free blocks by address, walked from the lowest.
class ModelHeap {
public:
    ModelHeap(std::size_t size, std::size_t records) : records_(records) { free_[0] = size; }

    // The offset of the new block, or -1.
    long Alloc(std::size_t size) {
        const std::size_t wanted = size < 16 ? 16 : (size + 15) / 16 * 16;
        for (auto block = free_.begin(); block != free_.end(); ++block) {
            if (block->second < wanted) continue;
            const std::size_t at = block->first;
            const std::size_t left = block->second - wanted;
            if (left != 0 && blocks_ >= records_) return -1;
            free_.erase(block);
            if (left != 0) {
                free_[at + wanted] = left;
                ++blocks_;
            }
            used_[at] = wanted;
            return static_cast<long>(at);
        }
        return -1;
    }

    bool Free(std::size_t at) {
        const auto block = used_.find(at);
        if (block == used_.end()) return false;
        std::size_t start = at;
        std::size_t size = block->second;
        used_.erase(block);
        const auto above = free_.find(at + size);
        if (above != free_.end()) {
            size += above->second;
            free_.erase(above);
            --blocks_;
        }
        const auto next = free_.lower_bound(at);
        if (next != free_.begin()) {
            const auto below = std::prev(next);
            if (below->first + below->second == at) {
                start = below->first;
                size += below->second;
                free_.erase(below);
                --blocks_;
            }
        }
        free_[start] = size;
        return true;
    }

    const std::map<std::size_t, std::size_t>& FreeBlocks() const { return free_; }

private:
    std::map<std::size_t, std::size_t> free_;
    std::map<std::size_t, std::size_t> used_;
    std::size_t records_;
    std::size_t blocks_ = 1;
};

void ExpectSameFreeBlocks(const Heap& heap, const ModelHeap& model) {
    std::vector<Heap::Span> blocks;
    heap.ForEachFreeBlock(
        [](const Heap::Span& block, void* context) { static_cast<std::vector<Heap::Span>*>(context)->push_back(block); },
        &blocks);
    ASSERT_EQ(blocks.size(), model.FreeBlocks().size());
    ASSERT_EQ(heap.FreeBlockCount(), blocks.size());
    std::size_t i = 0;
    for (const auto& [at, size] : model.FreeBlocks()) {
        EXPECT_EQ(blocks[i].address, heap.Base() + at);
        EXPECT_EQ(blocks[i].size, size);
        ++i;
    }
}

struct TrafficCase {
    const char* name;
    std::size_t heapSize;
    DWORD records;
    std::size_t largest;  // the largest request
};

TEST(HeapFirstFit, RandomTrafficMatchesThePlainModel) {
    // Small requests that fill holes, large ones above the tree's cap, and a record limit
    // that makes splits fail.
    const TrafficCase cases[] = {
        {"2 MB", 0x200000, 100000, 40000},
        {"8 MB, requests above the cap", 0x800000, 100000, 0x280000},
        {"few records", 0x300000, 200, 3000},
    };
    for (const TrafficCase& test : cases) {
        SCOPED_TRACE(test.name);
        Heap heap;
        ASSERT_EQ(heap.Init(test.heapSize, test.records), 1);
        ModelHeap model(heap.Size(), test.records);
        std::vector<long> live;
        std::uint32_t seed = 2024;
        auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
        for (int step = 0; step < 12000; ++step) {
            const std::uint32_t roll = next() % 100;
            if (roll < 45 && !live.empty()) {
                const std::size_t index = next() % live.size();
                const long at = live[index];
                live[index] = live.back();
                live.pop_back();
                ASSERT_TRUE(heap.Free(heap.Base() + at));
                ASSERT_TRUE(model.Free(static_cast<std::size_t>(at)));
            } else if (roll < 48) {
                // Addresses inside blocks, between them or already freed change nothing.
                const std::size_t at = next() % heap.Size();
                const bool freed = heap.Free(heap.Base() + at);
                ASSERT_EQ(freed, model.Free(at)) << at;
                if (freed) std::erase(live, static_cast<long>(at));
            } else {
                const std::uint32_t kind = next() % 100;
                const std::size_t size = kind < 60 ? next() % 256 : kind < 97 ? next() % 4096 : next() % test.largest;
                void* block = heap.Alloc(size);
                const long at = block != nullptr ? static_cast<long>(static_cast<BYTE*>(block) - heap.Base()) : -1;
                ASSERT_EQ(at, model.Alloc(size)) << "request of " << size << " bytes at step " << step;
                if (at >= 0) live.push_back(at);
            }
            if (step % 2000 == 0) ExpectSameFreeBlocks(heap, model);
        }
        ExpectSameFreeBlocks(heap, model);
        for (long at : live) ASSERT_TRUE(heap.Free(heap.Base() + at));
        EXPECT_EQ(heap.FreeBlockCount(), 1u);
        EXPECT_EQ(heap.UsedBytes(), 0u);
    }
}

TEST(HeapFirstFit, RunsOfRequestsFreedInShuffledOrderMatchThePlainModel) {
    // As a file's tree is built and torn down: runs of requests, each freed whole in an
    // order near the order of the requests, with some blocks kept across runs.
    Heap heap;
    ASSERT_EQ(heap.Init(0x200000, 100000), 1);
    ModelHeap model(heap.Size(), 100000);
    std::uint32_t seed = 77;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    std::vector<long> kept;
    for (int run = 0; run < 40; ++run) {
        std::vector<long> blocks;
        for (int i = 0; i < 300; ++i) {
            const std::size_t size = next() % 8 == 0 ? next() % 2000 : next() % 64;
            void* block = heap.Alloc(size);
            const long at = block != nullptr ? static_cast<long>(static_cast<BYTE*>(block) - heap.Base()) : -1;
            ASSERT_EQ(at, model.Alloc(size)) << "run " << run << ", request " << i;
            if (at >= 0) (next() % 50 == 0 ? kept : blocks).push_back(at);
        }
        // Neighbours swap places now and then.
        for (std::size_t i = 1; i < blocks.size(); ++i)
            if (next() % 3 == 0) std::swap(blocks[i - 1], blocks[i]);
        if (run % 2 == 1) std::reverse(blocks.begin(), blocks.end());
        for (long at : blocks) {
            ASSERT_TRUE(heap.Free(heap.Base() + at));
            ASSERT_TRUE(model.Free(static_cast<std::size_t>(at)));
        }
        ExpectSameFreeBlocks(heap, model);
    }
    for (long at : kept) ASSERT_TRUE(heap.Free(heap.Base() + at));
    EXPECT_EQ(heap.FreeBlockCount(), 1u);
}

TEST(HeapFirstFit, LargeRequestsPassOverLargeBlocksThatAreTooSmall) {
    // Free blocks of 600 KB, 700 KB and 2 MB, all above what the tree tells apart.
    constexpr std::size_t kKilobyte = 1024;
    const std::size_t cap = std::size_t{Heap::kTreeCap} * Heap::kBlockUnit;
    ASSERT_LT(cap, 600 * kKilobyte);
    Heap heap;
    ASSERT_EQ(heap.Init(0x800000, 100), 1);
    std::vector<BYTE*> blocks;
    for (std::size_t size : {600 * kKilobyte, 16 * kKilobyte, 700 * kKilobyte, 16 * kKilobyte, 2048 * kKilobyte,
                             16 * kKilobyte}) {
        blocks.push_back(static_cast<BYTE*>(heap.Alloc(size)));
        ASSERT_NE(blocks.back(), nullptr);
    }
    for (int hole : {0, 2, 4}) ASSERT_TRUE(heap.Free(blocks[hole]));

    EXPECT_EQ(heap.Alloc(650 * kKilobyte), blocks[2]);
    EXPECT_EQ(heap.Alloc(1024 * kKilobyte), blocks[4]);
    EXPECT_EQ(heap.Alloc(cap + 16), blocks[0]);
    // What is left of the 2 MB block is the lowest block above 1 MB now; nothing fits 6 MB.
    EXPECT_EQ(heap.Alloc(1000 * kKilobyte), blocks[4] + 1024 * kKilobyte);
    EXPECT_EQ(heap.Alloc(6 * 1024 * kKilobyte), nullptr);
}

}  // namespace
