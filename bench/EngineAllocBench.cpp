// EngineAlloc / EngineFree on a mixed workload against glibc's malloc / free and, for links,
// against a plain free list of the same cells that hands back the link freed last. A working
// set of live blocks: each step frees one block picked at random, allocates a new one and
// writes all of it, as every caller does (a list insert fills its link; objects, strings and
// loaded data fill theirs). Link-sized requests come from the link pool, all others from the
// first-fit heap.
// Goals, in processor time: links at least 1.5 times malloc's speed, other sizes at least
// 0.7 times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineMemory.h"

namespace {

constexpr std::size_t kLiveBlocks = 2048;
constexpr std::size_t kSteps = 1 << 16;

enum class Mix { Mixed, LinksOnly, OthersOnly };

struct Step {
    std::uint32_t slot;
    std::uint32_t size;
};

// A fixed sequence per mix, the same for every allocator: 40 % link-sized requests, then
// small (8-128 bytes), medium (to 1 KB) and a few large (to 16 KB) blocks.
std::vector<Step> MakeSteps(Mix mix) {
    std::vector<Step> steps;
    steps.reserve(kSteps);
    std::uint32_t seed = 0x38549391u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 5;
    };
    while (steps.size() < kSteps) {
        const std::uint32_t slot = next() % kLiveBlocks;
        const std::uint32_t kind = next() % 100;
        std::uint32_t size = 0;
        if (kind < 40) size = sizeof(KDLLink);
        else if (kind < 75) size = 8 + next() % 120;
        else if (kind < 95) size = 128 + next() % 896;
        else size = 1024 + next() % 15360;
        const bool isLink = size == sizeof(KDLLink);
        if ((mix == Mix::LinksOnly && !isLink) || (mix == Mix::OthersOnly && isLink)) continue;
        steps.push_back({slot, size});
    }
    return steps;
}

struct EngineAllocator {
    static bool SetUp() { return HeapInit() == 0; }
    static void TearDown() { HeapTeardown(); }
    static void* Allocate(std::size_t size) { return EngineAlloc(size); }
    static void Release(void* block) { EngineFree(block); }
};

struct RuntimeAllocator {
    static bool SetUp() { return true; }
    static void TearDown() {}
    static void* Allocate(std::size_t size) { return std::malloc(size); }
    static void Release(void* block) { std::free(block); }
};

// The plainest pool of the same cells as the engine's (a header word, then the link): a
// singly linked free list through the cells, last freed first reused. Only links.
class FreeListLinks {
public:
    static bool SetUp() {
        cells_.assign(kLinkPoolCells, Cell{});
        for (std::size_t i = 0; i + 1 < cells_.size(); ++i) cells_[i].nextFree = &cells_[i + 1];
        first_ = cells_.data();
        return true;
    }
    static void TearDown() {
        cells_ = std::vector<Cell>();
        first_ = nullptr;
    }
    static void* Allocate(std::size_t) {
        Cell* cell = first_;
        first_ = cell->nextFree;
        return &cell->link;
    }
    static void Release(void* block) {
        if (block == nullptr) return;
        Cell* cell = reinterpret_cast<Cell*>(static_cast<std::uint8_t*>(block) - offsetof(Cell, link));
        cell->nextFree = first_;
        first_ = cell;
    }

private:
    struct Cell {
        Cell* nextFree;  // the header word
        KDLLink link;
    };
    static inline std::vector<Cell> cells_;
    static inline Cell* first_ = nullptr;
};

// No allocator at all, for what the loop, its two calls and the writes cost by themselves:
// how much faster one allocator can be than another is bounded by what is left of a step.
struct NoAllocator {
    static bool SetUp() { return true; }
    static void TearDown() {}
    __attribute__((noinline)) static void* Allocate(std::size_t size) {
        static std::uint64_t block[16384 / 8];
        benchmark::DoNotOptimize(size);
        return block;
    }
    __attribute__((noinline)) static void Release(void* block) { benchmark::DoNotOptimize(block); }
};

