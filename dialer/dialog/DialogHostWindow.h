// CDialogHostWindow: the window that shows a dialog manager. It tells the manager its window
// and, on every resize, its size (laying the dialogs out again), and paints by copying the
// manager's back buffer; when the manager has nothing to paint, the window shows "Error" in
// red on black. Stylus, key, character and activation messages go to the manager; while one
// of them is being handled, further input that reaches the window is dropped (the gesture's
// own loop takes the stylus samples it needs). The dialer's main window builds its pages and
// menus on it.
#pragma once

#include "dialer/dialog/DialogManager.h"
#include "platform/com/WindowImpl.h"

class CDialogHostWindow : public CWindowImpl {
public:
    // Takes a reference on the manager. Throws E_ORM_FAIL for a null one.
    explicit CDialogHostWindow(XmlLayouts::CDialogManager* manager);
    ~CDialogHostWindow() override;

    // Creates the window (class "Calvane_Window") and hands it to the manager. Null when the
    // window cannot be made.
    HWND Create(HWND parent, const RECT& rect, LPCWSTR title, DWORD style);

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

    XmlLayouts::CDialogManager* Manager() const { return m_manager.Get(); }

private:
    void OnPaint(HWND window);
    // Runs one input handler unless another one is running.
    template <class Handler>
    void GuardInput(Handler handler);

    bool m_inInput = false;

    CInterfacePtr<XmlLayouts::CDialogManager> m_manager;
};
