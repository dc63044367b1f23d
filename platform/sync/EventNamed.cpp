// Named events in the shared segment: finding or making the table entry for a name, counting
// the handles of every process on it, and signalling it under the segment's lock.
#include "platform/sync/EventNamed.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/base/Errors.h"
#include "platform/sync/Event.h"

namespace platform {

using sync::SharedEvent;
using sync::SyncSegment;

namespace {

bool NameMatches(const SharedEvent& event, std::u16string_view name) {
    return event.inUse != 0 && event.nameLength == name.size() &&
           std::equal(name.begin(), name.end(), event.name);
}

}  // namespace

NamedEvent::NamedEvent(SyncSegment* segment, std::uint32_t slot, std::uint32_t process)
    : segment_(segment), slot_(slot), process_(process), pid_(getpid()) {}

NamedEvent* NamedEvent::Open(std::u16string_view name, bool manualReset, bool initialState, bool mayCreate,
                             bool* existed) {
    if (name.empty() || name.size() > MAX_PATH) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    SyncSegment* segment = SyncSegment::ForCurrentRoot();
    if (segment == nullptr) return nullptr;
    SyncSegment::Lock lock(segment);
    if (!lock.Held()) return nullptr;
    std::uint32_t process = segment->ProcessSlotLocked();
    if (process == sync::kNoSlot) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // An event whose every holder has ended is gone, as its handles closed with them.
    segment->SweepLocked();
    std::uint32_t freeSlot = sync::kNoSlot;
    for (std::uint32_t slot = 0; slot < sync::kMaxNamedEvents; ++slot) {
        SharedEvent& event = segment->EventLocked(slot);
        if (NameMatches(event, name)) {
            if (event.references == UINT32_MAX) {
                SetLastError(ERROR_TOO_MANY_OPEN_FILES);
                return nullptr;
            }
            ++event.references;
            ++event.opens[process];
            *existed = true;
            return new NamedEvent(segment, slot, process);
        }
        if (event.inUse == 0 && freeSlot == sync::kNoSlot) freeSlot = slot;
    }
    if (!mayCreate) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (freeSlot == sync::kNoSlot) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    SharedEvent& event = segment->EventLocked(freeSlot);
    std::memset(static_cast<void*>(&event), 0, sizeof(event));
    event.manualReset = manualReset ? 1 : 0;
    event.signaled = initialState ? 1 : 0;
    event.nameLength = static_cast<std::uint32_t>(name.size());
    std::copy(name.begin(), name.end(), event.name);
    event.references = 1;
    event.opens[process] = 1;
    event.inUse = 1;
    *existed = false;
    return new NamedEvent(segment, freeSlot, process);
}

NamedEvent::~NamedEvent() {
    // A forked child's copy of a handle never held a count of its own.
    if (pid_ != getpid()) return;
    SyncSegment::Lock lock(segment_);
    if (!lock.Held()) return;
    SharedEvent& event = segment_->EventLocked(slot_);
    if (event.inUse == 0 || event.opens[process_] == 0 || event.references == 0) return;
    --event.opens[process_];
    if (--event.references == 0) std::memset(static_cast<void*>(&event), 0, sizeof(event));
}

bool NamedEvent::IsSignaledLocked() const { return segment_->IsSignaledLocked(slot_); }

void NamedEvent::AcquireLocked() { segment_->AcquireLocked(slot_); }

bool NamedEvent::Modify(DWORD function) {
    if (function != EVENT_SET && function != EVENT_RESET && function != EVENT_PULSE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    SyncSegment::Lock lock(segment_);
    if (!lock.Held()) return false;
    SharedEvent& event = segment_->EventLocked(slot_);
    if (event.inUse == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (function == EVENT_RESET) {
        event.signaled = 0;
        return true;
    }
    event.signaled = 1;
    segment_->DispatchLocked(slot_);
    if (function == EVENT_PULSE) event.signaled = 0;
    return true;
}

}  // namespace platform
