// Benchmarks measured against a plain baseline in the same run: a benchmark program declares
// its pairs, and once every benchmark has run the program prints each pair as a ratio.
#pragma once

namespace bench {

// Which time a pair compares: the process's processor time (every thread, including a
// driver's, and not inflated by other programs on a shared core) or the wall clock (for
// benchmarks that time child processes, whose processor time the parent does not see).
enum class Clock { Cpu, Real };

// How the ratio reads: Speed is the baseline's time over the subject's (above 1: the
// subject is faster); Time is the subject's time over the baseline's (above 1: slower).
enum class Ratio { Speed, Time };

struct Comparison {
    const char* subject;   // benchmark names as registered (without arguments)
    const char* baseline;
    Ratio ratio;
    Clock clock;
    double goal;  // the ratio aimed for: Speed at least, Time at most; 0 for none
};

// Registers a pair; returns true so that it can initialise a static.
bool Compare(const Comparison& comparison);

}  // namespace bench
