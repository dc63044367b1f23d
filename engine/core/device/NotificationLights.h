// Haptic pulses through the handset's notification LED 0 (the vibrator), the backlight
// request while the game has the focus, and unattended mode while the render device lives.
// The frame driver times the pulses; the game starts them.
#pragma once

#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "engine/core/text/EngineString.h"
#include "platform/base/Types.h"

struct VibrationPattern : EngineAllocated {
    EngineString name;
    float duration = 0.2f;  // seconds
};

// Puts 10 pulse records on the free list and opens "LED3:" (a failure leaves it closed and
// changes nothing else). Started lights are shut down first.
void InitLights();
// Ends every pulse, frees the records and the patterns, closes "LED3:".
void ShutdownLights();

// A pattern with an empty name and 0.2 s, owned by the lights until ShutdownLights; null
// when memory runs out.
VibrationPattern* NewVibrationPattern();

// The new pulse's id (never 0), or 0 when no pattern is given or memory runs out. LED 0
// goes on with the first running pulse.
DWORD StartVibrationPulse(VibrationPattern* pattern);
// Advances every running pulse by the frame time; a pulse ends when its elapsed time
// reaches its pattern's duration, and LED 0 goes off with the last one.
void UpdateVibration(float frameTime);
// Ends every running pulse and switches LED 0 off.
void StopVibration();

// On: the system power state "on" and one requirement keeping "BKL1:" at full power.
// Off: that requirement is released.
void SetBacklight(bool on);

// Enters or leaves unattended mode once per change of the flag.
void SetUnattendedMode(bool on);
bool IsUnattendedModeSet();

// State for the frame driver and tests.
std::uint32_t RunningPulseCount();
std::uint32_t FreePulseCount();
bool IsBacklightRequested();
bool IsLedDeviceOpen();
