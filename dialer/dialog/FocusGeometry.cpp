// Arrow-key focus geometry: start point, band, apex, cone and cost.
#include "dialer/dialog/FocusGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace XmlLayouts {

namespace {

constexpr LONG kVkLeft = 37;
constexpr LONG kVkUp = 38;
constexpr LONG kVkRight = 39;
constexpr LONG kVkDown = 40;

// Forward distances beyond this many pixels all cost the same: far enough that the product
// with the forward weight stays inside 64 bits.
constexpr LONGLONG kMaxForward = LONGLONG{1} << 28;
constexpr LONGLONG kMaxLateral = kForwardWeight - kOutsideBandPenalty - 1;

LONGLONG Abs(LONGLONG value) { return value < 0 ? -value : value; }

// Where a coordinate meets the span [low, high) nearest to it.
LONGLONG Nearest(LONGLONG point, LONGLONG low, LONGLONG high) {
    if (point <= low) return low;
    if (point >= high) return high - 1;
    return point;
}

}  // namespace

POINT KeyDirection(LONG key) {
    switch (key) {
        case kVkLeft: return POINT{-1, 0};
        case kVkUp: return POINT{0, -1};
        case kVkRight: return POINT{1, 0};
        case kVkDown: return POINT{0, 1};
        default: return POINT{0, 0};
    }
}

bool MakeFocusProbe(const RECT& from, POINT shift, POINT direction, FocusProbe* probe) {
    if (direction.x == 0 && direction.y == 0) return false;
    FocusProbe made;
    made.dx = direction.x > 0 ? 1 : (direction.x < 0 ? -1 : 0);
    made.dy = direction.y > 0 ? 1 : (direction.y < 0 ? -1 : 0);
    const LONGLONG left = LONGLONG{from.left} + shift.x;
    const LONGLONG top = LONGLONG{from.top} + shift.y;
    const LONGLONG right = LONGLONG{from.right} + shift.x;
    const LONGLONG bottom = LONGLONG{from.bottom} + shift.y;
    made.startX = (left + right) / 2;
    made.startY = (top + bottom) / 2;
    // A start point inside the rectangle steps out of it in the direction: straight to the
    // first point past the edge (a step at a time could take billions of steps).
    const bool inside = made.startX >= left && made.startX < right && made.startY >= top && made.startY < bottom;
    if (inside) {
        if (made.dx > 0) made.startX = right;
        if (made.dx < 0) made.startX = left - 1;
        if (made.dy > 0) made.startY = bottom;
        if (made.dy < 0) made.startY = top - 1;
    }
    const LONGLONG width = right - left;
    const LONGLONG height = bottom - top;
    made.band = Abs(height * made.dx + width * made.dy);
    const LONGLONG along = Abs(width * made.dx + height * made.dy);
    made.apexX = left + right - (made.band - along) * made.dx;
    made.apexY = top + bottom - (made.band - along) * made.dy;
    *probe = made;
    return true;
}

bool FocusCost(const FocusProbe& probe, const RECT& item, LONGLONG* cost) {
    const LONGLONG qx = Nearest(probe.startX, item.left, item.right);
    const LONGLONG qy = Nearest(probe.startY, item.top, item.bottom);
    const LONGLONG forward =
        std::clamp((qx - probe.startX) * probe.dx + (qy - probe.startY) * probe.dy, -kMaxForward, kMaxForward);
    const LONGLONG lateral =
        std::min(Abs((qx - probe.startX) * probe.dy + (qy - probe.startY) * probe.dx), kMaxLateral);
    LONGLONG total = forward * kForwardWeight + lateral;
    if (probe.band < Abs((probe.apexX - 2 * qx) * probe.dy + (probe.apexY - 2 * qy) * probe.dx))
        total += kOutsideBandPenalty;
    if (total < 0) return false;
    const LONGLONG u = 2 * qx - probe.apexX + 1;
    const LONGLONG v = 2 * qy - probe.apexY + 1;
    if (Abs(u * probe.dx + v * probe.dy) < Abs(u * probe.dy + v * probe.dx)) return false;
    *cost = total;
    return true;
}

}  // namespace XmlLayouts
