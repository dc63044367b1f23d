// The watcher thread: when another program's window has been in front for a second, it
// closes the program's item window with IDOK (so that what the user entered is kept) and
// ends the process.
#include "pimhelper/PellorinWnd.h"
#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/process/Process.h"
#include "platform/sync/Wait.h"
#include "platform/user/Window.h"

namespace {

constexpr DWORD kPollMs = 25;
constexpr DWORD kGraceMs = 1000;
constexpr int kCloseChecks = 50;
constexpr DWORD kCloseCheckMs = 100;
constexpr int kClassNameChars = 32;

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &process) == 0) return 0;
    return process;
}

}  // namespace

HWND FindOwnItemWindow(HWND hidden) {
    DWORD own = GetCurrentProcessId();
    HWND picked = nullptr;
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (window == hidden || !IsWindowVisible(window) || ProcessOf(window) != own) continue;
        WCHAR className[kClassNameChars] = {};
        GetClassNameW(window, className, kClassNameChars);
        if (_wcsicmp(className, u"Dialog") != 0) continue;
        // Two item windows: which one the user meant is not known, so neither is closed.
        if (picked != nullptr) return nullptr;
        picked = window;
    }
    return picked;
}

DWORD DialogWatcher(LPVOID parameter) {
    auto* owner = static_cast<CPellorinWnd*>(parameter);
    HANDLE stop = owner->GetStopEvent();
    HWND hidden = owner->m_hWnd;
    DWORD own = ProcessOf(hidden);
    HWND lastSeen = owner->GetStartForeground();
    for (;;) {
        if (WaitForSingleObject(stop, kPollMs) == WAIT_OBJECT_0) return 0;
        HWND current = GetForegroundWindow();
        DWORD process = ProcessOf(current);
        if (current == lastSeen || current == nullptr || process == 0 || process == own) {
            lastSeen = current;
            continue;
        }
        if (WaitForSingleObject(stop, kGraceMs) == WAIT_OBJECT_0) return 0;
        HWND itemWindow = FindOwnItemWindow(hidden);
        if (itemWindow != nullptr && IsWindow(itemWindow)) {
            PostMessageW(itemWindow, WM_COMMAND, IDOK, 0);
            // Real time, whatever the program's clock: the item window saves meanwhile.
            for (int check = 0; check < kCloseChecks && IsWindow(itemWindow); ++check)
                WaitForSingleObject(stop, kCloseCheckMs);
        }
        TerminateProcess(GetCurrentProcess(), 0);
    }
}