// What a caller does with a new block: a link gets its item and neighbours, as a list insert
// writes them; any other block is filled.
inline void WriteBlock(void* block, std::uint32_t size, std::uint32_t step) {
    if (size == sizeof(KDLLink)) {
        auto* link = static_cast<KDLLink*>(block);
        link->item = block;
        link->previous = nullptr;
        link->next = reinterpret_cast<KDLLink*>(std::uintptr_t{step});
        return;
    }
    std::memset(block, static_cast<int>(step), size);
}

template <typename Allocator>
void RunWorkload(benchmark::State& state, Mix mix) {
    if (!Allocator::SetUp()) {
        state.SkipWithError("the allocator could not be set up");
        return;
    }
    const std::vector<Step> steps = MakeSteps(mix);
    std::vector<void*> live(kLiveBlocks, nullptr);
    std::size_t failures = 0;
    std::uint32_t written = 0;
    auto pass = [&] {
        for (const Step& step : steps) {
            void*& slot = live[step.slot];
            Allocator::Release(slot);
            slot = Allocator::Allocate(step.size);
            if (slot == nullptr) {
                ++failures;
                continue;
            }
            WriteBlock(slot, step.size, ++written);
        }
    };
    // The steady state is measured: the first passes, untimed, fault in the memory each
    // allocator uses, which it keeps from then on; for the link pool, every cell once.
    const auto linkSteps = static_cast<std::size_t>(
        std::count_if(steps.begin(), steps.end(), [](const Step& step) { return step.size == sizeof(KDLLink); }));
    const std::size_t warmUpPasses = linkSteps != 0 ? (kLinkPoolCells + linkSteps - 1) / linkSteps + 1 : 1;
    for (std::size_t warmUp = 0; warmUp < warmUpPasses; ++warmUp) pass();
    for (auto _ : state) {
        pass();
        benchmark::ClobberMemory();
    }
    for (void*& slot : live) {
        Allocator::Release(slot);
        slot = nullptr;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(steps.size()));
    state.counters["failures"] = static_cast<double>(failures);
    Allocator::TearDown();
}

void EngineMixed(benchmark::State& state) { RunWorkload<EngineAllocator>(state, Mix::Mixed); }
void MallocMixed(benchmark::State& state) { RunWorkload<RuntimeAllocator>(state, Mix::Mixed); }
void EngineLinks(benchmark::State& state) { RunWorkload<EngineAllocator>(state, Mix::LinksOnly); }
void MallocLinks(benchmark::State& state) { RunWorkload<RuntimeAllocator>(state, Mix::LinksOnly); }
void FreeListLinksOnly(benchmark::State& state) { RunWorkload<FreeListLinks>(state, Mix::LinksOnly); }
void EngineOthers(benchmark::State& state) { RunWorkload<EngineAllocator>(state, Mix::OthersOnly); }
void MallocOthers(benchmark::State& state) { RunWorkload<RuntimeAllocator>(state, Mix::OthersOnly); }
void LoopOnlyLinks(benchmark::State& state) { RunWorkload<NoAllocator>(state, Mix::LinksOnly); }
void LoopOnlyOthers(benchmark::State& state) { RunWorkload<NoAllocator>(state, Mix::OthersOnly); }

BENCHMARK(EngineMixed);
BENCHMARK(MallocMixed);
BENCHMARK(EngineLinks);
BENCHMARK(MallocLinks);
BENCHMARK(FreeListLinksOnly);
BENCHMARK(EngineOthers);
BENCHMARK(MallocOthers);
BENCHMARK(LoopOnlyLinks);
BENCHMARK(LoopOnlyOthers);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"EngineLinks", "MallocLinks", Ratio::Speed, Clock::Cpu, 1.5}) &&
                       bench::Compare({"EngineLinks", "FreeListLinksOnly", Ratio::Speed, Clock::Cpu, 0}) &&
                       bench::Compare({"EngineOthers", "MallocOthers", Ratio::Speed, Clock::Cpu, 0.7}) &&
                       bench::Compare({"EngineMixed", "MallocMixed", Ratio::Speed, Clock::Cpu, 0});

}  // namespace
