// Retrieving messages: sent work first, then posted messages, WM_QUIT, WM_PAINT and
// WM_TIMER; waiting for them; translating keys into characters; dispatching; and waiting
// for kernel objects or input together.
#include "platform/user/Message.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/sync/Thread.h"
#include "platform/sync/Wait.h"
#include "platform/user/MessageDelivery.h"
#include "platform/user/Window.h"
#include "platform/user/WindowState.h"

namespace platform::user {

namespace {

// While a thread waits on a manual clock with timers set, each slice of real time counts
// as one pump, so that the clock (and the timers) move on.
constexpr int kManualClockSliceMs = 10;
constexpr int kPumpHookIntervalMs = 50;

std::atomic<void (*)()> pumpHooks[kMaxMessagePumpHooks];
std::mutex pumpHooksChange;

bool AnyPumpHook() {
    for (auto& hook : pumpHooks)
        if (hook.load() != nullptr) return true;
    return false;
}

void RunPumpHook() {
    for (auto& slot : pumpHooks)
        if (auto hook = slot.load()) hook();
}

struct Filter {
    HWND window;
    UINT first;
    UINT last;
};

// A filter window of (HWND)-1 takes only the messages posted to the thread itself.
HWND ThreadMessagesOnly() { return reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)); }

bool InRange(const Filter& filter, UINT message) {
    if (filter.first == 0 && filter.last == 0) return true;
    return message >= filter.first && message <= filter.last;
}

bool WindowMatchesLocked(WindowSystem& system, const Filter& filter, HWND window) {
    if (filter.window == nullptr) return true;
    if (filter.window == ThreadMessagesOnly()) return window == nullptr;
    return window != nullptr && IsWithinLocked(system, window, filter.window);
}

DWORD StatusOf(UINT message) {
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return QS_KEY;
    if (message == WM_MOUSEMOVE) return QS_MOUSEMOVE;
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) return QS_MOUSEBUTTON;
    if (message == WM_HOTKEY) return QS_HOTKEY;
    return QS_POSTMESSAGE;
}

bool TimerDue(const TimerRecord& timer, DWORD now) { return now - timer.lastTick >= timer.elapse; }

bool HasPaintLocked(WindowSystem& system, const MessageQueue& queue, const Filter& filter, HWND* window) {
    for (const auto& [value, record] : system.windows) {
        if (record->threadId != queue.ThreadId() || !record->updatePending || record->destroying) continue;
        if (!IsVisibleLocked(system, *record) || !WindowMatchesLocked(system, filter, record->handle)) continue;
        if (window != nullptr) *window = record->handle;
        return true;
    }
    return false;
}

// The kinds of input waiting in the queue; with `newOnly` posted messages count only when
// no retrieval has seen them yet.
DWORD QueueStatusLocked(WindowSystem& system, const MessageQueue& queue, bool newOnly) {
    DWORD status = 0;
    for (const auto& entry : queue.posted)
        if (!newOnly || entry.sequence > queue.seenSequence) status |= StatusOf(entry.message.message);
    if (queue.quitPending) status |= QS_POSTMESSAGE;
    if (!queue.sent.empty()) status |= QS_SENDMESSAGE;
    DWORD now = GetTickCount();
    for (const auto& timer : queue.timers)
        if (TimerDue(timer, now)) status |= QS_TIMER;
    Filter all{nullptr, 0, 0};
    if (HasPaintLocked(system, queue, all, nullptr)) status |= QS_PAINT;
    return status;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG made{};
    made.hwnd = window;
    made.message = message;
    made.wParam = wParam;
    made.lParam = lParam;
    made.time = GetTickCount();
    return made;
}

bool Retrieve(MessageQueue& queue, MSG& out, const Filter& filter, bool remove) {
    RunSentTasks(queue);
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    if (!queue.posted.empty()) queue.seenSequence = queue.posted.back().sequence;

    for (auto entry = queue.posted.begin(); entry != queue.posted.end(); ++entry) {
        const MSG& candidate = entry->message;
        if (!InRange(filter, candidate.message) || !WindowMatchesLocked(system, filter, candidate.hwnd)) continue;
        out = candidate;
        if (remove) queue.posted.erase(entry);
        return true;
    }
    if (queue.quitPending && InRange(filter, WM_QUIT)) {
        out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (remove) queue.quitPending = false;
        return true;
    }
    HWND painted = nullptr;
    if (InRange(filter, WM_PAINT) && HasPaintLocked(system, queue, filter, &painted)) {
        // Stays until the window validates its update region.
        out = MakeMessage(painted, WM_PAINT, 0, 0);
        return true;
    }
    if (InRange(filter, WM_TIMER)) {
        DWORD now = GetTickCount();
        for (auto timer = queue.timers.begin(); timer != queue.timers.end(); ++timer) {
            if (!TimerDue(*timer, now) || !WindowMatchesLocked(system, filter, timer->window)) continue;
            out = MakeMessage(timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->procedure));
            if (remove) {
                // Delivered: it waits a whole period again, and goes behind the others.
                TimerRecord fired = *timer;
                fired.lastTick = now;
                queue.timers.erase(timer);
                queue.timers.push_back(fired);
            }
            return true;
        }
    }
    return false;
}

