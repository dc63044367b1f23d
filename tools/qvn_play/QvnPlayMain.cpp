// qvn_play: plays a level with the game world's own code and no game around it. It feeds the
// commands of an input script at their frames, steps the world at the game's fixed step and
// prints, frame by frame, where the character is and what the level asks of the game next;
// it can also write pictures of the play. `qvn_play --help` tells the command line.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <string>
#include <vector>

#include "engine/core/memory/StandardErrorLog.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/services/WorldServices.h"
#include "game/world/update/LevelUpdate.h"
#include "platform/screen/PngFile.h"
#include "tools/kelview/LevelFixture.h"
#include "tools/kelview/ViewSession.h"
#include "tools/qvn_play/PlayScript.h"
#include "tools/source_text/SourceText.h"

namespace {

namespace fs = std::filesystem;

constexpr float kStep = 0.033f;
// A death is followed by the ghost's flight for this long before the respawn, as in the game.
constexpr float kRespawnDelay = 1.0f;
// The level's camera slot "OVERVIEW", which frames the pictures when the level sets it.
constexpr int kOverviewCamera = 8;

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

// The game's controller record for the level, and a restart when the level asks for one.
class ToolServices : public WorldServices {
public:
    ControllerRecord& Controller() override { return controller; }
    // As the game's controller does: the last key opens the exit portal.
    void OnSphereCollected() override {
        if (level != nullptr && level->keysCollected >= level->keyTotal) OpenExitPortal(*level, true);
    }
    void RestartLevel() override { restartAsked = true; }
    DWORD PlaySoundEffect(int, bool, bool) override { return ++handles; }
    bool IsSoundPlaying(DWORD) override { return false; }
    void StopSound(DWORD) override {}
    void TriggerRumble() override {}
    std::int32_t RaiseOneLeafDoorCount() override { return ++oneLeafDoors; }
    std::int32_t RaiseTeskKillCount() override { return ++teskKills; }
    void GrantAward10() override {}
    void GrantAward11() override {}

    ControllerRecord controller;
    Level* level = nullptr;
    bool restartAsked = false;
    DWORD handles = 0;
    std::int32_t oneLeafDoors = 0;
    std::int32_t teskKills = 0;
};

const char* StateWord(const PlayerCharacter& character) {
    if (character.IsDead()) return "dead";
    if (character.IsInDeep()) return "exit";
    if (character.IsMoving()) return "air";
    if (character.IsWalking()) return "walk";
    return "idle";
}

// The level name as the loader takes it: folder "levels/" and the name without ".qvn".
void SplitLevel(const std::string& level, std::string& folder, std::string& name) {
    const fs::path path(level);
    folder = path.has_parent_path() ? path.parent_path().string() + "/" : std::string("levels/");
    name = path.stem().string();
}

class Player {
public:
    Player(const Options& options, kelview::ViewSession& session) : options_(options), session_(session) {}
    ~Player() {
        SetWorldServices(nullptr);
        if (level_ != nullptr) Unload(*level_);
        delete level_;
        delete character_;
    }

    bool Load(std::string& error) {
        SetWorldServices(&services_);
        services_.controller.playState = kPlayStatePlaying;
        // The tutorial signs go by the level's index: "level03" is index 2.
        const std::string stem = fs::path(options_.level).stem().string();
        if (stem.rfind("level", 0) == 0) services_.controller.levelIndex = std::atoi(stem.c_str() + 5) - 1;
        character_ = new PlayerCharacter();
        level_ = new Level();
        character_->LoadModel();
        level_->character = character_;
        services_.level = level_;
        std::string folder, name;
        SplitLevel(options_.level, folder, name);
        if (LoadLevelFile(*level_, folder.c_str(), name.c_str()) == 0) {
            error = "the level " + folder + name + ".qvn did not load.";
            return false;
        }
        // The game lands the character once its fly-in ends; play starts from there.
        LandCharacter(*level_, *character_);
        return true;
    }

    // One frame: the commands, the level, the character, the animations; the death's respawn.
    void Step(std::uint32_t bits) {
        character_->ApplyInput(bits);
        UpdateLevel(*level_, kStep);
        UpdatePlayer(*character_, kStep);
        if (KDB* database = CurrentKdb()) database->UpdateObjects(kStep);
        ControllerRecord& controller = services_.controller;
        if (controller.requestedState == kPlayStateReset) {
            deathTime_ += kStep;
            if (deathTime_ >= kRespawnDelay) {
                character_->Respawn();
                LandCharacter(*level_, *character_);
                if (services_.restartAsked) {
                    Restart(*level_);
                    services_.restartAsked = false;
                } else {
                    UpdateExitPortal(*level_);
                }
                controller.requestedState = 0;
                deathTime_ = 0.0f;
            }
        }
    }

