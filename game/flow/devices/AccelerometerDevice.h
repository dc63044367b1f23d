// The accelerometer device "ACC1:": one handle for the process, started when opened, read
// for one 12-byte sample (x, y, z) at a time. Without the device every read fails and the
// sample stays as the caller cleared it.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

constexpr DWORD kAccelStartCode = 0x80000004;
constexpr DWORD kAccelReadCode = 0x8000000C;

// Opens the device and starts it: the start code's result, or 0 when it cannot be opened.
DWORD OpenAccelerometer();
// 1 with the 12 bytes read into `sample` (or, with no sample, the read code answered without
// buffers), 0 on failure or without the device.
DWORD ReadAccelerometer(std::uint32_t* sample);
// Any control code with an optional 12-byte output; 1 or 0 as above.
DWORD AccelerometerControl(DWORD code, std::uint32_t* out);
void CloseAccelerometer();

// One axis of a sample times the driver's resolution, truncated toward zero and held in the
// 32-bit range (the tilt controls' units).
std::int32_t ScaledTilt(std::uint32_t sampleWord, double resolution);
