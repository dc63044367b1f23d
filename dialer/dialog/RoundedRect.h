// The pressed highlight's shape: a rectangle filled with rounded corners whose size follows
// the screen's density (4 pixels on high-density screens, 3 on medium, 2 otherwise), the
// corners blended through coverage tiles.
#pragma once

#include "dialer/surface/DibSurface.h"
#include "platform/base/Types.h"

// The corner size of this screen.
LONG CornerSize();
// Makes the 8-bit corner mask: c wide, 4c high, the top-left tile at row 0 and its mirror
// images (top-right, bottom-right, bottom-left) at rows c, 2c and 3c. False when the surface
// cannot be made.
bool MakeCornerMask(CDibSurface& mask, LONG corner);
// Fills rect on an RGB565 surface with colour at opacity alpha; a rectangle at least two
// corners wide and high gets the corners of mask (made by MakeCornerMask), a smaller one is
// filled plainly.
void FillRoundedRectRGB565(CDibSurface& surface, const RECT& rect, COLORREF color, int alpha, const CDibSurface& mask);
