// The main of every benchmark program: runs the benchmarks with the console reporter, keeps
// each one's time per iteration, and prints the declared pairs as ratios at the end. With
// repetitions (--benchmark_repetitions) each side's median is compared; interleaving them
// (--benchmark_enable_random_interleaving) spreads the noise of a shared machine over both.
#include "bench/BenchCompare.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace bench {
namespace {

std::vector<Comparison>& Comparisons() {
    static std::vector<Comparison> comparisons;
    return comparisons;
}

struct Times {
    std::vector<double> cpu;   // seconds per iteration, one per repetition
    std::vector<double> real;
    // The median the library worked out, for runs that report only their aggregates.
    double medianCpu = 0;
    double medianReal = 0;

    double Of(Clock clock) const {
        const std::vector<double>& each = clock == Clock::Cpu ? cpu : real;
        if (each.empty()) return clock == Clock::Cpu ? medianCpu : medianReal;
        std::vector<double> sorted = each;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t middle = sorted.size() / 2;
        return sorted.size() % 2 != 0 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    }
};


class ComparingReporter : public benchmark::ConsoleReporter {
public:
    explicit ComparingReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            Times& times = times_[run.run_name.function_name];
            if (run.run_type == Run::RT_Iteration) {
                times.cpu.push_back(run.GetAdjustedCPUTime() / unit);
                times.real.push_back(run.GetAdjustedRealTime() / unit);
            } else if (run.aggregate_name == "median") {
                times.medianCpu = run.GetAdjustedCPUTime() / unit;
                times.medianReal = run.GetAdjustedRealTime() / unit;
            }
        }
    }

    void PrintComparisons() const {
        if (Comparisons().empty()) return;
        std::printf("\nRatios (median per iteration of each side, measured in this run):\n");
        for (const Comparison& comparison : Comparisons()) {
            const auto subject = times_.find(comparison.subject);
            const auto baseline = times_.find(comparison.baseline);
            // A filter may have left out either side.
            if (subject == times_.end() || baseline == times_.end()) continue;
            const bool cpu = comparison.clock == Clock::Cpu;
            const double subjectTime = subject->second.Of(comparison.clock);
            const double baselineTime = baseline->second.Of(comparison.clock);
            if (subjectTime <= 0 || baselineTime <= 0) {
                std::printf("  %s against %s: no time measured\n", comparison.subject, comparison.baseline);
                continue;
            }
            const bool speed = comparison.ratio == Ratio::Speed;
            const double ratio = speed ? baselineTime / subjectTime : subjectTime / baselineTime;
            std::printf("  %s against %s: %.2fx the %s (%s time)", comparison.subject, comparison.baseline, ratio,
                        speed ? "speed" : "time", cpu ? "processor" : "wall-clock");
            if (comparison.goal > 0) {
                const bool met = speed ? ratio >= comparison.goal : ratio <= comparison.goal;
                std::printf("; goal %s %.2fx: %s", speed ? "at least" : "at most", comparison.goal,
                            met ? "met" : "NOT met");
            }
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    std::map<std::string, Times> times_;
};

}  // namespace

bool Compare(const Comparison& comparison) {
    Comparisons().push_back(comparison);
    return true;
}

}  // namespace bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Colours only on a terminal, as the library's own reporter does by default.
    const auto options = isatty(STDOUT_FILENO) != 0 ? benchmark::ConsoleReporter::OO_Defaults
                                                    : benchmark::ConsoleReporter::OO_Tabular;
    bench::ComparingReporter reporter(options);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintComparisons();
    benchmark::Shutdown();
    return 0;
}
