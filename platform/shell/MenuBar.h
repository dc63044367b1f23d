// The soft-key menu bar the shell makes for a window: a bar window along the bottom of the
// screen, owned by the window (destroyed with it), and the shell's extra controls.
#pragma once

#include "platform/base/Types.h"

// SHMENUBARINFO dwFlags
constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
constexpr DWORD SHCMBF_HIDDEN = 0x0002;        // made hidden
constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;  // without the input-panel button
constexpr DWORD SHCMBF_COLORBK = 0x0008;        // clrBk is the bar's colour
constexpr DWORD SHCMBF_HMENU = 0x0010;          // nToolBarId names a menu resource

struct SHMENUBARINFO {
    DWORD cbSize;  // sizeof(SHMENUBARINFO)
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;  // out: the bar
    COLORREF clrBk;
};
using PSHMENUBARINFO = SHMENUBARINFO*;

// Makes the shell's window classes (the menu bar's) known to this process. TRUE when they are.
BOOL SHInitExtraControls();

// Makes a menu bar for hwndParent, a window of this process: a window of class
// "HandsetMenuBar" along the bottom of the screen, MenuBarHeight() tall, shown without
// taking the activation unless SHCMBF_HIDDEN. A window has one bar: a new one replaces the
// old. The bar follows the screen when it turns. FALSE with ERROR_INVALID_PARAMETER for a
// missing or short record or unknown flags, ERROR_INVALID_WINDOW_HANDLE for a parent that
// is not a window of this process.
BOOL SHCreateMenuBar(PSHMENUBARINFO info);

namespace platform::shell {

constexpr const WCHAR* kMenuBarClass = u"HandsetMenuBar";

struct MenuBarState {
    HWND bar = nullptr;
    DWORD flags = 0;
    UINT toolBarId = 0;
    HINSTANCE resources = nullptr;
    COLORREF background = 0;
};
// The bar of a window; null when it has none.
HWND MenuBarOf(HWND window);
// What the bar was made with; a default record for a window without one.
MenuBarState MenuBarStateOf(HWND window);

}  // namespace platform::shell
