// The flow's world over the game world: the in-game controller loads a level file through it,
// the held step button walks the character over the sphere to the opened portal, and the exit
// completes the level in the profile; a death goes through the reset state with the ghost's
// flight back to the checkpoint; a world cut-scene is played on its stage and walked out of;
// a missing file leaves play; and the world's calls reach the controller and the profile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/app/KeyStates.h"
#include "game/flow/ingame/IngameController.h"
#include "game/play/WorldPlayWorld.h"
#include "game/world/level/Level.h"
#include "game/world/player/PlayerCharacter.h"
#include "tests/game/flow/FlowFakes.h"
#include "tests/game/play/ProfileProbe.h"
#include "tests/game/world/CharacterTestSupport.h"

namespace {

constexpr float kFrame = 0.033f;

// A corridor on row 1 over the floor of row 0: the character starts at column 1, the sphere
// lies at column 3 and the exit portal stands at column 5.
const char kCorridor[] =
    "LEVEL\n{\nSIZE 7 3\nROW 5 5 5 5 5 5 5\nROW 5 99 99 99 99 99 5\nROW 5 5 5 5 5 5 5\n"
    "SPAWNPOINT 1 1\nKEY 3 1\nEXITPOINT UP 5 1\nSTATSTIME 30\nSTATSLOGIC 15\n}\n";

// A corridor on row 7 whose floor has a hole at column 3 over a drop of six tiles, more than a
// fall the character survives.
const char kPit[] =
    "LEVEL\n{\nSIZE 7 9\nROW 5 5 5 5 5 5 5\nROW 5 99 99 99 99 99 5\nROW 5 99 99 99 99 99 5\n"
    "ROW 5 99 99 99 99 99 5\nROW 5 99 99 99 99 99 5\nROW 5 99 99 99 99 99 5\nROW 5 5 5 99 5 5 5\n"
    "ROW 5 99 99 99 99 99 5\nROW 5 5 5 5 5 5 5\nSPAWNPOINT 1 7\nEXITPOINT UP 5 7\n}\n";

class WorldPlayWorldTest : public world_test::CharacterTest {
protected:
    void SetUp() override {
        CharacterTest::SetUp();
        std::filesystem::create_directories(DataPath("levels"));
        AddCharacterModels();
        WriteCharacterAnimations();
        world_ = new WorldPlayWorld();
        SetPlayWorld(world_);
        SetPlayHud(&hud_);
        profile_ = play_test::NewProfile();
        controller_ = new IngameController(host_);
        ASSERT_EQ(controller_->Prepare(), 0);
    }
    void TearDown() override {
        delete controller_;
        play_test::DeleteProfile(profile_);
        SetPlayHud(nullptr);
        SetPlayWorld(nullptr);
        delete world_;
        CharacterTest::TearDown();
    }

    // Frames until the controller is in `state` (or the frames run out); the frames taken.
    int RunUntil(std::int32_t state, int frames) {
        for (int i = 0; i < frames; ++i) {
            if (controller_->state == state) return i;
            controller_->Update(kFrame);
        }
        return frames;
    }
    // Holds the touch on an on-screen button for this frame.
    void Hold(PlayButton button) {
        float u = 0.0f;
        float v = 0.0f;
        hud_.ButtonCentre(button, u, v);
        host_.keys[kPenKey] = kKeyHeld;
        host_.touchX = u * kGameScreenWidth;
        host_.touchY = v * kGameScreenHeight;
    }
    void Lift() { host_.keys[kPenKey] = kKeyUp; }
    // Loads level index `level` as the flow does, past the fly-in and a tutorial's page.
    void PlayLevel(std::int32_t level) {
        controller_->SelectLevel(level);
        controller_->pendingState = kPlayLoad;
        controller_->Update(0.0f);
        ASSERT_EQ(controller_->pendingState, kPlayFlyIn) << "the level loaded";
        RunUntil(kPlayTutorialPage, 40);
        if (controller_->state == kPlayTutorialPage) {
            host_.keys[kPenKey] = kKeyReleased;
            RunUntil(kPlayPlaying, 40);
            Lift();
        }
        ASSERT_EQ(controller_->state, kPlayPlaying);
        controller_->stateTimer = 1.0f;
    }
    // Holds a button, frame by frame, until the controller leaves play or the frames run out.
    void HoldInPlay(PlayButton button, int frames) {
        for (int i = 0; i < frames && controller_->state == kPlayPlaying; ++i) {
            Hold(button);
            controller_->Update(kFrame);
        }
        Lift();
    }

