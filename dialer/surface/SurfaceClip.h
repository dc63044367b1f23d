// The clipping shared by the surface routines, computed in 64 bits.
#pragma once

#include <algorithm>

#include "dialer/surface/DibSurface.h"
#include "platform/base/Types.h"

// A rectangle operation after clipping: where it draws, where it reads, how much.
struct CClippedArea {
    LONG x = 0;
    LONG y = 0;
    LONG sourceX = 0;
    LONG sourceY = 0;
    LONG width = 0;
    LONG height = 0;
};

// Failed and Empty end a routine: with false and true.
enum class ClipResult { Failed, Empty, Draw };

// Clips a destination rectangle against dst and a source of sourceWidth × sourceHeight
// read from (sourceX, sourceY).
inline ClipResult ClipArea(LONGLONG x, LONGLONG y, LONGLONG width, LONGLONG height, LONGLONG sourceX, LONGLONG sourceY,
                           LONGLONG sourceWidth, LONGLONG sourceHeight, const CDibSurface& dst, CClippedArea* area) {
    if (x < 0) {
        sourceX -= x;
        width += x;
        x = 0;
    }
    if (y < 0) {
        sourceY -= y;
        height += y;
        y = 0;
    }
    if (sourceX < 0 || sourceY < 0) return ClipResult::Failed;
    width = std::min({width, sourceWidth - sourceX, static_cast<LONGLONG>(dst.GetWidth()) - x});
    height = std::min({height, sourceHeight - sourceY, static_cast<LONGLONG>(dst.GetHeight()) - y});
    if (width < 1 || height < 1) return ClipResult::Empty;
    *area = CClippedArea{static_cast<LONG>(x),       static_cast<LONG>(y),     static_cast<LONG>(sourceX),
                         static_cast<LONG>(sourceY), static_cast<LONG>(width), static_cast<LONG>(height)};
    return ClipResult::Draw;
}

// Opacity as one byte (-1 is 255).
inline DWORD OpacityByte(int alpha) { return static_cast<DWORD>(alpha) & 0xFFu; }
