// Focus, activation, the foreground window and the capture. The foreground window is the
// handset's (kept in the shared table); the active, focus and capture windows are each
// thread's. A thread only ever sends activation messages to its own windows: a change asked
// for by another thread or process reaches the window's thread as queued work.
#include "platform/user/WindowFocus.h"

#include "platform/base/Errors.h"
#include "platform/sync/Thread.h"
#include "platform/user/MessageChannel.h"
#include "platform/user/Window.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

HWND StripFlagBit(HWND window) {
    return reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) & ~std::uintptr_t{1});
}


bool CanBeActivated(const TopLevelEntry& entry) {
    return entry.visible && (entry.style & WS_CHILD) == 0 && (entry.style & WS_DISABLED) == 0 &&
           (entry.exStyle & WS_EX_NOACTIVATE) == 0;
}

}  // namespace

std::shared_ptr<SentTask> ActivationTask(HWND window, bool active) {
    auto task = std::make_shared<SentTask>();
    task->run = [window, active](LRESULT&) {
        if (active)
            ActivateFromRequest(window);
        else
            DeactivateOnThisThread(window);
        return true;
    };
    task->finish = [](LRESULT, bool) {};
    return task;
}

HWND SetFocusOnThisThread(HWND window) {
    auto queue = CurrentQueue();
    HWND former = nullptr;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        former = queue->focus;
        if (former == window) return former;
        if (window != nullptr) {
            auto record = FindLocked(system, window);
            if (!record || record->destroying || record->threadId != queue->ThreadId()) return former;
        }
        queue->focus = window;
    }
    if (former != nullptr) CallProcedure(former, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window != nullptr) CallProcedure(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(former), 0);
    return former;
}

void ActivateOnThisThread(HWND topLevel) {
    auto queue = CurrentQueue();
    WindowSystem& system = System();
    HWND formerActive = nullptr;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, topLevel);
        if (!record || record->destroying || record->IsChild() || record->threadId != queue->ThreadId()) return;
        formerActive = queue->active;
        system.inputThread = queue->ThreadId();
    }
    HWND formerForeground = window_table::SwapForeground(topLevel);
    if (formerForeground != nullptr && formerForeground != topLevel && formerForeground != formerActive)
        NotifyDeactivation(formerForeground);
    if (formerActive == topLevel) return;

    if (formerActive != nullptr)
        CallProcedure(formerActive, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(topLevel));
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        if (!FindLocked(system, topLevel)) return;
        queue->active = topLevel;
    }
    CallProcedure(topLevel, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(formerActive));
    bool focusInside = false;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        if (queue->active != topLevel) return;
        focusInside = queue->focus != nullptr && IsWithinLocked(system, queue->focus, topLevel);
    }
    if (!focusInside) SetFocusOnThisThread(topLevel);
}

void DeactivateOnThisThread(HWND window) {
    auto queue = CurrentQueue();
    HWND focus = nullptr;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        if (queue->active != window || window_table::Foreground() == window) return;
        queue->active = nullptr;
        focus = queue->focus;
        queue->focus = nullptr;
    }
    CallProcedure(window, WM_ACTIVATE, WA_INACTIVE, 0);
    if (focus != nullptr) CallProcedure(focus, WM_KILLFOCUS, 0, 0);
}

void ActivateFromRequest(HWND window) {
    // A later change of the foreground has already overtaken this request.
    if (window_table::Foreground() != window) return;
    ActivateOnThisThread(window);
}

void NotifyDeactivation(HWND former) {
    if (!IsOwnProcessHandle(former)) {
        channel::NotifyActivation(former, false);
        return;
    }
    DWORD owner = 0;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, former);
        if (!record) return;
        owner = record->threadId;
    }
    if (owner == GetCurrentThreadId())
        DeactivateOnThisThread(former);
    else
        QueueTaskForWindow(former, ActivationTask(former, false));
}

