// Full-screen state by window, the bar heights and a window's work area.
#include "platform/shell/ShellFullScreen.h"

#include <map>
#include <mutex>

#include "platform/base/Errors.h"
#include "platform/screen/Display.h"
#include "platform/shell/MenuBar.h"
#include "platform/user/Window.h"

namespace platform::shell {

namespace {

constexpr int kBarHeightAt96Dpi = 26;

std::mutex stateLock;
std::map<HWND, FullScreenState> states;

// Entries of windows that were destroyed are dropped whenever the table changes.
void ForgetDeadWindowsLocked() {
    for (auto entry = states.begin(); entry != states.end();)
        entry = IsWindow(entry->first) ? std::next(entry) : states.erase(entry);
}

int BarHeight() { return (kBarHeightAt96Dpi * platform::screen::Dpi() + 48) / 96; }

}  // namespace

FullScreenState FullScreenOf(HWND window) {
    std::lock_guard<std::mutex> guard(stateLock);
    auto found = states.find(window);
    return found != states.end() && IsWindow(window) ? found->second : FullScreenState{};
}

int TaskBarHeight() { return BarHeight(); }
int MenuBarHeight() { return BarHeight(); }

RECT WorkAreaOf(HWND window) {
    SIZE screen = platform::screen::Size();
    RECT area{0, 0, screen.cx, screen.cy};
    if (!FullScreenOf(window).taskBarHidden) area.top = TaskBarHeight();
    HWND bar = MenuBarOf(window);
    if (bar != nullptr && IsWindowVisible(bar)) area.bottom -= MenuBarHeight();
    if (area.bottom < area.top) area.bottom = area.top;
    return area;
}

}  // namespace platform::shell

BOOL SHFullScreen(HWND window, DWORD flags) {
    constexpr DWORD kKnown = SHFS_SHOWTASKBAR | SHFS_HIDETASKBAR | SHFS_SHOWSIPBUTTON | SHFS_HIDESIPBUTTON |
                             SHFS_SHOWSTARTICON | SHFS_HIDESTARTICON;
    auto both = [flags](DWORD show, DWORD hide) { return (flags & show) != 0 && (flags & hide) != 0; };
    if ((flags & ~kKnown) != 0 || both(SHFS_SHOWTASKBAR, SHFS_HIDETASKBAR) ||
        both(SHFS_SHOWSIPBUTTON, SHFS_HIDESIPBUTTON) || both(SHFS_SHOWSTARTICON, SHFS_HIDESTARTICON)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    using namespace platform::shell;
    std::lock_guard<std::mutex> guard(stateLock);
    ForgetDeadWindowsLocked();
    FullScreenState& state = states[window];
    auto apply = [flags](bool& hidden, DWORD show, DWORD hide) {
        if ((flags & show) != 0) hidden = false;
        if ((flags & hide) != 0) hidden = true;
    };
    apply(state.taskBarHidden, SHFS_SHOWTASKBAR, SHFS_HIDETASKBAR);
    apply(state.sipButtonHidden, SHFS_SHOWSIPBUTTON, SHFS_HIDESIPBUTTON);
    apply(state.startIconHidden, SHFS_SHOWSTARTICON, SHFS_HIDESTARTICON);
    return TRUE;
}
