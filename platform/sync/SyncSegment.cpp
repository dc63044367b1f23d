// The shared segment of named events: mapping and first set-up, the robust lock, the table of
// live processes, and handing a signal to the oldest waits on an event.
#include "platform/sync/SyncSegment.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "platform/base/Errors.h"
#include "platform/base/HandsetRoot.h"
#include "platform/sync/WaitState.h"

namespace platform::sync {

namespace {

constexpr std::uint32_t kMagic = 0x4E455653;  // "SVEN"
constexpr std::uint32_t kVersion = 1;
constexpr const char* kFileName = "/named-events.shm";

enum class ProcessState { Running, Ended, Unknown };

struct ProcessInfo {
    ProcessState state = ProcessState::Unknown;
    std::uint64_t startTime = 0;
};

// Reads the state and start time of a process from /proc/<pid>/stat. The command name (field
// 2) may hold spaces and parentheses, so the fields are counted from its last ')'.
ProcessInfo ReadProcessInfo(pid_t pid) {
    ProcessInfo info;
    std::string path = "/proc/" + std::to_string(pid) + "/stat";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) info.state = ProcessState::Ended;
        return info;
    }
    char buffer[1024];
    ssize_t length = read(fd, buffer, sizeof(buffer) - 1);
    close(fd);
    if (length <= 0) {
        info.state = ProcessState::Ended;
        return info;
    }
    buffer[length] = '\0';
    const char* cursor = std::strrchr(buffer, ')');
    if (cursor == nullptr) return info;
    ++cursor;
    // Field 3 is the state; field 22 the start time, 19 fields further on.
    char* end = nullptr;
    int field = 3;
    char state = '?';
    while (*cursor != '\0' && field <= 22) {
        while (*cursor == ' ') ++cursor;
        if (field == 3) {
            state = *cursor;
        } else if (field == 22) {
            info.startTime = std::strtoull(cursor, &end, 10);
            break;
        }
        while (*cursor != '\0' && *cursor != ' ') ++cursor;
        ++field;
    }
    if (field != 22) return info;
    // A zombie has ended: only its parent has not collected it yet.
    info.state = (state == 'Z' || state == 'X' || state == 'x') ? ProcessState::Ended : ProcessState::Running;
    return info;
}

std::string ReadBootId() {
    char buffer[sizeof(SharedHeader::bootId)] = {};
    int fd = open("/proc/sys/kernel/random/boot_id", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string();
    ssize_t length = read(fd, buffer, sizeof(buffer) - 1);
    close(fd);
    std::string id(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    while (!id.empty() && (id.back() == '\n' || id.back() == '\0')) id.pop_back();
    return id;
}

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS: return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_PATH_NOT_FOUND;
    }
}

// Called under the file lock on a fresh table or one left from before a reboot: no live
// process can be using it.
bool InitialiseLayout(SharedLayout* layout, const std::string& bootId) {
    std::memset(static_cast<void*>(layout), 0, sizeof(SharedLayout));
    pthread_mutexattr_t attributes;
    if (pthread_mutexattr_init(&attributes) != 0) return false;
    bool ok = pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED) == 0 &&
              pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0 &&
              pthread_mutex_init(&layout->header.lock, &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
    if (!ok) return false;
    layout->header.version = kVersion;
    layout->header.size = sizeof(SharedLayout);
    std::memcpy(layout->header.bootId, bootId.data(), std::min(bootId.size(), sizeof(layout->header.bootId) - 1));
    layout->header.nextSequence = 1;
    std::atomic_ref<std::uint32_t>(layout->header.magic).store(kMagic, std::memory_order_release);
    return true;
}

}  // namespace

SyncSegment* SyncSegment::ForCurrentRoot() {
    // Segments stay mapped for the life of the process: handles opened under an earlier root
    // (tests switch roots) keep pointing into theirs.
    static std::mutex* lock = new std::mutex;
    static auto* segments = new std::map<std::string, SyncSegment*>;
    const std::string& root = HandsetRoot();
    std::lock_guard<std::mutex> guard(*lock);
    auto found = segments->find(root);
    if (found != segments->end()) return found->second;
    SyncSegment* segment = Open(root);
    if (segment != nullptr) segments->emplace(root, segment);
    return segment;
}

