// Window timers: WM_TIMER on the platform clock, made when the owning thread polls its
// queue and nothing else is waiting there.
#pragma once

#include "platform/base/Types.h"
#include "platform/user/WindowTypes.h"

// With a window: the timer (window, id) is set or reset and id is returned (1 for id 0).
// Without one: a new timer of the calling thread; its id is returned. WM_TIMER comes once
// `elapse` milliseconds have passed since it was set or last delivered, never queued twice;
// with a procedure DispatchMessageW calls it in place of the window procedure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);
