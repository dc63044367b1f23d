// CMaskedImage: a colour surface (RGB565, or 8-bit grey levels) with an optional coverage
// mask of 1, 4 or 8 bits, as skins, icons and text masks are kept, and the two calls that
// draw one into an RGB565 surface.
#pragma once

#include "dialer/surface/DibSurface.h"
#include "platform/base/Types.h"

struct CMaskedImage {
    CSharedSurface color;  // may be empty
    CSharedSurface mask;   // may be empty
};

// The colour surface's size, else the mask's, else 0.
LONG GetImageWidth(const CMaskedImage& image);
LONG GetImageHeight(const CMaskedImage& image);

// Draws the part (sourceX, sourceY, width × height) at (x, y): a colour surface alone is
// copied; an 8-bit colour surface with a mask is tinted over the destination; another
// colour surface with a mask is blended through it; a mask alone paints white through
// itself. False when nothing could be drawn (no surface, or the drawing call refused).
bool DrawImageRegion(const CMaskedImage& image, CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, LONG sourceX,
                     LONG sourceY);
// The whole image at (x, y).
bool DrawImage(const CMaskedImage& image, CDibSurface& dst, LONG x, LONG y);
