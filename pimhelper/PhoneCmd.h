// Pellorin's client of the dialer's command window "Calvane_Cmd".
#pragma once

#include "dialer/foundation/CriticalSection.h"
#include "platform/base/Types.h"

// The command-window message that Pellorin sends; wParam 3 opens the dialer on its
// contacts page.
constexpr UINT kDialerCommandMessage = 0x8003;

class CPhoneCmd {
public:
    CPhoneCmd() = default;
    virtual ~CPhoneCmd() = default;
    CPhoneCmd(const CPhoneCmd&) = delete;
    CPhoneCmd& operator=(const CPhoneCmd&) = delete;

    // The cached window while it exists, else the one FindWindowW finds now (cached).
    HWND FindDialerWindow();
    // SendMessageW of kDialerCommandMessage to the command window; 0 without one.
    LRESULT Send(WPARAM wParam, LPARAM lParam);

private:
    CCriticalSection m_lock;
    HWND m_window = nullptr;
};

// The process's one client, made on first use.
CPhoneCmd& GetPhoneCmd();
