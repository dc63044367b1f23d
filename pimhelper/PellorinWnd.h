// Pellorin's hidden window object: it holds the connection to the object model for the one
// action of a run, and the watcher thread that ends the program when the user leaves the
// item for another program.
#pragma once

#include "platform/com/WindowImpl.h"
#include "platform/poom/Poom.h"

class CPellorinWnd : public CWindowImpl {
public:
    // Remembers the foreground window of this moment (the caller's window).
    CPellorinWnd();
    ~CPellorinWnd() override;

    // No handlers of its own.
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

    // Starts the component model, creates the hidden window, logs on to the object model with
    // it and starts the watcher. A failed creation or logon leaves no application and no window.
    void SetUp();
    // Stops and waits for the watcher, destroys the window and lets the application go.
    // Throws COrmException E_ORM_FAIL when the window vanished meanwhile.
    void TearDown();

    IPOutlookApp* GetApplication() const { return m_application; }
    HWND GetStartForeground() const { return m_startForeground; }
    HANDLE GetStopEvent() const { return m_stopEvent; }

private:
    HWND m_startForeground = nullptr;
    HANDLE m_stopEvent = nullptr;
    HANDLE m_watcher = nullptr;
    IPOutlookApp* m_application = nullptr;
    bool m_comStarted = false;
};

// The watcher thread's function; its parameter is the CPellorinWnd.
DWORD DialogWatcher(LPVOID parameter);

// The one visible top-level window of class "Dialog" (compared without case) of this
// process other than `hidden`, in z-order; null when there is none or more than one.
HWND FindOwnItemWindow(HWND hidden);
