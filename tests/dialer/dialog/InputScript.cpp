// Timed input for the dialog input tests.
#include "tests/dialer/dialog/InputScript.h"

#include "platform/base/Clock.h"
#include "platform/user/HotKey.h"
#include "platform/user/Message.h"
#include "platform/user/Window.h"

namespace dialog_test {

namespace {

CInputScript* g_playing = nullptr;

constexpr UINT kDeactivateMessage = WM_APP + 1;

// The other window takes the activation when it is told to.
LRESULT OtherWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kDeactivateMessage) {
        SetActiveWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeOtherWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = OtherWindowProcedure;
    windowClass.lpszClassName = u"InputScriptOther";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, u"InputScriptOther", u"", WS_POPUP, 300, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

CManualClock::CManualClock(DWORD step) { platform::clock::UseManualClock(1000, 0, step); }
CManualClock::~CManualClock() { platform::clock::UseRealClock(); }

CInputScript::CInputScript(HWND window, std::vector<InputStep> steps)
    : m_window(window), m_steps(std::move(steps)), m_start(GetTickCount()) {
    m_other = MakeOtherWindow();
    g_playing = this;
    platform::AddMessagePumpHook(&CInputScript::Hook);
}

CInputScript::~CInputScript() {
    platform::RemoveMessagePumpHook(&CInputScript::Hook);
    g_playing = nullptr;
    if (m_other != nullptr) DestroyWindow(m_other);
    // Input left unplayed goes with the script (a paint stays until its window is painted).
    MSG message{};
    while (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_CHAR, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSEFIRST + 0x0D, PM_REMOVE)) {
    }
}

void CInputScript::Hook() {
    if (g_playing != nullptr) g_playing->PlayDue();
}

DWORD CInputScript::Elapsed() const { return GetTickCount() - m_start; }

bool CInputScript::Finished() const { return m_next >= m_steps.size(); }

void CInputScript::PlayDue() {
    while (m_next < m_steps.size() && m_steps[m_next].atMs <= Elapsed()) {
        const InputStep step = m_steps[m_next++];
        const LPARAM point = MAKELPARAM(step.x, step.y);
        switch (step.kind) {
            case StepKind::Down: PostMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, point); break;
            case StepKind::Move: PostMessageW(m_window, WM_MOUSEMOVE, MK_LBUTTON, point); break;
            case StepKind::Up: PostMessageW(m_window, WM_LBUTTONUP, 0, point); break;
            case StepKind::Deactivate: PostMessageW(m_other, kDeactivateMessage, 0, 0); break;
            case StepKind::Key:
                PostMessageW(m_window, WM_KEYDOWN, static_cast<WPARAM>(step.x), 0);
                PostMessageW(m_window, WM_KEYUP, static_cast<WPARAM>(step.x), 0);
                break;
            case StepKind::Quit: PostQuitMessage(step.x); break;
        }
    }
}

void CInputScript::RunUntil(DWORD ms) {
    for (;;) {
        const DWORD elapsed = Elapsed();
        if (elapsed >= ms) return;
        MSG message{};
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                m_quitSeen = true;
                m_quitCode = static_cast<int>(message.wParam);
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, ms - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace dialog_test