void ActivateNextTopLevel(HWND leaving) {
    for (const TopLevelEntry& entry : window_table::ZOrder()) {
        if (entry.window == leaving || !CanBeActivated(entry)) continue;
        if (IsOwnProcessHandle(entry.window)) {
            std::lock_guard<std::mutex> guard(System().mutex);
            auto record = FindLocked(System(), entry.window);
            if (!record || record->destroying) continue;
        }
        SetForegroundWindow(entry.window);
        return;
    }
}

}  // namespace platform::user

using namespace platform::user;

HWND SetFocus(HWND window) {
    auto queue = CurrentQueue();
    if (window == nullptr) return SetFocusOnThisThread(nullptr);
    HWND formerFocus = nullptr;
    HWND topLevel = nullptr;
    bool activate = false;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, window, [](const WindowRecord& found) { return !found.destroying; });
        if (!record) return nullptr;
        if (record->threadId != queue->ThreadId()) {
            SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
            return nullptr;
        }
        formerFocus = queue->focus;
        topLevel = TopLevelOfLocked(system, record)->handle;
        activate = queue->active != topLevel;
    }
    if (activate) ActivateOnThisThread(topLevel);
    SetFocusOnThisThread(window);
    return formerFocus;
}

HWND GetFocus() {
    auto queue = CurrentQueue();
    std::lock_guard<std::mutex> guard(System().mutex);
    return queue->focus;
}

HWND SetActiveWindow(HWND window) {
    auto queue = CurrentQueue();
    HWND former = nullptr;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, window, [](const WindowRecord& found) { return !found.IsChild(); });
        if (!record) return nullptr;
        if (record->threadId != queue->ThreadId()) {
            SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
            return nullptr;
        }
        former = queue->active;
    }
    ActivateOnThisThread(window);
    return former;
}

HWND GetActiveWindow() {
    auto queue = CurrentQueue();
    std::lock_guard<std::mutex> guard(System().mutex);
    return queue->active;
}

BOOL SetForegroundWindow(HWND window) {
    window = StripFlagBit(window);
    if (!IsOwnProcessHandle(window)) {
        if (!FindForeign(window)) return FALSE;
        HWND former = window_table::SwapForeground(window);
        if (former != nullptr && former != window) NotifyDeactivation(former);
        return channel::NotifyActivation(window, true) ? TRUE : FALSE;
    }
    HWND topLevel = nullptr;
    DWORD owner = 0;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, window);
        if (!record) return FALSE;
        auto top = TopLevelOfLocked(system, record);
        topLevel = top->handle;
        owner = top->threadId;
    }
    if (owner == GetCurrentThreadId()) {
        ActivateOnThisThread(topLevel);
        return TRUE;
    }
    HWND former = window_table::SwapForeground(topLevel);
    if (former != nullptr && former != topLevel) NotifyDeactivation(former);
    QueueTaskForWindow(topLevel, ActivationTask(topLevel, true));
    return TRUE;
}

HWND GetForegroundWindow() { return window_table::Foreground(); }

HWND SetCapture(HWND window) {
    auto queue = CurrentQueue();
    HWND former = nullptr;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        // Only a window of the calling thread can take its capture.
        auto record = FindOrFailLocked(system, window,
                                       [&](const WindowRecord& found) { return found.threadId == queue->ThreadId(); });
        if (!record) return nullptr;
        former = queue->capture;
        queue->capture = window;
    }
    if (former != nullptr && former != window)
        CallProcedure(former, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    return former;
}

BOOL ReleaseCapture() {
    auto queue = CurrentQueue();
    HWND former = nullptr;
    {
        std::lock_guard<std::mutex> guard(System().mutex);
        former = queue->capture;
        queue->capture = nullptr;
    }
    if (former != nullptr) CallProcedure(former, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    auto queue = CurrentQueue();
    std::lock_guard<std::mutex> guard(System().mutex);
    return queue->capture;
}
