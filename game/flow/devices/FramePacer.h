// FramePacer: holds a frame to its period (1000 / frames a second, in whole milliseconds) by
// sleeping out what the frame left of it. A slow frame is never followed by a sleep, and
// nothing is caught up later.
#pragma once

#include "platform/base/Types.h"

// A rate that puts no cap on the frames.
constexpr DWORD kNoFrameCap = 0xFFFFFFFF;

struct FramePacer {
    DWORD armed = 0;      // non-zero: destruction sleeps out a begun frame
    DWORD startTick = 0;  // GetTickCount at the frame's start; 0 = nothing to sleep out
    DWORD rate = kNoFrameCap;

    FramePacer() = default;
    explicit FramePacer(bool sleepOutOnDestruction) : armed(sleepOutOnDestruction ? 1 : 0) {}
    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;
    // A loop left early still keeps its last frame's period.
    ~FramePacer();

    // Starts a frame at `frameRate` frames a second; the start tick.
    DWORD Begin(DWORD frameRate);
    // Sleeps for what is left of the period since Begin, then forgets the start.
    void SleepOut();
    // 1000 / rate; 0 for no cap (a rate of 0 cannot pace anything and counts as no cap).
    DWORD PeriodMilliseconds() const;
};

// The pacer of the overlay's modal loops, which begin and end their frames through the
// game's events 14 and 15. Never armed.
FramePacer& ModalFramePacer();
