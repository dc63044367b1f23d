// The word a waiting thread sleeps on. Whoever satisfies the wait claims the word with one
// compare-and-swap, so a wait registered with several objects (or in several processes) is
// satisfied exactly once, and a wait that times out cannot be satisfied afterwards.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/base/Types.h"

namespace platform::sync {

constexpr std::uint32_t kWaiting = 0;
constexpr std::uint32_t kCancelled = 0xFFFFFFFFu;

// A satisfied wait holds 1 + the index of the object that satisfied it (0 for wait-all).
constexpr std::uint32_t SatisfiedState(DWORD index) { return index + 1; }
constexpr DWORD SatisfiedIndex(std::uint32_t state) { return state - 1; }

inline std::uint32_t LoadWaitState(std::uint32_t* word) {
    return std::atomic_ref<std::uint32_t>(*word).load(std::memory_order_acquire);
}

// Moves a waiting word to `next`; false when the wait was already satisfied or cancelled.
inline bool ClaimWaitState(std::uint32_t* word, std::uint32_t next) {
    std::uint32_t expected = kWaiting;
    return std::atomic_ref<std::uint32_t>(*word).compare_exchange_strong(expected, next, std::memory_order_acq_rel);
}

// Sleeps until the wait is satisfied or the deadline passes, then returns the final state:
// a satisfied state, or kCancelled after a time-out.
std::uint32_t SleepOnWaitState(std::uint32_t* word, const std::optional<std::int64_t>& deadline);

// Claims the word for `index` and wakes its sleeper; false when someone else was first.
bool SatisfyWait(std::uint32_t* word, DWORD index);

}  // namespace platform::sync
