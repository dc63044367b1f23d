// The notification LEDs (NLedSetDevice) and the "LED3:" device that the game holds open while
// it gives haptic pulses. The LEDs are simulated: tests and the simulator read their state.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// NLedSetDevice's info ids; only the settings of one LED can be set.
constexpr UINT NLED_COUNT_INFO_ID = 0;
constexpr UINT NLED_SUPPORTS_INFO_ID = 1;
constexpr UINT NLED_SETTINGS_INFO_ID = 2;

// OffOnBlink values.
constexpr INT NLED_OFF = 0;
constexpr INT NLED_ON = 1;
constexpr INT NLED_BLINK = 2;

struct NLED_SETTINGS_INFO {
    UINT LedNum;  // 0-based
    INT OffOnBlink;
    LONG TotalCycleTime;  // blink timing in microseconds, kept as given
    LONG OnTime;
    LONG OffTime;
    INT MetaCycleOn;
    INT MetaCycleOff;
};

// Sets one LED. FALSE with ERROR_INVALID_PARAMETER for an info id other than
// NLED_SETTINGS_INFO_ID, a null record, an LED number the handset does not have or an
// OffOnBlink value other than off, on and blink.
BOOL NLedSetDevice(UINT infoId, void* input);

namespace platform::device {

// LED 0 drives the vibrator, LED 1 is the notification light.
constexpr UINT kNotificationLedCount = 2;

struct NotificationLedState {
    INT offOnBlink = NLED_OFF;
    NLED_SETTINGS_INFO settings{};  // as last set
    std::uint32_t switchedOn = 0;   // changes from off to on or blink
    std::uint32_t switchedOff = 0;  // changes from on or blink to off
};
// The state of an LED; an LED the handset does not have reads as off and never set.
NotificationLedState NotificationLed(UINT ledNumber);

// Registers the stream device "LED3:" (CreateFileW opens it; it has no read, write or
// control operations). Called once at program start; calling it again changes nothing.
void RegisterNotificationLedDriver();
// Handles of "LED3:" open now in this process.
int OpenNotificationLedHandles();

// Every LED off with its counters cleared (tests).
void ResetNotificationLeds();

}  // namespace platform::device
