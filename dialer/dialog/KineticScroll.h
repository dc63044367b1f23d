// The kinetic motion of a layer's scroll position: a constant deceleration from an initial
// velocity, painted frame by frame as fast as the dialog repaints, ended by time, by an edge
// or by a tap. The feel of the dialer's lists rests on its formula: after t milliseconds the
// position is p0 − (((d × t) / 100 + 2v) × t) / 2000, with truncating divisions.
#pragma once

#include "platform/base/Types.h"

class IDialogManager;

// Moves *position from its value with velocity v (pixels per second; a positive v makes the
// position decrease) and deceleration a, clamped between the two bounds (in either order),
// repainting through the manager (Invalidate(TRUE)) each frame. Returns 0 when the motion ran
// out of time or a tap (a WM_LBUTTONDOWN waiting for the manager's window, left queued)
// stopped it, and the velocity left when it hit an edge. A deceleration of 0 keeps the
// velocity until an edge or a tap ends the motion. Key messages waiting meanwhile are
// dropped. The thread runs at THREAD_PRIORITY_ABOVE_NORMAL throughout. Throws E_ORM_FAIL for a
// null position or manager.
LONG KineticScroll(IDialogManager* manager, LONG velocity, LONG deceleration, LONG bound1, LONG bound2,
                   LONG* position);

// Moves *position to target in `duration` milliseconds with a uniform deceleration and ends
// exactly on target (also when a tap cut the motion short, or when the distance is too small
// for the motion to start). A duration of 0 (or less) does nothing. Throws E_ORM_FAIL for a null
// position.
void AnimateScrollTo(IDialogManager* manager, LONG target, LONG duration, LONG* position);
