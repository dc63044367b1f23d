// HANDSET_SCRIPT: a file of timed input and observations played into the program, one
// command a line, times in milliseconds from the start of the script:
//   at <ms> key down|up|press <KEY>     (names: see KeyNames.h)
//   at <ms> tap <x> <y>                 (a touch down and up at one point)
//   at <ms> down|move|up <x> <y>        (screen coordinates as the user sees the screen)
//   at <ms> tilt <x> <y> <z>            (the accelerometer's three axes, in g)
//   at <ms> tvout on|off [<mode>]       (the TV-out connector and its video mode)
//   at <ms> power off|on                (the power key: the system suspends or comes back)
//   at <ms> state <ROOT>\<key>\<value> <number>  (a DWORD state value; ROOT HKLM or HKCU)
//   at <ms> screenshot <file.png>       (relative to the current directory)
//   at <ms> close                       (asks the program's top window to close)
//   # a comment (a line whose first non-blank character is '#'), and blank lines
// Events are played in time order; events of the same time in the order of their lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

namespace platform::screen {

enum class ScriptAction {
    KeyDown,
    KeyUp,
    KeyPress,
    Tap,
    TouchDown,
    TouchMove,
    TouchUp,
    Tilt,
    Screenshot,
    Close,
    TvOut,
    Power,
    State,
};

struct ScriptEvent {
    DWORD atMs = 0;
    ScriptAction action = ScriptAction::Close;
    int line = 0;  // 1-based, for messages
    UINT virtualKey = 0;
    int x = 0;
    int y = 0;
    float tilt[3] = {0, 0, 0};
    std::string file;  // the screenshot's file as written; the state value's path
    bool on = false;   // tvout, power
    int videoMode = -1;  // tvout: -1 when not given
    DWORD number = 0;    // state
};

// The handset's own events (tvout, power, state) are played by the device area, which
// registers here; without a handler they are reported on standard error and skipped.
using HandsetEventHandler = void (*)(const ScriptEvent& event);
void SetHandsetEventHandler(HandsetEventHandler handler);

// Largest time and coordinate a script may give.
constexpr DWORD kMaxScriptMs = 0x7FFFFFFF;
constexpr int kMaxScriptCoordinate = 32767;
// Scripts are small; a larger file is refused rather than read.
constexpr std::size_t kMaxScriptBytes = 4u << 20;

// Parses the whole text. On the first bad line gives false and a message naming the file
// and the line: "script.txt:3: unknown command 'jump'."; `events` is then left empty.
bool ParseHandsetScript(std::string_view text, std::string_view fileName, std::vector<ScriptEvent>& events,
                        std::string& error);

}  // namespace platform::screen
