// A level played with the game world's own code and no game around it: the world's services
// as a tool needs them, the character and the level, and one frame of play at the game's fixed
// step, with the death's respawn as the game does it. qvn_play, qvn_solve and the contact sheet
// share it, so that what the solver finds is what qvn_play replays.
#pragma once

#include <cstdint>
#include <string>

#include "game/world/services/WorldServices.h"
#include "platform/screen/Display.h"
#include "tools/kelview/ViewOptions.h"

class Level;
class PlayerCharacter;

namespace kelview {
class ViewSession;
}

namespace qvn_play {

// The game's fixed step.
constexpr float kStep = 0.033f;

// Where a tool's engine finds the data: a data folder as it is, or an archive alone (an empty
// data folder is made beside it and removed again by the destructor).
class DataSource {
public:
    DataSource() = default;
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;
    // Fills the view options' data folder and archives.
    void Apply(const std::string& dataOrArchive, kelview::ViewOptions& view);

private:
    std::string emptyFolder_;
};

// The level name as the loader takes it: folder "levels/" unless one is given, and the name
// without ".qvn".
void SplitLevelName(const std::string& level, std::string& folder, std::string& name);

// Points the view at the level's "OVERVIEW" camera when the level sets one.
void FrameOverview(const Level& level, kelview::ViewOptions& view);

class LevelRun {
public:
    LevelRun() = default;
    // Unloads the level and leaves the world without services.
    ~LevelRun();
    LevelRun(const LevelRun&) = delete;
    LevelRun& operator=(const LevelRun&) = delete;

    // Loads the level ("level01", "customlevels/mine.qvn") and lands the character as the game
    // does once its fly-in ends. False with a sentence in `error`.
    bool Load(const std::string& levelName, std::string& error);
    // Back to the start of the loaded level as a restart in the game does it, without loading
    // again: far quicker, and the same play for every level whose objects reset fully.
    void Restart();
    // One frame: the commands, the level, the character, the animations; the death's respawn.
    void Step(std::uint32_t bits);

    // The level asked the game for its completion (state 7).
    bool Completed() const { return services_.controller.requestedState == kPlayStateComplete; }
    std::uint32_t RequestedState() const { return services_.controller.requestedState; }
    Level& level() const { return *level_; }
    PlayerCharacter& character() const { return *character_; }

private:
    class Services : public WorldServices {
    public:
        ControllerRecord& Controller() override { return controller; }
        void OnSphereCollected() override;
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

    Services services_;
    Level* level_ = nullptr;
    PlayerCharacter* character_ = nullptr;
    float deathTime_ = 0.0f;
};

// The run's level and character as they stand, drawn by the session's render device.
bool RenderLevelRun(kelview::ViewSession& session, const LevelRun& run, const kelview::ViewOptions& view,
                    platform::screen::Image& image, std::string& error);

}  // namespace qvn_play
