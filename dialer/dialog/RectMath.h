// Small rectangle helpers of the dialog code (right and bottom excluded).
#pragma once

#include "platform/base/Types.h"

inline RECT OffsetRectBy(const RECT& rect, LONG dx, LONG dy) {
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// True when the two rectangles share at least one pixel.
inline bool RectsMeet(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom && a.left < a.right &&
           a.top < a.bottom && b.left < b.right && b.top < b.bottom;
}

inline RECT RectOfSize(LONG x, LONG y, LONG width, LONG height) { return RECT{x, y, x + width, y + height}; }
