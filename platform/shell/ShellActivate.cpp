// Activation and setting-change handling of the shell, and the input panel's state.
#include "platform/shell/ShellActivate.h"

#include <atomic>

#include "platform/base/Errors.h"
#include "platform/screen/Display.h"
#include "platform/shell/ShellFullScreen.h"
#include "platform/user/Window.h"

namespace platform::shell {

namespace {

std::atomic<bool> inputPanelUp{false};

constexpr int kMaxWalkSteps = 100000;

// True when `window` is `ancestor` or one of its children, at any depth.
bool IsWithin(HWND window, HWND ancestor) {
    for (int steps = 0; window != nullptr && steps < kMaxWalkSteps; ++steps) {
        if (window == ancestor) return true;
        if ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0) return false;
        window = GetParent(window);
    }
    return false;
}

}  // namespace

bool InputPanelUp() { return inputPanelUp.load(); }
void SetInputPanelUp(bool up) { inputPanelUp.store(up); }

}  // namespace platform::shell

using namespace platform::shell;

BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, PSHACTIVATEINFO info, DWORD flags) {
    UNREFERENCED_PARAMETER(lParam);
    UNREFERENCED_PARAMETER(flags);
    if (info == nullptr || info->cbSize < sizeof(SHACTIVATEINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsWithin(focus, window)) info->hwndLastFocus = focus;
        info->fSipOnDeactivation = InputPanelUp() ? 1 : 0;
        info->fActive = 0;
        return TRUE;
    }
    info->fActive = 1;
    if (info->fSipOnDeactivation != (InputPanelUp() ? 1u : 0u)) SetInputPanelUp(info->fSipOnDeactivation != 0);
    info->fSipUp = InputPanelUp() ? 1 : 0;
    HWND last = info->hwndLastFocus;
    if (last != nullptr && IsWindow(last) && IsWithin(last, window) && GetFocus() != last) SetFocus(last);
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, PSHACTIVATEINFO info) {
    UNREFERENCED_PARAMETER(lParam);
    if (info == nullptr || info->cbSize < sizeof(SHACTIVATEINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (wParam != SETTINGCHANGE_RESET && wParam != SPI_SETSIPINFO) return TRUE;
    if ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) return TRUE;
    info->fSipUp = InputPanelUp() ? 1 : 0;
    RECT area = WorkAreaOf(window);
    return SetWindowPos(window, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                        SWP_NOZORDER | SWP_NOACTIVATE);
}
