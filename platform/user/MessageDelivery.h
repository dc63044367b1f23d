// Running work on the thread that owns a window: sent messages from other threads and
// processes wait in the owner's queue and run when it pumps; the sender waits and serves
// what is sent to it meanwhile, so two threads sending to each other cannot deadlock.
#pragma once

#include <functional>

#include "platform/base/Types.h"
#include "platform/user/MessageQueue.h"

namespace platform::user {

// Runs every task waiting in the calling thread's queue.
void RunSentTasks(MessageQueue& queue);

// Runs `work` on the thread of a window of this process (at once when that is the calling
// thread) and gives its result. False with ERROR_INVALID_WINDOW_HANDLE when the window or
// its thread is gone, or with ERROR_TIMEOUT after `timeoutMs` (INFINITE: no limit).
bool RunOnWindowThread(HWND window, std::function<LRESULT()> work, DWORD timeoutMs, LRESULT* result);

// Milliseconds left until `deadline` (a GetTickCount-free steady reading); -1 for none.
int RemainingMs(bool hasDeadline, long long deadlineMs);
long long SteadyNowMs();

}  // namespace platform::user
