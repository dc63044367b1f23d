// A recursive lock on a futex word: uncontended entries never enter the kernel; a waiting
// thread sleeps until the holder's last Leave wakes one waiter.
#include "platform/sync/CriticalSection.h"

#include <atomic>
#include <cstdint>

#include "platform/sync/SyncFutex.h"
#include "platform/sync/Thread.h"

namespace {

constexpr LONG kFree = 0;
constexpr LONG kHeld = 1;
constexpr LONG kHeldWithWaiters = 2;

std::atomic_ref<LONG> LockWord(LPCRITICAL_SECTION section) { return std::atomic_ref<LONG>(section->LockCount); }
std::atomic_ref<DWORD> Owner(LPCRITICAL_SECTION section) { return std::atomic_ref<DWORD>(section->OwnerThread); }

std::uint32_t* FutexWord(LPCRITICAL_SECTION section) {
    static_assert(sizeof(LONG) == sizeof(std::uint32_t));
    return reinterpret_cast<std::uint32_t*>(&section->LockCount);
}

void TakeOwnership(LPCRITICAL_SECTION section, DWORD self) {
    Owner(section).store(self, std::memory_order_relaxed);
    section->RecursionCount = 1;
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->LockCount = kFree;
    section->OwnerThread = 0;
    section->RecursionCount = 0;
    section->dwContentions = 0;
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) { InitializeCriticalSection(section); }

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    DWORD self = GetCurrentThreadId();
    // Only the owner itself can have stored its own id, so this read needs no lock.
    if (Owner(section).load(std::memory_order_relaxed) == self) {
        ++section->RecursionCount;
        return;
    }
    LONG state = kFree;
    if (!LockWord(section).compare_exchange_strong(state, kHeld, std::memory_order_acquire)) {
        std::atomic_ref<DWORD>(section->dwContentions).fetch_add(1, std::memory_order_relaxed);
        // Marks the lock as wanted, then sleeps until it is handed free.
        if (state != kHeldWithWaiters) state = LockWord(section).exchange(kHeldWithWaiters, std::memory_order_acquire);
        while (state != kFree) {
            platform::sync::PrivateFutexWait(FutexWord(section), static_cast<std::uint32_t>(kHeldWithWaiters));
            state = LockWord(section).exchange(kHeldWithWaiters, std::memory_order_acquire);
        }
    }
    TakeOwnership(section, self);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    DWORD self = GetCurrentThreadId();
    if (Owner(section).load(std::memory_order_relaxed) == self) {
        ++section->RecursionCount;
        return TRUE;
    }
    LONG state = kFree;
    if (!LockWord(section).compare_exchange_strong(state, kHeld, std::memory_order_acquire)) return FALSE;
    TakeOwnership(section, self);
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    if (Owner(section).load(std::memory_order_relaxed) != GetCurrentThreadId() || section->RecursionCount == 0) return;
    if (--section->RecursionCount > 0) return;
    Owner(section).store(0, std::memory_order_relaxed);
    if (LockWord(section).exchange(kFree, std::memory_order_release) == kHeldWithWaiters)
        platform::sync::PrivateFutexWakeOne(FutexWord(section));
}
