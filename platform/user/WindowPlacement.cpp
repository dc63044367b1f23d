// Showing and hiding windows, moving, sizing and stacking them, their rectangles, and the
// display size that the system metrics report. Changes run on the window's own thread,
// which gets WM_SHOWWINDOW, WM_SIZE, WM_MOVE and the activation messages.
#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/user/MessageDelivery.h"
#include "platform/user/Window.h"
#include "platform/user/WindowFocus.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

std::atomic<int> displayWidth{480};
std::atomic<int> displayHeight{800};

bool Hides(int command) {
    return command == SW_HIDE || command == SW_MINIMIZE || command == SW_SHOWMINIMIZED ||
           command == SW_SHOWMINNOACTIVE;
}

bool Activates(int command) {
    return command == SW_SHOWNORMAL || command == SW_SHOW || command == SW_SHOWMAXIMIZED || command == SW_RESTORE;
}

// A window that becomes visible is painted whole, with everything inside it.
void InvalidateTreeLocked(WindowSystem& system, const std::shared_ptr<WindowRecord>& root) {
    std::vector<std::shared_ptr<WindowRecord>> pending{root};
    while (!pending.empty()) {
        auto record = pending.back();
        pending.pop_back();
        LONG width = record->rect.right - record->rect.left;
        LONG height = record->rect.bottom - record->rect.top;
        if (width > 0 && height > 0) {
            record->updatePending = true;
            record->updateRect = RECT{0, 0, width, height};
        }
        for (HWND child : record->children)
            if (auto found = FindLocked(system, child)) pending.push_back(found);
    }
}

void WakeThreadLocked(WindowSystem& system, DWORD threadId, std::shared_ptr<MessageQueue>& wake) {
    wake = QueueOfThreadLocked(system, threadId);
}

// Runs on the window's thread.
BOOL ShowOnThisThread(HWND window, int command) {
    WindowSystem& system = System();
    bool wasVisible = false;
    bool topLevel = false;
    std::shared_ptr<MessageQueue> wake;
    bool hide = Hides(command);
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, window);
        if (!record) return FALSE;
        wasVisible = record->visible;
        topLevel = !record->IsChild();
        record->visible = !hide;
        if (!hide && !wasVisible) {
            InvalidateTreeLocked(system, record);
            WakeThreadLocked(system, record->threadId, wake);
        }
    }
    if (wake) wake->Wake();
    if (hide) {
        if (wasVisible) {
            CallProcedure(window, WM_SHOWWINDOW, FALSE, 0);
            if (topLevel) window_table::SetVisible(window, false);
        }
        if (topLevel && command != SW_HIDE) window_table::PlaceAtBottom(window);
        if (topLevel) {
            bool wasForeground = window_table::ClearForegroundIf(window);
            DeactivateOnThisThread(window);
            if (wasForeground) ActivateNextTopLevel(window);
        }
        return wasVisible ? TRUE : FALSE;
    }
    if (!wasVisible) {
        CallProcedure(window, WM_SHOWWINDOW, TRUE, 0);
        if (topLevel) window_table::SetVisible(window, true);
    }
    if (command == SW_SHOWMAXIMIZED) {
        SIZE display = DisplaySize();
        SetWindowPos(window, nullptr, 0, 0, display.cx, display.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (topLevel && Activates(command)) ActivateOnThisThread(window);
    return wasVisible ? TRUE : FALSE;
}

enum class Stacking { None, Top, Bottom, Topmost, NotTopmost, Below };

Stacking StackingOf(HWND insertAfter, UINT flags) {
    if ((flags & SWP_NOZORDER) != 0) return Stacking::None;
    if (insertAfter == HWND_TOP) return Stacking::Top;
    if (insertAfter == HWND_BOTTOM) return Stacking::Bottom;
    if (insertAfter == HWND_TOPMOST) return Stacking::Topmost;
    if (insertAfter == HWND_NOTOPMOST) return Stacking::NotTopmost;
    return Stacking::Below;
}

// Runs on the window's thread.
BOOL PlaceOnThisThread(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    WindowSystem& system = System();
    Stacking stacking = StackingOf(insertAfter, flags);
    bool topLevel = false;
    bool moved = false;
    bool sized = false;
    bool visible = false;
    RECT rect{};
    DWORD style = 0;
    DWORD exStyle = 0;
    std::shared_ptr<MessageQueue> wake;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, window);
        if (!record) return FALSE;
        topLevel = !record->IsChild();
        rect = record->rect;
        if ((flags & SWP_NOMOVE) == 0) {
            moved = rect.left != x || rect.top != y;
            LONG w = rect.right - rect.left;
            LONG h = rect.bottom - rect.top;
            rect = RECT{x, y, x + w, y + h};
        }
        if ((flags & SWP_NOSIZE) == 0) {
            width = std::max(0, width);
            height = std::max(0, height);
            sized = rect.right - rect.left != width || rect.bottom - rect.top != height;
            rect.right = rect.left + width;
            rect.bottom = rect.top + height;
        }
        record->rect = rect;
        if (topLevel && stacking == Stacking::Topmost) record->exStyle |= WS_EX_TOPMOST;
        if (topLevel && (stacking == Stacking::NotTopmost || stacking == Stacking::Bottom))
            record->exStyle &= ~WS_EX_TOPMOST;
        if (!topLevel && stacking != Stacking::None) {
            auto parent = FindLocked(system, record->parent);
            if (parent) {
                auto& siblings = parent->children;
                bool validAfter = stacking != Stacking::Below ||
                                  (insertAfter != window &&
                                   std::find(siblings.begin(), siblings.end(), insertAfter) != siblings.end());
                if (validAfter) {
                    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
                    if (stacking == Stacking::Bottom)
                        siblings.push_back(window);
                    else if (stacking == Stacking::Below)
                        siblings.insert(std::find(siblings.begin(), siblings.end(), insertAfter) + 1, window);
                    else
                        siblings.insert(siblings.begin(), window);
                }
            }
        }
        if ((moved || sized) && (flags & SWP_NOREDRAW) == 0 && record->visible) {
            InvalidateTreeLocked(system, record);
            WakeThreadLocked(system, record->threadId, wake);
        }
        style = record->style;
        exStyle = record->exStyle;
        visible = record->visible;
    }
    if (wake) wake->Wake();
    if (topLevel && stacking != Stacking::None) {
        window_table::SetStyles(window, style, exStyle);
        if (stacking == Stacking::Bottom)
            window_table::PlaceAtBottom(window);
        else if (stacking == Stacking::Below)
            window_table::PlaceBelow(window, insertAfter);
        else
            window_table::PlaceOnTop(window);
    }
    if ((flags & SWP_HIDEWINDOW) != 0) ShowOnThisThread(window, SW_HIDE);
    if ((flags & SWP_SHOWWINDOW) != 0) ShowOnThisThread(window, SW_SHOWNA);
    if (sized) CallProcedure(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.right - rect.left, rect.bottom - rect.top));
    if (moved) CallProcedure(window, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    bool nowVisible = (flags & SWP_SHOWWINDOW) != 0 || (visible && (flags & SWP_HIDEWINDOW) == 0);
    if (topLevel && nowVisible && (flags & SWP_NOACTIVATE) == 0) ActivateOnThisThread(window);
    return TRUE;
}

}  // namespace

}  // namespace platform::user

