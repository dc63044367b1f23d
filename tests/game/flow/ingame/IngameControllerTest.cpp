// The in-game controller: its button and tilt tables, the fixed world step, the touch-drag
// ring, the camera's pan margins, loading the chosen level and the scoring of a level.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/app/Application.h"
#include "engine/app/GameKeys.h"
#include "engine/app/KeyStates.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "tests/game/flow/FlowFakes.h"
#include "tests/support/TestSupport.h"

float LevelRating(float par, float measure);

namespace {

using flow_test::FakeScreenHost;
using flow_test::InstalledFakes;

class IngameControllerTest : public ::testing::Test {
protected:
    IngameControllerTest() { SetProfile(&profile_); }

    // Puts the controller in play, past the input delay.
    void EnterPlay() {
        controller_.pendingState = kPlayPlaying;
        controller_.Update(0.0f);
        controller_.stateTimer = 1.0f;
        fakes_.world.commands.clear();
    }
    // One frame with a touch at the centre of a button (0..1 units).
    std::uint32_t TouchAt(float u, float v, int state = kKeyHeld) {
        host_.keys[kPenKey] = state;
        host_.touchX = u * kGameScreenWidth;
        host_.touchY = v * kGameScreenHeight;
        controller_.Update(0.0f);
        return fakes_.world.commands.empty() ? 0xFFFFFFFF : fakes_.world.commands.back();
    }

