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

// Power notifications: what RequestPowerNotifications asks for, and the message each
// registered queue gets. PBT_TRANSITION comes at every change of the system power state.
constexpr DWORD PBT_TRANSITION = 0x00000001;
constexpr DWORD PBT_RESUME = 0x00000002;
constexpr DWORD PBT_POWERSTATUSCHANGE = 0x00000004;
constexpr DWORD PBT_POWERINFOCHANGE = 0x00000008;
constexpr DWORD POWER_NOTIFY_ALL = 0xFFFFFFFF;
// The message in a queue, field by field in 32-bit little-endian words: Message (PBT_*),
// Flags (the new POWER_STATE_* flags), Length (bytes of the name that follows, terminator
// included), then the state's name in UTF-16LE with its terminator.
constexpr DWORD kPowerBroadcastHeaderBytes = 12;

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
// ERROR_INVALID_PARAMETER when neither is given. A change of name or flags is told to every
// power notification that asked for PBT_TRANSITION.
DWORD SetSystemPowerState(LPCWSTR stateName, DWORD stateFlags, DWORD options);

// Messages of the kinds in `flags` go into the queue (a handle from CreateMsgQueue; the
// power manager keeps its own write end) until StopPowerNotifications. Null with
// ERROR_INVALID_PARAMETER for a handle that is not a queue or zero flags.
HANDLE RequestPowerNotifications(HANDLE msgQueue, DWORD flags);
// FALSE with ERROR_INVALID_HANDLE for anything but an open request.
BOOL StopPowerNotifications(HANDLE notifications);
// The state's name ("on", "suspend", "off", ... or the name last set) and its flags.
// ERROR_INVALID_PARAMETER for a null flags pointer, ERROR_INSUFFICIENT_BUFFER when the
// name and its terminator do not fit in `bufferChars` (a null buffer only takes the flags).
DWORD GetSystemPowerState(LPWSTR buffer, DWORD bufferChars, LPDWORD flags);

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
// The name GetSystemPowerState gives: the name set, else one made from the flags.
std::u16string SystemPowerStateName(const SystemPowerState& state);
// The power key: the state "suspend" (POWER_STATE_SUSPEND) or back "on" (POWER_STATE_ON).
void PressPowerKey(bool on);
// Power notification requests open now.
int PowerNotificationCount();

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
