// qvn_play's command line: the data, the level, the input script, how many frames to play and
// where pictures of the play go.
#pragma once

#include <string>

namespace qvn_play {

struct PlayOptions {
    std::string data;    // a data folder or an archive
    std::string level;   // "level01", "customlevels/mine.qvn"
    std::string script;  // the input script
    long frames = -1;
    long pngEvery = 0;  // 0: no pictures
    std::string pngFolder;
    bool verbose = false;
};

// The options of argv[1] on (--help is the caller's to look for first); false with a sentence
// naming the mistake in `error`.
bool ParsePlayOptions(int argc, const char* const* argv, PlayOptions& options, std::string& error);

const char* PlayHelpText();

}  // namespace qvn_play
