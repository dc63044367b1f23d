// The platform template library's window object: a C++ object that owns one window and
// gets its messages through a virtual message map. The object outlives its window; the
// window is destroyed with the object at the latest.
#pragma once

#include "platform/base/Types.h"
#include "platform/user/WindowTypes.h"

class CWindowImpl {
public:
    CWindowImpl() = default;
    CWindowImpl(const CWindowImpl&) = delete;
    CWindowImpl& operator=(const CWindowImpl&) = delete;

    // The message map: TRUE when the message was handled, with its answer in `result`;
    // FALSE passes it on to DefWindowProcW.
    virtual BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                      DWORD mapId) = 0;
    // Destroys the window when it still exists (its last messages no longer reach the
    // message map: a derived class that wants them destroys the window itself).
    virtual ~CWindowImpl();
    // The procedure that the window class is registered with.
    virtual WNDPROC GetWindowProc();
    // Called after the window's last message (WM_DESTROY), when the object no longer has it.
    virtual void OnFinalMessage(HWND window);

    // Registers `className` in this process (once) and creates the window for this object.
    // Null when the object has a window already or the window cannot be made.
    HWND Create(LPCWSTR className, HWND parent, const RECT& rect, LPCWSTR title, DWORD style, DWORD exStyle = 0);
    BOOL DestroyWindow();
    BOOL IsWindow() const;

    HWND m_hWnd = nullptr;

private:
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
