// PowerWatch: turns the handset's power notifications into an off flag that the screen
// flow polls once a step, so that the game gives up its device and sound while the power
// is off and takes them back when it comes on.
#pragma once

#include <vector>

#include "platform/base/Types.h"

constexpr DWORD kPowerMessageBytes = 536;
constexpr DWORD kPowerQueueMessages = 4;

struct PowerWatch {
    HANDLE notification = nullptr;
    HANDLE queue = nullptr;
    std::vector<BYTE> buffer;
    DWORD powerOff = 0;  // the power-state flags lack POWER_STATE_ON
    DWORD flag2 = 0;     // bit 25 of the power-state flags is clear
};

// Makes the queue and asks for power transitions; true when the request was granted.
bool StartPowerWatch(PowerWatch& watch);
// For each message waiting: asks the power state and takes the flags from it (a failed ask
// keeps them).
void PollPowerWatch(PowerWatch& watch);
// The same once, without the queue: 1 when the state could be read, else 0.
DWORD QueryPowerState(PowerWatch& watch);
// Stops the notifications, closes the queue and clears the record.
void StopPowerWatch(PowerWatch& watch);
void ClearPowerWatch(PowerWatch& watch);

// The flags as the watch keeps them.
void TakePowerFlags(PowerWatch& watch, DWORD flags);
