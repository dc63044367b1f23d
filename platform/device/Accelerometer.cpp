// The accelerometer and backlight drivers, and the script's handset events.
#include "platform/device/Accelerometer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/fs/StreamDevice.h"
#include "platform/registry/Registry.h"
#include "platform/screen/HandsetScript.h"
#include "platform/screen/Tilt.h"

namespace platform::device {

namespace {

constexpr DWORD kResolutionBytes = 100;
constexpr double kSmallestResolution = 0.1;

double DriverResolution() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAccelDriverKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return kAccelDefaultResolution;
    BYTE bytes[kResolutionBytes + 2] = {};
    DWORD type = 0;
    DWORD size = kResolutionBytes;
    double value = 0.0;
    if (RegQueryValueExW(key, u"resolution", nullptr, &type, bytes, &size) == ERROR_SUCCESS && type == REG_SZ) {
        // The string need not end in a terminator: only its characters count.
        char text[kResolutionBytes / 2 + 1] = {};
        for (DWORD i = 0; i < size / 2; ++i) {
            const unsigned unit = bytes[2 * i] | (static_cast<unsigned>(bytes[2 * i + 1]) << 8);
            if (unit == 0) break;
            text[i] = unit < 128 ? static_cast<char>(unit) : '?';
        }
        value = std::strtod(text, nullptr);
    }
    RegCloseKey(key);
    return std::isfinite(value) && value >= kSmallestResolution ? value : kAccelDefaultResolution;
}

class AccelerometerDevice final : public StreamDevice {
public:
    explicit AccelerometerDevice(double resolution) : resolution_(resolution) {}

    BOOL IoControl(DWORD code, LPVOID, DWORD, LPVOID outBuffer, DWORD outSize, LPDWORD bytesReturned) override {
        if (bytesReturned != nullptr) *bytesReturned = 0;
        if (code == IOCTL_ACC_START) return TRUE;
        if (code != IOCTL_ACC_READ_SAMPLE) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        // Without a buffer the read only asks whether the driver answers.
        if (outBuffer == nullptr && outSize == 0) return TRUE;
        if (outBuffer == nullptr || outSize < kAccelSampleBytes) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        const screen::TiltReading tilt = screen::Tilt();
        const std::int32_t counts[3] = {AccelCounts(tilt.x, resolution_), AccelCounts(tilt.y, resolution_),
                                        AccelCounts(tilt.z, resolution_)};
        auto* out = static_cast<BYTE*>(outBuffer);
        for (int axis = 0; axis < 3; ++axis)
            for (int i = 0; i < 4; ++i)
                out[4 * axis + i] = static_cast<BYTE>(static_cast<std::uint32_t>(counts[axis]) >> (8 * i));
        if (bytesReturned != nullptr) *bytesReturned = kAccelSampleBytes;
        return TRUE;
    }

private:
    double resolution_;
};

// The backlight opens, so that a program can hold it; its power is the power manager's.
class BacklightDevice final : public StreamDevice {};

void PlayHandsetEvent(const screen::ScriptEvent& event) {
    switch (event.action) {
        case screen::ScriptAction::TvOut: SetTvOut(event.on, event.videoMode); break;
        case screen::ScriptAction::Power: PressPowerKey(event.on); break;
        case screen::ScriptAction::State: SetStateValue(event.file.c_str(), event.number); break;
        default: break;
    }
}

void WriteDword(HKEY root, const std::u16string& subKey, const std::u16string& name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

}  // namespace

std::int32_t AccelCounts(float g, double resolution) {
    if (!std::isfinite(g) || !(resolution > 0.0)) return 0;
    const double counts = std::nearbyint(static_cast<double>(g) * 1000.0 / resolution);
    if (counts >= 2147483647.0) return 2147483647;
    if (counts <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(counts);
}

CEDEVICE_POWER_STATE BacklightState() {
    if ((CurrentSystemPowerState().flags & POWER_STATE_ON) == 0) return D4;
    const CEDEVICE_POWER_STATE required = RequiredDeviceState(u"BKL1:");
    return required == PwrDeviceUnspecified ? D0 : required;
}

void SetTvOut(bool on, int videoMode) {
    if (videoMode >= 0) WriteDword(HKEY_LOCAL_MACHINE, kPeripheralKey, u"VideoMode", static_cast<DWORD>(videoMode));
    WriteDword(HKEY_LOCAL_MACHINE, kPeripheralKey, u"TVOutIsEnabled", on ? 1 : 0);
}

bool SetStateValue(const char* path, DWORD value) {
    if (path == nullptr) return false;
    const std::u16string wide = Utf8ToUtf16(path);
    const std::size_t rootEnd = wide.find(u'\\');
    const std::size_t valueStart = wide.rfind(u'\\');
    if (rootEnd == std::u16string::npos || valueStart == rootEnd || valueStart + 1 >= wide.size()) return false;
    const std::u16string root = wide.substr(0, rootEnd);
    HKEY rootKey = nullptr;
    if (root == u"HKLM")
        rootKey = HKEY_LOCAL_MACHINE;
    else if (root == u"HKCU")
        rootKey = HKEY_CURRENT_USER;
    else
        return false;
    WriteDword(rootKey, wide.substr(rootEnd + 1, valueStart - rootEnd - 1), wide.substr(valueStart + 1), value);
    return true;
}

void RegisterHandsetDrivers() {
    RegisterStreamDevice(u"ACC1:", [](DWORD, DWORD) -> StreamDevice* {
        return new AccelerometerDevice(DriverResolution());
    });
    RegisterStreamDevice(u"BKL1:", [](DWORD, DWORD) -> StreamDevice* { return new BacklightDevice; });
    screen::SetHandsetEventHandler(PlayHandsetEvent);
}

}  // namespace platform::device
