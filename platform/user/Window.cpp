// Creating and destroying windows, with the messages of both, in the handset's order.
#include "platform/user/Window.h"

#include <unistd.h>

#include <algorithm>

#include "platform/base/Errors.h"
#include "platform/sync/Thread.h"
#include "platform/user/MessageChannel.h"
#include "platform/user/WindowClass.h"
#include "platform/user/WindowCreate.h"
#include "platform/user/WindowFocus.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

// The windows that go with `window`, in the order they get WM_DESTROY: windows it owns
// first, then its children (deepest first), itself last. Walked without recursion.
std::vector<std::shared_ptr<WindowRecord>> DestructionOrderLocked(WindowSystem& system,
                                                                  const std::shared_ptr<WindowRecord>& window) {
    std::vector<std::shared_ptr<WindowRecord>> order;
    std::vector<std::pair<std::shared_ptr<WindowRecord>, bool>> stack{{window, false}};
    while (!stack.empty()) {
        auto [record, expanded] = stack.back();
        stack.pop_back();
        if (expanded) {
            order.push_back(record);
            continue;
        }
        stack.push_back({record, true});
        for (auto child = record->children.rbegin(); child != record->children.rend(); ++child)
            if (auto found = FindLocked(system, *child); found && !found->destroying) stack.push_back({found, false});
        if (!record->IsChild()) {
            for (auto& [value, other] : system.windows)
                if (other->owner == record->handle && other->threadId == record->threadId && !other->destroying &&
                    other != window)
                    stack.push_back({other, false});
        }
    }
    // A window reached twice (owned by one window and a child of another) goes once.
    std::vector<std::shared_ptr<WindowRecord>> unique;
    for (auto& record : order)
        if (std::find(unique.begin(), unique.end(), record) == unique.end()) unique.push_back(record);
    return unique;
}

}  // namespace

HWND CreateWindowFromClass(const std::shared_ptr<WindowClassRecord>& windowClass, const CreateRequest& request) {
    auto queue = CurrentQueue();
    WindowSystem& system = System();
    const bool child = (request.style & WS_CHILD) != 0;
    SIZE display = DisplaySize();
    int x = request.x == CW_USEDEFAULT ? 0 : request.x;
    int y = request.y == CW_USEDEFAULT ? 0 : request.y;
    int width = request.width == CW_USEDEFAULT ? (child ? 0 : display.cx) : std::max(0, request.width);
    int height = request.height == CW_USEDEFAULT ? (child ? 0 : display.cy) : std::max(0, request.height);

    auto window = std::make_shared<WindowRecord>();
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        std::shared_ptr<WindowRecord> parent;
        if (request.parent != nullptr) {
            parent = FindLocked(system, request.parent);
            // A top-level window may be owned by another process's window; a child window
            // lives inside a window of this process.
            bool foreignOwner = !parent && !child && !IsOwnProcessHandle(request.parent) &&
                                window_table::Find(request.parent).has_value();
            if ((!parent && !foreignOwner) || (parent && parent->destroying)) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
        }
        if (child && !parent) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        window->handle = NewHandleLocked(system);
        window->windowClass = windowClass;
        window->procedure = windowClass->procedure;
        window->text = request.title != nullptr ? request.title : u"";
        window->style = request.style & ~WS_VISIBLE;
        window->exStyle = request.exStyle;
        window->id = reinterpret_cast<LONG_PTR>(request.menu);
        window->extraBytes.assign(static_cast<std::size_t>(windowClass->windowBytes), 0);
        window->rect = RECT{x, y, x + width, y + height};
        window->threadId = queue->ThreadId();
        window->instance = request.instance;
        if (child) {
            window->parent = parent->handle;
            parent->children.push_back(window->handle);
        } else if (parent) {
            window->owner = TopLevelOfLocked(system, parent)->handle;
        } else {
            window->owner = request.parent;
        }
        ++windowClass->windowCount;
        system.windows.emplace(reinterpret_cast<std::uintptr_t>(window->handle), window);
    }
    HWND handle = window->handle;
    channel::EnsureListening();
    if (!child) {
        TopLevelEntry entry;
        entry.window = handle;
        entry.owner = window->owner;
        entry.processId = static_cast<DWORD>(getpid());
        entry.threadId = window->threadId;
        entry.style = window->style;
        entry.exStyle = window->exStyle;
        entry.className = windowClass->name;
        entry.title = window->text;
        if (!window_table::Add(entry)) {
            std::lock_guard<std::mutex> guard(system.mutex);
            ForgetWindowLocked(system, window);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }

    CREATESTRUCTW create{};
    create.lpCreateParams = request.parameter;
    create.hInstance = request.instance;
    create.hMenu = request.menu;
    create.hwndParent = request.parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(request.style);
    create.lpszName = request.title;
    create.lpszClass = request.className;
    create.dwExStyle = request.exStyle;
    if (CallProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!IsWindow(handle)) return nullptr;
    CallProcedure(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    CallProcedure(handle, WM_MOVE, 0, MAKELPARAM(x, y));
    if ((request.style & WS_VISIBLE) != 0) ShowWindow(handle, SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

}  // namespace platform::user

using namespace platform::user;

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
    std::shared_ptr<WindowClassRecord> windowClass;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        windowClass = FindClassLocked(system, className);
    }
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    CreateRequest request;
    request.exStyle = exStyle;
    request.className = className;
    request.title = windowName;
    request.style = style;
    request.x = x;
    request.y = y;
    request.width = width;
    request.height = height;
    request.parent = parent;
    request.menu = menu;
    request.instance = instance;
    request.parameter = parameter;
    return CreateWindowFromClass(windowClass, request);
}

HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                   HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
    return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menu, instance, parameter);
}

BOOL DestroyWindow(HWND window) {
    auto queue = CurrentQueue();
    WindowSystem& system = System();
    std::vector<std::shared_ptr<WindowRecord>> doomed;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    bool wasForeground = false;
    HWND topLevel = nullptr;
    if (!CheckLocal(window)) return FALSE;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, window);
        if (!record) return FALSE;
        if (record->threadId != queue->ThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (record->destroying) return TRUE;
        doomed = DestructionOrderLocked(system, record);
        auto inDoomed = [&](HWND handle) {
            return handle != nullptr && std::any_of(doomed.begin(), doomed.end(),
                                                    [&](const auto& entry) { return entry->handle == handle; });
        };
        for (auto& entry : doomed) entry->destroying = true;
        if (inDoomed(queue->focus)) focus = queue->focus;
        if (inDoomed(queue->active)) active = queue->active;
        if (inDoomed(queue->capture)) {
            capture = queue->capture;
            queue->capture = nullptr;
        }
        HWND foreground = window_table::Foreground();
        wasForeground = inDoomed(foreground);
        topLevel = TopLevelOfLocked(system, record)->handle;
    }
    // Leaving the front first, as the windows are still whole.
    if (focus != nullptr) {
        {
            std::lock_guard<std::mutex> guard(system.mutex);
            queue->focus = nullptr;
        }
        CallProcedure(focus, WM_KILLFOCUS, 0, 0);
    }
    if (active != nullptr) {
        {
            std::lock_guard<std::mutex> guard(system.mutex);
            queue->active = nullptr;
        }
        CallProcedure(active, WM_ACTIVATE, WA_INACTIVE, 0);
    }
    if (capture != nullptr) CallProcedure(capture, WM_CAPTURECHANGED, 0, 0);
    for (auto& entry : doomed) CallProcedure(entry->handle, WM_DESTROY, 0, 0);

    std::vector<HWND> topLevels;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        for (auto& entry : doomed) {
            if (!entry->IsChild()) topLevels.push_back(entry->handle);
            ForgetWindowLocked(system, entry);
        }
    }
    for (HWND handle : topLevels) window_table::Remove(handle);
    if (wasForeground) ActivateNextTopLevel(topLevel);
    return TRUE;
}
