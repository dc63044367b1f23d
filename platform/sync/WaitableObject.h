// The objects that WaitForSingleObject and WaitForMultipleObjects can wait on. Objects of
// this process (threads, unnamed events, and waitable objects of other areas such as message
// queues and processes) derive from WaitableObject; named events live in a segment shared by
// the processes of the handset root.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/base/Handle.h"

namespace platform {

namespace sync {
class SyncSegment;
}

// Anything a wait can name. The signal state is read and taken only under the lock of the
// object's domain: LockWaitState() for objects of this process, the segment's lock for
// named objects.
class Waitable : public KernelObject {
public:
    virtual bool IsSignaledLocked() const = 0;
    // Takes the signal for a satisfied wait: an auto-reset object resets, a thread or a
    // manual-reset event stays signalled.
    virtual void AcquireLocked() = 0;
    // The shared segment of a named object; null for objects of this process.
    virtual sync::SyncSegment* Segment() const { return nullptr; }
};

// The lock under which every object of this process changes its signal state.
std::unique_lock<std::mutex> LockWaitState();

namespace sync {

// A wait in progress, as the objects it is registered with see it.
struct LocalWaiter {
    std::uint32_t* state = nullptr;  // the word the waiting thread sleeps on (see WaitState.h)
    bool waitAll = false;
    Waitable* const* objects = nullptr;  // for wait-all: every object of the wait
    DWORD count = 0;
};

struct LocalWaitEntry {
    LocalWaiter* waiter;
    DWORD index;  // the object's index in the wait
};

}  // namespace sync

// A waitable object in this process's memory. A derived object changes its state under
// LockWaitState() and calls SignalLocked() whenever the state became signalled.
class WaitableObject : public Waitable {
public:
    // Called by the wait functions under LockWaitState().
    void AddWaiterLocked(sync::LocalWaiter* waiter, DWORD index);
    void RemoveWaiterLocked(sync::LocalWaiter* waiter);
    // The registered waits that are still waiting.
    DWORD BlockedWaitsLocked() const;

protected:
    // Satisfies the registered waits that the new state allows, oldest first; stops as soon as
    // an auto-reset object has been taken.
    void SignalLocked();

private:
    std::vector<sync::LocalWaitEntry> waiters_;
};

}  // namespace platform
