// Copies between surfaces, RGB565 blends through coverage masks, and tinted grey images
// with error diffusion.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "dialer/surface/Rgb565.h"
#include "dialer/surface/Rgb565Rows.h"
#include "dialer/surface/SurfaceClip.h"
#include "dialer/surface/SurfaceDrawing.h"

namespace {

std::uint16_t* Row16(const CDibSurface& surface, LONG y) { return reinterpret_cast<std::uint16_t*>(surface.Row(y)); }

ClipResult ClipToSource(LONG x, LONG y, LONG width, LONG height, const CDibSurface& src, LONG sourceX, LONG sourceY,
                        const CDibSurface& dst, CClippedArea* area) {
    return ClipArea(x, y, width, height, sourceX, sourceY, src.GetWidth(), src.GetHeight(), dst, area);
}

bool MaskCovers(const CDibSurface& mask, const CClippedArea& area) {
    return static_cast<LONGLONG>(mask.GetWidth()) >= static_cast<LONGLONG>(area.sourceX) + area.width &&
           static_cast<LONGLONG>(mask.GetHeight()) >= static_cast<LONGLONG>(area.sourceY) + area.height;
}

// The value of pixel `column` of a 1- or 4-bit row, and its store.
DWORD SubBytePixel(const BYTE* row, LONG column, LONG depth) {
    if (depth == 1) return (row[column >> 3] >> (7 - (column & 7))) & 1u;
    return (column & 1) != 0 ? row[column >> 1] & 0x0Fu : row[column >> 1] >> 4;
}

void SetSubBytePixel(BYTE* row, LONG column, LONG depth, DWORD value) {
    if (depth == 1) {
        const auto bit = static_cast<BYTE>(0x80u >> (column & 7));
        row[column >> 3] = static_cast<BYTE>(value != 0 ? row[column >> 3] | bit : row[column >> 3] & ~bit);
        return;
    }
    BYTE& byte = row[column >> 1];
    byte = static_cast<BYTE>((column & 1) != 0 ? (byte & 0xF0u) | value : (byte & 0x0Fu) | (value << 4));
}

// The 4-bit blend: the fields spread apart in one word (blue at bit 0, green at 10, red at
// 21) so that one multiply per pixel weighs all three by the 0..16 coverage.
std::uint32_t Spread(std::uint32_t pixel) {
    return (pixel & 0x1Fu) | ((pixel & 0x7E0u) << 5) | ((pixel & 0xF800u) << 10);
}

std::uint16_t Blend4(std::uint16_t pixel, std::uint16_t source, std::uint32_t coverage) {
    const std::uint32_t mixed = Spread(pixel) * (16 - coverage) + Spread(source) * coverage;
    return static_cast<std::uint16_t>(((mixed >> 14) & 0xF800u) | ((mixed >> 9) & 0x07E0u) | ((mixed >> 4) & 0x1Fu));
}

}  // namespace

bool CopySurfaceRect(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, const CDibSurface& src, LONG sourceX,
                     LONG sourceY) {
    const LONG depth = dst.GetBitsPerPixel();
    if (depth != src.GetBitsPerPixel()) return false;
    CClippedArea area;
    const ClipResult clipped = ClipToSource(x, y, width, height, src, sourceX, sourceY, dst, &area);
    if (clipped != ClipResult::Draw) return clipped == ClipResult::Empty;
    const bool sameSurface = dst.GetBits() == src.GetBits();
    const bool upwards = sameSurface && area.y > area.sourceY;
    for (LONG i = 0; i < area.height; ++i) {
        const LONG row = upwards ? area.height - 1 - i : i;
        BYTE* out = dst.Row(area.y + row);
        const BYTE* in = src.Row(area.sourceY + row);
        if (depth >= 8) {
            const LONG bytes = depth / 8;
            std::memmove(out + static_cast<std::ptrdiff_t>(area.x) * bytes,
                         in + static_cast<std::ptrdiff_t>(area.sourceX) * bytes,
                         static_cast<std::size_t>(area.width) * static_cast<std::size_t>(bytes));
            continue;
        }
        // Pixels of 1 and 4 bits move one by one: a byte copy would cut the row at a byte
        // border and shift pixels whose columns do not share a place within their byte.
        const bool leftwards = sameSurface && area.y == area.sourceY && area.x > area.sourceX;
        for (LONG j = 0; j < area.width; ++j) {
            const LONG column = leftwards ? area.width - 1 - j : j;
            SetSubBytePixel(out, area.x + column, depth, SubBytePixel(in, area.sourceX + column, depth));
        }
    }
    return true;
}