    InstalledFakes fakes_;
    PlayerProfile profile_;
    FakeScreenHost host_;
    IngameController controller_{host_};
};

TEST_F(IngameControllerTest, EachOnScreenButtonGivesItsCommandAndPressedSet) {
    EnterPlay();
    struct Case {
        PlayButton button;
        std::uint32_t bits;
        std::uint32_t swappedBits;
        std::uint32_t pressed;
    };
    const Case cases[] = {
        {kButtonForward, 4, 4, 64},         {kButtonForwardLeft, 5, 5, 32},      {kButtonForwardRight, 6, 6, 128},
        {kButtonTurnA, 32, 16, 0x4000000}, {kButtonTurnB, 16, 32, 0x2000000},  {kButtonStepLeft, 1, 1, 16},
        {kButtonStepRight, 2, 2, 256},
    };
    for (std::int32_t layout : {1, 2}) {
        controller_.controlLayout = layout;
        for (const Case& c : cases) {
            float u = 0.0f;
            float v = 0.0f;
            fakes_.hud.ButtonCentre(c.button, u, v);
            EXPECT_EQ(TouchAt(u, v), layout == 1 ? c.bits : c.swappedBits) << "button " << c.button;
            EXPECT_EQ(fakes_.hud.pressed, c.pressed) << "button " << c.button;
            TouchAt(u, v, kKeyReleased);
            EXPECT_EQ(fakes_.hud.pressed, 0u) << "a release clears the pressed set";
        }
    }
    EXPECT_EQ(TouchAt(0.5f, 0.3f), 0u) << "no button";
}

TEST_F(IngameControllerTest, WhileMovingOnlyTheTurnButtonsAnswer) {
    EnterPlay();
    fakes_.world.character.moving = true;
    float u = 0.0f;
    float v = 0.0f;
    fakes_.hud.ButtonCentre(kButtonForward, u, v);
    EXPECT_EQ(TouchAt(u, v), 0u);
    fakes_.hud.ButtonCentre(kButtonTurnB, u, v);
    EXPECT_EQ(TouchAt(u, v), kCommandTurnB);
}

TEST_F(IngameControllerTest, TheTiltTableDrivesTheCharacterWhenTheAccelerometerIsOn) {
    profile_.options[kOptionAccelerometer] = 1;
    EnterPlay();
    struct Case {
        std::int32_t x, y, z;
        std::uint32_t bits;
        std::uint32_t pressed;
    };
    const Case cases[] = {
        {0, 0, -700, 4, 64},     {-300, 0, -700, 5, 64},        {300, 0, -700, 6, 64},
        {-600, 450, 0, 32, 0x4000000}, {600, 450, 0, 16, 0x2000000}, {-300, 0, 0, 1, 16},
        {300, 0, 0, 2, 256},     {0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        host_.tilt[0] = 0;  // level first: the tilt-held flag clears
        host_.tilt[1] = 0;
        host_.tilt[2] = 0;
        controller_.Update(0.0f);
        host_.tilt[0] = c.x;
        host_.tilt[1] = c.y;
        host_.tilt[2] = c.z;
        controller_.Update(0.0f);
        EXPECT_EQ(fakes_.world.commands.back(), c.bits) << c.x << " " << c.y << " " << c.z;
        EXPECT_EQ(fakes_.hud.pressed, c.pressed) << c.x << " " << c.y << " " << c.z;
    }
    controller_.Update(0.0f);
    host_.tilt[2] = -700;
    controller_.Update(0.0f);
    EXPECT_EQ(fakes_.world.commands.back(), 4u);
    controller_.Update(0.0f);
    EXPECT_EQ(fakes_.world.commands.back(), 0u) << "a held tilt moves once until the handset is level again";
}

TEST_F(IngameControllerTest, TheWorldRunsInFixedStepsOf33MillisecondsWithTheRemainderAfter) {
    EnterPlay();
    fakes_.world.levelSteps.clear();
    controller_.Update(0.1f);
    ASSERT_EQ(fakes_.world.levelSteps.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(fakes_.world.levelSteps[i], kFixedStep);
    EXPECT_NEAR(fakes_.world.levelSteps[3], 0.001f, 1e-5f);
    EXPECT_EQ(fakes_.world.characterSteps.size(), 4u);
    EXPECT_EQ(controller_.stepAccumulator, 0.0f);
}

TEST_F(IngameControllerTest, EachFrameOfPlayRunsTheAnimationsOfTheSceneObjects) {
    auto* database = new KDB();
    SetCurrentKdb(database);
    // A node in the animated list without an animation leaves the list at its first update.
    KNode node;
    database->AddToUpdateList(node);
    ASSERT_NE(node.Flags() & kNodeAnimated, 0u);
    EnterPlay();
    controller_.Update(0.0f);
    EXPECT_NE(node.Flags() & kNodeAnimated, 0u) << "a frame without time animates nothing";
    controller_.Update(kFixedStep);
    EXPECT_EQ(node.Flags() & kNodeAnimated, 0u);
    delete database;
}

TEST_F(IngameControllerTest, ALongFrameDuringTheFlyInAddsNoTime) {
    controller_.pendingState = kPlayFlyIn;
    fakes_.world.levelSteps.clear();
    controller_.Update(0.15f);
    EXPECT_TRUE(fakes_.world.levelSteps.empty());
    controller_.Update(0.05f);
    EXPECT_EQ(fakes_.world.levelSteps.size(), 2u);
}

TEST_F(IngameControllerTest, TheThirtyFirstDragIsDroppedAndDragsOutsideScrollAreNeverQueued) {
    controller_.AddTouchDrag(1, 1, 1, 1);
    EXPECT_EQ(controller_.dragCount, 0u);
    controller_.pendingState = kPlayScroll;
    controller_.Update(0.0f);
    for (int i = 0; i < 31; ++i) controller_.AddTouchDrag(1, 1, static_cast<float>(i), 0);
    EXPECT_EQ(controller_.dragCount, 30u);
    EXPECT_EQ(controller_.drags[29].dx, 29.0f);
    controller_.ProcessTouchDrags();
    EXPECT_EQ(controller_.dragCount, 0u);
    EXPECT_EQ(controller_.dragStart, 0u);
}

TEST_F(IngameControllerTest, PanningStopsAtTheLevelsMargins) {
    fakes_.world.level.firstColumn = 0;
    fakes_.world.level.firstRow = 0;
    fakes_.world.level.columns = 20;
    fakes_.world.level.rows = 20;
    struct Case {
        std::int32_t facing;
        float minX, maxX;
    };
    for (const Case& c : {Case{0, 40, 160}, Case{1, 30, 170}, Case{2, 40, 160}, Case{3, 30, 170}}) {
        fakes_.world.character.facing = c.facing;
        controller_.camera.target = {100, 100, 0};
        // Big drags in every direction, each step of 2 units (dt 0.5, 2 pixels).
        for (int i = 0; i < 200; ++i) controller_.PanCamera({1, 0, 0, 2, 2}, 0.5f);
        const Vector3 first = controller_.camera.target;
        controller_.camera.target = {100, 100, 0};
        for (int i = 0; i < 200; ++i) controller_.PanCamera({1, 0, 0, -2, -2}, 0.5f);
        const Vector3 second = controller_.camera.target;
        EXPECT_NEAR(std::fmin(first.x, second.x), c.minX, 2.01f) << "facing " << c.facing;
        EXPECT_NEAR(std::fmax(first.x, second.x), c.maxX, 2.01f) << "facing " << c.facing;
        EXPECT_NEAR(std::fmin(first.y, second.y), 20.0f, 2.01f) << "two tiles from the bottom";
        EXPECT_NEAR(std::fmax(first.y, second.y), 190.0f, 2.01f) << "one tile from the top";
    }
    fakes_.world.character.facing = 7;
    controller_.camera.target = {100, 100, 0};
    controller_.PanCamera({1, 0, 0, 5, 5}, 0.5f);
    EXPECT_EQ(controller_.camera.target.x, 100.0f);
}

TEST_F(IngameControllerTest, TheChosenLevelIsTheOneThatLoads) {
    profile_.MarkCutsceneSeen(1);
    profile_.MarkCutsceneSeen(3);
    controller_.SelectLevel(19);
    EXPECT_EQ(controller_.firstLevelOfWorld, 18);
    controller_.pendingState = kPlayLoad;
    controller_.Update(0.0f);
    EXPECT_EQ(fakes_.world.loads, (std::vector<std::string>{"levels/level20"}));
    EXPECT_EQ(controller_.currentLevel, 19);
    EXPECT_EQ(controller_.pendingState, kPlayFlyIn);
}

TEST_F(IngameControllerTest, AnUnseenWorldLoadsItsCutsceneAndAFailedLoadLeavesPlay) {
    controller_.SelectLevel(8);
    controller_.pendingState = kPlayLoad;
    controller_.Update(0.0f);
    EXPECT_EQ(fakes_.world.loads, (std::vector<std::string>{"levels/levelcut", "cutscene world01"}));
    EXPECT_EQ(controller_.pendingState, kPlayCutscene);
    fakes_.world.loadSucceeds = false;
    profile_.MarkCutsceneSeen(1);
    controller_.SetState(kPlayLoad);
    EXPECT_EQ(controller_.pendingState, kPlayLeave);
}

TEST(LevelRating, IsClampedAndNeverANumberThatCannotBeTruncated) {
    EXPECT_FLOAT_EQ(LevelRating(30.0f, 30.0f), 5.0f);
    EXPECT_FLOAT_EQ(LevelRating(30.0f, 1.0f), 8.0f);
    EXPECT_FLOAT_EQ(LevelRating(1.0f, 1000.0f), 0.1f);
    EXPECT_FLOAT_EQ(LevelRating(0.0f, 0.0f), 0.1f);
    EXPECT_FLOAT_EQ(LevelRating(12.0f, 0.0f), 8.0f);
    EXPECT_FLOAT_EQ(LevelRating(NAN, 3.0f), 0.1f);
}

class ScoringTest : public IngameControllerTest {
protected:
    // Completes level 20 after `elapsed` seconds and `logic` logic steps against par 30 / 20.
    void Complete(float elapsed, std::int32_t logic, float parTime = 30.0f, float parLogic = 2.0f) {
        fakes_.world.level.parTime = parTime;
        fakes_.world.level.parLogic = parLogic;
        fakes_.world.character.logicCount = logic;
        controller_.currentLevel = 20;
        controller_.elapsedTime = elapsed;
        controller_.SetState(kPlayComplete);
    }
};

TEST_F(ScoringTest, ExactlyParIsGoldAndGrantsAwardOne) {
    Complete(30.0f, 20);
    EXPECT_FLOAT_EQ(controller_.timeRating, 5.0f);
    EXPECT_FLOAT_EQ(controller_.logicRating, 5.0f);
    EXPECT_EQ(controller_.medal, kMedalGold);
    EXPECT_STREQ(controller_.resultTitle, "GOLD_MEDAL");
    EXPECT_EQ(controller_.resultColour, kMedalColourGold);
    EXPECT_EQ(controller_.timePoints, 5000);
    EXPECT_TRUE(profile_.HasAward(1));
    EXPECT_EQ(profile_.Medal(20), kMedalGold);
    EXPECT_EQ(profile_.BestScore(20), 10000u);
    EXPECT_EQ(controller_.lastCompleted, 20);
}

TEST_F(ScoringTest, SumsOfExactlyNineSevenAndFiveDropToTheLowerMedal) {
    // Par time 30 over 37.5 s rates 4, over 75 s 2; par logic 2 over 20 steps rates 5, over
    // 100 steps 1, over 25 steps 4.
    struct Case {
        float elapsed;
        std::int32_t logic;
        BYTE medal;
    };
    for (const Case& c : {Case{37.5f, 20, kMedalSilver}, Case{75.0f, 20, kMedalBronze},
                          Case{37.5f, 100, kMedalNone}, Case{30.0f, 25, kMedalSilver}}) {
        Complete(c.elapsed, c.logic);
        EXPECT_EQ(controller_.medal, c.medal) << c.elapsed << " s, " << c.logic << " steps";
    }
}

TEST_F(ScoringTest, RatingsStayWithinTheirClampAndZeroLogicStepsAreTheBest) {
    Complete(0.5f, 0);
    EXPECT_FLOAT_EQ(controller_.timeRating, 8.0f);
    EXPECT_FLOAT_EQ(controller_.logicRating, 8.0f);
    EXPECT_EQ(controller_.timePoints, 8000);
    Complete(10000.0f, 5000);
    EXPECT_FLOAT_EQ(controller_.timeRating, 0.1f);
    EXPECT_FLOAT_EQ(controller_.logicRating, 0.1f);
    EXPECT_EQ(controller_.logicPoints, 100);
}

TEST_F(ScoringTest, ABetterMedalThanTheStoredOneIsANewRecord) {
    Complete(75.0f, 20);
    EXPECT_EQ(controller_.newRecord, 0) << "nothing stored yet";
    Complete(30.0f, 20);
    EXPECT_EQ(controller_.newRecord, 1);
    EXPECT_EQ(controller_.previousBest, 7000);
}

TEST_F(IngameControllerTest, CollectingSpheresCountsDownAndTheLastOpensThePortalWithItsSoundOnce) {
    controller_.currentLevel = 10;
    fakes_.world.level.sphereTotal = 3;
    fakes_.world.level.spheresCollected = 1;
    controller_.OnSphereCollected();
    EXPECT_EQ(fakes_.hud.banners.back().key, "NOTIFICATION_SPHERES_LEFT");
    EXPECT_EQ(fakes_.hud.banners.back().number, 2);
    fakes_.world.level.spheresCollected = 2;
    controller_.OnSphereCollected();
    EXPECT_EQ(fakes_.hud.banners.back().key, "NOTIFICATION_ONE_SPHERE_LEFT");
    fakes_.world.level.spheresCollected = 3;
    controller_.OnSphereCollected();
    EXPECT_TRUE(fakes_.world.portalOpen);
    ASSERT_EQ(fakes_.hud.banners.size(), 1u) << "the queue was emptied for the portal notice";
    EXPECT_EQ(fakes_.hud.banners.back().key, "PORTAL_IS_OPEN");
}

TEST_F(IngameControllerTest, LeavingAfterTheLastLevelOfTheLastWorldGoesBackToTheFirst) {
    controller_.currentLevel = 52;
    controller_.SetState(kPlayLeave);
    EXPECT_EQ(controller_.nextLevel, 0);
    EXPECT_EQ(controller_.lastCompleted, -1);
    controller_.currentLevel = 11;
    controller_.SetState(kPlayLeave);
    EXPECT_EQ(controller_.nextLevel, 12);
    EXPECT_EQ(controller_.Update(0.0f), 0) << "play is over";
}

TEST_F(IngameControllerTest, TheResultsPageSkipsItsAnimationOnTheFirstTouchThenItsButtonsAct) {
    profile_.worldFlags[2] |= kWorldUnlocked;
    controller_.currentLevel = 10;
    controller_.pendingState = kPlayResults;
    controller_.Update(0.0f);
    host_.touchX = 630.0f;  // the next button
    host_.touchY = 398.0f;
    host_.keys[kPenKey] = kKeyPressed;
    controller_.Update(0.1f);
    EXPECT_FLOAT_EQ(controller_.stateTimer, 6.75f) << "the first touch only ends the animation";
    EXPECT_EQ(controller_.pendingState, kPlayResults);
    controller_.Update(0.1f);
    EXPECT_EQ(controller_.pendingState, kPlayLeave) << "on to the next level";

    controller_.SetState(kPlayResults);
    controller_.stateTimer = 7.0f;
    controller_.finale = 1;
    host_.touchX = 400.0f;  // retry does nothing while the finale waits
    controller_.Update(0.0f);
    EXPECT_EQ(controller_.pendingState, kPlayResults);
    host_.touchX = 630.0f;
    controller_.Update(0.0f);
    EXPECT_EQ(host_.requested.back(), kScreenOutroComic);
    EXPECT_FALSE(profile_.OutroNotSeen());
    EXPECT_EQ(controller_.finale, 0);
    EXPECT_EQ(fakes_.world.unloads, 1);

    controller_.stateTimer = 7.0f;
    host_.touchX = 170.0f;  // the menu button
    controller_.Update(0.0f);
    EXPECT_EQ(host_.requested.back(), kScreenMenus);
    EXPECT_EQ(fakes_.menus.opened.back(), "Main");
}

// The results page's "Menu" leads to the main menu, from where the game may be closed at once:
// the level's result must already be in the save file then.
TEST(ResultsPage, TheMenuButtonWritesTheLevelsResultToTheSaveFile) {
    handset_test::TempHandsetRoot root;
    SetSaveFolder("\\Program Files\\Quorvane\\save\\");
    const BYTE key[kUserSaveKeySize] = {1, 2, 3, 4, 5, 6, 7, 8};
    PlayerProfile* profile = CreatePlayerProfile(key, 2);
    ASSERT_NE(profile, nullptr);
    SetProfile(profile);
    {
        InstalledFakes fakes;
        FakeScreenHost host;
        IngameController controller{host};
        controller.currentLevel = kFirstScoredLevel;
        controller.pendingState = kPlayResults;
        controller.Update(0.0f);
        profile->RecordLevelResult(kFirstScoredLevel, nullptr);
        controller.stateTimer = 7.0f;
        host.keys[kPenKey] = kKeyPressed;
        host.touchX = 170.0f;
        host.touchY = 398.0f;
        controller.Update(0.0f);
        EXPECT_EQ(host.requested.back(), kScreenMenus);
    }
    SetProfile(nullptr);
    delete profile;
    PlayerProfile* reread = CreatePlayerProfile(key, 2);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(reread->LevelDone(kFirstScoredLevel), 1);
    delete reread;
    SetSaveFolder("");
}

TEST_F(IngameControllerTest, TheTutorialPageContinuesOnATouchAndTheLastOneShowsItsSecondText) {
    controller_.currentLevel = 7;
    controller_.pendingState = kPlayTutorialPage;
    controller_.Update(0.0f);
    host_.keys[kPenKey] = kKeyPressed;
    controller_.Update(0.6f);
    EXPECT_EQ(controller_.pendingState, kPlayTutorialPage);
    EXPECT_GT(controller_.stateTimer, 5.0f) << "the second text of the last page";
    host_.keys[kPenKey] = kKeyHeld;
    controller_.Update(0.1f);
    EXPECT_EQ(controller_.pendingState, kPlayTutorialPage) << "a held touch continues once";
    host_.keys[kPenKey] = kKeyUp;
    controller_.Update(0.1f);
    host_.keys[kGameKeyAction] = kKeyReleased;
    controller_.Update(0.1f);
    EXPECT_EQ(controller_.pendingState, kPlayPlaying);
}

TEST_F(IngameControllerTest, PlayStartsWithTheSpheresNoticeAndTheBottomStripPausesOrScrolls) {
    fakes_.world.level.sphereTotal = 4;
    fakes_.world.level.spheresCollected = 1;
    EnterPlay();
    ASSERT_FALSE(fakes_.hud.banners.empty());
    EXPECT_EQ(fakes_.hud.banners.back().key, "NOTIFICATION_SPHERES_LEFT");
    EXPECT_EQ(fakes_.hud.banners.back().number, 3);
    TouchAt(550.0f / kGameScreenWidth, 450.0f / kGameScreenHeight, kKeyReleased);
    EXPECT_EQ(controller_.pendingState, kPlayScroll);
    controller_.pendingState = kPlayPlaying;
    TouchAt(700.0f / kGameScreenWidth, 450.0f / kGameScreenHeight, kKeyReleased);
    EXPECT_EQ(host_.requested.back(), kScreenPauseMenu);
    EXPECT_EQ(fakes_.menus.opened.back(), "Ingame");
}

}  // namespace

