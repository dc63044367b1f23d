// The message loop of a modal window run on the calling thread (the message box, the object
// model's dialogs): the window's procedure gives the answer, and the loop ends on it.
#pragma once

#include <optional>

#include "platform/base/Types.h"

namespace platform {

// Runs the calling thread's message loop until `answer` is set (not 0) or `window` is gone.
// A WM_QUIT met meanwhile ends the loop too: its exit code comes back, for the caller to post
// again (PostQuitMessage) for its own loop once the window is taken down.
std::optional<int> RunModalLoop(HWND window, const int& answer);

// For the modal window's procedure: sets `answer` to `value` and wakes the loop, which may be
// waiting for a message.
void AnswerModal(HWND window, int& answer, int value);

}  // namespace platform
