// qvn_solve: finds the quickest input script that takes the character of a level from its
// spawn to the exit, with the game world's own code, and prints it for qvn_play.
// `qvn_solve --help` tells the command line.
#include <cstdio>
#include <fstream>
#include <string>

#include "engine/core/memory/StandardErrorLog.h"
#include "tools/kelview/ViewSession.h"
#include "tools/qvn_play/LevelRun.h"
#include "tools/qvn_solve/LevelSearch.h"
#include "tools/qvn_solve/SolveOptions.h"

namespace {

int Run(const qvn_solve::SolveOptions& options) {
    kelview::ViewOptions view;
    qvn_play::DataSource data;
    data.Apply(options.data, view);
    kelview::ViewSession session;
    std::string error;
    if (!session.Start(view, &error)) {
        std::fprintf(stderr, "qvn_solve: %s\n", error.c_str());
        return 1;
    }
    const qvn_solve::SearchResult result =
        qvn_solve::SearchLevel(options.level, qvn_solve::SearchBounds{options.maxStates, options.maxFrames});
    switch (result.outcome) {
    case qvn_solve::SearchOutcome::kSolved:
        break;
    case qvn_solve::SearchOutcome::kNoWay:
        std::fprintf(stderr, "qvn_solve: %s: %s\n", options.level.c_str(), result.error.c_str());
        return 3;
    case qvn_solve::SearchOutcome::kBoundReached:
        std::fprintf(stderr, "qvn_solve: %s: %s\n", options.level.c_str(), result.error.c_str());
        return 4;
    case qvn_solve::SearchOutcome::kFailed:
        std::fprintf(stderr, "qvn_solve: %s\n", result.error.c_str());
        return 1;
    }
    const std::string text = qvn_solve::FormatSolution(options.level, result);
    if (options.output.empty()) {
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "qvn_solve: %s could not be written.\n", options.output.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qvn_solve::SolveOptions options;
    std::string error;
    if (!qvn_solve::ParseSolveOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "qvn_solve: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(qvn_solve::SolveHelpText(), stdout);
        return 0;
    }
    // What the engine's loaders say about the data is what the level's author needs to read.
    SetLogStream(&StandardErrorLog());
    return Run(options);
}
