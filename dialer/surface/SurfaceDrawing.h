// The program's own pixel routines on RGB565 surfaces: colour fills with constant opacity
// or through a coverage mask, copies, blends of a surface through a 1-, 4- or 8-bit mask,
// and grey images tinted and dithered through an 8-bit mask. Every rectangle operation
// clips alike: a negative destination position moves the source start and shrinks the
// size; a source start that is then negative is a failure; the size is cut to what both
// surfaces hold, and nothing is drawn (success) when it becomes empty. Masks are
// addressed with the source's coordinates. Opacity (alpha) is one byte: 0 draws nothing,
// 255 is opaque.
#pragma once

#include "dialer/surface/DibSurface.h"
#include "platform/base/Types.h"

// False when dst is not 16-bit. Only the destination clips.
bool FillRectRGB565(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, COLORREF color, int alpha);
// The colour through a 1-bit mask (set bits, at opacity alpha) or an 8-bit mask (coverage,
// scaled by alpha below 255). Other mask depths draw nothing. False when dst is not 16-bit
// or the clipped source start is negative.
bool FillMaskRGB565(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, COLORREF color, LONG sourceX,
                    LONG sourceY, const CDibSurface& mask, int alpha);
// Copies pixels between surfaces of one depth (any depth; 1- and 4-bit rows pixel by pixel,
// so that pixels keep their places within bytes). False when the depths differ.
bool CopySurfaceRect(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, const CDibSurface& src, LONG sourceX,
                     LONG sourceY);
// An RGB565 source through a 1-, 4- or 8-bit mask that covers the source area, at opacity
// alpha. False for other depths or a mask too small.
bool BlendSurfaceMasked(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, const CDibSurface& src, LONG sourceX,
                        LONG sourceY, const CDibSurface& mask, int alpha);
// Grey levels (an 8-bit source) through an 8-bit mask over the background colour, or over
// the destination's own pixels when background is CLR_NONE (0xFFFFFFFF), with error
// diffusion to 5-6-5 along serpentine rows. False for depths other than 16 / 8 / 8 or a
// mask too small.
constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
bool BlendSurfaceTinted8(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, const CDibSurface& src,
                         LONG sourceX, LONG sourceY, const CDibSurface& mask, COLORREF background);