    void Print(long frame) const {
        const Vector2 tile = WorldToTile(character_->position);
        std::printf("frame=%ld tile=%d,%d facing=%d state=%s next=%u\n", frame, static_cast<int>(tile.x),
                    static_cast<int>(tile.y), character_->facing, StateWord(*character_),
                    services_.controller.requestedState);
        if (options_.verbose)
            std::printf("  position=%.2f,%.2f,%.2f speeds=%.2f,%.2f grounded=%u blocked=%u walking=%u keys=%d/%d\n",
                        character_->position.x, character_->position.y, character_->position.z,
                        character_->lateralSpeed, character_->fallSpeed, character_->grounded, character_->blocked,
                        character_->walking, level_->keysCollected, level_->keyTotal);
    }

    bool Completed() const { return services_.controller.requestedState == kPlayStateComplete; }

    bool WritePicture(long frame, const kelview::ViewOptions& view, std::string& error) {
        auto* root = new KNode();
        kelview::AttachFixtureLevel(*level_, *root);
        if (character_->mainModel != nullptr && character_->mainModel->Parent() == nullptr)
            root->AddChildEx(character_->mainModel, false);
        platform::screen::Image image;
        const bool drawn = session_.Render(*root, view, &image, &error);
        kelview::DetachFixtureLevel(*root);
        root->Release();
        if (!drawn) return false;
        const std::string path = options_.pngFolder + "/frame_" + std::to_string(frame) + ".png";
        return platform::screen::WritePng(image, path, error);
    }

    // The overview camera of the level when it has one.
    void Frame(kelview::ViewOptions& view) const {
        const Vector3& eye = level_->GetCameraEye(kOverviewCamera);
        const Vector3& target = level_->GetCameraTarget(kOverviewCamera);
        if (eye.x == 0.0f && eye.y == 0.0f && eye.z == 0.0f) return;
        view.eyeGiven = view.targetGiven = true;
        view.eye = {eye.x, eye.y, eye.z};
        view.target = {target.x, target.y, target.z};
    }

private:
    const Options& options_;
    kelview::ViewSession& session_;
    ToolServices services_;
    Level* level_ = nullptr;
    PlayerCharacter* character_ = nullptr;
    float deathTime_ = 0.0f;
};

int Run(const Options& options) {
    std::string error;
    std::string text;
    std::vector<qvn_play::ScriptLine> script;
    if (!ReadSourceFile(options.script, text, error) || !qvn_play::ParsePlayScript(text, script, error)) {
        std::fprintf(stderr, "qvn_play: %s: %s\n", options.script.c_str(), error.c_str());
        return 1;
    }
    kelview::ViewOptions view;
    std::error_code failure;
    fs::path emptyData;
    if (fs::is_regular_file(options.data, failure)) {
        // An archive alone: an empty data folder beside it.
        emptyData = fs::temp_directory_path() / ("qvn_play-data-" + std::to_string(::getpid()));
        fs::create_directories(emptyData, failure);
        view.dataFolder = emptyData.string();
        view.archives.push_back(options.data);
    } else {
        view.dataFolder = options.data;
    }
    view.width = 400;
    view.height = 240;
    kelview::ViewSession session;
    bool started = session.Start(view, &error);
    if (started && options.pngEvery > 0) {
        fs::create_directories(options.pngFolder, failure);
        started = session.StartDevice(view, &error);
    }
    int status = 1;
    if (started) {
        Player player(options, session);
        if (player.Load(error)) {
            player.Frame(view);
            status = 3;
            for (long frame = 0; frame < options.frames; ++frame) {
                player.Step(qvn_play::BitsAtFrame(script, frame));
                player.Print(frame);
                if (options.pngEvery > 0 && frame % options.pngEvery == 0 && !player.WritePicture(frame, view, error)) {
                    status = 1;
                    break;
                }
                if (player.Completed()) {
                    status = 0;
                    break;
                }
            }
        }
    }
    if (status == 1) std::fprintf(stderr, "qvn_play: %s\n", error.c_str());
    if (!emptyData.empty()) fs::remove_all(emptyData, failure);
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
