// Touches handed to the windows of this process: the capture first, else the deepest
// visible window under the point, with the point in that window's client coordinates.
#include "platform/user/Window.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// The window's client origin in screen coordinates.
POINT ScreenOriginLocked(WindowSystem& system, std::shared_ptr<WindowRecord> record) {
    POINT origin{0, 0};
    while (record) {
        origin.x += record->rect.left;
        origin.y += record->rect.top;
        record = record->IsChild() ? FindLocked(system, record->parent) : nullptr;
    }
    return origin;
}

// Descends from `top` through the visible children under the point, topmost first.
std::shared_ptr<WindowRecord> WindowUnderLocked(WindowSystem& system, std::shared_ptr<WindowRecord> top, POINT point) {
    POINT origin = ScreenOriginLocked(system, top);
    RECT bounds{origin.x, origin.y, origin.x + top->rect.right - top->rect.left,
                origin.y + top->rect.bottom - top->rect.top};
    if (!Contains(bounds, point)) return nullptr;
    auto current = top;
    for (bool descended = true; descended;) {
        descended = false;
        POINT parentOrigin = ScreenOriginLocked(system, current);
        for (HWND handle : current->children) {
            auto child = FindLocked(system, handle);
            if (!child || !child->visible) continue;
            RECT area{parentOrigin.x + child->rect.left, parentOrigin.y + child->rect.top,
                      parentOrigin.x + child->rect.right, parentOrigin.y + child->rect.bottom};
            if (!Contains(area, point)) continue;
            current = child;
            descended = true;
            break;
        }
    }
    return current;
}

}  // namespace

}  // namespace platform::user

namespace platform {

bool InjectPointer(UINT message, int x, int y) {
    if (message != WM_LBUTTONDOWN && message != WM_LBUTTONUP && message != WM_MOUSEMOVE) return false;
    using namespace user;
    WindowSystem& system = System();
    HWND target = nullptr;
    LPARAM where = 0;
    WPARAM buttons = 0;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        if (message == WM_LBUTTONDOWN) system.penDown = true;
        if (message == WM_LBUTTONUP) system.penDown = false;
        buttons = system.penDown ? MK_LBUTTON : 0;
        DWORD thread = system.inputThread;
        HWND foreground = window_table::Foreground();
        auto front = IsOwnProcessHandle(foreground) ? FindLocked(system, foreground) : nullptr;
        if (front) thread = front->threadId;
        auto queue = QueueOfThreadLocked(system, thread);
        if (!front && queue) front = FindLocked(system, queue->active);
        std::shared_ptr<WindowRecord> record;
        POINT point{x, y};
        if (queue && queue->capture != nullptr) record = FindLocked(system, queue->capture);
        if (!record && front && front->visible) record = WindowUnderLocked(system, front, point);
        if (!record) return false;
        POINT origin = ScreenOriginLocked(system, record);
        target = record->handle;
        where = MAKELPARAM(x - origin.x, y - origin.y);
    }
    return PostMessageW(target, message, buttons, where) != FALSE;
}

}  // namespace platform
