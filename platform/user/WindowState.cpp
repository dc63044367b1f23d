// The window system's state in this process: handles, look-ups, the per-thread queues
// (made on first use, taken down when their thread ends) and delivery to the windows of
// this process.
#include "platform/user/WindowState.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "platform/base/Errors.h"
#include "platform/process/Process.h"
#include "platform/sync/Thread.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

constexpr std::uintptr_t kDesktopValue = 0x10;
// A handle is (process id << 32) | (serial << 4): the low bits stay clear, as the handset
// lets callers set the lowest bit of a handle as a flag.
constexpr std::uint32_t kSerialMask = 0x0FFFFFFF;

std::uintptr_t ValueOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

// Takes down a thread's queue when the thread ends: work sent to it is answered as not
// delivered, and its windows are dropped (without messages: the thread can no longer take
// them).
struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;

    ~QueueHolder() {
        if (!queue) return;
        WindowSystem& system = System();
        std::deque<std::shared_ptr<SentTask>> orphaned;
        std::vector<HWND> topLevels;
        {
            std::lock_guard<std::mutex> guard(system.mutex);
            queue->alive = false;
            system.queues.erase(queue->ThreadId());
            orphaned.swap(queue->sent);
            std::vector<std::shared_ptr<WindowRecord>> owned;
            for (auto& [value, window] : system.windows)
                if (window->threadId == queue->ThreadId()) owned.push_back(window);
            for (auto& window : owned) {
                if (!window->IsChild()) topLevels.push_back(window->handle);
                ForgetWindowLocked(system, window);
            }
        }
        for (auto& task : orphaned) task->finish(0, false);
        for (HWND window : topLevels) window_table::Remove(window);
    }
};

thread_local QueueHolder currentQueue;

}  // namespace

WindowSystem& System() {
    static WindowSystem* system = [] {
        auto* made = new WindowSystem;
        std::random_device seed;
        made->nextSerial = seed() & kSerialMask;
        // Windows of threads still running at exit leave the shared table with the process.
        std::atexit([] { window_table::RemoveOwnProcess(); });
        platform::AtOwnTermination([] { window_table::RemoveOwnProcess(); });
        return made;
    }();
    return *system;
}

HWND DesktopHandle() { return reinterpret_cast<HWND>(kDesktopValue); }

DWORD ProcessOfHandle(HWND window) { return static_cast<DWORD>(static_cast<std::uint64_t>(ValueOf(window)) >> 32); }

bool IsOwnProcessHandle(HWND window) {
    return window != nullptr && ProcessOfHandle(window) == static_cast<DWORD>(getpid());
}

bool CheckLocal(HWND window) {
    if (IsOwnProcessHandle(window)) return true;
    if (FindForeign(window)) SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

HWND NewHandleLocked(WindowSystem& system) {
    for (;;) {
        system.nextSerial = (system.nextSerial + 1) & kSerialMask;
        if (system.nextSerial == 0) continue;
        std::uintptr_t value = (static_cast<std::uintptr_t>(static_cast<DWORD>(getpid())) << 32) |
                               (static_cast<std::uintptr_t>(system.nextSerial) << 4);
        if (system.windows.count(value) == 0) return reinterpret_cast<HWND>(value);
    }
}

std::shared_ptr<WindowRecord> FindLocked(WindowSystem& system, HWND window) {
    auto found = system.windows.find(ValueOf(window));
    return found == system.windows.end() ? nullptr : found->second;
}

std::shared_ptr<WindowRecord> FindOrFailLocked(WindowSystem& system, HWND window) {
    auto record = FindLocked(system, window);
    if (!record) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return record;
}

std::shared_ptr<WindowRecord> FindLocal(HWND window) {
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    return FindOrFailLocked(system, window);
}

std::optional<TopLevelEntry> FindForeign(HWND window) {
    std::optional<TopLevelEntry> entry;
    if (window != nullptr && window != DesktopHandle() && !IsOwnProcessHandle(window))
        entry = window_table::Find(window);
    if (!entry) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return entry;
}

std::shared_ptr<WindowRecord> TopLevelOfLocked(WindowSystem& system, std::shared_ptr<WindowRecord> window) {
    while (window && window->IsChild()) {
        auto parent = FindLocked(system, window->parent);
        if (!parent) break;
        window = parent;
    }
    return window;
}

bool IsWithinLocked(WindowSystem& system, HWND window, HWND ancestor) {
    auto record = FindLocked(system, window);
    while (record) {
        if (record->handle == ancestor) return true;
        if (!record->IsChild()) return false;
        record = FindLocked(system, record->parent);
    }
    return false;
}

bool IsVisibleLocked(WindowSystem& system, const WindowRecord& window) {
    if (!window.visible) return false;
    HWND parent = window.IsChild() ? window.parent : nullptr;
    while (parent != nullptr) {
        auto record = FindLocked(system, parent);
        if (!record || !record->visible) return false;
        parent = record->IsChild() ? record->parent : nullptr;
    }
    return true;
}

std::shared_ptr<MessageQueue> CurrentQueue() {
    if (currentQueue.queue) return currentQueue.queue;
    WindowSystem& system = System();
    auto queue = std::make_shared<MessageQueue>(GetCurrentThreadId());
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        system.queues[queue->ThreadId()] = queue;
    }
    currentQueue.queue = queue;
    return queue;
}

