// Windows of the handset: classes, creation and destruction, window procedures, window
// longs, text, placement, visibility, painting, focus, activation, capture, the foreground
// window and the walks of the top-level windows. Top-level windows of every process of the
// handset root are listed in a shared table, so FindWindowW, GetWindow, GetForegroundWindow
// and SetForegroundWindow see the whole handset. Including this header gives every window
// call: messages, timers, hot keys and message boxes too.
#pragma once

#include "platform/base/Types.h"
#include "platform/user/HotKey.h"
#include "platform/user/Message.h"
#include "platform/user/MessageBox.h"
#include "platform/user/MessageTypes.h"
#include "platform/user/Timer.h"
#include "platform/user/WindowKeys.h"
#include "platform/user/WindowTypes.h"

// ---------------------------------------------------------------------------
// Classes. Class names are compared without case, hold 1 to 255 characters and belong to
// the process. "STATIC" and "Dialog" are the system's classes; a program may register a
// class of its own under the same name, which its CreateWindowExW calls then use.
// ---------------------------------------------------------------------------
ATOM RegisterClassW(const WNDCLASSW* windowClass);
// Fails with ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);

// ---------------------------------------------------------------------------
// Creation and destruction
// ---------------------------------------------------------------------------
// Sends WM_CREATE (a -1 answer destroys the window again and fails), then WM_SIZE and
// WM_MOVE; a WS_VISIBLE window then gets WM_SHOWWINDOW and, when it is a top-level window,
// is activated. A window belongs to the creating thread.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter);
HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                   HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter);
// Only the owning thread may destroy a window. Owned windows and children are destroyed
// with it, each getting WM_DESTROY: owned windows first, then children (deepest first), the
// window itself last.
BOOL DestroyWindow(HWND window);

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------
// Properties. Window longs hold pointers on this 64-bit build: GWL_WNDPROC, GWL_USERDATA
// and the class's window bytes are LONG_PTR wide (a class's cbWndExtra is rounded up to
// whole LONG_PTR words, and a byte index must leave room for one).
// ---------------------------------------------------------------------------
LONG_PTR GetWindowLongW(HWND window, int index);
LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextW(HWND window, LPWSTR text, int maxCount);
int GetWindowTextLengthW(HWND window);
int GetClassNameW(HWND window, LPWSTR className, int maxCount);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
HWND GetParent(HWND window);
HWND GetWindow(HWND window, UINT command);
HWND GetDesktopWindow();
// The thread that owns the window; the process id through `processId` when not null.
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);
// Top-level windows of the whole handset; a null class or title matches any. Classes are
// compared without case, titles exactly.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
// The top-level windows of the handset in z-order, topmost first, until the callback
// answers FALSE.
BOOL EnumWindows(WNDENUMPROC callback, LPARAM lParam);

// ---------------------------------------------------------------------------
// Placement and visibility
// ---------------------------------------------------------------------------
BOOL ShowWindow(HWND window, int command);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL GetWindowRect(HWND window, LPRECT rect);
int GetSystemMetrics(int index);

// ---------------------------------------------------------------------------
// Painting: WM_PAINT is generated while the thread's queue holds no other message and a
// visible window of the thread has an update region; it comes again until the region is
// validated (DefWindowProcW validates).
// ---------------------------------------------------------------------------
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);

// ---------------------------------------------------------------------------
// Focus, activation, foreground, capture. Focus, the active window and the capture are the
// calling thread's; the foreground window is the handset's.
// ---------------------------------------------------------------------------
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
// Brings a top-level window of any process to the front; the lowest bit of the handle may
// be set (the handset's way of asking for the owned windows too). The window's thread gets
// WM_ACTIVATE and WM_SETFOCUS from its message loop; the former foreground window gets
// WM_ACTIVATE (WA_INACTIVE) and WM_KILLFOCUS.
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

namespace platform {

// True for a window that exists and belongs to this process (the areas' check before calls
// that only work on this process's windows).
bool IsOwnWindow(HWND window);

// The display size that GetSystemMetrics reports (480 x 800 until the screen sets it).
void SetDisplaySize(int width, int height);
SIZE DisplaySize();

// A touch on the handset's screen (WM_LBUTTONDOWN, WM_MOUSEMOVE or WM_LBUTTONUP at a point in
// screen coordinates), handed to the windows of this process: to the window holding the
// capture in the thread whose window is in front, else to the deepest visible window under
// the point inside the window in front. lParam is the point in that window's client
// coordinates; wParam is MK_LBUTTON while the pen is down. False when no window takes it.
bool InjectPointer(UINT message, int x, int y);

}  // namespace platform