bool BlendSurfaceMasked(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, const CDibSurface& src, LONG sourceX,
                        LONG sourceY, const CDibSurface& mask, int alpha) {
    const DWORD opacity = OpacityByte(alpha);
    if (opacity == 0) return true;
    if (dst.GetBitsPerPixel() != 16 || src.GetBitsPerPixel() != 16) return false;
    const LONG depth = mask.GetBitsPerPixel();
    if (depth != 1 && depth != 4 && depth != 8) return false;
    CClippedArea area;
    const ClipResult clipped = ClipToSource(x, y, width, height, src, sourceX, sourceY, dst, &area);
    if (clipped != ClipResult::Draw) return clipped == ClipResult::Empty;
    if (!MaskCovers(mask, area)) return false;
    for (LONG row = 0; row < area.height; ++row) {
        std::uint16_t* out = Row16(dst, area.y + row) + area.x;
        const std::uint16_t* in = Row16(src, area.sourceY + row) + area.sourceX;
        const BYTE* coverage = mask.Row(area.sourceY + row);
        if (depth == 8) {
            const BYTE* m = coverage + area.sourceX;
            if (opacity == 255)
                BlendRowThroughMask(out, in, m, area.width);
            else
                BlendRowThroughMaskAt(out, in, m, area.width, opacity);
            continue;
        }
        for (LONG i = 0; i < area.width; ++i) {
            const LONG column = area.sourceX + i;
            const DWORD n = SubBytePixel(coverage, column, depth);
            if (n == 0) continue;
            if (depth == 1) {
                out[i] = opacity == 255 ? in[i] : BlendPixel565(out[i], in[i], opacity);
            } else if (opacity == 255) {
                out[i] = n == 15 ? in[i] : Blend4(out[i], in[i], n);
            } else if (const DWORD weight = (n * opacity) >> 4; weight != 0) {
                out[i] = BlendPixel565(out[i], in[i], weight);
            }
        }
    }
    return true;
}

bool BlendSurfaceTinted8(CDibSurface& dst, LONG x, LONG y, LONG width, LONG height, const CDibSurface& src,
                         LONG sourceX, LONG sourceY, const CDibSurface& mask, COLORREF background) {
    if (dst.GetBitsPerPixel() != 16 || src.GetBitsPerPixel() != 8 || mask.GetBitsPerPixel() != 8) return false;
    CClippedArea area;
    const ClipResult clipped = ClipToSource(x, y, width, height, src, sourceX, sourceY, dst, &area);
    if (clipped != ClipResult::Draw) return clipped == ClipResult::Empty;
    if (!MaskCovers(mask, area)) return false;
    const bool overDestination = background == CLR_NONE;
    // The three error accumulators run on across pixels and rows for the whole call.
    DWORD errorRed = 0;
    DWORD errorGreen = 0;
    DWORD errorBlue = 0;
    for (LONG row = 0; row < area.height; ++row) {
        std::uint16_t* out = Row16(dst, area.y + row) + area.x;
        const BYTE* grey = src.Row(area.sourceY + row) + area.sourceX;
        const BYTE* coverage = mask.Row(area.sourceY + row) + area.sourceX;
        const bool leftwards = (row & 1) != 0;
        for (LONG j = 0; j < area.width; ++j) {
            const LONG i = leftwards ? area.width - 1 - j : j;
            const DWORD m = coverage[i];
            if (overDestination && m == 0) continue;  // the pixel is its own background
            DWORD red = overDestination ? Red8(out[i]) : (background & 0xFF);
            DWORD green = overDestination ? Green8(out[i]) : ((background >> 8) & 0xFF);
            DWORD blue = overDestination ? Blue8(out[i]) : ((background >> 16) & 0xFF);
            const DWORD g = grey[i];
            if (m == 255) {
                red = green = blue = g;
            } else if (m != 0) {
                red = (g * m + (256 - m) * red) >> 8;
                green = (g * m + (256 - m) * green) >> 8;
                blue = (g * m + (256 - m) * blue) >> 8;
            }
            errorRed += red & 7;
            if (errorRed >= 8) {
                red = std::min<DWORD>(red + 8, 255);
                errorRed -= 8;
            }
            errorGreen += green & 3;
            if (errorGreen >= 4) {
                green = std::min<DWORD>(green + 4, 255);
                errorGreen -= 4;
            }
            errorBlue += blue & 7;
            if (errorBlue >= 8) {
                blue = std::min<DWORD>(blue + 8, 255);
                errorBlue -= 8;
            }
            out[i] = Pack565(red, green, blue);
        }
    }
    return true;
}
