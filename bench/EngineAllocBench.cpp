// EngineAlloc / EngineFree against malloc / free on the same mixed workload: a working set of
// live blocks in which each step frees one block picked at random and allocates a new one.
// Link-sized requests come from the link pool, all others from the first-fit heap.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

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

// A fixed sequence per mix, the same for both allocators: 40 % link-sized requests, then
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
    static void* Allocate(std::size_t size) { return EngineAlloc(size); }
    static void Release(void* block) { EngineFree(block); }
};

struct RuntimeAllocator {
    static void* Allocate(std::size_t size) { return std::malloc(size); }
    static void Release(void* block) { std::free(block); }
};

// No allocator at all, for what the loop and its two calls cost by themselves: how much
// faster one allocator can be than the other is bounded by what is left of a step.
struct NoAllocator {
    __attribute__((noinline)) static void* Allocate(std::size_t size) {
        static std::uint64_t block[2];
        benchmark::DoNotOptimize(size);
        return block;
    }
    __attribute__((noinline)) static void Release(void* block) { benchmark::DoNotOptimize(block); }
};

template <typename Allocator>
void RunWorkload(benchmark::State& state, Mix mix) {
    if (HeapInit() != 0) {
        state.SkipWithError("the engine heaps could not be set up");
        return;
    }
    const std::vector<Step> steps = MakeSteps(mix);
    std::vector<void*> live(kLiveBlocks, nullptr);
    std::size_t failures = 0;
    for (auto _ : state) {
        for (const Step& step : steps) {
            void*& slot = live[step.slot];
            Allocator::Release(slot);
            slot = Allocator::Allocate(step.size);
            if (slot == nullptr) ++failures;
        }
        benchmark::ClobberMemory();
    }
    for (void*& slot : live) {
        Allocator::Release(slot);
        slot = nullptr;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(steps.size()));
    state.counters["failures"] = static_cast<double>(failures);
    HeapTeardown();
}

void EngineMixed(benchmark::State& state) { RunWorkload<EngineAllocator>(state, Mix::Mixed); }
void MallocMixed(benchmark::State& state) { RunWorkload<RuntimeAllocator>(state, Mix::Mixed); }
void EngineLinks(benchmark::State& state) { RunWorkload<EngineAllocator>(state, Mix::LinksOnly); }
void MallocLinks(benchmark::State& state) { RunWorkload<RuntimeAllocator>(state, Mix::LinksOnly); }
void EngineOthers(benchmark::State& state) { RunWorkload<EngineAllocator>(state, Mix::OthersOnly); }
void MallocOthers(benchmark::State& state) { RunWorkload<RuntimeAllocator>(state, Mix::OthersOnly); }
void LoopOnly(benchmark::State& state) { RunWorkload<NoAllocator>(state, Mix::LinksOnly); }

BENCHMARK(EngineMixed);
BENCHMARK(MallocMixed);
BENCHMARK(EngineLinks);
BENCHMARK(MallocLinks);
BENCHMARK(EngineOthers);
BENCHMARK(MallocOthers);
BENCHMARK(LoopOnly);

}  // namespace
