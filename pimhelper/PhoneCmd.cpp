// Finding the dialer's command window and sending it a command.
#include "pimhelper/PhoneCmd.h"

#include "platform/user/Window.h"

HWND CPhoneCmd::FindDialerWindow() {
    CAutoLock lock(m_lock);
    if (m_window != nullptr && IsWindow(m_window)) return m_window;
    m_window = FindWindowW(u"Calvane_Cmd", nullptr);
    return m_window;
}

LRESULT CPhoneCmd::Send(WPARAM wParam, LPARAM lParam) {
    HWND window = FindDialerWindow();
    if (window == nullptr) return 0;
    return SendMessageW(window, kDialerCommandMessage, wParam, lParam);
}

CPhoneCmd& GetPhoneCmd() {
    static CPhoneCmd client;
    return client;
}
