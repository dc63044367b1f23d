// Playing a level with the world's code for the tools.
#include "tools/qvn_play/LevelRun.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/update/LevelUpdate.h"
#include "tools/kelview/LevelFixture.h"
#include "tools/kelview/ViewSession.h"

namespace qvn_play {
namespace {

namespace fs = std::filesystem;

// A death is followed by the ghost's flight for this long before the respawn, as in the game.
constexpr float kRespawnDelay = 1.0f;
// The level's camera slot "OVERVIEW".
constexpr int kOverviewCamera = 8;

}  // namespace

DataSource::~DataSource() {
    std::error_code failure;
    if (!emptyFolder_.empty()) fs::remove_all(emptyFolder_, failure);
}

void DataSource::Apply(const std::string& dataOrArchive, kelview::ViewOptions& view) {
    std::error_code failure;
    if (fs::is_regular_file(dataOrArchive, failure)) {
        const fs::path folder = fs::temp_directory_path() / ("qvn_play-data-" + std::to_string(::getpid()));
        fs::create_directories(folder, failure);
        emptyFolder_ = folder.string();
        view.dataFolder = emptyFolder_;
        view.archives.push_back(dataOrArchive);
    } else {
        view.dataFolder = dataOrArchive;
    }
}

void SplitLevelName(const std::string& level, std::string& folder, std::string& name) {
    const fs::path path(level);
    folder = path.has_parent_path() ? path.parent_path().string() + "/" : std::string("levels/");
    name = path.stem().string();
}

void FrameOverview(const Level& level, kelview::ViewOptions& view) {
    const Vector3& eye = level.GetCameraEye(kOverviewCamera);
    const Vector3& target = level.GetCameraTarget(kOverviewCamera);
    if (eye.x == 0.0f && eye.y == 0.0f && eye.z == 0.0f) return;
    view.eyeGiven = view.targetGiven = true;
    view.eye = {eye.x, eye.y, eye.z};
    view.target = {target.x, target.y, target.z};
}

void LevelRun::Services::OnSphereCollected() {
    // As the game's controller does: the last key opens the exit portal.
    if (level != nullptr && level->keysCollected >= level->keyTotal) OpenExitPortal(*level, true);
}

LevelRun::~LevelRun() {
    SetWorldServices(nullptr);
    if (level_ != nullptr) Unload(*level_);
    delete level_;
    delete character_;
}

bool LevelRun::Load(const std::string& levelName, std::string& error) {
    SetWorldServices(&services_);
    services_.controller.playState = kPlayStatePlaying;
    // The tutorial signs go by the level's index: "level03" is index 2.
    const std::string stem = fs::path(levelName).stem().string();
    if (stem.rfind("level", 0) == 0) services_.controller.levelIndex = std::atoi(stem.c_str() + 5) - 1;
    character_ = new PlayerCharacter();
    level_ = new Level();
    character_->LoadModel();
    level_->character = character_;
    services_.level = level_;
    std::string folder, name;
    SplitLevelName(levelName, folder, name);
    if (LoadLevelFile(*level_, folder.c_str(), name.c_str()) == 0) {
        error = "the level " + folder + name + ".qvn did not load.";
        return false;
    }
    // The game lands the character once its fly-in ends; play starts from there.
    LandCharacter(*level_, *character_);
    return true;
}

void LevelRun::Restart() {
    ::Restart(*level_);
    SaveCheckpoint(*level_);
    LandCharacter(*level_, *character_);
    services_.controller.requestedState = 0;
    services_.restartAsked = false;
    deathTime_ = 0.0f;
}

void LevelRun::Step(std::uint32_t bits) {
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
                ::Restart(*level_);
                services_.restartAsked = false;
            } else {
                UpdateExitPortal(*level_);
            }
            controller.requestedState = 0;
            deathTime_ = 0.0f;
        }
    }
}

bool RenderLevelRun(kelview::ViewSession& session, const LevelRun& run, const kelview::ViewOptions& view,
                    platform::screen::Image& image, std::string& error) {
    auto* root = new KNode();
    kelview::AttachFixtureLevel(run.level(), *root);
    PlayerCharacter& character = run.character();
    if (character.mainModel != nullptr && character.mainModel->Parent() == nullptr)
        root->AddChildEx(character.mainModel, false);
    const bool drawn = session.Render(*root, view, &image, &error);
    kelview::DetachFixtureLevel(*root);
    root->Release();
    return drawn;
}

}  // namespace qvn_play