SyncSegment* SyncSegment::Open(const std::string& root) {
    std::error_code ignored;
    std::filesystem::create_directories(root, ignored);
    std::string path = root + kFileName;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    // The file lock orders the first set-up between processes that start together.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    DWORD error = ERROR_SUCCESS;
    void* memory = MAP_FAILED;
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        error = ErrorFromErrno(errno);
    } else if (static_cast<std::uint64_t>(status.st_size) < sizeof(SharedLayout) &&
               ftruncate(fd, static_cast<off_t>(sizeof(SharedLayout))) != 0) {
        error = ErrorFromErrno(errno);
    } else {
        memory = mmap(nullptr, sizeof(SharedLayout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory == MAP_FAILED) error = ErrorFromErrno(errno);
    }
    if (memory != MAP_FAILED) {
        auto* layout = static_cast<SharedLayout*>(memory);
        std::string bootId = ReadBootId();
        SharedHeader& header = layout->header;
        bool sameBoot = std::strncmp(header.bootId, bootId.c_str(), sizeof(header.bootId)) == 0;
        bool current = std::atomic_ref<std::uint32_t>(header.magic).load(std::memory_order_acquire) == kMagic;
        if (!current || !sameBoot) {
            if (!InitialiseLayout(layout, bootId)) error = ERROR_NOT_ENOUGH_MEMORY;
        } else if (header.version != kVersion || header.size != sizeof(SharedLayout)) {
            // Processes of another build of the platform use this table right now.
            error = ERROR_INVALID_DATA;
        }
        if (error != ERROR_SUCCESS) munmap(memory, sizeof(SharedLayout));
    }
    flock(fd, LOCK_UN);
    close(fd);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return nullptr;
    }
    return new SyncSegment(path, static_cast<SharedLayout*>(memory));
}

SyncSegment::Lock::Lock(SyncSegment* segment) : segment_(segment) {
    int result = pthread_mutex_lock(&segment->layout_->header.lock);
    if (result == EOWNERDEAD) {
        // Its holder ended in the middle of a change; the tables stay usable (every index is
        // checked before use) and the dead process's entries are cleared now.
        pthread_mutex_consistent(&segment->layout_->header.lock);
        held_ = true;
        segment->SweepLocked();
    } else {
        held_ = result == 0;
    }
    if (!held_) SetLastError(ERROR_INVALID_DATA);
}

SyncSegment::Lock::~Lock() {
    if (held_) pthread_mutex_unlock(&segment_->layout_->header.lock);
}

std::uint32_t SyncSegment::ProcessSlotLocked() {
    pid_t pid = getpid();
    if (mySlot_ != kNoSlot && myPid_ == pid && layout_->processes[mySlot_].inUse != 0 &&
        layout_->processes[mySlot_].pid == pid) {
        return mySlot_;
    }
    SweepLocked();
    for (std::uint32_t slot = 0; slot < kMaxProcesses; ++slot) {
        SharedProcess& process = layout_->processes[slot];
        if (process.inUse != 0) continue;
        process.pid = pid;
        process.startTime = ReadProcessInfo(pid).startTime;
        process.inUse = 1;
        myPid_ = pid;
        mySlot_ = slot;
        return slot;
    }
    return kNoSlot;
}

bool SyncSegment::ProcessAliveLocked(std::uint32_t slot) const {
    const SharedProcess& process = layout_->processes[slot];
    if (process.inUse == 0) return false;
    if (slot == mySlot_ && myPid_ == getpid()) return true;
    if (process.pid <= 0) return false;
    ProcessInfo info = ReadProcessInfo(process.pid);
    switch (info.state) {
        case ProcessState::Ended: return false;
        case ProcessState::Running: return info.startTime == process.startTime;
        case ProcessState::Unknown: break;
    }
    // Without /proc only the process id can be checked.
    return kill(process.pid, 0) == 0 || errno == EPERM;
}

void SyncSegment::SweepLocked() {
    for (std::uint32_t slot = 0; slot < kMaxProcesses; ++slot) {
        if (layout_->processes[slot].inUse != 0 && !ProcessAliveLocked(slot)) ReapLocked(slot);
    }
}

void SyncSegment::ReapLocked(std::uint32_t slot) {
    for (SharedEvent& event : layout_->events) {
        if (event.inUse == 0 || event.opens[slot] == 0) continue;
        std::uint32_t opens = event.opens[slot];
        event.opens[slot] = 0;
        event.references = event.references > opens ? event.references - opens : 0;
        if (event.references == 0) std::memset(static_cast<void*>(&event), 0, sizeof(event));
    }
    for (SharedWaiter& waiter : layout_->waiters) {
        if (waiter.inUse != 0 && waiter.process == slot) waiter.inUse = 0;
    }
    layout_->processes[slot] = SharedProcess{};
}

