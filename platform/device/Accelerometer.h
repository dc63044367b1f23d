// The handset's built-in drivers that programs open by name: the accelerometer "ACC1:",
// which reads the tilt the script, the desktop window or a test sets, and the backlight
// "BKL1:", whose power follows the requirements held on it and the system power state.
// Also the player of the script's handset events (tvout, power, state).
#pragma once

#include "platform/base/Types.h"
#include "platform/device/Power.h"

// ACC1: control codes. Start takes no buffers. A sample is 12 bytes: x, y and z as signed
// 32-bit little-endian counts of the driver's resolution (milli-g per count).
constexpr DWORD IOCTL_ACC_START = 0x80000004;
constexpr DWORD IOCTL_ACC_READ_SAMPLE = 0x8000000C;
constexpr DWORD kAccelSampleBytes = 12;

namespace platform::device {

// The driver key the accelerometer reads its resolution from ("resolution", a decimal
// string of milli-g per count) when opened; the default when it is missing or below 0.1.
constexpr const WCHAR* kAccelDriverKey = u"Drivers\\BuiltIn\\Accelerometer";
constexpr double kAccelDefaultResolution = 15.625;
// Where the TV-out connector's state shows: "TVOutIsEnabled" and "VideoMode" (DWORDs).
constexpr const WCHAR* kPeripheralKey = u"Drivers\\BuiltIn\\PeripheralDet";

// Registers "ACC1:" and "BKL1:" and plays the script's handset events. Programs call it at
// start.
void RegisterHandsetDrivers();

// One axis in g as the driver reports it: rounded to counts of `resolution` milli-g,
// clamped to the 32-bit range.
std::int32_t AccelCounts(float g, double resolution);

// The backlight's power: D4 while the system power lacks POWER_STATE_ON, else the state
// its requirements keep it at (D0 when none: the stand-in has no idle time-out).
CEDEVICE_POWER_STATE BacklightState();

// What the tvout line does: "VideoMode" when given (>= 0), then "TVOutIsEnabled".
void SetTvOut(bool on, int videoMode);
// What the state line does: a REG_DWORD at "HKLM\\key\\value" or "HKCU\\key\\value" (the key
// is made when missing); false for a path that is not one of those.
bool SetStateValue(const char* path, DWORD value);

}  // namespace platform::device
