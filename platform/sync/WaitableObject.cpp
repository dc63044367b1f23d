// Registration of waits with objects of this process, and the hand-over of a new signal to
// the oldest waits that it can satisfy.
#include "platform/sync/WaitableObject.h"

#include <algorithm>

#include "platform/sync/WaitState.h"

namespace platform {

std::unique_lock<std::mutex> LockWaitState() {
    // Never destroyed: detached threads may still signal their handles while the process exits.
    static std::mutex* lock = new std::mutex;
    return std::unique_lock<std::mutex>(*lock);
}

void WaitableObject::AddWaiterLocked(sync::LocalWaiter* waiter, DWORD index) {
    waiters_.push_back(sync::LocalWaitEntry{waiter, index});
}

void WaitableObject::RemoveWaiterLocked(sync::LocalWaiter* waiter) {
    std::erase_if(waiters_, [waiter](const sync::LocalWaitEntry& entry) { return entry.waiter == waiter; });
}

DWORD WaitableObject::BlockedWaitsLocked() const {
    return static_cast<DWORD>(std::count_if(waiters_.begin(), waiters_.end(), [](const sync::LocalWaitEntry& entry) {
        return sync::LoadWaitState(entry.waiter->state) == sync::kWaiting;
    }));
}

void WaitableObject::SignalLocked() {
    // Entries of waits that are already satisfied or timed out stay until their thread
    // removes them; they are skipped here.
    for (std::size_t i = 0; i < waiters_.size() && IsSignaledLocked(); ++i) {
        const sync::LocalWaitEntry entry = waiters_[i];
        sync::LocalWaiter* waiter = entry.waiter;
        if (sync::LoadWaitState(waiter->state) != sync::kWaiting) continue;
        if (!waiter->waitAll) {
            if (sync::SatisfyWait(waiter->state, entry.index)) AcquireLocked();
            continue;
        }
        bool all = std::all_of(waiter->objects, waiter->objects + waiter->count,
                               [](const Waitable* object) { return object->IsSignaledLocked(); });
        if (all && sync::SatisfyWait(waiter->state, 0)) {
            for (DWORD k = 0; k < waiter->count; ++k) waiter->objects[k]->AcquireLocked();
        }
    }
}

}  // namespace platform