// How long a waiting thread may sleep: until the next timer that the wait takes, on the real
// clock; in slices on a manual clock; and no longer than the pump hook's interval. Timers the
// wait does not take (another window, WM_TIMER outside the range) leave it asleep.
int WaitLimitMs(MessageQueue& queue, const Filter& filter, bool timersWanted) {
    int limit = -1;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        DWORD now = GetTickCount();
        long long soonest = -1;
        if (timersWanted && InRange(filter, WM_TIMER)) {
            for (const auto& timer : queue.timers) {
                if (!WindowMatchesLocked(system, filter, timer.window)) continue;
                long long left = static_cast<long long>(timer.elapse) - static_cast<long long>(now - timer.lastTick);
                left = std::max(0LL, left);
                soonest = soonest < 0 ? left : std::min(soonest, left);
            }
        }
        if (soonest >= 0) limit = clock::IsManual() ? kManualClockSliceMs : static_cast<int>(std::min(soonest, 0x7FFFFFFFLL));
    }
    if (AnyPumpHook() && (limit < 0 || limit > kPumpHookIntervalMs)) limit = kPumpHookIntervalMs;
    return limit;
}

bool CharacterOfKey(UINT key, WCHAR& character) {
    const auto& down = System().keysDown;
    bool shift = down[VK_SHIFT] || down[VK_LSHIFT] || down[VK_RSHIFT];
    bool control = down[VK_CONTROL] || down[VK_LCONTROL] || down[VK_RCONTROL];
    if (key >= 'A' && key <= 'Z') {
        if (control)
            character = static_cast<WCHAR>(key - 'A' + 1);
        else
            character = static_cast<WCHAR>(shift ? key : key - 'A' + 'a');
        return true;
    }
    if (key >= '0' && key <= '9') {
        character = static_cast<WCHAR>(key);
        return true;
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        character = static_cast<WCHAR>('0' + (key - VK_NUMPAD0));
        return true;
    }
    switch (key) {
        case VK_SPACE: character = u' '; return true;
        case VK_RETURN: character = u'\r'; return true;
        case VK_BACK: character = 0x08; return true;
        case VK_TAB: character = u'\t'; return true;
        case VK_ESCAPE: character = 0x1B; return true;
        case VK_MULTIPLY:
        case VK_TSTAR: character = u'*'; return true;
        case VK_TPOUND: character = u'#'; return true;
        case VK_ADD: character = u'+'; return true;
        case VK_SUBTRACT:
        case VK_OEM_MINUS: character = shift ? u'_' : u'-'; return true;
        case VK_DECIMAL:
        case VK_OEM_PERIOD: character = shift ? u'>' : u'.'; return true;
        case VK_OEM_COMMA: character = shift ? u'<' : u','; return true;
        case VK_OEM_PLUS: character = shift ? u'+' : u'='; return true;
        case VK_DIVIDE:
        case VK_OEM_2: character = shift ? u'?' : u'/'; return true;
        default: return false;
    }
}

// On a manual clock a wait for input alone, with a time-out, runs on the platform clock: the
// clock moves a pump step at a time (at least 1 ms) and the pump hooks play between steps, so
// that input a script times (a finger's moves, a hold's length) arrives at its exact tick and
// a run repeats. Input that other threads post is seen at each step.
DWORD WaitForInputOnManualClock(MessageQueue& queue, DWORD milliseconds, DWORD wakeMask, bool newOnly) {
    const DWORD start = GetTickCount();
    const DWORD step = std::max<DWORD>(clock::PumpStep(), 1);
    WindowSystem& system = System();
    for (;;) {
        RunPumpHook();
        {
            std::lock_guard<std::mutex> guard(system.mutex);
            if ((QueueStatusLocked(system, queue, newOnly) & wakeMask) != 0) return WAIT_OBJECT_0;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= milliseconds) return WAIT_TIMEOUT;
        clock::Advance(std::min(step, milliseconds - waited));
        std::this_thread::yield();
    }
}

