// Power: requirements that keep a device (the backlight "BKL1:") at a power state, the
// system power state, unattended mode and the idle timer. The handset's power manager is
// simulated as state that tests and the simulator read.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Types.h"

enum CEDEVICE_POWER_STATE {
    PwrDeviceUnspecified = -1,
    D0 = 0,  // full on
    D1 = 1,
    D2 = 2,
    D3 = 3,
    D4 = 4,  // off
    PwrDeviceMaximum = 5,
};

// SetPowerRequirement's device flags: the device is named by its name ("BKL1:").
constexpr ULONG POWER_NAME = 0x00000001;
constexpr ULONG POWER_FORCE = 0x00001000;

// SetSystemPowerState's state flags.
constexpr DWORD POWER_STATE_ON = 0x00010000;
constexpr DWORD POWER_STATE_OFF = 0x00020000;
constexpr DWORD POWER_STATE_CRITICAL = 0x00040000;
constexpr DWORD POWER_STATE_BOOT = 0x00080000;
constexpr DWORD POWER_STATE_IDLE = 0x00100000;
constexpr DWORD POWER_STATE_SUSPEND = 0x00200000;
constexpr DWORD POWER_STATE_UNATTENDED = 0x00400000;
constexpr DWORD POWER_STATE_RESET = 0x00800000;
constexpr DWORD POWER_STATE_USERIDLE = 0x01000000;
constexpr DWORD POWER_STATE_PASSWORD = 0x10000000;
constexpr DWORD POWER_FORCE_STATE = 0x00001000;

// PowerPolicyNotify messages.
constexpr DWORD PPN_UNATTENDEDMODE = 0x0003;

// Keeps the named device at `deviceState` or higher until released. A handle to the
// requirement; null with ERROR_INVALID_PARAMETER for a missing name, a flag other than
// POWER_NAME / POWER_FORCE, or a state outside D0-D4. The system state arguments are kept
// as the caller gives them and not otherwise used.
HANDLE SetPowerRequirement(PVOID device, CEDEVICE_POWER_STATE deviceState, ULONG deviceFlags, PVOID systemState,
                           ULONG stateFlags);
// ERROR_SUCCESS, or ERROR_INVALID_HANDLE for a handle that is not an unreleased requirement.
DWORD ReleasePowerRequirement(HANDLE requirement);

// Sets the system power state by name or by flags (POWER_STATE_ON ...); ERROR_SUCCESS, or
// ERROR_INVALID_PARAMETER when neither is given.
DWORD SetSystemPowerState(LPCWSTR stateName, DWORD stateFlags, DWORD options);

// PPN_UNATTENDEDMODE with TRUE enters unattended mode, with FALSE leaves it; the mode is
// counted, so it ends when every entry was left. Leaving more often than entered, and any
// other message, fail with ERROR_INVALID_PARAMETER.
BOOL PowerPolicyNotify(DWORD message, DWORD data);

// Tells the power manager that the user is active: the idle timeouts start over.
void SystemIdleTimerReset();

namespace platform::device {

struct PowerRequirement {
    std::u16string device;
    CEDEVICE_POWER_STATE state = D0;
    ULONG deviceFlags = 0;
};

// The requirements held now, in the order they were set.
std::vector<PowerRequirement> PowerRequirements();
// The state the named device is kept at (the highest of its requirements, D0 the highest);
// PwrDeviceUnspecified when nothing holds it. Names compare without case.
CEDEVICE_POWER_STATE RequiredDeviceState(const std::u16string& device);

struct SystemPowerState {
    std::u16string name;  // as last set, empty when set by flags
    DWORD flags = POWER_STATE_ON;
    DWORD options = 0;
};
SystemPowerState CurrentSystemPowerState();

// How many entries into unattended mode are not left yet.
int UnattendedModeCount();
bool IsUnattendedMode();

struct IdleTimerState {
    DWORD resets = 0;       // SystemIdleTimerReset calls so far
    DWORD lastResetTick = 0;  // GetTickCount at the last one
};
IdleTimerState IdleTimer();

// Back to the state of a freshly started handset (tests).
void ResetPowerState();

}  // namespace platform::device
