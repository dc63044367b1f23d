// The animation slow-down factor from the shared registry key.
#include "dialer/dialog/AnimationDelay.h"

#include <atomic>

#include "dialer/foundation/RegistryKey.h"

namespace {

std::atomic<DWORD> g_delay{0};  // 0 until read

}  // namespace

DWORD GetAnimationDelay() {
    DWORD delay = g_delay.load(std::memory_order_relaxed);
    if (delay != 0) return delay;
    RegistryKey key(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Orm Software House\\Shared", TRUE);
    DWORD value = 0;
    if (!key.QueryDword(u"AnimationDelay", &value) || value == 0) value = 1;
    g_delay.store(value, std::memory_order_relaxed);
    return value;
}

void ForgetAnimationDelay() { g_delay.store(0, std::memory_order_relaxed); }
