// qvn_play: plays a level with the game world's own code and no game around it. It feeds the
// commands of an input script at their frames, steps the world at the game's fixed step and
// prints, frame by frame, where the character is and what the level asks of the game next;
// it can also write pictures of the play. `qvn_play --help` tells the command line.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/memory/StandardErrorLog.h"
#include "game/world/level/Level.h"
#include "game/world/player/PlayerCharacter.h"
#include "platform/screen/PngFile.h"
#include "tools/kelview/ViewSession.h"
#include "tools/qvn_play/LevelRun.h"
#include "tools/qvn_play/PlayScript.h"
#include "tools/source_text/SourceText.h"

namespace {

namespace fs = std::filesystem;

const char kHelp[] =
    "usage: qvn_play <data folder or archive> <level> --input <script> --frames N [--png-every K <folder>]\n"
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

struct Options {
    std::string data;
    std::string level;
    std::string script;
    long frames = -1;
    long pngEvery = 0;
    std::string pngFolder;
    bool verbose = false;
};

bool ParseCount(const char* text, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && out > 0 && out <= qvn_play::kMaximumFrame;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--input" && i + 1 < argc) {
            options.script = argv[++i];
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
        } else if (word == "--verbose") {
            options.verbose = true;
        } else if (word.rfind("--", 0) == 0) {
            error = "unknown or incomplete option " + word + ".";
            return false;
        } else {
            positional.push_back(word);
        }
    }
    if (positional.size() != 2 || options.script.empty() || options.frames < 0) {
        error = "expected a data folder or archive, a level, --input and --frames (see --help).";
        return false;
    }
    options.data = positional[0];
    options.level = positional[1];
    return true;
}

const char* StateWord(const PlayerCharacter& character) {
    if (character.IsDead()) return "dead";
    if (character.IsInDeep()) return "exit";
    if (character.IsMoving()) return "air";
    if (character.IsWalking()) return "walk";
    return "idle";
}

void Print(const qvn_play::LevelRun& run, long frame, bool verbose) {
    const PlayerCharacter& character = run.character();
    const Level& level = run.level();
    const Vector2 tile = WorldToTile(character.position);
    std::printf("frame=%ld tile=%d,%d facing=%d state=%s next=%u\n", frame, static_cast<int>(tile.x),
                static_cast<int>(tile.y), character.facing, StateWord(character), run.RequestedState());
    if (verbose)
        std::printf("  position=%.2f,%.2f,%.2f speeds=%.2f,%.2f grounded=%u blocked=%u walking=%u keys=%d/%d\n",
                    character.position.x, character.position.y, character.position.z, character.lateralSpeed,
                    character.fallSpeed, character.grounded, character.blocked, character.walking,
                    level.keysCollected, level.keyTotal);
}

bool WritePicture(const qvn_play::LevelRun& run, kelview::ViewSession& session, long frame,
                  const kelview::ViewOptions& view, const std::string& folder, std::string& error) {
    platform::screen::Image image;
    if (!qvn_play::RenderLevelRun(session, run, view, image, error)) return false;
    const std::string path = folder + "/frame_" + std::to_string(frame) + ".png";
    return platform::screen::WritePng(image, path, error);
}

int Run(const Options& options) {
    std::string error;
    std::string text;
    std::vector<qvn_play::ScriptLine> script;
    if (!ReadSourceFile(options.script, text, error) || !qvn_play::ParsePlayScript(text, script, error)) {
        std::fprintf(stderr, "qvn_play: %s: %s\n", options.script.c_str(), error.c_str());
        return 1;
    }
    kelview::ViewOptions view;
    qvn_play::DataSource data;
    data.Apply(options.data, view);
    view.width = 400;
    view.height = 240;
    kelview::ViewSession session;
    bool started = session.Start(view, &error);
    if (started && options.pngEvery > 0) {
        std::error_code failure;
        fs::create_directories(options.pngFolder, failure);
        started = session.StartDevice(view, &error);
    }
    int status = 1;
    if (started) {
        qvn_play::LevelRun run;
        if (run.Load(options.level, error)) {
            qvn_play::FrameOverview(run.level(), view);
            status = 3;
            for (long frame = 0; frame < options.frames; ++frame) {
                run.Step(qvn_play::BitsAtFrame(script, frame));
                Print(run, frame, options.verbose);
                if (options.pngEvery > 0 && frame % options.pngEvery == 0 &&
                    !WritePicture(run, session, frame, view, options.pngFolder, error)) {
                    status = 1;
                    break;
                }
                if (run.Completed()) {
                    status = 0;
                    break;
                }
            }
        }
    }
    if (status == 1) std::fprintf(stderr, "qvn_play: %s\n", error.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "qvn_play: %s\n", error.c_str());
        return 2;
    }
    // What the engine's loaders say about the data is what the level's author needs to read.
    SetLogStream(&StandardErrorLog());
    return Run(options);
}
