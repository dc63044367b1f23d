// The per-frame system step that the game's main loop runs once a frame: the clocks with the
// time step clamped to 0.2 s, the vibration pulses, the display-orientation guard, the sound
// device's update, the window's message pump and the key-state step.
#pragma once

#include "platform/base/Types.h"

// A long stall (a menu, focus loss) never advances the game by more than this in one frame.
constexpr float kMaxFrameTime = 0.2f;
// After a setting change the display's orientation is checked once this has run out.
constexpr float kOrientationCheckDelay = 0.5f;

struct FrameClock {
    DWORD lastFrameTicks = 0;  // tick count of the last frame
    float frameTime = 0.0f;    // dt, seconds, at most kMaxFrameTime
    float gameTime[2] = {0.0f, 0.0f};
    DWORD frameCounter = 1;  // counts frames from 1
};

const FrameClock& GetFrameClock();
DWORD FrameCounter();
float FrameTime();
// Back to the clocks of a fresh start (tests, and start-up).
void ResetFrameClock();

// The tick count in seconds.
float GetTimeSeconds();

void FrameDriver();
