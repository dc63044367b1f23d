// Plays a parsed HANDSET_SCRIPT into this process: each event when the platform clock has
// moved its time past the start of the script. Called from the message pump.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "platform/screen/HandsetScript.h"

namespace platform::screen {

class ScriptPlayer {
public:
    // `name` is the script's file name for messages; screenshot files are made absolute
    // against the current directory now, so that a later change of directory does not move
    // them.
    ScriptPlayer() = default;
    ScriptPlayer(std::string name, std::vector<ScriptEvent> events, DWORD startTick);

    // Reads and parses the file; false with a message naming the file (and the line).
    static bool Load(const std::string& path, DWORD startTick, ScriptPlayer& player, std::string& error);

    // Plays every event due at `nowTick`, in order. A screenshot that cannot be written is
    // reported on stderr with the script's line, and the script goes on.
    void PlayDue(DWORD nowTick);
    bool Finished() const { return next_ >= events_.size(); }

private:
    void Play(const ScriptEvent& event);

    std::string name_;
    std::vector<ScriptEvent> events_;
    DWORD startTick_ = 0;
    std::size_t next_ = 0;
};

}  // namespace platform::screen
