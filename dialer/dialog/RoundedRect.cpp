// Rounded rectangles for the pressed highlight.
#include "dialer/dialog/RoundedRect.h"

#include "dialer/surface/ScreenDpi.h"
#include "dialer/surface/SurfaceDrawing.h"

namespace {

// The top-left corner tiles, rows top to bottom, coverage 0-255.
constexpr BYTE kCorner4[16] = {0, 0, 123, 233, 0, 192, 255, 255, 99, 255, 255, 255, 239, 255, 255, 255};
constexpr BYTE kCorner3[9] = {21, 102, 228, 88, 255, 255, 228, 255, 255};
constexpr BYTE kCorner2[4] = {67, 216, 217, 255};

const BYTE* TopLeftTile(LONG corner) {
    switch (corner) {
        case 4:
            return kCorner4;
        case 3:
            return kCorner3;
        case 2:
            return kCorner2;
        default:
            return nullptr;
    }
}

}  // namespace

LONG CornerSize() {
    if (IsHighDensityScreen()) return 4;
    if (IsMediumDensityScreen()) return 3;
    return 2;
}

bool MakeCornerMask(CDibSurface& mask, LONG corner) {
    const BYTE* tile = TopLeftTile(corner);
    if (tile == nullptr || !CreateDibSurface(mask, corner, 4 * corner, DIB_FORMAT_MASK8)) return false;
    for (LONG y = 0; y < corner; ++y)
        for (LONG x = 0; x < corner; ++x) {
            const BYTE coverage = tile[y * corner + x];
            const LONG mirroredX = corner - 1 - x;
            const LONG mirroredY = corner - 1 - y;
            mask.Row(y)[x] = coverage;                          // top-left
            mask.Row(corner + y)[mirroredX] = coverage;         // top-right: left-right
            mask.Row(2 * corner + mirroredY)[mirroredX] = coverage;  // bottom-right: both ways
            mask.Row(3 * corner + mirroredY)[x] = coverage;     // bottom-left: top-bottom
        }
    return true;
}

void FillRoundedRectRGB565(CDibSurface& surface, const RECT& rect, COLORREF color, int alpha, const CDibSurface& mask) {
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    const LONG c = mask.GetWidth();
    if (c < 1 || mask.GetHeight() != 4 * c || width < 2 * c || height < 2 * c) {
        FillRectRGB565(surface, rect.left, rect.top, width, height, color, alpha);
        return;
    }
    FillRectRGB565(surface, rect.left, rect.top + c, width, height - 2 * c, color, alpha);
    FillRectRGB565(surface, rect.left + c, rect.top, width - 2 * c, c, color, alpha);
    FillRectRGB565(surface, rect.left + c, rect.bottom - c, width - 2 * c, c, color, alpha);
    FillMaskRGB565(surface, rect.left, rect.top, c, c, color, 0, 0, mask, alpha);
    FillMaskRGB565(surface, rect.right - c, rect.top, c, c, color, 0, c, mask, alpha);
    FillMaskRGB565(surface, rect.right - c, rect.bottom - c, c, c, color, 0, 2 * c, mask, alpha);
    FillMaskRGB565(surface, rect.left, rect.bottom - c, c, c, color, 0, 3 * c, mask, alpha);
}
