// ChangeDisplaySettingsEx over the screen's orientation, and what a turn tells the windows.
#include "platform/device/DisplaySettings.h"

#include <vector>

#include "platform/screen/Display.h"
#include "platform/sync/Thread.h"
#include "platform/user/Window.h"

namespace {

constexpr DWORD kKnownFlags = CDS_TEST | CDS_RESET;
constexpr DWORD kKnownFields = DM_DISPLAYORIENTATION | DM_DISPLAYQUERYORIENTATION;
// The record must reach the orientation field.
constexpr std::size_t kNeededSize = offsetof(DEVMODEW, dmDisplayOrientation) + sizeof(DWORD);

bool DegreesOf(DWORD orientation, int& degrees) {
    switch (orientation) {
        case DMDO_0: degrees = 0; return true;
        case DMDO_90: degrees = 90; return true;
        case DMDO_180: degrees = 180; return true;
        case DMDO_270: degrees = 270; return true;
        default: return false;
    }
}

DWORD OrientationOf(int degrees) {
    switch (degrees) {
        case 90: return DMDO_90;
        case 180: return DMDO_180;
        case 270: return DMDO_270;
        default: return DMDO_0;
    }
}

BOOL CollectOwnTopLevel(HWND window, LPARAM lParam) {
    DWORD processId = 0;
    if (GetWindowThreadProcessId(window, &processId) != 0 && processId == GetCurrentProcessId())
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

// What the handset does after a turn: windows that filled the screen fill it again, and
// every top-level window hears that the settings changed.
void TellWindows(SIZE before, SIZE after) {
    std::vector<HWND> windows;
    EnumWindows(CollectOwnTopLevel, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        RECT rect{};
        if (!GetWindowRect(window, &rect)) continue;
        bool filledScreen = rect.left == 0 && rect.top == 0 && rect.right == before.cx && rect.bottom == before.cy;
        if (filledScreen && (before.cx != after.cx || before.cy != after.cy))
            MoveWindow(window, 0, 0, after.cx, after.cy, TRUE);
    }
    for (HWND window : windows) PostMessageW(window, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
}

}  // namespace

LONG ChangeDisplaySettingsEx(LPCWSTR deviceName, LPDEVMODEW devMode, HWND window, DWORD flags, LPVOID parameter) {
    UNREFERENCED_PARAMETER(window);
    UNREFERENCED_PARAMETER(parameter);
    if (deviceName != nullptr || devMode == nullptr || devMode->dmSize < kNeededSize) return DISP_CHANGE_BADPARAM;
    if ((flags & ~kKnownFlags) != 0) return DISP_CHANGE_BADFLAGS;
    DWORD fields = devMode->dmFields;
    if ((fields & ~kKnownFields) != 0 || fields == 0) return DISP_CHANGE_BADMODE;
    bool test = (flags & CDS_TEST) != 0;
    if ((fields & DM_DISPLAYQUERYORIENTATION) != 0) {
        if (!test) return DISP_CHANGE_BADFLAGS;
        devMode->dmDisplayOrientation = DMDO_90 | DMDO_180 | DMDO_270;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (test) {
        devMode->dmDisplayOrientation = OrientationOf(platform::screen::Orientation());
        return DISP_CHANGE_SUCCESSFUL;
    }
    int degrees = 0;
    if (!DegreesOf(devMode->dmDisplayOrientation, degrees)) return DISP_CHANGE_BADMODE;
    if (degrees == platform::screen::Orientation() && (flags & CDS_RESET) == 0) return DISP_CHANGE_SUCCESSFUL;
    SIZE before = platform::screen::Size();
    if (!platform::screen::SetOrientation(degrees)) return DISP_CHANGE_FAILED;
    TellWindows(before, platform::screen::Size());
    return DISP_CHANGE_SUCCESSFUL;
}
