// The window system's state in this process: classes, windows, the message queues of
// the threads, hot keys, all under one lock. Window procedures are never called with the
// lock held.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/Types.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTable.h"
#include "platform/user/WindowTypes.h"

namespace platform::user {

struct WindowClassRecord {
    std::u16string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int windowBytes = 0;  // rounded up to whole LONG_PTR words
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    ATOM atom = 0;
    bool system = false;
    int windowCount = 0;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::shared_ptr<WindowClassRecord> windowClass;
    WNDPROC procedure = nullptr;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::vector<std::uint8_t> extraBytes;
    RECT rect{};  // in the parent's client coordinates; the screen's for top-level windows
    HWND parent = nullptr;
    HWND owner = nullptr;
    std::vector<HWND> children;  // top of the z-order first
    DWORD threadId = 0;
    HINSTANCE instance = nullptr;
    bool visible = false;
    bool destroying = false;
    bool updatePending = false;
    RECT updateRect{};

    bool IsChild() const { return (style & WS_CHILD) != 0; }
};

struct HotKeyRecord {
    HWND window = nullptr;
    int id = 0;
    UINT modifiers = 0;
    UINT virtualKey = 0;
    DWORD threadId = 0;
};

struct WindowSystem {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<WindowRecord>> windows;
    std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues;
    std::vector<std::shared_ptr<WindowClassRecord>> classes;        // the program's
    std::vector<std::shared_ptr<WindowClassRecord>> systemClasses;  // "STATIC", "Dialog"
    ATOM nextAtom = 0xC000;
    std::uint32_t nextSerial = 0;
    std::vector<HotKeyRecord> hotKeys;
    std::array<bool, 256> keysDown{};
    bool penDown = false;
    DWORD inputThread = 0;  // the thread that activated a window last
};

// The state; never destroyed, as threads may still end at exit.
WindowSystem& System();

// The desktop window's handle; it has no record.
HWND DesktopHandle();
// Window handles carry the id of their process, so a handle tells where it lives.
DWORD ProcessOfHandle(HWND window);
bool IsOwnProcessHandle(HWND window);
// For calls that only work on this process's windows: true for one of them; otherwise false
// with ERROR_ACCESS_DENIED (another process's window) or ERROR_INVALID_WINDOW_HANDLE.
bool CheckLocal(HWND window);
// A fresh handle for a window of this process (under the lock).
HWND NewHandleLocked(WindowSystem& system);

// The look-ups of a window by its handle. FindLocked only answers; the others are for calls
// that fail on a handle naming no window: they set ERROR_INVALID_WINDOW_HANDLE when there is
// none, and the caller returns its failure value.
std::shared_ptr<WindowRecord> FindLocked(WindowSystem& system, HWND window);
// A window of this process (under the lock); null (with ERROR_INVALID_WINDOW_HANDLE) otherwise.
std::shared_ptr<WindowRecord> FindOrFailLocked(WindowSystem& system, HWND window);
// The same for calls that take only some windows: one that fails `usable` counts as none.
template <typename Usable>
std::shared_ptr<WindowRecord> FindOrFailLocked(WindowSystem& system, HWND window, Usable usable) {
    auto record = FindOrFailLocked(system, window);
    if (!record || usable(*record)) return record;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}
// The same, taking the lock.
std::shared_ptr<WindowRecord> FindLocal(HWND window);
// A top-level window of another process, from the shared table; nothing (with
// ERROR_INVALID_WINDOW_HANDLE) otherwise, also for null, the desktop and this process's handles.
std::optional<TopLevelEntry> FindForeign(HWND window);
// The top-level window that holds `window` (itself for a top-level window).
std::shared_ptr<WindowRecord> TopLevelOfLocked(WindowSystem& system, std::shared_ptr<WindowRecord> window);
// True when `window` is `ancestor` or lies inside it.
bool IsWithinLocked(WindowSystem& system, HWND window, HWND ancestor);
bool IsVisibleLocked(WindowSystem& system, const WindowRecord& window);

// The calling thread's queue, made on first use.
std::shared_ptr<MessageQueue> CurrentQueue();
std::shared_ptr<MessageQueue> QueueOfThreadLocked(WindowSystem& system, DWORD threadId);

// Calls the window's procedure on this thread (0 when the window is gone).
LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs under the window system's lock once the window is known to take what is handed to
// it, before its thread can see it; false withdraws it. Another process's sender is answered
// here: once the window's thread has the message it may end the process at once, and the
// answer must not be lost with it.
using ConfirmHandOver = std::function<bool()>;

// Queues a message for a window of this process (any thread); false when the window or its
// thread is gone, or `confirm` withdrew it.
bool PostToLocalWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       const ConfirmHandOver& confirm = nullptr);
// Hands work to the thread of a window of this process; false when the window or its thread
// is gone, or `confirm` withdrew it (the task is not finished then).
bool QueueTaskForWindow(HWND window, const std::shared_ptr<SentTask>& task, const ConfirmHandOver& confirm = nullptr);

// Removes a window's record and everything that refers to it (under the lock). Its
// top-level entry in the shared table is removed by the caller after unlocking.
void ForgetWindowLocked(WindowSystem& system, const std::shared_ptr<WindowRecord>& window);

}  // namespace platform::user
