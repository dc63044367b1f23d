// Colour fills of RGB565 surfaces, plain and through coverage masks.
#include <algorithm>
#include <cstdint>

#include "dialer/surface/Rgb565.h"
#include "dialer/surface/Rgb565Rows.h"
#include "dialer/surface/SurfaceClip.h"
#include "dialer/surface/SurfaceDrawing.h"

namespace {

std::uint16_t* Row16(const CDibSurface& surface, LONG y) { return reinterpret_cast<std::uint16_t*>(surface.Row(y)); }

}  // namespace

bool FillRectRGB565(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, COLORREF color, int alpha) {
    if (dst.GetBitsPerPixel() != 16) return false;
    const DWORD opacity = OpacityByte(alpha);
    if (opacity == 0) return true;
    LONGLONG left = x;
    LONGLONG top = y;
    LONGLONG wide = width;
    LONGLONG high = height;
    if (left < 0) {
        wide += left;
        left = 0;
    }
    if (top < 0) {
        high += top;
        top = 0;
    }
    wide = std::min<LONGLONG>(wide, dst.GetWidth() - left);
    high = std::min<LONGLONG>(high, dst.GetHeight() - top);
    if (wide < 1 || high < 1) return true;
    const std::uint16_t packed = PackColor565(color);
    for (LONGLONG row = top; row < top + high; ++row) {
        std::uint16_t* pixels = Row16(dst, static_cast<LONG>(row)) + left;
        if (opacity == 255)
            FillRowWithColor(pixels, static_cast<LONG>(wide), packed);
        else
            BlendRowWithColor(pixels, static_cast<LONG>(wide), packed, opacity);
    }
    return true;
}

bool FillMaskRGB565(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, COLORREF color, LONG sourceX,
                    LONG sourceY, const CDibSurface& mask, int alpha) {
    if (dst.GetBitsPerPixel() != 16) return false;
    CClippedArea area;
    const ClipResult clipped =
        ClipArea(x, y, width, height, sourceX, sourceY, mask.GetWidth(), mask.GetHeight(), dst, &area);
    if (clipped != ClipResult::Draw) return clipped == ClipResult::Empty;
    const DWORD opacity = OpacityByte(alpha);
    const std::uint16_t packed = PackColor565(color);
    const LONG depth = mask.GetBitsPerPixel();
    if (opacity == 0 || (depth != 1 && depth != 8)) return true;
    for (LONG row = 0; row < area.height; ++row) {
        std::uint16_t* out = Row16(dst, area.y + row) + area.x;
        const BYTE* coverage = mask.Row(area.sourceY + row);
        for (LONG i = 0; i < area.width; ++i) {
            const LONG column = area.sourceX + i;
            if (depth == 1) {
                if (((coverage[column >> 3] >> (7 - (column & 7))) & 1u) == 0) continue;
                out[i] = opacity == 255 ? packed : BlendPixel565(out[i], packed, opacity);
                continue;
            }
            const DWORD m = coverage[column];
            if (opacity == 255) {
                if (m == 0) continue;
                out[i] = m == 255 ? packed : BlendPixel565(out[i], packed, m);
            } else {
                // Below full opacity the colour is always blended, never stored.
                const DWORD weight = (m * opacity) >> 8;
                if (weight != 0) out[i] = BlendPixel565(out[i], packed, weight);
            }
        }
    }
    return true;
}
