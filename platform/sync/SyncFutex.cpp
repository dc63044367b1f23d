// Futex helpers over the Linux system call, with absolute monotonic deadlines so that a
// wait interrupted by a signal or a spurious wake never stretches its timeout.
#include "platform/sync/SyncFutex.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace platform::sync {

namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

timespec ToTimespec(std::int64_t nanoseconds) {
    timespec result{};
    result.tv_sec = static_cast<time_t>(nanoseconds / kNanosecondsPerSecond);
    result.tv_nsec = static_cast<long>(nanoseconds % kNanosecondsPerSecond);
    return result;
}

}  // namespace

std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

Deadline DeadlineAfter(std::uint32_t milliseconds) {
    if (milliseconds == kInfinite) return std::nullopt;
    return MonotonicNanoseconds() + static_cast<std::int64_t>(milliseconds) * 1'000'000;
}

bool DeadlinePassed(const Deadline& deadline) { return deadline && MonotonicNanoseconds() >= *deadline; }

void FutexWait(std::uint32_t* word, std::uint32_t expected, const Deadline& deadline) {
    // FUTEX_WAIT_BITSET takes an absolute time on the monotonic clock.
    timespec until{};
    if (deadline) until = ToTimespec(*deadline);
    syscall(SYS_futex, word, FUTEX_WAIT_BITSET, expected, deadline ? &until : nullptr, nullptr,
            FUTEX_BITSET_MATCH_ANY);
}

void FutexWakeAll(std::uint32_t* word) { syscall(SYS_futex, word, FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0); }

void PrivateFutexWait(std::uint32_t* word, std::uint32_t expected) {
    syscall(SYS_futex, word, FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}

void PrivateFutexWakeOne(std::uint32_t* word) {
    syscall(SYS_futex, word, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

void SleepUntilAtMost(std::int64_t nanoseconds, const Deadline& deadline) {
    std::int64_t until = MonotonicNanoseconds() + nanoseconds;
    if (deadline) until = std::min(until, *deadline);
    timespec at = ToTimespec(until);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

}  // namespace platform::sync