bool SyncSegment::WaiterReadyLocked(const SharedWaiter& waiter) const {
    if (waiter.count == 0 || waiter.count > kMaxWaitObjects) return false;
    for (std::uint32_t k = 0; k < waiter.count; ++k) {
        std::uint16_t event = waiter.events[k];
        if (event >= kMaxNamedEvents || layout_->events[event].signaled == 0) return false;
    }
    return true;
}

void SyncSegment::AcquireLocked(std::uint32_t eventIndex) {
    SharedEvent& event = layout_->events[eventIndex];
    if (event.manualReset == 0) event.signaled = 0;
}

void SyncSegment::DispatchLocked(std::uint32_t eventIndex) {
    if (eventIndex >= kMaxNamedEvents) return;
    SharedEvent& event = layout_->events[eventIndex];
    std::uint32_t order[kMaxSharedWaiters];
    std::uint32_t candidates = 0;
    for (std::uint32_t w = 0; w < kMaxSharedWaiters; ++w) {
        SharedWaiter& waiter = layout_->waiters[w];
        if (waiter.inUse == 0 || LoadWaitState(&waiter.state) != kWaiting) continue;
        std::uint32_t count = std::min(waiter.count, kMaxWaitObjects);
        if (std::find(waiter.events, waiter.events + count, eventIndex) != waiter.events + count)
            order[candidates++] = w;
    }
    std::sort(order, order + candidates, [this](std::uint32_t a, std::uint32_t b) {
        return layout_->waiters[a].sequence < layout_->waiters[b].sequence;
    });
    for (std::uint32_t n = 0; n < candidates && event.signaled != 0; ++n) {
        SharedWaiter& waiter = layout_->waiters[order[n]];
        if (waiter.inUse == 0) continue;  // its process was cleared a moment ago
        if (waiter.process >= kMaxProcesses) {
            waiter.inUse = 0;
            continue;
        }
        // A wait left by a process that ended must not swallow the signal.
        if (!ProcessAliveLocked(waiter.process)) {
            ReapLocked(waiter.process);
            continue;
        }
        if (waiter.waitAll != 0) {
            if (!WaiterReadyLocked(waiter) || !SatisfyWait(&waiter.state, 0)) continue;
            for (std::uint32_t k = 0; k < waiter.count; ++k) AcquireLocked(waiter.events[k]);
        } else {
            std::uint32_t count = std::min(waiter.count, kMaxWaitObjects);
            std::uint32_t k = static_cast<std::uint32_t>(std::find(waiter.events, waiter.events + count, eventIndex) -
                                                         waiter.events);
            if (SatisfyWait(&waiter.state, waiter.indices[k])) AcquireLocked(eventIndex);
        }
    }
}

std::uint32_t SyncSegment::AddWaiterLocked(bool waitAll, const std::uint16_t* events, const std::uint8_t* indices,
                                           std::uint32_t count) {
    std::uint32_t process = ProcessSlotLocked();
    if (process == kNoSlot || count == 0 || count > kMaxWaitObjects) return kNoSlot;
    for (std::uint32_t w = 0; w < kMaxSharedWaiters; ++w) {
        SharedWaiter& waiter = layout_->waiters[w];
        if (waiter.inUse != 0) continue;
        waiter.process = process;
        waiter.waitAll = waitAll ? 1 : 0;
        waiter.sequence = layout_->header.nextSequence++;
        waiter.count = count;
        std::copy(events, events + count, waiter.events);
        std::copy(indices, indices + count, waiter.indices);
        std::atomic_ref<std::uint32_t>(waiter.state).store(kWaiting, std::memory_order_release);
        waiter.inUse = 1;
        return w;
    }
    return kNoSlot;
}

std::uint32_t SyncSegment::BlockedWaitsLocked(std::uint32_t eventIndex) {
    std::uint32_t blocked = 0;
    for (SharedWaiter& waiter : layout_->waiters) {
        if (waiter.inUse == 0 || LoadWaitState(&waiter.state) != kWaiting || waiter.process >= kMaxProcesses) continue;
        std::uint32_t count = std::min(waiter.count, kMaxWaitObjects);
        if (std::find(waiter.events, waiter.events + count, eventIndex) != waiter.events + count &&
            ProcessAliveLocked(waiter.process))
            ++blocked;
    }
    return blocked;
}

void SyncSegment::RemoveWaiterLocked(std::uint32_t waiter) {
    if (waiter < kMaxSharedWaiters) layout_->waiters[waiter].inUse = 0;
}

}  // namespace platform::sync
