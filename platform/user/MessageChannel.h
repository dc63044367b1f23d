// Window messages between the processes of the handset: each process with windows listens
// on a Unix socket named after its process id; a message to another process's window is
// written there, delivered by the listener to the window's thread and answered when the
// window procedure has run.
#pragma once

#include "platform/base/Types.h"
#include "platform/user/MessageTypes.h"

namespace platform::user::channel {

// Starts this process's listener (once).
void EnsureListening();

// Each gives false with the last error set: ERROR_INVALID_WINDOW_HANDLE when the window or
// its process is gone, ERROR_INVALID_PARAMETER for a message that cannot travel,
// ERROR_TIMEOUT when a send ran out of time.
bool PostToProcess(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Serves the messages sent to the calling thread while it waits for the answer.
bool SendToProcess(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, LRESULT* result);
// Asks the window's process to activate it (the foreground was given to it) or to deactivate
// it (the foreground moved away).
bool NotifyActivation(HWND window, bool active);

}  // namespace platform::user::channel
