// Activation and focus inside the window system: activating a top-level window on its
// thread, the foreground hand-over between threads and processes, and the focus moves
// with their WM_ACTIVATE, WM_SETFOCUS and WM_KILLFOCUS.
#pragma once

#include <memory>

#include "platform/base/Types.h"
#include "platform/user/MessageQueue.h"

namespace platform::user {

// On the window's own thread: makes it the thread's active window and the handset's
// foreground window; the former active window gets WM_ACTIVATE (WA_INACTIVE), the window
// WM_ACTIVATE (WA_ACTIVE) and then the focus unless its WM_ACTIVATE placed the focus inside it.
void ActivateOnThisThread(HWND topLevel);
// On the window's own thread, when the foreground moved elsewhere: WM_ACTIVATE (WA_INACTIVE)
// and WM_KILLFOCUS, unless the window has come back to the front meanwhile.
void DeactivateOnThisThread(HWND window);
// On the window's own thread, when another thread or process brought it to the front.
void ActivateFromRequest(HWND window);
// Queued work for the window's thread: ActivateFromRequest (active) or DeactivateOnThisThread.
std::shared_ptr<SentTask> ActivationTask(HWND window, bool active);
// On the calling thread: moves the focus (WM_KILLFOCUS, then WM_SETFOCUS); gives the former.
HWND SetFocusOnThisThread(HWND window);
// Tells the thread of the former foreground window (of any process) that it lost the front.
void NotifyDeactivation(HWND former);
// The foreground window `leaving` is being hidden or destroyed: the next visible top-level
// window in z-order that can be activated comes to the front.
void ActivateNextTopLevel(HWND leaving);

}  // namespace platform::user
