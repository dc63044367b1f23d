// The default window procedure: what a window does with a message its own procedure leaves
// alone, and the call through a saved procedure.
#include <algorithm>
#include <cstring>

#include "platform/user/Window.h"
#include "platform/user/WindowState.h"
#include "platform/user/WindowTable.h"

using namespace platform::user;

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_SETTEXT: {
            auto text = reinterpret_cast<LPCWSTR>(lParam);
            std::u16string stored = text != nullptr ? std::u16string(text) : std::u16string();
            bool topLevel = false;
            {
                WindowSystem& system = System();
                std::lock_guard<std::mutex> guard(system.mutex);
                auto record = FindLocked(system, window);
                if (!record) return FALSE;
                record->text = stored;
                topLevel = !record->IsChild();
            }
            if (topLevel) window_table::SetTitle(window, stored);
            return TRUE;
        }
        case WM_GETTEXT: {
            auto buffer = reinterpret_cast<LPWSTR>(lParam);
            if (buffer == nullptr || wParam == 0) return 0;
            WindowSystem& system = System();
            std::lock_guard<std::mutex> guard(system.mutex);
            auto record = FindLocked(system, window);
            if (!record) return 0;
            std::size_t kept = std::min<std::size_t>(record->text.size(), wParam - 1);
            std::memcpy(buffer, record->text.data(), kept * sizeof(WCHAR));
            buffer[kept] = 0;
            return static_cast<LRESULT>(kept);
        }
        case WM_GETTEXTLENGTH: {
            WindowSystem& system = System();
            std::lock_guard<std::mutex> guard(system.mutex);
            auto record = FindLocked(system, window);
            return record ? static_cast<LRESULT>(record->text.size()) : 0;
        }
        case WM_PAINT:
            ValidateRect(window, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CANCELMODE:
            if (GetCapture() == window) ReleaseCapture();
            return 0;
        default:
            return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}
