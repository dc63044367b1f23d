// Touch messages and close requests, placed by walking the windows of this process.
#include "platform/screen/TouchInput.h"

#include <atomic>

#include "platform/sync/Thread.h"
#include "platform/user/Window.h"

namespace platform::screen {

namespace {

std::atomic<bool> fingerDown{false};

// A window tree is shallow, but a walk must end even if the lists were to change under it.
constexpr int kMaxWalkSteps = 100000;

bool Contains(HWND window, int x, int y) {
    RECT rect{};
    return GetWindowRect(window, &rect) && x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

struct TopLevelSearch {
    int x = 0;
    int y = 0;
    bool needPoint = true;
    bool needVisible = true;
    HWND found = nullptr;
};

BOOL MatchTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<TopLevelSearch*>(lParam);
    if (!IsOwnWindow(window)) return TRUE;
    if (search->needVisible && !IsWindowVisible(window)) return TRUE;
    if (search->needPoint && !Contains(window, search->x, search->y)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FirstTopLevel(TopLevelSearch search) {
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PostTouch(UINT message, WPARAM buttons, int x, int y) {
    HWND target = GetCapture();
    if (target == nullptr) target = WindowAtPoint(x, y);
    if (target == nullptr || (GetWindowLongW(target, GWL_STYLE) & WS_DISABLED) != 0) return;
    RECT rect{};
    if (!GetWindowRect(target, &rect)) return;
    int clientX = x - rect.left;
    int clientY = y - rect.top;
    PostMessageW(target, message, buttons, MAKELPARAM(clientX, clientY));
}

}  // namespace

HWND WindowAtPoint(int x, int y) {
    TopLevelSearch search;
    search.x = x;
    search.y = y;
    HWND current = FirstTopLevel(search);
    if (current == nullptr) return nullptr;
    for (int steps = 0; steps < kMaxWalkSteps;) {
        HWND hit = nullptr;
        for (HWND child = GetWindow(current, GW_CHILD); child != nullptr && steps < kMaxWalkSteps;
             child = GetWindow(child, GW_HWNDNEXT), ++steps) {
            if (IsWindowVisible(child) && Contains(child, x, y)) {
                hit = child;
                break;
            }
        }
        if (hit == nullptr) break;
        current = hit;
    }
    return current;
}

void TouchDown(int x, int y) {
    fingerDown = true;
    PostTouch(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
}

void TouchMove(int x, int y) { PostTouch(WM_MOUSEMOVE, fingerDown ? MK_LBUTTON : 0, x, y); }

void TouchUp(int x, int y) {
    fingerDown = false;
    PostTouch(WM_LBUTTONUP, 0, x, y);
}

bool CloseTopWindow() {
    HWND window = GetForegroundWindow();
    if (!IsOwnWindow(window)) {
        TopLevelSearch search;
        search.needPoint = false;
        window = FirstTopLevel(search);
        if (window == nullptr) {
            search.needVisible = false;
            window = FirstTopLevel(search);
        }
    }
    if (window == nullptr) return false;
    for (int steps = 0; steps < kMaxWalkSteps; ++steps) {
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner == nullptr || !IsOwnWindow(owner)) break;
        window = owner;
    }
    return PostMessageW(window, WM_CLOSE, 0, 0) != FALSE;
}

}  // namespace platform::screen
