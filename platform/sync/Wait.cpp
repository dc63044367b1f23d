// The wait functions. A wait on objects of this process registers with them and sleeps until
// a signal hands it over; a wait on named events does the same in the shared segment; a
// wait-any mixing both registers in both places and whichever signal comes first wins. A
// wait-all mixing both, or named events of several roots, re-checks every few milliseconds.
#include "platform/sync/Wait.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/sync/EventNamed.h"
#include "platform/sync/SyncFutex.h"
#include "platform/sync/SyncSegment.h"
#include "platform/sync/WaitState.h"
#include "platform/sync/WaitableObject.h"

namespace platform {

namespace {

using sync::Deadline;
using sync::SyncSegment;

constexpr std::int64_t kPollNanoseconds = 2'000'000;

DWORD ResultFromState(std::uint32_t state, DWORD count) {
    if (state == sync::kCancelled) return WAIT_TIMEOUT;
    // An index from the shared table is checked like any data another process wrote.
    if (sync::SatisfiedIndex(state) >= count) {
        SetLastError(ERROR_INVALID_DATA);
        return WAIT_FAILED;
    }
    return WAIT_OBJECT_0 + sync::SatisfiedIndex(state);
}

// With the locks of every object's domain held: takes the signal of the lowest signalled
// object (wait-any) or of all objects when all are signalled (wait-all).
std::optional<DWORD> TryTakeLocked(Waitable* const* objects, DWORD count, bool waitAll) {
    if (waitAll) {
        for (DWORD i = 0; i < count; ++i)
            if (!objects[i]->IsSignaledLocked()) return std::nullopt;
        for (DWORD i = 0; i < count; ++i) objects[i]->AcquireLocked();
        return 0;
    }
    for (DWORD i = 0; i < count; ++i) {
        if (objects[i]->IsSignaledLocked()) {
            objects[i]->AcquireLocked();
            return i;
        }
    }
    return std::nullopt;
}

void AddLocalWaiterLocked(Waitable* const* objects, DWORD count, sync::LocalWaiter* waiter) {
    for (DWORD i = 0; i < count; ++i)
        if (auto* local = dynamic_cast<WaitableObject*>(objects[i])) local->AddWaiterLocked(waiter, i);
}

void RemoveLocalWaiter(Waitable* const* objects, DWORD count, sync::LocalWaiter* waiter) {
    auto lock = LockWaitState();
    for (DWORD i = 0; i < count; ++i)
        if (auto* local = dynamic_cast<WaitableObject*>(objects[i])) local->RemoveWaiterLocked(waiter);
}

DWORD LocalWait(Waitable* const* objects, DWORD count, bool waitAll, DWORD milliseconds, const Deadline& deadline) {
    std::uint32_t state = sync::kWaiting;
    sync::LocalWaiter waiter{&state, waitAll, objects, count};
    {
        auto lock = LockWaitState();
        if (auto index = TryTakeLocked(objects, count, waitAll)) return WAIT_OBJECT_0 + *index;
        if (milliseconds == 0) return WAIT_TIMEOUT;
        AddLocalWaiterLocked(objects, count, &waiter);
    }
    std::uint32_t final = sync::SleepOnWaitState(&state, deadline);
    RemoveLocalWaiter(objects, count, &waiter);
    return ResultFromState(final, count);
}

// Holds the lock of this process's objects (when asked) and of each segment, always in the
// same order: this process's first, then segments by address.
class AllLocks {
public:
    AllLocks(bool local, std::vector<SyncSegment*> segments) {
        if (local) local_ = LockWaitState();
        std::sort(segments.begin(), segments.end());
        for (SyncSegment* segment : segments) {
            segments_.push_back(std::make_unique<SyncSegment::Lock>(segment));
            if (!segments_.back()->Held()) held_ = false;
        }
    }
    bool Held() const { return held_; }

private:
    std::unique_lock<std::mutex> local_;
    std::vector<std::unique_ptr<SyncSegment::Lock>> segments_;
    bool held_ = true;
};

DWORD PollingWait(Waitable* const* objects, DWORD count, bool waitAll, DWORD milliseconds, const Deadline& deadline,
                  bool hasLocal, const std::vector<SyncSegment*>& segments) {
    for (;;) {
        {
            AllLocks locks(hasLocal, segments);
            if (!locks.Held()) return WAIT_FAILED;
            if (auto index = TryTakeLocked(objects, count, waitAll)) return WAIT_OBJECT_0 + *index;
        }
        if (milliseconds == 0 || sync::DeadlinePassed(deadline)) return WAIT_TIMEOUT;
        sync::SleepUntilAtMost(kPollNanoseconds, deadline);
    }
}

// Named events of one segment, possibly with objects of this process in a wait-any.
DWORD SegmentWait(Waitable* const* objects, DWORD count, bool waitAll, DWORD milliseconds, const Deadline& deadline,
                  bool hasLocal, SyncSegment* segment) {
    std::uint32_t slot = sync::kNoSlot;
    std::uint32_t* state = nullptr;
    sync::LocalWaiter waiter;
    {
        std::unique_lock<std::mutex> local;
        if (hasLocal) local = LockWaitState();
        SyncSegment::Lock lock(segment);
        if (!lock.Held()) return WAIT_FAILED;
        if (auto index = TryTakeLocked(objects, count, waitAll)) return WAIT_OBJECT_0 + *index;
        if (milliseconds == 0) return WAIT_TIMEOUT;
        std::uint16_t events[sync::kMaxWaitObjects];
        std::uint8_t indices[sync::kMaxWaitObjects];
        std::uint32_t named = 0;
        for (DWORD i = 0; i < count; ++i) {
            if (auto* event = dynamic_cast<NamedEvent*>(objects[i])) {
                events[named] = static_cast<std::uint16_t>(event->Slot());
                indices[named] = static_cast<std::uint8_t>(i);
                ++named;
            }
        }
        slot = segment->AddWaiterLocked(waitAll, events, indices, named);
        if (slot != sync::kNoSlot) {
            state = segment->WaiterStateLocked(slot);
            if (hasLocal) {
                waiter = sync::LocalWaiter{state, false, objects, count};
                AddLocalWaiterLocked(objects, count, &waiter);
            }
        }
    }
    // Every wait record of the table is in use: this wait re-checks instead.
    if (slot == sync::kNoSlot) return PollingWait(objects, count, waitAll, milliseconds, deadline, hasLocal, {segment});
    std::uint32_t final = sync::SleepOnWaitState(state, deadline);
    if (hasLocal) RemoveLocalWaiter(objects, count, &waiter);
    SyncSegment::Lock lock(segment);
    if (lock.Held()) segment->RemoveWaiterLocked(slot);
    return ResultFromState(final, count);
}

}  // namespace

DWORD WaitForObjects(Waitable* const* objects, DWORD count, bool waitAll, DWORD milliseconds) {
    if (objects == nullptr || count == 0 || count > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    bool hasLocal = false;
    std::vector<SyncSegment*> segments;
    for (DWORD i = 0; i < count; ++i) {
        Waitable* object = objects[i];
        if (object == nullptr) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (waitAll && std::find(objects, objects + i, object) != objects + i) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return WAIT_FAILED;
        }
        if (SyncSegment* segment = object->Segment()) {
            if (std::find(segments.begin(), segments.end(), segment) == segments.end()) segments.push_back(segment);
        } else if (dynamic_cast<WaitableObject*>(object) != nullptr) {
            hasLocal = true;
        } else {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
    }
    Deadline deadline = sync::DeadlineAfter(milliseconds);
    if (segments.empty()) return LocalWait(objects, count, waitAll, milliseconds, deadline);
    if (segments.size() == 1 && !(hasLocal && waitAll))
        return SegmentWait(objects, count, waitAll, milliseconds, deadline, hasLocal, segments.front());
    return PollingWait(objects, count, waitAll, milliseconds, deadline, hasLocal, segments);
}

DWORD WaitsBlockedOn(HANDLE handle) {
    KernelObject* object = KernelObjectFromHandle(handle);
    if (auto* event = dynamic_cast<NamedEvent*>(object)) {
        SyncSegment::Lock lock(event->Segment());
        return lock.Held() ? event->Segment()->BlockedWaitsLocked(event->Slot()) : 0;
    }
    if (auto* local = dynamic_cast<WaitableObject*>(object)) {
        auto lock = LockWaitState();
        return local->BlockedWaitsLocked();
    }
    return 0;
}

}  // namespace platform

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (handles == nullptr || count == 0 || count > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    platform::Waitable* objects[MAXIMUM_WAIT_OBJECTS];
    DWORD held = 0;
    DWORD result = WAIT_FAILED;
    for (; held < count; ++held) {
        // Each object is held for the wait, so that a CloseHandle meanwhile does not free it.
        platform::KernelObject* acquired = platform::AcquireKernelObject(handles[held]);
        auto* object = dynamic_cast<platform::Waitable*>(acquired);
        if (object == nullptr) {
            if (acquired != nullptr) acquired->ReleaseHandleRef();
            break;
        }
        objects[held] = object;
    }
    if (held == count) {
        result = platform::WaitForObjects(objects, count, waitAll != FALSE, milliseconds);
    } else {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    for (DWORD i = 0; i < held; ++i) objects[i]->ReleaseHandleRef();
    return result;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}
