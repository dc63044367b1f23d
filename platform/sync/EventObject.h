// The event objects behind event handles: what SetEvent, ResetEvent and PulseEvent do, and
// the unnamed event that lives in this process.
#pragma once

#include "platform/sync/WaitableObject.h"

namespace platform {

// Implemented by every kind of event, so that EventModify needs not know where it lives.
class EventControl {
public:
    virtual ~EventControl() = default;
    // EVENT_SET, EVENT_RESET or EVENT_PULSE; false with the last error set on failure.
    virtual bool Modify(DWORD function) = 0;
};

class LocalEvent final : public WaitableObject, public EventControl {
public:
    LocalEvent(bool manualReset, bool initialState) : manualReset_(manualReset), signaled_(initialState) {}

    bool IsSignaledLocked() const override { return signaled_; }
    void AcquireLocked() override;
    bool Modify(DWORD function) override;

private:
    const bool manualReset_;
    bool signaled_;
};

}  // namespace platform
