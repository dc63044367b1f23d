// The frame rate the TV-out connection allows: 20 frames a second for the PAL/NTSC video
// modes 0 to 4, 30 for the others, and no cap while TV-out is off.
#pragma once

#include "platform/base/Types.h"

// kNoFrameCap while TV-out is not enabled, else the rate word.
DWORD GetTvOutFrameRate();
// Sets the rate word from the connection's video mode.
void UpdateTvOutFrameRate(int videoMode);
void SetTvOutEnabled(bool enabled);
bool IsTvOutEnabled();
// Back to a fresh start: TV-out off, rate word 30 (tests).
void ResetTvOutRate();
