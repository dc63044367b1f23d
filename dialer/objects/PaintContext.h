// PaintContext: what a paint pass hands each layer and item. A rectangle in layer content
// coordinates lands on the target at (destination − source); painting stays inside the
// area of width × height at the destination.
#pragma once

#include "platform/base/Types.h"

struct PaintContext {
    HDC dc = nullptr;          // the target bitmap's device context
    HBITMAP bitmap = nullptr;  // the target bitmap
    // 0: no pressed highlight (off-screen renders, repaints of single objects), 1: normal,
    // 2: the manager's window holds the pointer capture.
    LONG mode = 0;
    LONG sourceX = 0;  // the layer's scroll position
    LONG sourceY = 0;
    LONG width = 0;  // the area to paint
    LONG height = 0;
    LONG reserved[4] = {};
    LONG destinationX = 0;  // where the area lies in the target
    LONG destinationY = 0;
    LONG fullRepaint = 0;  // 1 for a full repaint, 0 for one object
    LONG cacheMode = 0;    // the content's cache mode
    LONG subId = 0;        // in an item's context, the item's sub-id

    // The offset from content to target coordinates.
    LONG OffsetX() const { return destinationX - sourceX; }
    LONG OffsetY() const { return destinationY - sourceY; }
};
