// Setting up and tearing down the hidden window, the object model and the watcher.
#include "pimhelper/PellorinWnd.h"

#include "dialer/foundation/OrmException.h"
#include "platform/base/Handle.h"
#include "platform/com/Com.h"
#include "platform/sync/Event.h"
#include "platform/sync/Thread.h"
#include "platform/sync/Wait.h"
#include "platform/user/Window.h"

namespace {

constexpr DWORD kHiddenWindowStyle = 0x06080000;  // clip siblings and children, system menu; never shown

}  // namespace

CPellorinWnd::CPellorinWnd() : m_startForeground(GetForegroundWindow()) {}

CPellorinWnd::~CPellorinWnd() {
    if (m_application != nullptr) m_application->Release();
    if (m_stopEvent != nullptr) CloseHandle(m_stopEvent);
}

BOOL CPellorinWnd::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) { return FALSE; }

void CPellorinWnd::SetUp() {
    m_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    if (Create(u"PellorinWnd", nullptr, RECT{0, 0, 0, 0}, nullptr, kHiddenWindowStyle) == nullptr) return;
    HRESULT result = CoCreateInstance(CLSID_Application, nullptr, CLSCTX_ALL, IID_IPOutlookApp,
                                      reinterpret_cast<void**>(&m_application));
    if (SUCCEEDED(result)) result = m_application->Logon(nullptr);
    if (FAILED(result)) {
        if (m_application != nullptr) m_application->Release();
        m_application = nullptr;
        DestroyWindow();
        return;
    }
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_stopEvent != nullptr) m_watcher = CreateThread(nullptr, 0, &DialogWatcher, this, 0, nullptr);
}

void CPellorinWnd::TearDown() {
    if (m_watcher != nullptr) {
        EventModify(m_stopEvent, EVENT_SET);
        WaitForSingleObject(m_watcher, INFINITE);
        CloseHandle(m_watcher);
        m_watcher = nullptr;
    }
    if (m_hWnd != nullptr) {
        if (!IsWindow()) ThrowOrm(E_ORM_FAIL);
        DestroyWindow();
    }
    if (m_application != nullptr) {
        m_application->Release();
        m_application = nullptr;
    }
    if (m_stopEvent != nullptr) {
        CloseHandle(m_stopEvent);
        m_stopEvent = nullptr;
    }
    if (m_comStarted) {
        CoUninitialize();
        m_comStarted = false;
    }
}
