// The handset's tilt as the script (or a test) last set it, kept for the accelerometer:
// three axes and a count of the changes, so that a reader can tell a new reading.
#pragma once

#include <cstdint>

namespace platform::screen {

struct TiltReading {
    float x = 0;
    float y = 0;
    float z = 0;
    std::uint64_t changes = 0;  // 0: never set
};

void SetTilt(float x, float y, float z);
TiltReading Tilt();

}  // namespace platform::screen
