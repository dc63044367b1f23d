// The accelerometer device's handle and its control codes.
#include "game/flow/devices/AccelerometerDevice.h"

#include <cmath>

#include "platform/fs/Files.h"
#include "platform/fs/StreamDevice.h"

namespace {

constexpr DWORD kSampleBytes = 12;
HANDLE accelerometer = INVALID_HANDLE_VALUE;

}  // namespace

DWORD OpenAccelerometer() {
    if (accelerometer == INVALID_HANDLE_VALUE)
        accelerometer = CreateFileW(u"ACC1:", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (accelerometer == INVALID_HANDLE_VALUE) return 0;
    return AccelerometerControl(kAccelStartCode, nullptr);
}

DWORD AccelerometerControl(DWORD code, std::uint32_t* out) {
    if (accelerometer == INVALID_HANDLE_VALUE) return 0;
    DWORD returned = 0;
    if (out == nullptr) return DeviceIoControl(accelerometer, code, nullptr, 0, nullptr, 0, &returned, nullptr) ? 1 : 0;
    BYTE bytes[kSampleBytes] = {};
    if (!DeviceIoControl(accelerometer, code, nullptr, 0, bytes, kSampleBytes, &returned, nullptr)) return 0;
    for (int axis = 0; axis < 3; ++axis)
        out[axis] = bytes[4 * axis] | (bytes[4 * axis + 1] << 8) | (bytes[4 * axis + 2] << 16) |
                    (static_cast<std::uint32_t>(bytes[4 * axis + 3]) << 24);
    return 1;
}

DWORD ReadAccelerometer(std::uint32_t* sample) { return AccelerometerControl(kAccelReadCode, sample); }

void CloseAccelerometer() {
    if (accelerometer != INVALID_HANDLE_VALUE) CloseHandle(accelerometer);
    accelerometer = INVALID_HANDLE_VALUE;
}

std::int32_t ScaledTilt(std::uint32_t sampleWord, double resolution) {
    const double value = std::trunc(static_cast<double>(static_cast<std::int32_t>(sampleWord)) * resolution);
    if (!(value > -2147483648.0)) return -2147483647 - 1;
    if (value > 2147483647.0) return 2147483647;
    return static_cast<std::int32_t>(value);
}
