// The geometry of arrow-key focus movement: from the rectangle that has the focus, a start
// point just outside it in the key's direction, the band the rectangle covers across that
// direction, and an apex behind its leading edge from which a 90° cone opens. An item's cost
// is how far it lies forward (which dominates), then how far aside, with a penalty when its
// nearest point leaves the band. Costs are 64-bit and saturate, so rectangles anywhere in the
// 32-bit plane never wrap into a wrong order.
#pragma once

#include <limits>

#include "platform/base/Types.h"

namespace XmlLayouts {

// One unit of forward distance outweighs any lateral distance and the band penalty.
constexpr LONGLONG kForwardWeight = LONGLONG{1} << 34;
constexpr LONGLONG kOutsideBandPenalty = LONGLONG{1} << 17;
constexpr LONGLONG kNoFocusCost = std::numeric_limits<LONGLONG>::max();

// The arrow keys' directions: VK_LEFT (-1, 0), VK_UP (0, -1), VK_RIGHT (1, 0), VK_DOWN (0, 1);
// (0, 0) for any other key.
POINT KeyDirection(LONG key);

struct FocusProbe {
    LONG dx = 0;
    LONG dy = 0;
    LONGLONG startX = 0;  // the start point, just outside the rectangle
    LONGLONG startY = 0;
    LONGLONG band = 0;    // the rectangle's size across the direction, doubled coordinates
    LONGLONG apexX = 0;   // the cone's apex, doubled coordinates
    LONGLONG apexY = 0;
};

// The probe for a rectangle (right and bottom excluded) moved by `shift`, and a direction;
// false for a zero direction.
bool MakeFocusProbe(const RECT& from, POINT shift, POINT direction, FocusProbe* probe);

// The cost of moving the focus to an item of that rectangle (right and bottom excluded);
// false when the item is no candidate: behind the start point or outside the cone.
bool FocusCost(const FocusProbe& probe, const RECT& item, LONGLONG* cost);

}  // namespace XmlLayouts
