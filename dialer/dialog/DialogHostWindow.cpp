// The host window of a dialog manager.
#include "dialer/dialog/DialogHostWindow.h"

#include "dialer/foundation/OrmException.h"
#include "dialer/surface/DibSurface.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Paint.h"
#include "platform/gdi/Text.h"
#include "platform/user/Window.h"

namespace {

constexpr COLORREF kErrorColor = 0x0000FF;  // red

}  // namespace

CDialogHostWindow::CDialogHostWindow(XmlLayouts::CDialogManager* manager) : m_manager(manager) {
    if (!m_manager) ThrowOrm(E_ORM_FAIL, u"A dialog host window needs a dialog manager.");
}

CDialogHostWindow::~CDialogHostWindow() {
    DestroyWindow();
    if (m_manager) m_manager->SetWindow(nullptr);
}

HWND CDialogHostWindow::Create(HWND parent, const RECT& rect, LPCWSTR title, DWORD style) {
    HWND window = CWindowImpl::Create(u"Calvane_Window", parent, rect, title, style);
    if (window == nullptr) return nullptr;
    m_manager->SetWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    XmlLayouts::SetDialogSize(m_manager.Get(), SIZE{client.right - client.left, client.bottom - client.top}, true);
    return window;
}

BOOL CDialogHostWindow::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             LRESULT& result, DWORD) {
    switch (message) {
        case WM_PAINT:
            OnPaint(window);
            result = 0;
            return TRUE;
        case WM_ERASEBKGND:
            result = 1;
            return TRUE;
        case WM_SIZE:
            // The window is the manager's once Create has handed it over; the sizes sent
            // while it is being made are taken there.
            if (wParam != SIZE_MINIMIZED && m_manager->Window() == window)
                XmlLayouts::SetDialogSize(m_manager.Get(),
                                          SIZE{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))},
                                          true);
            result = 0;
            return TRUE;
        case WM_LBUTTONDOWN:
            GuardInput([&] { m_manager->TrackPointer(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), FALSE); });
            result = 0;
            return TRUE;
        case WM_LBUTTONUP:
            GuardInput([&] { m_manager->OnPointerUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); });
            result = 0;
            return TRUE;
        case WM_KEYDOWN:
        case WM_KEYUP:
            GuardInput([&] { m_manager->OnKey(static_cast<LONG>(wParam), message == WM_KEYUP ? TRUE : FALSE); });
            result = 0;
            return TRUE;
        case WM_CHAR:
            GuardInput([&] { m_manager->OnChar(static_cast<WCHAR>(wParam)); });
            result = 0;
            return TRUE;
        case WM_ACTIVATE:
            // Activation is no input: it also reaches the manager while a gesture runs, so
            // that losing it ends the gesture.
            m_manager->OnActivate(LOWORD(wParam) != WA_INACTIVE ? TRUE : FALSE);
            result = 0;
            return TRUE;
        default:
            return FALSE;
    }
}

template <class Handler>
void CDialogHostWindow::GuardInput(Handler handler) {
    if (m_inInput) return;
    m_inInput = true;
    CInterfacePtr<XmlLayouts::CDialogManager> manager = m_manager;
    handler();
    m_inInput = false;
}

void CDialogHostWindow::OnPaint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) return;
    {
        CDCStateSaver saver(dc);
        if (!m_manager->Paint(dc, POINT{0, 0}, nullptr)) {
            FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            SetTextColor(dc, kErrorColor);
            SetBkMode(dc, TRANSPARENT);
            RECT client{};
            GetClientRect(window, &client);
            DrawTextW(dc, u"Error", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    EndPaint(window, &paint);
}
