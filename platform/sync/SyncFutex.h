// Futex waits and wakes on 32-bit words, with deadlines on the monotonic clock. The words
// may live in process memory or in a segment shared by several processes.
#pragma once

#include <cstdint>
#include <optional>

namespace platform::sync {

// A point on the monotonic clock (nanoseconds), or none for "no deadline".
using Deadline = std::optional<std::int64_t>;

std::int64_t MonotonicNanoseconds();
// The deadline of a wait of `milliseconds` from now; INFINITE gives none.
Deadline DeadlineAfter(std::uint32_t milliseconds);
bool DeadlinePassed(const Deadline& deadline);

// Sleeps while *word == expected, until woken, the deadline passes or a signal arrives;
// callers re-check the word. Works across processes when the word is in shared memory.
void FutexWait(std::uint32_t* word, std::uint32_t expected, const Deadline& deadline);
// Wakes every thread sleeping on the word.
void FutexWakeAll(std::uint32_t* word);

// The same for words that only this process uses (cheaper for the kernel).
void PrivateFutexWait(std::uint32_t* word, std::uint32_t expected);
void PrivateFutexWakeOne(std::uint32_t* word);

// Sleeps for up to `nanoseconds` of real time, never past the deadline.
void SleepUntilAtMost(std::int64_t nanoseconds, const Deadline& deadline);

}  // namespace platform::sync
