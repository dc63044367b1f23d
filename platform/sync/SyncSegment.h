// The memory that the processes of one handset root share for named events: a file
// <root>/named-events.shm mapped by every process, holding one robust process-shared lock,
// the table of processes, the table of named events and the table of waits on them.
#pragma once

#include <pthread.h>
#include <sys/types.h>

#include <cstdint>
#include <string>

#include "platform/base/Types.h"

namespace platform::sync {

constexpr std::uint32_t kMaxProcesses = 64;
constexpr std::uint32_t kMaxNamedEvents = 128;
constexpr std::uint32_t kMaxSharedWaiters = 128;
constexpr std::uint32_t kMaxWaitObjects = 64;
constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

struct SharedProcess {
    std::int32_t pid;
    std::uint32_t inUse;
    std::uint64_t startTime;  // from /proc, so that a reused process id is not taken for the old process
};

struct SharedEvent {
    std::uint32_t inUse;
    std::uint32_t manualReset;
    std::uint32_t signaled;
    std::uint32_t references;  // open handles in all processes
    std::uint32_t nameLength;
    char16_t name[MAX_PATH];
    std::uint32_t opens[kMaxProcesses];  // open handles per process slot
};

struct SharedWaiter {
    std::uint32_t state;  // the wait word (WaitState.h): the waiting thread sleeps on it
    std::uint32_t inUse;
    std::uint32_t process;
    std::uint32_t waitAll;
    std::uint64_t sequence;  // order of arrival: signals go to the oldest wait first
    std::uint32_t count;
    std::uint16_t events[kMaxWaitObjects];
    std::uint8_t indices[kMaxWaitObjects];  // each event's index in the caller's handle array
};

struct SharedHeader {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint64_t size;
    char bootId[40];  // a table left from before a reboot is started afresh
    pthread_mutex_t lock;
    std::uint64_t nextSequence;
};

struct SharedLayout {
    SharedHeader header;
    SharedProcess processes[kMaxProcesses];
    SharedEvent events[kMaxNamedEvents];
    SharedWaiter waiters[kMaxSharedWaiters];
};

class SyncSegment {
public:
    // The segment of the current handset root, mapped on first use; null with the last error
    // set when it cannot be opened.
    static SyncSegment* ForCurrentRoot();

    // Holds the segment's lock. When a process died while holding it, the lock is recovered
    // and the entries of dead processes are cleared.
    class Lock {
    public:
        explicit Lock(SyncSegment* segment);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        bool Held() const { return held_; }

    private:
        SyncSegment* segment_;
        bool held_ = false;
    };

    // Everything below requires the lock.

    // This process's slot, claimed on first use (and again in a forked child); kNoSlot when
    // the table is full of live processes.
    std::uint32_t ProcessSlotLocked();
    // Clears the processes that ended: their open handles and waits go away with them.
    void SweepLocked();

    SharedEvent& EventLocked(std::uint32_t index) { return layout_->events[index]; }
    // Satisfies the waits that the event's new state allows, oldest first.
    void DispatchLocked(std::uint32_t eventIndex);
    bool IsSignaledLocked(std::uint32_t eventIndex) const { return layout_->events[eventIndex].signaled != 0; }
    void AcquireLocked(std::uint32_t eventIndex);

    // A wait record for named events; kNoSlot when the table is full.
    std::uint32_t AddWaiterLocked(bool waitAll, const std::uint16_t* events, const std::uint8_t* indices,
                                  std::uint32_t count);
    std::uint32_t* WaiterStateLocked(std::uint32_t waiter) { return &layout_->waiters[waiter].state; }
    void RemoveWaiterLocked(std::uint32_t waiter);
    // The waits of live processes still blocked on the event.
    std::uint32_t BlockedWaitsLocked(std::uint32_t eventIndex);

    const std::string& Path() const { return path_; }

private:
    SyncSegment(std::string path, SharedLayout* layout) : path_(std::move(path)), layout_(layout) {}
    static SyncSegment* Open(const std::string& root);

    bool ProcessAliveLocked(std::uint32_t slot) const;
    void ReapLocked(std::uint32_t slot);
    bool WaiterReadyLocked(const SharedWaiter& waiter) const;

    std::string path_;
    SharedLayout* layout_;
    pid_t myPid_ = 0;
    std::uint32_t mySlot_ = kNoSlot;
};

}  // namespace platform::sync