DWORD WaitForInput(MessageQueue& queue, DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                   bool newOnly) {
    if (count == 0 && milliseconds != INFINITE && clock::IsManual())
        return WaitForInputOnManualClock(queue, milliseconds, wakeMask, newOnly);
    std::vector<Waitable*> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto* object = KernelObjectAs<Waitable>(handles[i]);
        if (object == nullptr) {
            for (Waitable* held : objects) held->ReleaseHandleRef();
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        object->AddHandleRef();
        objects.push_back(object);
    }
    objects.push_back(queue.Signal());
    WindowSystem& system = System();
    bool hasDeadline = milliseconds != INFINITE;
    long long deadline = SteadyNowMs() + (hasDeadline ? milliseconds : 0);
    DWORD outcome = WAIT_TIMEOUT;
    for (;;) {
        queue.Signal()->Lower();
        {
            std::lock_guard<std::mutex> guard(system.mutex);
            if ((QueueStatusLocked(system, queue, newOnly) & wakeMask) != 0) {
                outcome = WAIT_OBJECT_0 + count;
                break;
            }
        }
        int remaining = RemainingMs(hasDeadline, deadline);
        if (hasDeadline && remaining == 0) break;
        int limit = WaitLimitMs(queue, Filter{nullptr, 0, 0}, (wakeMask & QS_TIMER) != 0);
        if (limit >= 0 && (remaining < 0 || limit < remaining)) remaining = limit;
        DWORD waited = WaitForObjects(objects.data(), static_cast<DWORD>(objects.size()), false,
                                      remaining < 0 ? INFINITE : static_cast<DWORD>(remaining));
        if (waited == WAIT_FAILED) {
            outcome = WAIT_FAILED;
            break;
        }
        if (waited != WAIT_TIMEOUT && waited < WAIT_OBJECT_0 + count) {
            outcome = waited;
            break;
        }
        if (clock::IsManual()) clock::Pump();
        // The screen's input (and a script) arrives through the pump hooks.
        RunPumpHook();
    }
    for (DWORD i = 0; i < count; ++i) objects[i]->ReleaseHandleRef();
    return outcome;
}

}  // namespace

}  // namespace platform::user

using namespace platform::user;

BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((removeFlags & PM_NOYIELD) == 0) {
        platform::clock::Pump();
        RunPumpHook();
    }
    auto queue = CurrentQueue();
    return Retrieve(*queue, *message, {window, filterMin, filterMax}, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    if (message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    // A filter naming no window of this process could never match: waiting would never end.
    if (window != nullptr && window != ThreadMessagesOnly() && !FindLocal(window)) return -1;
    platform::clock::Pump();
    RunPumpHook();
    auto queue = CurrentQueue();
    Filter filter{window, filterMin, filterMax};
    for (;;) {
        if (Retrieve(*queue, *message, filter, true)) return message->message == WM_QUIT ? 0 : 1;
        int limit = WaitLimitMs(*queue, filter, true);
        queue->Wait(limit);
        if (limit >= 0 && platform::clock::IsManual()) platform::clock::Pump();
        RunPumpHook();
    }
}

BOOL TranslateMessage(const MSG* message) {
    if (message == nullptr || message->message != WM_KEYDOWN) return FALSE;
    WCHAR character = 0;
    {
        std::lock_guard<std::mutex> guard(System().mutex);
        if (!CharacterOfKey(static_cast<UINT>(message->wParam), character)) return FALSE;
    }
    // The character comes next, before any key message that followed the key-down.
    WindowSystem& system = System();
    std::shared_ptr<MessageQueue> queue = CurrentQueue();
    MSG typed = *message;
    typed.message = WM_CHAR;
    typed.wParam = character;
    {
        std::lock_guard<std::mutex> guard(system.mutex);
        if (message->hwnd != nullptr) {
            auto record = FindLocked(system, message->hwnd);
            if (!record) return FALSE;
            queue = QueueOfThreadLocked(system, record->threadId);
            if (!queue) return FALSE;
        }
        queue->PostFrontLocked(typed);
    }
    queue->Wake();
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* message) {
    if (message == nullptr) return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        procedure(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    if (message->hwnd == nullptr) return 0;
    WNDPROC procedure = nullptr;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        auto record = FindOrFailLocked(system, message->hwnd);
        if (!record) return 0;
        if (record->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
            return 0;
        }
        procedure = record->procedure;
    }
    return procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask) {
    return MsgWaitForMultipleObjectsEx(count, handles, milliseconds, wakeMask, waitAll ? MWMO_WAITALL : 0);
}

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                  DWORD flags) {
    if ((flags & MWMO_WAITALL) != 0 || count >= MAXIMUM_WAIT_OBJECTS || (count > 0 && handles == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    auto queue = CurrentQueue();
    DWORD outcome =
        WaitForInput(*queue, count, handles, milliseconds, wakeMask, (flags & MWMO_INPUTAVAILABLE) == 0);
    // What the wait saw counts as seen for the next wait without MWMO_INPUTAVAILABLE.
    {
        std::lock_guard<std::mutex> guard(System().mutex);
        if (!queue->posted.empty()) queue->seenSequence = queue->posted.back().sequence;
    }
    return outcome;
}

namespace platform {

bool AddMessagePumpHook(void (*hook)()) {
    if (hook == nullptr) return false;
    std::lock_guard<std::mutex> guard(user::pumpHooksChange);
    for (auto& slot : user::pumpHooks)
        if (slot.load() == hook) return true;
    for (auto& slot : user::pumpHooks) {
        if (slot.load() == nullptr) {
            slot.store(hook);
            return true;
        }
    }
    return false;
}

void RemoveMessagePumpHook(void (*hook)()) {
    std::lock_guard<std::mutex> guard(user::pumpHooksChange);
    for (auto& slot : user::pumpHooks)
        if (slot.load() == hook) slot.store(nullptr);
}

}  // namespace platform
