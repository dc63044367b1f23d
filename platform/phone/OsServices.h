// The stand-in for the handset's OS services library "ossvcs.dll" (entries by ordinal): the
// list of the handset's wireless devices (the phone radio among them) and their power.
// The devices are a simulation that tests and the simulator set.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/base/Types.h"

// Device kinds
constexpr DWORD OSSVCS_DEVICE_WIFI = 1;
constexpr DWORD OSSVCS_DEVICE_PHONE = 2;
constexpr DWORD OSSVCS_DEVICE_BLUETOOTH = 3;

// Power states
constexpr DWORD OSSVCS_POWER_OFF = 0;
constexpr DWORD OSSVCS_POWER_ON = 1;

// One device of the list that ordinal 276 hands out; the list goes back through ordinal
// 280. The kind sits at byte 16 as on the handset; the link follows it.
struct OSSVCS_DEVICE {
    DWORD size;        // bytes of this record
    DWORD id;          // position in the list, from 1
    DWORD powerState;  // OSSVCS_POWER_*
    DWORD reserved;
    DWORD kind;           // OSSVCS_DEVICE_*
    OSSVCS_DEVICE* next;  // null at the end
};
static_assert(offsetof(OSSVCS_DEVICE, kind) == 16, "the kind sits at byte 16");

// The entries by ordinal:
//   276 HRESULT GetWirelessDevices(OSSVCS_DEVICE** list, DWORD flags): a new list (null for
//       none) with S_OK; E_INVALIDARG for a null list pointer or non-zero flags.
//   273 HRESULT ChangeDevicePower(const OSSVCS_DEVICE* device, DWORD powerState, DWORD flags):
//       powers the listed device of that id on or off; E_INVALIDARG for an unknown device or
//       state.
//   280 HRESULT FreeWirelessDevices(OSSVCS_DEVICE* list): gives a list back (null is allowed).
constexpr WORD OSSVCS_ORDINAL_GET_WIRELESS_DEVICES = 276;
constexpr WORD OSSVCS_ORDINAL_CHANGE_DEVICE_POWER = 273;
constexpr WORD OSSVCS_ORDINAL_FREE_WIRELESS_DEVICES = 280;

using PFN_GET_WIRELESS_DEVICES = HRESULT (*)(OSSVCS_DEVICE** list, DWORD flags);
using PFN_CHANGE_DEVICE_POWER = HRESULT (*)(const OSSVCS_DEVICE* device, DWORD powerState, DWORD flags);
using PFN_FREE_WIRELESS_DEVICES = HRESULT (*)(OSSVCS_DEVICE* list);

namespace platform::phone {

struct WirelessDevice {
    DWORD kind = OSSVCS_DEVICE_PHONE;
    DWORD powerState = OSSVCS_POWER_ON;
};

// Registers "ossvcs.dll" among the stand-in libraries. Programs call it at start.
void RegisterOsServicesStandIn();

// The devices of this process's handset: one phone radio, powered on, until set.
void SetWirelessDevices(const std::vector<WirelessDevice>& devices);
std::vector<WirelessDevice> WirelessDevices();

}  // namespace platform::phone
