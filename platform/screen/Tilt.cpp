// The tilt state, shared by the script player and the accelerometer's readers.
#include "platform/screen/Tilt.h"

#include <mutex>

namespace platform::screen {

namespace {

std::mutex tiltLock;
TiltReading tilt;

}  // namespace

void SetTilt(float x, float y, float z) {
    std::lock_guard<std::mutex> guard(tiltLock);
    tilt = TiltReading{x, y, z, tilt.changes + 1};
}

TiltReading Tilt() {
    std::lock_guard<std::mutex> guard(tiltLock);
    return tilt;
}

}  // namespace platform::screen
