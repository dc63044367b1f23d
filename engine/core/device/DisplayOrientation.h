// The display's orientation as the game sees it: the game composes its landscape picture
// itself on the display's native orientation, so a turned display is turned back.
#pragma once

#include "platform/base/Types.h"

// The current orientation (DMDO_*); false when the system cannot say which orientations it
// supports.
bool QueryDisplayOrientation(DWORD& orientation);
// Turns the display back to its native orientation (with a reset).
void SetNativeDisplayOrientation();