    flow_test::RecordingHud hud_;
    flow_test::FakeScreenHost host_;
    PlayerProfile* profile_ = nullptr;
    WorldPlayWorld* world_ = nullptr;
    IngameController* controller_ = nullptr;
};

TEST_F(WorldPlayWorldTest, TheHeldStepButtonWalksOverTheSphereIntoThePortalAndTheProfileRecordsTheLevel) {
    WriteData("levels/level09.qvn", kCorridor);
    play_test::MarkCutsceneSeen(*profile_, 1);
    PlayLevel(8);
    const LevelFacts before = world_->Level();
    EXPECT_EQ(before.sphereTotal, 1);
    EXPECT_FLOAT_EQ(before.parTime, 30.0f);
    EXPECT_FLOAT_EQ(before.parLogic, 15.0f);
    EXPECT_FALSE(world_->IsExitPortalOpen());

    HoldInPlay(kButtonStepRight, 300);
    EXPECT_EQ(world_->Level().spheresCollected, 1);
    EXPECT_TRUE(world_->IsExitPortalOpen()) << "the last sphere opened the portal";
    ASSERT_EQ(controller_->state, kPlayComplete) << "the exit completed the level";
    EXPECT_EQ(controller_->lastCompleted, 8);
    EXPECT_EQ(play_test::LevelDone(*profile_, 8), 1);
    EXPECT_NE(play_test::Medal(*profile_, 8), 0);
    EXPECT_GT(controller_->elapsedCopy, 0.0f);
    // The world's request is taken once: once the banners are gone play runs on to the results.
    hud_.banners.clear();
    EXPECT_LT(RunUntil(kPlayResults, 100), 100);
}

TEST_F(WorldPlayWorldTest, ADeathResetsThroughTheGhostsFlightAndPlayGoesOnFromTheCheckpoint) {
    WriteData("levels/level09.qvn", kPit);
    play_test::MarkCutsceneSeen(*profile_, 1);
    PlayLevel(8);
    // A first step right, then standing: the checkpoint is the tile the walk reached.
    HoldInPlay(kButtonStepRight, 200);
    ASSERT_EQ(controller_->state, kPlayReset) << "the fall into the pit is fatal";
    EXPECT_NE(world_->Character().flags & kCharacterLost, 0u);
    int frames = 0;
    bool flew = false;
    while (controller_->state == kPlayReset && frames++ < 600) {
        controller_->Update(kFrame);
        flew = flew || (world_->Character().flags & kCharacterRespawn) != 0;
    }
    EXPECT_TRUE(flew) << "the ghost flew back after a second";
    ASSERT_EQ(controller_->state, kPlayPlaying);
    const CharacterFacts after = world_->Character();
    EXPECT_EQ(after.flags & (kCharacterLost | kCharacterRespawn | kCharacterFallDone), 0u);
    const Vector2 tile = WorldToTile(after.position);
    EXPECT_FLOAT_EQ(tile.y, 7.0f) << "back on the corridor";
    EXPECT_LT(tile.x, 3.0f);
}

TEST_F(WorldPlayWorldTest, ALossBeforeTheFirstMoveRestartsTheAttemptFromTheStart) {
    WriteData("levels/level09.qvn", kCorridor);
    play_test::MarkCutsceneSeen(*profile_, 1);
    PlayLevel(8);
    PlayerCharacter& character = *world_->LoadedCharacter();
    const Vector3 start = character.position;
    // Lost where it stands, before the player touched anything: the ghost has nowhere to go
    // back to, so the landing asks the controller for a restart, which comes back into the
    // world while the landing is still under way.
    character.dead = 1;
    RunUntil(kPlayReset, 5);
    ASSERT_EQ(controller_->state, kPlayReset);
    RunUntil(kPlayPlaying, 600);
    ASSERT_EQ(controller_->state, kPlayPlaying);
    EXPECT_EQ(character.dead, 0u);
    EXPECT_EQ(character.ghostMode, 0u);
    EXPECT_FLOAT_EQ(character.position.x, start.x);
    EXPECT_FLOAT_EQ(character.position.y, start.y);
    EXPECT_EQ(world_->Level().spheresCollected, 0);
    // Play goes on normally from there.
    HoldInPlay(kButtonStepRight, 300);
    EXPECT_EQ(controller_->state, kPlayComplete);
}

TEST_F(WorldPlayWorldTest, AWorldCutsceneIsPlayedOnItsStageAndWalkedOutOfIntoTheLevel) {
    WriteData("levels/levelcut.qvn", kCorridor);
    WriteData("cutscenes/world01.cut",
              "CUTSCENE\n{\nTALK BRAM CONFUSED CUT_1 CAM_BRAM_NEAR_1\nTALK BRAM HAPPY CUT_2 CAM_OVERVIEW\n}\n");
    controller_->SelectLevel(0);
    controller_->pendingState = kPlayLoad;
    controller_->Update(0.0f);
    ASSERT_EQ(controller_->pendingState, kPlayCutscene);
    controller_->Update(kFrame);
    EXPECT_EQ(world_->Level().shotCount, 2);
    EXPECT_TRUE(world_->IsExitPortalOpen()) << "the stage's portal stands open";
    EXPECT_NE(world_->Character().flags & kCharacterShown, 0u);
    EXPECT_EQ(world_->Record().cutsceneStage, 1u);
    // A release turns to the second and last shot, the next one ends the scene.
    controller_->stateTimer = 1.0f;
    host_.keys[kPenKey] = kKeyReleased;
    controller_->Update(kFrame);
    EXPECT_EQ(controller_->cutsceneShot, 1);
    EXPECT_EQ(world_->Record().cutsceneEntry, 1);
    controller_->Update(kFrame);
    EXPECT_EQ(controller_->cutsceneShot, 2);
    EXPECT_EQ(world_->Character().flags & kCharacterShown, 0u);
    Lift();
    // The character walks right into the portal on its own, which ends the scene.
    RunUntil(kPlayComplete, 400);
    ASSERT_EQ(controller_->state, kPlayComplete);
    EXPECT_TRUE(play_test::CutsceneSeen(*profile_, 0));
    ASSERT_FALSE(host_.requested.empty());
    EXPECT_EQ(host_.requested.back(), kScreenLevelLoading);
}

TEST_F(WorldPlayWorldTest, AMissingLevelFileLeavesPlayAndAnUnloadedWorldAnswersNothing) {
    play_test::MarkCutsceneSeen(*profile_, 1);
    controller_->SelectLevel(9);
    controller_->pendingState = kPlayLoad;
    controller_->Update(0.0f);
    EXPECT_EQ(controller_->pendingState, kPlayLeave);
    EXPECT_FALSE(world_->HasLevel());
    const LevelFacts facts = world_->Level();
    EXPECT_EQ(facts.columns, 0);
    EXPECT_EQ(facts.shotCount, 0);
    // Updates and commands on no level change nothing and do not fail.
    world_->UpdateLevel(kFrame);
    world_->UpdateCharacter(kFrame);
    world_->MoveCharacter(kCommandStepRight);
    world_->LandCharacter();
    EXPECT_FALSE(world_->IsExitPortalOpen());
}

TEST_F(WorldPlayWorldTest, TheWorldsCallsReachTheControllerAndTheProfile) {
    WriteData("levels/level09.qvn", kCorridor);
    play_test::MarkCutsceneSeen(*profile_, 1);
    PlayLevel(8);
    WorldServices& services = GetWorldServices();
    // The counters of the profile that the award rules read.
    EXPECT_EQ(services.RaiseOneLeafDoorCount(), 1);
    EXPECT_EQ(services.RaiseOneLeafDoorCount(), 2);
    EXPECT_EQ(play_test::OneLeafDoorCount(*profile_), 2u);
    EXPECT_EQ(services.RaiseTeskKillCount(), 1);
    EXPECT_EQ(play_test::TeskKillCount(*profile_), 1u);
    // The character's award bits are the profile's award indexes, shown with the names the
    // character gives.
    const struct {
        DWORD bit;
        std::int32_t award;
        const char* text;
    } awards[] = {{kAwardManyTurns, 6, "AWARD_NAME_5"}, {kAwardNoSideJump, 3, "AWARD_NAME_7"}, {kAwardNine, 2, "AWARD_NAME_9"}};
    for (const auto& each : awards) {
        services.GrantProfileAward(each.bit, each.text);
        EXPECT_TRUE(play_test::HasAward(*profile_, each.award)) << each.award;
        ASSERT_FALSE(hud_.popups.empty());
        EXPECT_EQ(hud_.popups.back().key, each.text);
    }
    const std::size_t popups = hud_.popups.size();
    services.GrantProfileAward(kAwardNine, "");
    EXPECT_EQ(hud_.popups.size(), popups) << "an award is granted once";
    // The record follows the controller; a restart from the world is the controller's.
    EXPECT_EQ(services.Controller().levelIndex, 8);
    EXPECT_EQ(services.Controller().playState, static_cast<std::uint32_t>(kPlayPlaying));
    controller_->stateTimer = 3.0f;
    services.RestartLevel();
    EXPECT_EQ(controller_->stateTimer, 0.0f);
    EXPECT_EQ(controller_->pendingState, kPlayPlaying);
}

}  // namespace
