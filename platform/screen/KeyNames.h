// Key names of the handset: the names a HANDSET_SCRIPT uses, and the desktop keys that the
// desktop window turns into handset keys.
//
// Script names (case ignored): A-Z, 0-9, LEFT, RIGHT, UP, DOWN, RETURN, ESCAPE, SPACE, TAB,
// BACK, DELETE, SHIFT, CONTROL, ALT, F1-F24, and the handset's own keys: SOFT1, SOFT2,
// TALK, END, HOME, ACTION, VOLUMEUP, VOLUMEDOWN, STAR, POUND, APP1-APP6.
//
// Desktop keys (by their SDL names):
//   letters, digits (the keypad's too)   -> the same letter or digit
//   arrows, Return / keypad Enter, Escape, Space, Tab, Backspace, Delete
//   Shift, Ctrl, Alt (left or right)     -> SHIFT, CONTROL, ALT
//   F1-F12                               -> F1-F12; on the handset F1 and F2 are the soft
//                                          keys, F3 TALK, F4 END, F6 and F7 the volume
//   PageUp                               -> TALK (green key)
//   PageDown, End                        -> END (red key)
//   Home, left Windows key               -> HOME
#pragma once

#include <string_view>

#include "platform/base/Types.h"

namespace platform::screen {

// The virtual key of a script key name; 0 when the name is unknown.
UINT VirtualKeyOfName(std::string_view name);
// The virtual key of a desktop key by its SDL name ("Left", "Return", "PageUp", "A");
// 0 for a key the handset lacks.
UINT VirtualKeyOfDesktopKey(std::string_view desktopName);

}  // namespace platform::screen
