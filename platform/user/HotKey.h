// Hot keys, and the entry through which the screen (or a test) hands key presses to the
// windows of this process.
#pragma once

#include "platform/base/Types.h"
#include "platform/user/WindowKeys.h"

// A key with exactly the given modifiers (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN; MOD_KEYUP
// to fire on release) posts WM_HOTKEY (wParam id, lParam MAKELPARAM(modifiers, key)) to the
// window, or to the registering thread without one, in place of the key message. A key
// combination registered twice fails with ERROR_HOTKEY_ALREADY_REGISTERED; registering an
// id of the same window again replaces its keys.
BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey);
BOOL UnregisterHotKey(HWND window, int id);

namespace platform {

// A key went down or up on the handset. The keyboard hooks see it first (a hook that keeps
// it ends the press there, with true); then hot keys are matched; otherwise WM_KEYDOWN or
// WM_KEYUP is posted to the focus window of the thread whose window is in front (the active
// window when it has no focus). False when no window of this process takes keys.
bool InjectKey(UINT virtualKey, bool down);

}  // namespace platform
