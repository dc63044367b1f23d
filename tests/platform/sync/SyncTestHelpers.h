// Small helpers shared by the thread and event tests.
#pragma once

#include <chrono>
#include <thread>

#include "platform/base/Types.h"
#include "platform/sync/Wait.h"

namespace sync_test {

// Waits (up to a few seconds) until `count` waits are blocked on the object.
inline bool WaitUntilBlocked(HANDLE object, DWORD count) {
    for (int i = 0; i < 5000; ++i) {
        if (platform::WaitsBlockedOn(object) >= count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace sync_test
