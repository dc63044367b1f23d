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
#include "tools/qvn_play/PlayOptions.h"
#include "tools/qvn_play/PlayScript.h"
#include "tools/source_text/SourceText.h"

namespace {

namespace fs = std::filesystem;

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

int Run(const qvn_play::PlayOptions& options) {
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
            std::fputs(qvn_play::PlayHelpText(), stdout);
            return 0;
        }
    qvn_play::PlayOptions options;
    std::string error;
    if (!qvn_play::ParsePlayOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "qvn_play: %s\n", error.c_str());
        return 2;
    }
    // What the engine's loaders say about the data is what the level's author needs to read.
    SetLogStream(&StandardErrorLog());
    return Run(options);
}
