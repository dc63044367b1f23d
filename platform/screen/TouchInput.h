// Touch and close requests on the handset screen, turned into window messages: a touch
// goes to the capture window, else to the window of this process under the finger, as
// WM_LBUTTONDOWN, WM_MOUSEMOVE and WM_LBUTTONUP with client coordinates.
#pragma once

#include "platform/base/Types.h"

namespace platform::screen {

// Screen coordinates, as the user sees the screen now. A touch on no window of this
// process, or on a disabled window, is dropped.
void TouchDown(int x, int y);
// While the finger is down the message carries MK_LBUTTON.
void TouchMove(int x, int y);
void TouchUp(int x, int y);

// The deepest visible window of this process under the point (top-level windows in
// z-order, then their children top first); null when there is none.
HWND WindowAtPoint(int x, int y);

// Posts WM_CLOSE to the program's top window: the unowned top-level window that owns the
// foreground window (or, when the foreground is not this process's, its topmost visible
// one). False when this process has no top-level window.
bool CloseTopWindow();

}  // namespace platform::screen
