// Reading and writing the accelerometer driver's key.
#include "game/flow/devices/AccelerometerKey.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/registry/Registry.h"

namespace {

constexpr const WCHAR* kDriverKey = u"Drivers\\BuiltIn\\Accelerometer";
constexpr DWORD kResolutionBytes = 100;
constexpr double kSmallestResolution = 0.1;

HKEY OpenDriverKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

}  // namespace

DWORD ReadPollDelay() {
    HKEY key = OpenDriverKey();
    if (key == nullptr) return 0;
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, u"poll_delay", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        value = 0;
    RegCloseKey(key);
    return value;
}

void WritePollDelay(DWORD milliseconds) {
    HKEY key = OpenDriverKey();
    if (key == nullptr) return;
    RegSetValueExW(key, u"poll_delay", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&milliseconds), sizeof milliseconds);
    RegCloseKey(key);
}

void DeletePollDelay() {
    HKEY key = OpenDriverKey();
    if (key == nullptr) return;
    RegDeleteValueW(key, u"poll_delay");
    RegCloseKey(key);
}

double ParseAccelResolution(const BYTE* bytes, DWORD size) {
    if (bytes == nullptr) return 0.0;
    char text[kResolutionBytes / 2 + 1] = {};
    const DWORD units = (size < kResolutionBytes ? size : kResolutionBytes) / 2;
    for (DWORD i = 0; i < units; ++i) {
        const unsigned unit = bytes[2 * i] | (static_cast<unsigned>(bytes[2 * i + 1]) << 8);
        if (unit == 0) break;
        text[i] = unit < 128 ? static_cast<char>(unit) : '?';
    }
    const double value = std::strtod(text, nullptr);
    return std::isfinite(value) ? value : 0.0;
}

double ReadAccelResolution() {
    HKEY key = OpenDriverKey();
    if (key == nullptr) return 0.0;
    BYTE bytes[kResolutionBytes] = {};
    DWORD type = 0;
    DWORD size = kResolutionBytes;
    double value = 0.0;
    if (RegQueryValueExW(key, u"resolution", nullptr, &type, bytes, &size) == ERROR_SUCCESS && type == REG_SZ)
        value = ParseAccelResolution(bytes, size);
    RegCloseKey(key);
    return value;
}

AccelSettings TakeAccelerometer() {
    AccelSettings settings;
    settings.savedPollDelay = ReadPollDelay();
    const double resolution = ReadAccelResolution();
    settings.resolution = resolution < kSmallestResolution ? kDefaultAccelResolution : resolution;
    WritePollDelay(kGamePollDelay);
    return settings;
}

void GiveBackAccelerometer(const AccelSettings& settings) {
    WritePollDelay(settings.savedPollDelay != 0 ? settings.savedPollDelay : kFallbackPollDelay);
    if (settings.savedPollDelay == 0) DeletePollDelay();
}
