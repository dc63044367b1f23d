// Reading qvn_play's command line.
#include "tools/qvn_play/PlayOptions.h"

#include <cstdlib>
#include <vector>

#include "tools/qvn_play/PlayScript.h"

namespace qvn_play {
namespace {

bool ParseCount(const char* text, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && out > 0 && out <= kMaximumFrame;
}

}  // namespace

const char* PlayHelpText() {
    return "usage: qvn_play <data folder or archive> <level> --input <script> --frames N [--png-every K <folder>]\n"
           "                [--verbose]\n"
           "\n"
           "Loads levels/<level>.qvn (\"level01\", or a name ending in .qvn) with the game world's code, gives\n"
           "the character the script's commands, steps the world N times at 0.033 s and prints one line a frame:\n"
           "  frame=<n> tile=<column>,<row> facing=<0-3> state=<idle|walk|air|dead|exit> next=<state>\n"
           "next is the level's request to the game: 7 once the character has left through the exit portal,\n"
           "10 after a death (the tool then respawns the character at its checkpoint one second later).\n"
           "The run ends early once next is 7. The exit status is 0 when the level was completed, 3 when not,\n"
           "1 when it could not run, 2 for a wrong command line.\n"
           "\n"
           "Input script, one line a command:\n"
           "  # a comment; blank lines are skipped\n"
           "  12 key jump-up            on frame 12 the key for jumping up is pressed\n"
           "  30..34 tap jump-right     the on-screen jump-right button is held on frames 30 to 34\n"
           "  50 key jump-left+jump-up  several commands at once\n"
           "Commands: jump-left, jump-right, jump-up, turn-left, turn-right. Frames count from 0.\n"
           "\n"
           "--png-every K <folder> writes <folder>/frame_<n>.png every K frames (headless rendering).\n"
           "--verbose adds a line a frame with the character's position, speeds and flags and the keys taken.\n";
}

bool ParsePlayOptions(int argc, const char* const* argv, PlayOptions& options, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] != nullptr ? argv[i] : "";
        if (word == "--input" && i + 1 < argc) {
            options.script = argv[++i];
            if (options.script.empty()) {
                error = "--input needs a script file.";
                return false;
            }
        } else if (word == "--frames" && i + 1 < argc) {
            if (!ParseCount(argv[++i], options.frames)) {
                error = "--frames needs a positive number of frames.";
                return false;
            }
        } else if (word == "--png-every" && i + 2 < argc) {
            if (!ParseCount(argv[++i], options.pngEvery)) {
                error = "--png-every needs a positive number of frames.";
                return false;
            }
            options.pngFolder = argv[++i];
            if (options.pngFolder.empty()) {
                error = "--png-every needs a folder for the pictures.";
                return false;
            }
        } else if (word == "--verbose") {
            options.verbose = true;
        } else if (word.rfind("--", 0) == 0) {
            error = "unknown or incomplete option " + word + ".";
            return false;
        } else {
            positional.push_back(word);
        }
    }
    if (positional.size() != 2 || positional[0].empty() || positional[1].empty() || options.script.empty() ||
        options.frames < 0) {
        error = "expected a data folder or archive, a level, --input and --frames (see --help).";
        return false;
    }
    options.data = positional[0];
    options.level = positional[1];
    return true;
}

}  // namespace qvn_play
