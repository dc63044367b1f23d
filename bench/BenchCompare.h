// Benchmarks measured against a plain baseline in the same run: a benchmark program declares
// its pairs, and once every benchmark has run the program prints each pair as a ratio, with
// whether its goal was met.
#pragma once

namespace bench {

// Which time a pair compares: processor time as the library measures it (the benchmark's own
// thread, or the whole process for one registered with MeasureProcessCPUTime; not inflated by
// other programs on a shared core) or the wall clock (for work done by other threads or
// processes, such as a driver's or a child's). A benchmark that times itself (UseManualTime)
// is taken at the time it reports, whichever the clock.
enum class Clock { Cpu, Real };

// How the ratio reads: Speed is the baseline's time over the subject's (above 1: the
// subject is faster); Time is the subject's time over the baseline's (above 1: slower).
enum class Ratio { Speed, Time };

// A goal set on the subject's own figure rather than on the ratio: its time per iteration on
// the pair's clock at most `seconds`, or its counter `counter` (a rate such as
// "bytes_per_second") at least `atLeast`.
struct Limit {
    double seconds = 0;  // 0 for none
    const char* counter = nullptr;
    double atLeast = 0;
};

constexpr Limit TimeAtMost(double seconds) { return Limit{seconds, nullptr, 0}; }
constexpr Limit CounterAtLeast(const char* counter, double atLeast) { return Limit{0, counter, atLeast}; }

struct Comparison {
    // Benchmark names as registered, with their arguments ("Parse/65536") but without what a
    // run adds (iterations, repetitions, time type).
    const char* subject;
    const char* baseline;
    Ratio ratio;
    Clock clock;
    double goal;  // the ratio aimed for: Speed at least, Time at most; 0 for none
    Limit limit = {};
};

// Registers a pair; returns true so that it can initialise a static.
bool Compare(const Comparison& comparison);

// A program that starts itself anew to measure something in a fresh process gives the child
// its role by an argument: started with exactly that argument, the program runs `role` in
// place of its benchmarks and exits with what it returns. Returns true, as Compare does.
bool AddRole(const char* argument, int (*role)());

}  // namespace bench
