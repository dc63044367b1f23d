// Sleeping on a wait word and satisfying it.
#include "platform/sync/WaitState.h"

#include "platform/sync/SyncFutex.h"

namespace platform::sync {

std::uint32_t SleepOnWaitState(std::uint32_t* word, const std::optional<std::int64_t>& deadline) {
    for (;;) {
        std::uint32_t state = LoadWaitState(word);
        if (state != kWaiting) return state;
        if (DeadlinePassed(deadline)) {
            // A signaller may claim the word at the same moment: whoever swaps first wins.
            if (ClaimWaitState(word, kCancelled)) return kCancelled;
            continue;
        }
        FutexWait(word, kWaiting, deadline);
    }
}

bool SatisfyWait(std::uint32_t* word, DWORD index) {
    if (!ClaimWaitState(word, SatisfiedState(index))) return false;
    FutexWakeAll(word);
    return true;
}

}  // namespace platform::sync
