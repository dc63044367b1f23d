// Timing shared between the benchmarks of one program, so that a benchmark can print its
// ratio to a baseline measured in the same run: the baseline records its time per
// iteration, the benchmark compared with it reads it back.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>

namespace bench_ratio {

// Nanoseconds per iteration by name, of the benchmarks run so far.
inline std::map<std::string, double>& Recorded() {
    static std::map<std::string, double> recorded;
    return recorded;
}

// Times every iteration of the state's loop body with `body` and records the mean.
template <typename Body>
void TimeIterations(benchmark::State& state, const std::string& name, Body body) {
    double total = 0;
    std::int64_t count = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        body();
        total += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
        ++count;
    }
    if (count > 0) Recorded()[name] = total / static_cast<double>(count);
}

// Adds the counter `label` = baseline time / this benchmark's time (how many times faster it
// is) when both were recorded.
inline void ReportRatio(benchmark::State& state, const std::string& name, const std::string& baseline,
                        const std::string& label) {
    const auto own = Recorded().find(name);
    const auto base = Recorded().find(baseline);
    if (own != Recorded().end() && base != Recorded().end() && own->second > 0)
        state.counters[label] = base->second / own->second;
}

}  // namespace bench_ratio
