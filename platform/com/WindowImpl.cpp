// The template library's window object: class registration, the procedure that routes a
// window's messages to its object, and the end of the window.
#include "platform/com/WindowImpl.h"

#include "platform/base/Errors.h"
#include "platform/base/Library.h"
#include "platform/user/Window.h"

CWindowImpl::~CWindowImpl() {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return;
    // The derived object is gone already: the window's last messages go to the default
    // procedure, not to a message map that no longer exists.
    SetWindowLongW(m_hWnd, GWL_USERDATA, 0);
    ::DestroyWindow(m_hWnd);
}

WNDPROC CWindowImpl::GetWindowProc() { return &CWindowImpl::WindowProc; }

void CWindowImpl::OnFinalMessage(HWND) {}

HWND CWindowImpl::Create(LPCWSTR className, HWND parent, const RECT& rect, LPCWSTR title, DWORD style,
                         DWORD exStyle) {
    if (m_hWnd != nullptr || className == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = GetWindowProc();
    windowClass.hInstance = platform::ProgramModule();
    windowClass.lpszClassName = className;
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    HWND window = CreateWindowExW(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, nullptr, platform::ProgramModule(), this);
    // WM_CREATE has attached the window to this object already.
    return window != nullptr ? m_hWnd : nullptr;
}

BOOL CWindowImpl::DestroyWindow() {
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) {
        m_hWnd = nullptr;
        return FALSE;
    }
    return ::DestroyWindow(m_hWnd);
}

BOOL CWindowImpl::IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

LRESULT CWindowImpl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = reinterpret_cast<CWindowImpl*>(GetWindowLongW(window, GWL_USERDATA));
    if (object == nullptr && message == WM_CREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        object = create != nullptr ? static_cast<CWindowImpl*>(create->lpCreateParams) : nullptr;
        if (object != nullptr) {
            object->m_hWnd = window;
            SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
    }
    if (object == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (!object->ProcessWindowMessage(window, message, wParam, lParam, result, 0))
        result = DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        SetWindowLongW(window, GWL_USERDATA, 0);
        if (object->m_hWnd == window) object->m_hWnd = nullptr;
        object->OnFinalMessage(window);
    }
    return result;
}
