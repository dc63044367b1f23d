// SetTimer and KillTimer: timers live in the queue of the thread that owns their window (or
// that set them), which makes WM_TIMER from them when it is polled.
#include "platform/user/Timer.h"

#include <algorithm>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/sync/Thread.h"
#include "platform/user/WindowState.h"

using namespace platform::user;

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    WindowSystem& system = System();
    std::shared_ptr<MessageQueue> queue;
    UINT_PTR result = 0;
    {
        auto current = CurrentQueue();
        std::lock_guard<std::mutex> guard(system.mutex);
        if (window != nullptr) {
            auto record = FindOrFailLocked(system, window);
            if (!record) return 0;
            queue = QueueOfThreadLocked(system, record->threadId);
            if (!queue) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return 0;
            }
        } else {
            queue = current;
            // A thread timer keeps its id when it is set again; a new one gets a fresh id.
            bool known = id != 0 && std::any_of(queue->timers.begin(), queue->timers.end(), [&](const TimerRecord& t) {
                             return t.window == nullptr && t.id == id;
                         });
            if (!known) {
                do {
                    id = queue->nextTimerId++;
                } while (id == 0 || std::any_of(queue->timers.begin(), queue->timers.end(), [&](const TimerRecord& t) {
                             return t.window == nullptr && t.id == id;
                         }));
            }
        }
        auto& timers = queue->timers;
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const TimerRecord& t) { return t.window == window && t.id == id; }),
                     timers.end());
        TimerRecord timer;
        timer.window = window;
        timer.id = id;
        timer.elapse = std::max<UINT>(elapse, 1);
        timer.procedure = procedure;
        timer.lastTick = GetTickCount();
        timers.push_back(timer);
        result = window != nullptr && id == 0 ? 1 : id;
    }
    // A waiting thread recomputes how long it may sleep.
    queue->Wake();
    return result;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    std::shared_ptr<MessageQueue> queue;
    if (window != nullptr) {
        auto record = FindOrFailLocked(system, window);
        if (!record) return FALSE;
        queue = QueueOfThreadLocked(system, record->threadId);
    } else {
        queue = QueueOfThreadLocked(system, GetCurrentThreadId());
    }
    if (queue) {
        auto& timers = queue->timers;
        auto found = std::find_if(timers.begin(), timers.end(),
                                  [&](const TimerRecord& t) { return t.window == window && t.id == id; });
        if (found != timers.end()) {
            timers.erase(found);
            return TRUE;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
