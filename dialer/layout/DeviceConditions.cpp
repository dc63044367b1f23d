// Platform, screen and phone tests.
#include "dialer/layout/DeviceConditions.h"

#include <atomic>

#include "dialer/surface/ScreenDpi.h"
#include "platform/base/Library.h"
#include "platform/base/WideString.h"
#include "platform/phone/OsServices.h"
#include "platform/user/SystemParameters.h"
#include "platform/user/Window.h"

namespace {

// The OS services library and the three entries the rules take from it, loaded once for
// the process and released at exit.
class CPhoneServicesLib {
public:
    static CPhoneServicesLib& Instance() {
        static CPhoneServicesLib instance;
        return instance;
    }

    bool IsUsable() const {
        return m_module != nullptr && m_getDevices != nullptr && m_changePower != nullptr && m_freeDevices != nullptr;
    }
    HRESULT GetDevices(OSSVCS_DEVICE** list) const { return IsUsable() ? m_getDevices(list, 0) : E_FAIL; }
    HRESULT FreeDevices(OSSVCS_DEVICE* list) const { return IsUsable() ? m_freeDevices(list) : E_FAIL; }

private:
    CPhoneServicesLib() : m_module(LoadLibraryW(u"ossvcs.dll")) {
        if (m_module == nullptr) return;
        m_getDevices = reinterpret_cast<PFN_GET_WIRELESS_DEVICES>(
            GetProcAddress(m_module, MAKEINTRESOURCEA(OSSVCS_ORDINAL_GET_WIRELESS_DEVICES)));
        m_changePower = reinterpret_cast<PFN_CHANGE_DEVICE_POWER>(
            GetProcAddress(m_module, MAKEINTRESOURCEA(OSSVCS_ORDINAL_CHANGE_DEVICE_POWER)));
        m_freeDevices = reinterpret_cast<PFN_FREE_WIRELESS_DEVICES>(
            GetProcAddress(m_module, MAKEINTRESOURCEA(OSSVCS_ORDINAL_FREE_WIRELESS_DEVICES)));
    }
    ~CPhoneServicesLib() {
        if (m_module != nullptr) FreeLibrary(m_module);
    }

    HMODULE m_module;
    PFN_GET_WIRELESS_DEVICES m_getDevices = nullptr;
    PFN_CHANGE_DEVICE_POWER m_changePower = nullptr;  // bound with the others, not called here
    PFN_FREE_WIRELESS_DEVICES m_freeDevices = nullptr;
};

// A list longer than this is taken as damaged (a cycle) and its walk ends.
constexpr int kMaxListedDevices = 1024;

std::atomic<int> g_pocketPC{-1};  // -1 until a query succeeded

}  // namespace

bool IsPocketPC() {
    const int known = g_pocketPC.load(std::memory_order_relaxed);
    if (known >= 0) return known != 0;
    WCHAR type[256] = {};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, type, 0)) return false;
    type[ARRAYSIZE(type) - 1] = 0;
    const bool pocketPC = wcscmp(type, u"PocketPC") == 0;
    g_pocketPC.store(pocketPC ? 1 : 0, std::memory_order_relaxed);
    return pocketPC;
}

bool IsScreenOfSize(LONG width, LONG height) {
    const LONGLONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const LONGLONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (screenWidth == width && screenHeight == height) return true;
    if (!IsPocketPC()) return false;
    return MulDivRound(screenWidth, kLayoutDpi, GetScreenDpiX()) == width &&
           MulDivRound(screenHeight, kLayoutDpi, GetScreenDpiY()) == height;
}

bool IsPhonePresent() {
    const CPhoneServicesLib& services = CPhoneServicesLib::Instance();
    if (!services.IsUsable()) return false;
    OSSVCS_DEVICE* list = nullptr;
    bool present = false;
    if (SUCCEEDED(services.GetDevices(&list))) {
        int walked = 0;
        for (const OSSVCS_DEVICE* device = list; device != nullptr && walked < kMaxListedDevices;
             device = device->next, ++walked) {
            if (device->kind == OSSVCS_DEVICE_PHONE) {
                present = true;
                break;
            }
        }
    }
    services.FreeDevices(list);
    return present;
}
