// Update regions: invalidating, validating and asking for them, and painting at once. A
// region is kept as its bounding rectangle in client coordinates.
#include <algorithm>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/user/Window.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

RECT ClientOf(const WindowRecord& record) {
    return RECT{0, 0, record.rect.right - record.rect.left, record.rect.bottom - record.rect.top};
}

bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

RECT Union(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// Adds `area` (the whole client area when null) to the window's update region; gives the
// queue to wake.
std::shared_ptr<MessageQueue> InvalidateLocked(WindowSystem& system, WindowRecord& record, const RECT* area) {
    RECT client = ClientOf(record);
    RECT added = area != nullptr ? Intersect(*area, client) : client;
    if (IsEmpty(added)) return nullptr;
    record.updateRect = record.updatePending ? Union(record.updateRect, added) : added;
    record.updatePending = true;
    return QueueOfThreadLocked(system, record.threadId);
}

// The window and, with `children`, everything inside it; walked without recursion.
std::vector<HWND> Targets(HWND window, bool children) {
    std::vector<HWND> targets{window};
    if (!children) return targets;
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (auto record = FindLocked(system, targets[i]))
            targets.insert(targets.end(), record->children.begin(), record->children.end());
    return targets;
}

}  // namespace

}  // namespace platform::user

using namespace platform::user;

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL) {
    if (window != nullptr && !CheckLocal(window)) return FALSE;
    WindowSystem& system = System();
    std::vector<std::shared_ptr<MessageQueue>> wake;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        if (window == nullptr) {
            // Every window of this process.
            for (auto& [value, record] : system.windows)
                if (auto queue = InvalidateLocked(system, *record, nullptr)) wake.push_back(queue);
        } else {
            auto record = FindOrFailLocked(system, window);
            if (!record) return FALSE;
            if (auto queue = InvalidateLocked(system, *record, rect)) wake.push_back(queue);
        }
    }
    for (auto& queue : wake) queue->Wake();
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    if (window == nullptr) return TRUE;
    if (!CheckLocal(window)) return FALSE;
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto record = FindOrFailLocked(system, window);
    if (!record) return FALSE;
    // A part of the bounding rectangle stays invalid unless the validated area covers it.
    if (rect == nullptr || IsEmpty(record->updateRect) ||
        (rect->left <= record->updateRect.left && rect->top <= record->updateRect.top &&
         rect->right >= record->updateRect.right && rect->bottom >= record->updateRect.bottom)) {
        record->updatePending = false;
        record->updateRect = RECT{};
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL) {
    if (!CheckLocal(window)) return FALSE;
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto record = FindOrFailLocked(system, window);
    if (!record) return FALSE;
    if (rect != nullptr) *rect = record->updatePending ? record->updateRect : RECT{};
    return record->updatePending ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    if (!CheckLocal(window)) return FALSE;
    bool paint = false;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, window);
        if (!record) return FALSE;
        paint = record->updatePending && IsVisibleLocked(system, *record);
    }
    if (paint) SendMessageW(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
    if (!CheckLocal(window)) return FALSE;
    // A region is taken as the whole window: painting more than asked is harmless.
    const RECT* area = region != nullptr ? nullptr : rect;
    std::vector<HWND> targets = Targets(window, (flags & RDW_ALLCHILDREN) != 0);
    for (HWND target : targets) {
        const RECT* targetArea = target == window ? area : nullptr;
        if ((flags & RDW_INVALIDATE) != 0) InvalidateRect(target, targetArea, (flags & RDW_ERASE) != 0);
        if ((flags & RDW_VALIDATE) != 0) ValidateRect(target, targetArea);
    }
    if ((flags & RDW_UPDATENOW) != 0)
        for (HWND target : targets) UpdateWindow(target);
    return TRUE;
}
