// Low-level keyboard hooks and the handset's core library that exports them: a hook sees
// every key the handset hands to this process before any window does, and a hook that
// answers non-zero keeps the key from the windows (and from the hooks installed before it).
#pragma once

#include "platform/base/Types.h"

HANDSET_DECLARE_HANDLE(HHOOK);

constexpr int WH_KEYBOARD_LL = 20;
constexpr int HC_ACTION = 0;

// What a keyboard hook is told of a key: lParam points to it; wParam is WM_KEYDOWN or WM_KEYUP.
struct KBDLLHOOKSTRUCT {
    DWORD vkCode;
    DWORD scanCode;
    DWORD flags;  // LLKHF_EXTENDED, LLKHF_UP
    DWORD time;   // the platform clock's tick count
    ULONG_PTR dwExtraInfo;
};
constexpr DWORD LLKHF_EXTENDED = 0x01;
constexpr DWORD LLKHF_UP = 0x80;

using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

// Only WH_KEYBOARD_LL hooks, on every thread of the process (threadId 0); anything else
// fails with ERROR_INVALID_PARAMETER. The hook runs on the thread that hands the key in (the
// screen's or a test's), before the key reaches a window; the newest hook runs first.
HHOOK SetWindowsHookExW(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
// The next older hook's answer, or 0 after the last one.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
// FALSE with ERROR_INVALID_HOOK_HANDLE for a hook that is not installed.
BOOL UnhookWindowsHookEx(HHOOK hook);

namespace platform {

// Runs the hooks for a key; true when one kept it.
bool RunKeyboardHooks(UINT virtualKey, bool down, bool extended);
// Registers the stand-in of the handset's core library "coredll.dll", which exports the
// three hook calls by name.
void RegisterCoreLibraryStandIn();

}  // namespace platform
