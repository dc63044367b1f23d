// What can be asked of a window and changed on it: window longs, text, class name,
// visibility, relatives, owning thread; and the searches and walks over the handset's
// top-level windows. Windows of other processes answer from the shared table.
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

namespace platform::user {

namespace {

// Copies as much of `text` as fits with its terminator; gives the characters copied.
int CopyOut(const std::u16string& text, LPWSTR buffer, int maxCount) {
    if (buffer == nullptr || maxCount <= 0) return 0;
    std::size_t kept = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, text.data(), kept * sizeof(WCHAR));
    buffer[kept] = 0;
    return static_cast<int>(kept);
}

// The window's siblings in z-order: its parent's children, or the handset's top-level windows.
std::vector<HWND> SiblingsOf(HWND window, bool& found) {
    found = false;
    if (IsOwnProcessHandle(window)) {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, window);
        if (!record) return {};
        if (record->IsChild()) {
            auto parent = FindLocked(system, record->parent);
            found = parent != nullptr;
            return parent ? parent->children : std::vector<HWND>{};
        }
    }
    std::vector<HWND> order;
    for (const auto& entry : window_table::ZOrder()) {
        order.push_back(entry.window);
        if (entry.window == window) found = true;
    }
    return order;
}

void UpdateTableStyles(HWND window, DWORD style, DWORD exStyle, bool visible) {
    window_table::SetStyles(window, style, exStyle);
    window_table::SetVisible(window, visible);
}

}  // namespace

}  // namespace platform::user

using namespace platform::user;

LONG_PTR GetWindowLongW(HWND window, int index) {
    if (!IsOwnProcessHandle(window)) {
        auto entry = FindForeign(window);
        if (!entry) return 0;
        if (index == GWL_STYLE) return static_cast<LONG_PTR>(entry->style | (entry->visible ? WS_VISIBLE : 0));
        if (index == GWL_EXSTYLE) return static_cast<LONG_PTR>(entry->exStyle);
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto record = FindOrFailLocked(system, window);
    if (!record) return 0;
    switch (index) {
        case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(record->procedure);
        case GWL_STYLE: return static_cast<LONG_PTR>(record->style | (record->visible ? WS_VISIBLE : 0));
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(record->exStyle);
        case GWL_ID: return record->id;
        case GWL_USERDATA: return record->userData;
        default: break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > record->extraBytes.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR value = 0;
    std::memcpy(&value, record->extraBytes.data() + index, sizeof(value));
    return value;
}

LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value) {
    if (!CheckLocal(window)) return 0;
    WindowSystem& system = System();
    LONG_PTR former = 0;
    bool tableChanged = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool visible = false;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, window);
        if (!record) return 0;
        switch (index) {
            case GWL_WNDPROC:
                if (value == 0) {
                    SetLastError(ERROR_INVALID_PARAMETER);
                    return 0;
                }
                former = reinterpret_cast<LONG_PTR>(record->procedure);
                record->procedure = reinterpret_cast<WNDPROC>(value);
                break;
            case GWL_STYLE:
                former = static_cast<LONG_PTR>(record->style | (record->visible ? WS_VISIBLE : 0));
                // WS_VISIBLE set this way changes the flag without any message, as on the handset.
                record->visible = (static_cast<DWORD>(value) & WS_VISIBLE) != 0;
                record->style = static_cast<DWORD>(value) & ~WS_VISIBLE;
                if ((record->style & WS_CHILD) != (static_cast<DWORD>(former) & WS_CHILD)) {
                    // Turning a window into a child or back is not supported: keep what it is.
                    record->style = (record->style & ~WS_CHILD) | (static_cast<DWORD>(former) & WS_CHILD);
                }
                tableChanged = !record->IsChild();
                break;
            case GWL_EXSTYLE:
                former = static_cast<LONG_PTR>(record->exStyle);
                record->exStyle = static_cast<DWORD>(value);
                tableChanged = !record->IsChild();
                break;
            case GWL_ID:
                former = record->id;
                record->id = value;
                break;
            case GWL_USERDATA:
                former = record->userData;
                record->userData = value;
                break;
            default:
                if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > record->extraBytes.size()) {
                    SetLastError(ERROR_INVALID_INDEX);
                    return 0;
                }
                std::memcpy(&former, record->extraBytes.data() + index, sizeof(former));
                std::memcpy(record->extraBytes.data() + index, &value, sizeof(value));
                break;
        }
        style = record->style;
        exStyle = record->exStyle;
        visible = record->visible;
    }
    if (tableChanged) UpdateTableStyles(window, style, exStyle, visible);
    return former;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (!CheckLocal(window) || !FindLocal(window)) return FALSE;
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) != 0 ? TRUE : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR text, int maxCount) {
    if (text == nullptr || maxCount <= 0) return 0;
    text[0] = 0;
    if (IsOwnProcessHandle(window))
        return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                             reinterpret_cast<LPARAM>(text)));
    auto entry = FindForeign(window);
    if (!entry) return 0;
    return CopyOut(entry->title, text, maxCount);
}

