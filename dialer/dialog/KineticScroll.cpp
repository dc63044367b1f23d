// Kinetic scrolling.
#include "dialer/dialog/KineticScroll.h"

#include <algorithm>
#include <cstdlib>

#include "dialer/dialog/DialogManagerInterface.h"
#include "dialer/dialog/ThreadPriority.h"
#include "dialer/foundation/OrmException.h"
#include "platform/base/Clock.h"
#include "platform/user/Message.h"
#include "platform/user/MessageTypes.h"

LONG KineticScroll(IDialogManager* manager, LONG velocity, LONG deceleration, LONG bound1, LONG bound2,
                   LONG* position) {
    if (position == nullptr || manager == nullptr) ThrowOrm(E_ORM_FAIL);
    CRaisedThreadPriority raised;
    const LONGLONG lo = std::min(bound1, bound2);
    const LONGLONG hi = std::max(bound1, bound2);
    HWND window = nullptr;
    manager->GetWindow(&window);

    // 64-bit throughout: the products grow with time and velocity.
    const LONGLONG v = velocity;
    const LONGLONG d = v > 0 ? -static_cast<LONGLONG>(deceleration) : static_cast<LONGLONG>(deceleration);
    // Without deceleration a moving motion has no end time; a still one ends at once.
    const bool timed = d != 0 || v == 0;
    const LONGLONG end = d != 0 ? (-100 * v) / d : 0;
    const LONGLONG p0 = *position;
    // The first frame already shows 40 ms of motion.
    const DWORD start = GetTickCount() - 40;
    for (;;) {
        const LONGLONG t = static_cast<DWORD>(GetTickCount() - start);
        const LONGLONG p = p0 - (((d * t) / 100 + 2 * v) * t) / 2000;
        *position = static_cast<LONG>(std::clamp(p, lo, hi));
        manager->Invalidate(TRUE);
        if (timed && t >= end) return 0;
        MSG message{};
        if (PeekMessageW(&message, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE)) return 0;
        while (PeekMessageW(&message, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) {
        }
        if (*position <= lo || *position >= hi) return static_cast<LONG>((d * t) / 100 + v);
        Sleep(0);
    }
}

void AnimateScrollTo(IDialogManager* manager, LONG target, LONG duration, LONG* position) {
    if (position == nullptr) ThrowOrm(E_ORM_FAIL);
    if (duration <= 0) return;
    const LONGLONG span = duration;
    const LONGLONG w = ((static_cast<LONGLONG>(*position) - target) * 2000 / span * 100) / span;
    if (w != 0) KineticScroll(manager, static_cast<LONG>((w * span) / 100), static_cast<LONG>(std::llabs(w)), *position,
                              target, position);
    // The formula's truncation can leave the motion a pixel or so short, and a tap ends it
    // early: the last frame shows the target itself.
    if (*position != target) {
        *position = target;
        if (manager != nullptr) manager->Invalidate(TRUE);
    }
}
