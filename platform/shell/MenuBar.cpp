// Menu bars: the bar window class, the bars by owner window, and their place on the screen.
#include "platform/shell/MenuBar.h"

#include <map>
#include <mutex>

#include "platform/base/Errors.h"
#include "platform/screen/Display.h"
#include "platform/shell/ShellFullScreen.h"
#include "platform/sync/Thread.h"
#include "platform/user/Window.h"

namespace platform::shell {

namespace {

constexpr DWORD kKnownFlags = SHCMBF_EMPTYBAR | SHCMBF_HIDDEN | SHCMBF_HIDESIPBUTTON | SHCMBF_COLORBK | SHCMBF_HMENU;

std::mutex barLock;
std::map<HWND, MenuBarState> bars;  // by owner window
bool classRegistered = false;

// Along the bottom of the screen as it is now.
RECT BarPlace() {
    SIZE screen = platform::screen::Size();
    int height = MenuBarHeight();
    return RECT{0, screen.cy - height, screen.cx, screen.cy};
}

void Forget(HWND bar) {
    std::lock_guard<std::mutex> guard(barLock);
    for (auto entry = bars.begin(); entry != bars.end(); ++entry) {
        if (entry->second.bar == bar) {
            bars.erase(entry);
            return;
        }
    }
}

LRESULT MenuBarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTINGCHANGE: {
            // The screen may have turned: the bar keeps to its bottom edge.
            RECT place = BarPlace();
            SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY: Forget(window); break;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND MenuBarOf(HWND window) { return MenuBarStateOf(window).bar; }

MenuBarState MenuBarStateOf(HWND window) {
    std::lock_guard<std::mutex> guard(barLock);
    auto found = bars.find(window);
    return found != bars.end() ? found->second : MenuBarState{};
}

}  // namespace platform::shell

using namespace platform::shell;

BOOL SHInitExtraControls() {
    std::lock_guard<std::mutex> guard(barLock);
    if (classRegistered) return TRUE;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = MenuBarProcedure;
    windowClass.lpszClassName = kMenuBarClass;
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return FALSE;
    classRegistered = true;
    return TRUE;
}

BOOL SHCreateMenuBar(PSHMENUBARINFO info) {
    if (info == nullptr || info->cbSize < sizeof(SHMENUBARINFO) || (info->dwFlags & ~kKnownFlags) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HWND parent = info->hwndParent;
    if (!platform::IsOwnWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!SHInitExtraControls()) return FALSE;
    if (HWND former = MenuBarOf(parent)) DestroyWindow(former);

    // Made hidden and shown without activation: the bar never takes the focus from its window.
    RECT place = BarPlace();
    HWND bar = CreateWindowExW(WS_EX_NOACTIVATE, kMenuBarClass, u"", WS_POPUP, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, parent, nullptr, info->hInstRes,
                               nullptr);
    if (bar == nullptr) return FALSE;
    {
        std::lock_guard<std::mutex> guard(barLock);
        bars[parent] = MenuBarState{bar, info->dwFlags, info->nToolBarId, info->hInstRes, info->clrBk};
    }
    if ((info->dwFlags & SHCMBF_HIDDEN) == 0) ShowWindow(bar, SW_SHOWNOACTIVATE);
    info->hwndMB = bar;
    return TRUE;
}
