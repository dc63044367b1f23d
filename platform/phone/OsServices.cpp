// The simulated wireless devices and the ossvcs.dll entries over them.
#include "platform/phone/OsServices.h"

#include <cstddef>
#include <mutex>
#include <new>
#include <utility>

#include "platform/base/Library.h"

namespace {

std::mutex g_mutex;
std::vector<platform::phone::WirelessDevice> g_devices{platform::phone::WirelessDevice{}};

HRESULT GetWirelessDevices(OSSVCS_DEVICE** list, DWORD flags) {
    if (list == nullptr || flags != 0) return E_INVALIDARG;
    *list = nullptr;
    const std::vector<platform::phone::WirelessDevice> devices = platform::phone::WirelessDevices();
    // Built from the end so that each record links to the one after it.
    OSSVCS_DEVICE* head = nullptr;
    for (std::size_t i = devices.size(); i-- > 0;) {
        auto* record = new (std::nothrow) OSSVCS_DEVICE{};
        if (record == nullptr) {
            while (head != nullptr) delete std::exchange(head, head->next);
            return E_OUTOFMEMORY;
        }
        record->size = sizeof(OSSVCS_DEVICE);
        record->id = static_cast<DWORD>(i + 1);
        record->powerState = devices[i].powerState;
        record->kind = devices[i].kind;
        record->next = head;
        head = record;
    }
    *list = head;
    return S_OK;
}

HRESULT ChangeDevicePower(const OSSVCS_DEVICE* device, DWORD powerState, DWORD) {
    if (device == nullptr || (powerState != OSSVCS_POWER_OFF && powerState != OSSVCS_POWER_ON)) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (device->id < 1 || device->id > g_devices.size()) return E_INVALIDARG;
    g_devices[device->id - 1].powerState = powerState;
    return S_OK;
}

HRESULT FreeWirelessDevices(OSSVCS_DEVICE* list) {
    while (list != nullptr) delete std::exchange(list, list->next);
    return S_OK;
}

template <class Function>
FARPROC AsProc(Function function) {
    return reinterpret_cast<FARPROC>(function);
}

}  // namespace

namespace platform::phone {

void RegisterOsServicesStandIn() {
    platform::RegisterStandInLibrary(u"ossvcs.dll",
                                     {{nullptr, OSSVCS_ORDINAL_GET_WIRELESS_DEVICES, AsProc(GetWirelessDevices)},
                                      {nullptr, OSSVCS_ORDINAL_CHANGE_DEVICE_POWER, AsProc(ChangeDevicePower)},
                                      {nullptr, OSSVCS_ORDINAL_FREE_WIRELESS_DEVICES, AsProc(FreeWirelessDevices)}});
}

void SetWirelessDevices(const std::vector<WirelessDevice>& devices) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_devices = devices;
}

std::vector<WirelessDevice> WirelessDevices() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_devices;
}

}  // namespace platform::phone
