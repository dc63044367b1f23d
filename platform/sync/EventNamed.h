// A handle's view of a named event: the event itself lives in the shared segment of the
// handset root, where waits from every process find it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string_view>

#include "platform/sync/EventObject.h"
#include "platform/sync/SyncSegment.h"

namespace platform {

class NamedEvent final : public Waitable, public EventControl {
public:
    // Opens the event of that name in the current root, creating it when `mayCreate`. Null
    // with the last error set on failure; `existed` tells whether it was there already.
    static NamedEvent* Open(std::u16string_view name, bool manualReset, bool initialState, bool mayCreate,
                            bool* existed);
    ~NamedEvent() override;

    bool IsSignaledLocked() const override;
    void AcquireLocked() override;
    sync::SyncSegment* Segment() const override { return segment_; }
    bool Modify(DWORD function) override;

    // The event's entry in the segment's table.
    std::uint32_t Slot() const { return slot_; }

private:
    NamedEvent(sync::SyncSegment* segment, std::uint32_t slot, std::uint32_t process);

    sync::SyncSegment* segment_;
    std::uint32_t slot_;
    std::uint32_t process_;  // the process slot whose open count this handle holds
    pid_t pid_;              // a child forked with this object holds no count of its own
};

}  // namespace platform