std::shared_ptr<MessageQueue> QueueOfThreadLocked(WindowSystem& system, DWORD threadId) {
    auto found = system.queues.find(threadId);
    return found == system.queues.end() ? nullptr : found->second;
}

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = nullptr;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        if (auto record = FindLocked(system, window)) procedure = record->procedure;
    }
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

bool PostToLocalWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const ConfirmHandOver& confirm) {
    WindowSystem& system = System();
    std::shared_ptr<MessageQueue> queue;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, window);
        if (!record) return false;
        queue = QueueOfThreadLocked(system, record->threadId);
        if (!queue || !queue->alive) return false;
        if (confirm && !confirm()) return false;
        MSG posted{};
        posted.hwnd = window;
        posted.message = message;
        posted.wParam = wParam;
        posted.lParam = lParam;
        queue->PostLocked(posted);
    }
    queue->Wake();
    return true;
}

bool QueueTaskForWindow(HWND window, const std::shared_ptr<SentTask>& task, const ConfirmHandOver& confirm) {
    WindowSystem& system = System();
    std::shared_ptr<MessageQueue> queue;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, window);
        if (!record) return false;
        queue = QueueOfThreadLocked(system, record->threadId);
        if (!queue || !queue->alive) return false;
        if (confirm && !confirm()) return false;
        queue->sent.push_back(task);
    }
    queue->Wake();
    return true;
}

void ForgetWindowLocked(WindowSystem& system, const std::shared_ptr<WindowRecord>& window) {
    HWND handle = window->handle;
    system.windows.erase(ValueOf(handle));
    if (window->IsChild()) {
        if (auto parent = FindLocked(system, window->parent)) {
            auto& siblings = parent->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
        }
    }
    for (auto& [value, other] : system.windows)
        if (other->owner == handle) other->owner = nullptr;
    if (window->windowClass) --window->windowClass->windowCount;
    system.hotKeys.erase(std::remove_if(system.hotKeys.begin(), system.hotKeys.end(),
                                        [&](const HotKeyRecord& key) { return key.window == handle; }),
                         system.hotKeys.end());
    if (auto queue = QueueOfThreadLocked(system, window->threadId)) {
        auto& timers = queue->timers;
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const TimerRecord& timer) { return timer.window == handle; }),
                     timers.end());
        auto& posted = queue->posted;
        posted.erase(std::remove_if(posted.begin(), posted.end(),
                                    [&](const PostedMessage& entry) { return entry.message.hwnd == handle; }),
                     posted.end());
        if (queue->active == handle) queue->active = nullptr;
        if (queue->focus == handle) queue->focus = nullptr;
        if (queue->capture == handle) queue->capture = nullptr;
    }
}

}  // namespace platform::user
