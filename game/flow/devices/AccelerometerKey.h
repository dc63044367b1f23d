// The accelerometer driver's settings under HKEY_LOCAL_MACHINE "Drivers\BuiltIn\Accelerometer":
// its poll delay in milliseconds, which the game shortens while it runs and gives back when
// it ends, and its resolution. Nothing is read or written when the key cannot be opened.
#pragma once

#include "platform/base/Types.h"

constexpr DWORD kGamePollDelay = 50;
// Written at the end when the driver had no poll delay of its own (and deleted after).
constexpr DWORD kFallbackPollDelay = 500;
constexpr double kDefaultAccelResolution = 15.625;

// 0 when the key or the value is missing.
DWORD ReadPollDelay();
void WritePollDelay(DWORD milliseconds);
void DeletePollDelay();
// The "resolution" string (at most 100 bytes) as a decimal number; 0 when missing.
double ReadAccelResolution();
// The number of a "resolution" value's bytes (a wide string, terminated or not, cut at 100
// bytes); 0 for no number. Only the digits, sign, point and exponent of plain ASCII count.
double ParseAccelResolution(const BYTE* bytes, DWORD size);

// What the game keeps of the driver between its start and its end.
struct AccelSettings {
    DWORD savedPollDelay = 0;
    double resolution = kDefaultAccelResolution;
};
// Remembers the poll delay, reads the resolution (below 0.1: the default) and sets the
// game's poll delay.
AccelSettings TakeAccelerometer();
// Writes back the remembered delay; without one, writes the fallback and then deletes it.
void GiveBackAccelerometer(const AccelSettings& settings);
