// The shell's helpers for a window's activation and setting changes: on deactivation the
// window's focus and the input panel's state are kept in the window's SHACTIVATEINFO, and
// given back when it is activated again; after a turn of the screen or an input-panel
// change the window is fitted to the area the shell leaves it.
#pragma once

#include "platform/base/Types.h"

struct SHACTIVATEINFO {
    DWORD cbSize;  // sizeof(SHACTIVATEINFO), set by the window when it is created
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};
using PSHACTIVATEINFO = SHACTIVATEINFO*;

// SHHandleWMActivate's flags: the window is a dialog that takes input.
constexpr DWORD SHA_INPUTDIALOG = 0x00000001;

// WM_SETTINGCHANGE's wParam when the input panel came up or went down.
constexpr WPARAM SPI_SETSIPINFO = 224;

// For WM_ACTIVATE of `window`. Deactivation (LOWORD(wParam) == WA_INACTIVE) keeps the
// focus (when it lies within the window) and whether the input panel was up; activation
// brings the panel back as it was and the focus back to that window when it still lies
// within. fActive follows. FALSE with ERROR_INVALID_PARAMETER for a missing or short record.
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, PSHACTIVATEINFO info, DWORD flags);

// For WM_SETTINGCHANGE of a top-level `window`: after a turn of the screen
// (SETTINGCHANGE_RESET) or an input-panel change (SPI_SETSIPINFO), moves the window to
// platform::shell::WorkAreaOf(window). Other changes are not the shell's. FALSE with
// ERROR_INVALID_PARAMETER for a missing or short record, ERROR_INVALID_WINDOW_HANDLE for a
// window that does not exist.
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, PSHACTIVATEINFO info);

namespace platform::shell {

// The input panel (the on-screen keyboard): up or down. It starts down.
bool InputPanelUp();
void SetInputPanelUp(bool up);

}  // namespace platform::shell
