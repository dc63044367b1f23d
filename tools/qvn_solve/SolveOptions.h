// qvn_solve's command line: the data, the level, and the bounds of the search.
#pragma once

#include <string>

namespace qvn_solve {

struct SolveOptions {
    std::string data;   // a data folder or an archive
    std::string level;  // "level01", "customlevels/mine.qvn"
    std::string output; // the script file to write; empty: standard output
    long maxStates = 4000;    // settled states expanded before giving up
    long maxFrames = 9000;    // frames of play a solution may take (about five minutes)
    bool help = false;
};

// The options of argv[1] on; false with a sentence naming the mistake in `error`.
bool ParseSolveOptions(int argc, const char* const* argv, SolveOptions& options, std::string& error);

const char* SolveHelpText();

}  // namespace qvn_solve
