// The search for the quickest way through a level: from one resting state of the character to
// the next by one command, cheapest frames first, each state visited once. Every step is played
// by the game world's own code from the level's start, so what the search finds is what
// qvn_play replays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/qvn_play/PlayScript.h"

namespace qvn_solve {

struct SearchBounds {
    long maxStates = 4000;
    long maxFrames = 9000;
};

enum class SearchOutcome {
    kSolved,
    kNoWay,         // every reachable state was tried
    kBoundReached,  // states or frames ran out first
    kFailed,        // the level did not load
};

struct SearchResult {
    SearchOutcome outcome = SearchOutcome::kFailed;
    // The script: each command held over its frames.
    std::vector<qvn_play::ScriptLine> script;
    long frames = 0;       // frames played up to and with the one the level reports completion on
    long clockFrames = 0;  // from the first command to the character entering the portal
    std::uint32_t moves = 0;  // jumps and turns, as the level's logic rating counts them
    long statesExpanded = 0;
    long statesSeen = 0;
    long framesPlayed = 0;  // by the whole search
    std::string error;
};

// Searches the level with the engine already started on the data (a kelview session).
SearchResult SearchLevel(const std::string& level, const SearchBounds& bounds);

// The script text qvn_play reads, with comment lines that give the figures.
std::string FormatSolution(const std::string& level, const SearchResult& result);

}  // namespace qvn_solve
