// The shell's full-screen call and the bars it keeps around a window: the task bar at the
// top of the screen (with the start icon) and the soft-key menu bar at the bottom, each as
// tall as the handset's bars at the display's density.
#pragma once

#include "platform/base/Types.h"

constexpr DWORD SHFS_SHOWTASKBAR = 0x0001;
constexpr DWORD SHFS_HIDETASKBAR = 0x0002;
constexpr DWORD SHFS_SHOWSIPBUTTON = 0x0004;
constexpr DWORD SHFS_HIDESIPBUTTON = 0x0008;
constexpr DWORD SHFS_SHOWSTARTICON = 0x0010;
constexpr DWORD SHFS_HIDESTARTICON = 0x0020;

// Hides or shows, while `window` is the one in front, the task bar, the input-panel button
// and the start icon. Flags not given leave their item as it was. FALSE with
// ERROR_INVALID_WINDOW_HANDLE for a window that does not exist, ERROR_INVALID_PARAMETER for
// unknown flags or for showing and hiding one item at once.
BOOL SHFullScreen(HWND window, DWORD flags);

namespace platform::shell {

struct FullScreenState {
    bool taskBarHidden = false;
    bool sipButtonHidden = false;
    bool startIconHidden = false;
};
// What SHFullScreen made of the window (all shown for a window it never saw).
FullScreenState FullScreenOf(HWND window);

// The bars' height in pixels: 26 at 96 dpi, growing with the density (52 at 192 dpi).
int TaskBarHeight();
int MenuBarHeight();

// The part of the screen the shell leaves a top-level window: the whole screen less the
// task bar (unless the window hid it) and less its visible menu bar.
RECT WorkAreaOf(HWND window);

}  // namespace platform::shell
