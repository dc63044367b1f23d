// qvn_play's input scripts: which command the player gives on which frame.
//
//   # a comment; blank lines are skipped
//   12 key jump-up            # on frame 12 the jump key is pressed
//   30..34 tap jump-right     # the on-screen jump-right button is held on frames 30 to 34
//   50 key jump-left+jump-up  # several commands at once
//
// Command names: jump-left, jump-right, jump-up, turn-left, turn-right. A key and a tap give
// the character the same command bits; the script keeps which one it was for the log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvn_play {

struct ScriptLine {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::uint32_t bits = 0;
    bool touch = false;
};

// Frames above this are refused: no run is that long.
constexpr std::int64_t kMaximumFrame = 10'000'000;

// The lines of a script; false with a sentence naming the line in `error`.
bool ParsePlayScript(const std::string& text, std::vector<ScriptLine>& lines, std::string& error);
// The command bits of a frame: every line that covers it.
std::uint32_t BitsAtFrame(const std::vector<ScriptLine>& lines, std::int64_t frame);

}  // namespace qvn_play
