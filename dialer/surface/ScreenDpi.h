// The screen's logical pixels per inch, read once at start-up, and the rounding used to
// scale layout pixels (given at 96 dpi) to the screen.
#pragma once

#include "platform/base/Types.h"

constexpr int kLayoutDpi = 96;

int GetScreenDpiX();
int GetScreenDpiY();
// Stores the two values that start-up reads from the screen (96 until then).
void SetScreenDpi(int dpiX, int dpiY);
// Reads LOGPIXELSX and LOGPIXELSY of the screen's context into the two values, once per
// process (later calls, and calls after SetScreenDpi, do nothing).
void CacheScreenDpi();

// The density classes of the vertical dpi, k = (dpi + 16) × 3 / 96: high density is k = 6
// (176 to 207 dpi, the 192-dpi screens), medium density k = 4 (112 to 143 dpi).
bool IsHighDensityScreen();
bool IsMediumDensityScreen();

// a × b / c rounded to nearest, the sign handled apart: (|a| × |b| + c / 2) / c with the
// sign restored; no overflow inside (a result beyond 64 bits saturates). 0 for c below 1.
LONGLONG MulDivRound(LONGLONG a, LONG b, LONG c);