int GetWindowTextLengthW(HWND window) {
    if (IsOwnProcessHandle(window)) return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    auto entry = FindForeign(window);
    if (!entry) return 0;
    return static_cast<int>(entry->title.size());
}

int GetClassNameW(HWND window, LPWSTR className, int maxCount) {
    std::u16string name;
    if (IsOwnProcessHandle(window)) {
        auto record = FindLocal(window);
        if (!record) return 0;
        name = record->windowClass->name;
    } else {
        auto entry = FindForeign(window);
        if (!entry) return 0;
        name = entry->className;
    }
    return CopyOut(name, className, maxCount);
}

BOOL IsWindow(HWND window) {
    if (window == nullptr) return FALSE;
    if (window == DesktopHandle()) return TRUE;
    if (IsOwnProcessHandle(window)) {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        return FindLocked(system, window) ? TRUE : FALSE;
    }
    return window_table::Find(window) ? TRUE : FALSE;
}

bool platform::IsOwnWindow(HWND window) { return IsOwnProcessHandle(window) && IsWindow(window); }

BOOL IsWindowVisible(HWND window) {
    if (window == DesktopHandle()) return TRUE;
    if (IsOwnProcessHandle(window)) {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindLocked(system, window);
        return record && IsVisibleLocked(system, *record) ? TRUE : FALSE;
    }
    auto entry = window != nullptr ? window_table::Find(window) : std::nullopt;
    return entry && entry->visible ? TRUE : FALSE;
}

HWND GetParent(HWND window) {
    if (IsOwnProcessHandle(window)) {
        auto record = FindLocal(window);
        if (!record) return nullptr;
        if (record->IsChild()) return record->parent;
        return (record->style & WS_POPUP) != 0 ? record->owner : nullptr;
    }
    auto entry = FindForeign(window);
    if (!entry) return nullptr;
    return (entry->style & WS_POPUP) != 0 ? entry->owner : nullptr;
}

HWND GetDesktopWindow() { return DesktopHandle(); }

HWND GetWindow(HWND window, UINT command) {
    if (window == DesktopHandle()) {
        if (command != GW_CHILD) return nullptr;
        auto order = window_table::ZOrder();
        return order.empty() ? nullptr : order.front().window;
    }
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    switch (command) {
        case GW_CHILD: {
            if (!IsOwnProcessHandle(window)) return nullptr;
            auto record = FindLocal(window);
            return record && !record->children.empty() ? record->children.front() : nullptr;
        }
        case GW_OWNER: {
            if (!IsOwnProcessHandle(window)) {
                auto entry = window_table::Find(window);
                return entry ? entry->owner : nullptr;
            }
            auto record = FindLocal(window);
            return record ? record->owner : nullptr;
        }
        case GW_HWNDFIRST:
        case GW_HWNDLAST:
        case GW_HWNDNEXT:
        case GW_HWNDPREV: {
            bool found = false;
            std::vector<HWND> siblings = SiblingsOf(window, found);
            if (!found || siblings.empty()) return nullptr;
            if (command == GW_HWNDFIRST) return siblings.front();
            if (command == GW_HWNDLAST) return siblings.back();
            auto position = std::find(siblings.begin(), siblings.end(), window);
            if (position == siblings.end()) return nullptr;
            if (command == GW_HWNDNEXT) return position + 1 == siblings.end() ? nullptr : *(position + 1);
            return position == siblings.begin() ? nullptr : *(position - 1);
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
    if (IsOwnProcessHandle(window)) {
        auto record = FindLocal(window);
        if (!record) return 0;
        if (processId != nullptr) *processId = static_cast<DWORD>(getpid());
        return record->threadId;
    }
    auto entry = FindForeign(window);
    if (!entry) return 0;
    if (processId != nullptr) *processId = entry->processId;
    return entry->threadId;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    std::u16string resolved;
    if (className != nullptr && IS_INTRESOURCE(className)) {
        // A class atom is this process's; the table knows classes by name.
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindClassLocked(system, className);
        if (!record) return nullptr;
        resolved = record->name;
        className = resolved.c_str();
    }
    return window_table::FindByName(className, windowName);
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM lParam) {
    if (callback == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (const auto& entry : window_table::ZOrder())
        if (!callback(entry.window, lParam)) break;
    return TRUE;
}
