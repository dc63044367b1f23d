// Reading qvn_solve's command line.
#include "tools/qvn_solve/SolveOptions.h"

#include <cstdlib>
#include <vector>

namespace qvn_solve {
namespace {

// Bounds beyond these would only make a run that never ends.
constexpr long kMostStates = 10'000'000;
constexpr long kMostFrames = 1'000'000;

bool ParseBound(const char* text, long most, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && out > 0 && out <= most;
}

}  // namespace

const char* SolveHelpText() {
    return "usage: qvn_solve <data folder or archive> <level> [--max-states N] [--max-frames N] [--output <script>]\n"
           "\n"
           "Searches the level (\"level01\", or a name ending in .qvn such as customlevels/mine.qvn) with the\n"
           "game world's own code for the quickest way from the spawn to the exit, and prints it as an input\n"
           "script for qvn_play (or writes it to --output). The search goes from one resting state of the\n"
           "character to the next by one command (run a tile left or right, jump up, jump up and to a side,\n"
           "turn left or right, or wait), cheapest frames first, and never visits a state twice: the state is\n"
           "the character's tile, place in it and facing with every object's state.\n"
           "\n"
           "The script's first lines are comments; one reads\n"
           "  # solved frames=<n> clock=<frames> time=<seconds> moves=<jumps and turns> commands=<n> states=<n>\n"
           "where frames is how many frames qvn_play needs to see the level completed, and clock (in frames)\n"
           "and time (in seconds) run from the first command to the character entering the portal, as the\n"
           "game's clock does; moves are what the level's logic rating counts.\n"
           "\n"
           "--max-states N  gives up after expanding N states (default 4000).\n"
           "--max-frames N  ignores ways longer than N frames (default 9000).\n"
           "Exit status: 0 solved, 3 no way to the exit exists within the frames, 4 a bound was reached\n"
           "first, 1 the level could not run, 2 a wrong command line.\n";
}

bool ParseSolveOptions(int argc, const char* const* argv, SolveOptions& options, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] != nullptr ? argv[i] : "";
        if (word == "--help") {
            options.help = true;
            return true;
        }
        if (word == "--max-states" && i + 1 < argc) {
            if (!ParseBound(argv[++i], kMostStates, options.maxStates)) {
                error = "--max-states needs a number from 1 to " + std::to_string(kMostStates) + ".";
                return false;
            }
        } else if (word == "--max-frames" && i + 1 < argc) {
            if (!ParseBound(argv[++i], kMostFrames, options.maxFrames)) {
                error = "--max-frames needs a number from 1 to " + std::to_string(kMostFrames) + ".";
                return false;
            }
        } else if (word == "--output" && i + 1 < argc) {
            options.output = argv[++i];
            if (options.output.empty()) {
                error = "--output needs a file name.";
                return false;
            }
        } else if (word.rfind("--", 0) == 0) {
            error = "unknown or incomplete option " + word + ".";
            return false;
        } else {
            positional.push_back(word);
        }
    }
    if (positional.size() != 2 || positional[0].empty() || positional[1].empty()) {
        error = "expected a data folder or archive and a level (see --help).";
        return false;
    }
    options.data = positional[0];
    options.level = positional[1];
    return true;
}

}  // namespace qvn_solve
