// The fixed distances and times that tell a tap from a hold and from a drag, and the finger's
// velocity smoothed over a short window. Kept apart from the modal loop so that they can be
// checked on their own.
#pragma once

#include "platform/base/Types.h"

namespace XmlLayouts {

// A press is delivered at once when its layer cannot scroll; on a scrolling layer it waits
// this long (plus the time other messages took) so that a quick drag never highlights.
constexpr DWORD kPressFeedbackDelayMs = 35;
// A press held longer than this without moving is a hold, not a tap.
constexpr DWORD kTapLimitMs = 400;
// How long the loop waits for the next sample while the press is still a tap (or after the
// release), and while dragging.
constexpr DWORD kTapWaitMs = 400;
constexpr DWORD kDragWaitMs = 10000;
// After a release, a new sample this soon continues the gesture.
constexpr DWORD kReleaseGraceMs = 25;
// A layer ignores a press this soon after it handled a drag: the press stops a fling, it
// does not select.
constexpr DWORD kScrollGuardMs = 250;
// The window over which the finger's velocity is averaged.
constexpr LONG kVelocityWindowMs = 128;

// The distance a finger must travel from the press point before a press becomes a drag:
// 15 pixels at 96 dpi, scaled to the screen's density and rounded, (dpi × 15 + 48) / 96. A
// density below 1 counts as 1.
LONG DragThreshold(int dpi);

// The velocity (pixels per second) after a sample that moved `displacement` pixels in
// `elapsedMs` since the previous one: the plain rate when the samples are a whole window
// apart, otherwise the rate blended with the previous velocity in proportion to the time
// each covers of the window. Divisions truncate toward zero; the result saturates at the
// range of a LONG.
LONG SmoothVelocity(LONG displacement, DWORD elapsedMs, LONG previousVelocity);

}  // namespace XmlLayouts
