// Eight-tile border skins: an 8-bit grey image with an 8-bit mask holding, side by side,
// the top-left corner, top edge, top-right corner, right edge, bottom-left corner, bottom
// edge, bottom-right corner and left edge, each (image width / 8) wide and the image's
// height high. DrawSkinImage frames a rectangle with them and can fill the inside black
// at the skin's centre opacity.
#pragma once

#include "dialer/surface/DibSurface.h"
#include "dialer/surface/MaskedImage.h"
#include "platform/base/Types.h"

// Edge flags: which sides of the frame are drawn.
constexpr DWORD SKIN_EDGE_LEFT = 1;
constexpr DWORD SKIN_EDGE_TOP = 2;
constexpr DWORD SKIN_EDGE_RIGHT = 4;
constexpr DWORD SKIN_EDGE_BOTTOM = 8;

struct CSkinImage {
    CMaskedImage image;
    DWORD centerOpacity = 0;  // the low byte is used
};

// Frames (left, top, right, bottom) with the tiles of the sides that `edges` names.
// topHeight (when 0 or more) takes that many rows from the bottom of the top tiles instead
// of the whole tile height. With fillCenter the inside is filled black at the centre
// opacity. Tiles are drawn over the target (tinted with its own pixels), so the skin must
// be 8-bit with an 8-bit mask; other skins draw nothing.
void DrawSkinImage(const CSkinImage& skin, CDibSurface& target, LONG left, LONG top, LONG right, LONG bottom,
                   DWORD edges, bool fillCenter, LONG topHeight);
