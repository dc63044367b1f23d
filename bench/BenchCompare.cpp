// The main of every benchmark program: runs the benchmarks with the console reporter, keeps
// each one's time per iteration and counters, and prints the declared pairs as ratios at the
// end. With repetitions (--benchmark_repetitions) each side's median is compared;
// interleaving them (--benchmark_enable_random_interleaving) spreads the noise of a shared
// machine over both.
#include "bench/BenchCompare.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
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

struct Role {
    const char* argument;
    int (*run)();
};

std::vector<Role>& Roles() {
    static std::vector<Role> roles;
    return roles;
}

// One figure of a benchmark: its value in each repetition, or the median the library worked
// out for runs that report only their aggregates.
struct Figure {
    std::vector<double> each;
    double median = 0;
    bool rate = false;  // a counter per second

    void Add(bool isMedian, double value) {
        if (isMedian) median = value;
        else each.push_back(value);
    }

    double Value() const {
        if (each.empty()) return median;
        std::vector<double> sorted = each;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t middle = sorted.size() / 2;
        return sorted.size() % 2 != 0 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    }
};

// What a benchmark measured: seconds per iteration on each clock, and its counters.
struct Measured {
    Figure cpu;
    Figure real;
    std::map<std::string, Figure> counters;

    const Figure& Time(Clock clock) const { return clock == Clock::Cpu ? cpu : real; }
};

// A value with a decimal prefix, as "4.38m" or "312M".
std::string Scaled(double value) {
    static const char* const kPrefixes[] = {"n", "u", "m", "", "k", "M", "G"};
    int prefix = 3;
    while (prefix > 0 && std::fabs(value) < 1 && value != 0) {
        value *= 1000;
        --prefix;
    }
    while (prefix < 6 && std::fabs(value) >= 999.5) {
        value /= 1000;
        ++prefix;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3g%s", value, kPrefixes[prefix]);
    return text;
}

class ComparingReporter : public benchmark::ConsoleReporter {
public:
    explicit ComparingReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool isMedian = run.run_type == Run::RT_Aggregate;
            if (isMedian && run.aggregate_name != "median") continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            Measured& measured = measured_[name];
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const double real = run.GetAdjustedRealTime() / unit;
            // A benchmark that times itself reports its time as the real time; the processor
            // time of the thread that waited for it says nothing.
            const bool timesItself = run.run_name.time_type.find("manual_time") != std::string::npos;
            measured.cpu.Add(isMedian, timesItself ? real : run.GetAdjustedCPUTime() / unit);
            measured.real.Add(isMedian, real);
            for (const auto& [counterName, counter] : run.counters) {
                Figure& figure = measured.counters[counterName];
                figure.rate = (counter.flags & benchmark::Counter::kIsRate) != 0;
                figure.Add(isMedian, counter.value);
            }
        }
    }

    void PrintComparisons() const {
        bool headed = false;
        for (const Comparison& comparison : Comparisons()) {
            const auto subject = measured_.find(comparison.subject);
            const auto baseline = measured_.find(comparison.baseline);
            // A filter may have left out either side.
            if (subject == measured_.end() || baseline == measured_.end()) continue;
            // The table counts byte rates in 1024s; these lines in 1000s, as the goals are set.
            if (!headed)
                std::printf("\nRatios (median per iteration of each side, measured in this run; decimal prefixes):\n");
            headed = true;
            const bool cpu = comparison.clock == Clock::Cpu;
            const double subjectTime = subject->second.Time(comparison.clock).Value();
            const double baselineTime = baseline->second.Time(comparison.clock).Value();
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
            PrintLimit(comparison.limit, subject->second, subjectTime);
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    static void PrintLimit(const Limit& limit, const Measured& subject, double subjectTime) {
        if (limit.seconds > 0)
            std::printf("; its time %ss, goal at most %ss: %s", Scaled(subjectTime).c_str(),
                        Scaled(limit.seconds).c_str(), subjectTime <= limit.seconds ? "met" : "NOT met");
        if (limit.counter == nullptr) return;
        const auto counter = subject.counters.find(limit.counter);
        if (counter == subject.counters.end()) {
            std::printf("; no %s measured", limit.counter);
            return;
        }
        const double value = counter->second.Value();
        const char* perSecond = counter->second.rate ? "/s" : "";
        std::printf("; its %s %s%s, goal at least %s%s: %s", limit.counter, Scaled(value).c_str(), perSecond,
                    Scaled(limit.atLeast).c_str(), perSecond, value >= limit.atLeast ? "met" : "NOT met");
    }

    std::map<std::string, Measured> measured_;
};

}  // namespace

bool Compare(const Comparison& comparison) {
    Comparisons().push_back(comparison);
    return true;
}

bool AddRole(const char* argument, int (*role)()) {
    Roles().push_back(Role{argument, role});
    return true;
}

}  // namespace bench

int main(int argc, char** argv) {
    for (const bench::Role& role : bench::Roles())
        if (argc == 2 && std::strcmp(argv[1], role.argument) == 0) return role.run();
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
