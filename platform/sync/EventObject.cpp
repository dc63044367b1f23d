// The unnamed event: its state changes under the process's wait lock.
#include "platform/sync/EventObject.h"

#include "platform/base/Errors.h"
#include "platform/sync/Event.h"

namespace platform {

void LocalEvent::AcquireLocked() {
    if (!manualReset_) signaled_ = false;
}

bool LocalEvent::Modify(DWORD function) {
    auto lock = LockWaitState();
    switch (function) {
        case EVENT_SET:
            signaled_ = true;
            SignalLocked();
            return true;
        case EVENT_RESET:
            signaled_ = false;
            return true;
        case EVENT_PULSE:
            // The signal reaches only the waits registered now; nobody later sees it.
            signaled_ = true;
            SignalLocked();
            signaled_ = false;
            return true;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
    }
}

}  // namespace platform