using namespace platform::user;

BOOL ShowWindow(HWND window, int command) {
    if (!CheckLocal(window)) return FALSE;
    LRESULT result = 0;
    if (!RunOnWindowThread(window, [=] { return static_cast<LRESULT>(ShowOnThisThread(window, command)); }, INFINITE,
                           &result))
        return FALSE;
    return static_cast<BOOL>(result);
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    if (!CheckLocal(window)) return FALSE;
    LRESULT result = 0;
    auto work = [=] { return static_cast<LRESULT>(PlaceOnThisThread(window, insertAfter, x, y, width, height, flags)); };
    if (!RunOnWindowThread(window, work, INFINITE, &result)) return FALSE;
    return static_cast<BOOL>(result);
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!CheckLocal(window)) return FALSE;
    auto record = FindLocal(window);
    if (!record) return FALSE;
    std::lock_guard<std::mutex> guard(System().mutex);
    *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!CheckLocal(window)) return FALSE;
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto record = FindOrFailLocked(system, window);
    if (!record) return FALSE;
    RECT placed = record->rect;
    for (auto parent = record->IsChild() ? FindLocked(system, record->parent) : nullptr; parent;
         parent = parent->IsChild() ? FindLocked(system, parent->parent) : nullptr) {
        placed.left += parent->rect.left;
        placed.right += parent->rect.left;
        placed.top += parent->rect.top;
        placed.bottom += parent->rect.top;
    }
    *rect = placed;
    return TRUE;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN: return platform::user::displayWidth.load();
        case SM_CYSCREEN: return platform::user::displayHeight.load();
        default: return 0;
    }
}

namespace platform {

void SetDisplaySize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    user::displayWidth.store(width);
    user::displayHeight.store(height);
}

SIZE DisplaySize() { return SIZE{user::displayWidth.load(), user::displayHeight.load()}; }

}  // namespace platform
