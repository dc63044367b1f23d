// The screen state machine driven step by step: the logos' timing, the comics' page turns,
// how START begins a game, a change of language, the way back from play, the volume keys
// and the rotation override.
#include <gtest/gtest.h>

#include "engine/app/Application.h"
#include "engine/app/GameKeys.h"
#include "engine/app/KeyStates.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/flow/sound/SoundManager.h"
#include "platform/registry/Registry.h"
#include "tests/game/flow/FlowFakes.h"
#include "tests/support/TestSupport.h"

namespace {

using flow_test::FakeScreenHost;
using flow_test::FakeSoundOutput;
using flow_test::InstalledFakes;

class ScreenFlowTest : public ::testing::Test {
protected:
    ScreenFlowTest() {
        SetSaveFolder("\\save\\");
        profile_.loadState = kUserSaveReady;
        SetProfile(&profile_);
        SetSoundManager(&sound_);
    }
    ~ScreenFlowTest() override { SetSaveFolder(""); }

    // Enters `state` directly, as a request taken at the next step would.
    void Enter(DWORD state) {
        flow_.RequestScreenState(state);
        flow_.EnterScreenState(state);
    }
    void Step(float delta, int touch = kKeyUp) {
        host_.keys[kPenKey] = touch;
        flow_.Step(delta);
    }
    DWORD Requested() const { return flow_.State().requestedScreenState; }
    IngameController& Controller() {
        if (flow_.Controller() == nullptr) flow_.LoadGameData();
        return *flow_.Controller();
    }

    handset_test::TempHandsetRoot root_;
    InstalledFakes fakes_;
    FakeSoundOutput output_;
    SoundManager sound_{output_};
    PlayerProfile profile_;
    FakeScreenHost host_;
    ScreenFlow flow_{host_};
};

TEST_F(ScreenFlowTest, BootOpensTheStartupPageAndStartGoesToTheMakerLogo) {
    fakes_.menus.results = {kMenuCommandStart};
    for (int i = 0; i < 6; ++i) Step(0.1f);
    EXPECT_EQ(fakes_.menus.opened, (std::vector<std::string>{"Startup"}));
    EXPECT_EQ(Requested(), kScreenStartupMenu);
    Step(0.1f);
    EXPECT_EQ(flow_.CurrentScreenState(), kScreenStartupMenu);
    EXPECT_EQ(Requested(), kScreenMakerLogo);
}

TEST_F(ScreenFlowTest, ALogoAdvancesOnAReleaseAfterThreeSecondsOrAloneAfterFour) {
    for (DWORD logo : {kScreenMakerLogo, kScreenStudioLogo}) {
        Enter(logo);
        for (int i = 0; i < 5; ++i) Step(0.5f);
        Step(0.0f, kKeyReleased);
        EXPECT_EQ(Requested(), logo) << "a release at 2.5 s is too early";
        Step(0.6f, kKeyReleased);
        EXPECT_EQ(Requested(), logo + 1) << "a release at 3.1 s advances";

        Enter(logo);
        for (int i = 0; i < 8; ++i) Step(0.5f);
        EXPECT_EQ(Requested(), logo) << "4.0 s is not yet past";
        Step(0.5f);
        EXPECT_EQ(Requested(), logo + 1);
    }
}

TEST_F(ScreenFlowTest, TheTitleWaitsForATouchAndOpensTheMainPage) {
    Enter(kScreenTitle);
    Step(1.0f);
    EXPECT_EQ(Requested(), kScreenTitle);
    host_.keys[kGameKeyAction] = kKeyReleased;
    Step(0.1f);
    host_.keys[kGameKeyAction] = kKeyUp;
    EXPECT_EQ(Requested(), kScreenMenus);
    EXPECT_EQ(fakes_.menus.opened.back(), "Main");
}

TEST_F(ScreenFlowTest, AHeldTouchTurnsOneComicPage) {
    Controller();
    fakes_.hud.comicPages = 3;
    Enter(kScreenIntroComic);
    Step(0.1f);  // untouched: the latch opens
    for (int i = 0; i < 10; ++i) Step(0.6f, kKeyHeld);
    EXPECT_EQ(fakes_.hud.turns, 1);
    Step(0.1f);
    Step(0.6f, kKeyPressed);
    EXPECT_EQ(fakes_.hud.turns, 2);
    EXPECT_EQ(Requested(), kScreenIntroComic);
    Step(0.1f);
    Step(3.1f);  // no touch: the page turns on its own, and it was the last
    EXPECT_EQ(fakes_.hud.turns, 3);
    EXPECT_EQ(Requested(), kScreenLevelLoading);
}

TEST_F(ScreenFlowTest, TouchingTheTopRightCornerSkipsTheIntro) {
    Controller().SetRequest(0);
    Enter(kScreenIntroComic);
    Step(0.1f);
    host_.touchX = 700.0f;
    host_.touchY = 50.0f;
    Step(0.1f, kKeyPressed);
    EXPECT_EQ(fakes_.hud.turns, 0);
    EXPECT_EQ(Requested(), kScreenMenus) << "a pending request goes on to the world page";
    EXPECT_EQ(fakes_.menus.opened.back(), "WorldSelect");
    EXPECT_EQ(Controller().secondRequest, 0);
}

TEST_F(ScreenFlowTest, StartChoosesTheComicOrTheLevelByTheIntroBitAndTheSecondRequest) {
    struct Case {
        std::int32_t nextLevel;
        bool introStarted;
        std::int32_t request;  // -1: none
        DWORD expected;
        bool bitAfter;
    };
    const Case cases[] = {
        {0, false, -1, kScreenIntroComic, true},      {0, false, 1, kScreenOutroComic, true},
        {0, false, 0, kScreenIntroComic, true},       {0, true, -1, kScreenLevelLoading, true},
        {0, true, 1, kScreenOutroComic, true},        {0, true, 0, kScreenIntroComic, true},
        {53, false, -1, kScreenLevelLoading, false},  {53, false, 2, kScreenOutroComic, true},
    };
    for (const Case& c : cases) {
        IngameController& controller = Controller();
        controller.nextLevel = c.nextLevel;
        controller.secondRequest = c.request >= 0 ? 1 : 0;
        controller.secondRequestValue = c.request;
        profile_.worldFlags[1] = c.introStarted ? kWorldUnlocked | kWorldComicSeen : kWorldUnlocked;
        Enter(kScreenMenus);
        fakes_.menus.results = {kMenuCommandStart};
        fakes_.menus.pending = true;
        Step(0.1f);
        EXPECT_EQ(Requested(), c.expected) << "level " << c.nextLevel << ", request " << c.request;
        EXPECT_EQ(!profile_.IntroNotStarted(), c.bitAfter) << "level " << c.nextLevel << ", request " << c.request;
    }
}

TEST_F(ScreenFlowTest, ALanguageChangeReloadsTheTextsAndMenusAndLandsOnMainAtOnce) {
    profile_.SetOption(kOptionLanguage, 2);
    Enter(kScreenMenus);
    fakes_.menus.results = {kMenuCommandLanguageChanged};
    fakes_.menus.pending = true;
    Step(0.1f);
    EXPECT_EQ(Requested(), kScreenLeavePlay);
    EXPECT_EQ(flow_.State().languageChanged, 1u) << "the frame shows the change under way";
    Step(0.0f);
    EXPECT_EQ(flow_.State().languageChanged, 0u);
    EXPECT_EQ(fakes_.menus.shutdowns, 1);
    EXPECT_EQ(fakes_.menus.loads, 1);
    EXPECT_EQ(host_.localisations, (std::vector<std::string>{"ger"}));
    EXPECT_EQ(fakes_.menus.opened.back(), "Main");
    EXPECT_EQ(Requested(), kScreenMenus) << "without waiting in the leave state";
    EXPECT_EQ(flow_.State().leaveKind, 0u);
}

TEST_F(ScreenFlowTest, LeavingPlayGoesToMainOrTheCustomLevelPageAndNeverToNoPage) {
    struct Case {
        std::int32_t level;
        bool customPageExists;
        const char* page;
    };
    for (const Case& c : {Case{52, true, "Main"}, Case{55, true, "CustomLevelSelect"}, Case{55, false, "Main"}}) {
        if (!c.customPageExists) std::erase(fakes_.menus.pages, "CustomLevelSelect");
        IngameController& controller = Controller();
        controller.currentLevel = c.level;
        controller.SetState(kPlayLeave);
        Enter(kScreenPlay);
        host_.screen = kScreenPlay;
        Step(0.1f);
        EXPECT_EQ(Requested(), kScreenLeavePlay);
        Step(0.5f);
        EXPECT_EQ(flow_.CurrentScreenState(), kScreenLeavePlay);
        Step(0.6f);
        EXPECT_EQ(Requested(), kScreenLeavePlay) << "the leave screen stays a second";
        Step(0.5f);
        EXPECT_EQ(Requested(), kScreenMenus);
        EXPECT_EQ(fakes_.menus.opened.back(), c.page) << "level " << c.level;
    }
}

TEST_F(ScreenFlowTest, AfterACompletedLevelTheLeaveScreenGoesOnToTheNextLevel) {
    IngameController& controller = Controller();
    controller.currentLevel = 3;
    controller.lastCompleted = 3;
    controller.SetState(kPlayLeave);
    EXPECT_EQ(controller.nextLevel, 4);
    Enter(kScreenLeavePlay);
    Step(1.1f);
    EXPECT_EQ(Requested(), kScreenLevelLoading);
}

TEST_F(ScreenFlowTest, VolumeKeysStepBothVolumesAndAtTheTopOnlyTheClickSoundsChange) {
    profile_.SetOption(kOptionMusicVolume, 10);
    profile_.SetOption(kOptionEffectsVolume, 10);
    flow_.State().audioFlag = 0;
    Enter(kScreenTitle);
    host_.keys[kGameKeyF6] = kKeyReleased;
    Step(0.1f);
    EXPECT_EQ(profile_.Option(kOptionMusicVolume), 10);
    EXPECT_EQ(flow_.State().audioFlag, 1u);
    host_.keys[kGameKeyF6] = kKeyUp;
    host_.keys[kGameKeyF7] = kKeyReleased;
    Step(0.1f);
    EXPECT_EQ(profile_.Option(kOptionMusicVolume), 9);
    EXPECT_EQ(profile_.Option(kOptionEffectsVolume), 9);
    EXPECT_FLOAT_EQ(sound_.EffectsVolume(), 0.9f);
    profile_.SetOption(kOptionMusicVolume, 0);
    profile_.SetOption(kOptionEffectsVolume, 1);
    Step(0.1f);
    EXPECT_EQ(profile_.Option(kOptionEffectsVolume), 0);
    EXPECT_EQ(flow_.State().audioFlag, 0u) << "both silent: no click sounds";
    EXPECT_EQ(host_.clickSounds, 0u);
}

TEST_F(ScreenFlowTest, TheRotationOverrideIsRenewedEveryFifteenSecondsWhileTheKeyExists) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Services\\MultiService\\mods\\Rotation", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    auto counter = [key] {
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegQueryValueExW(key, u"OverrideCounter", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != 0)
            return DWORD{0};
        return value;
    };
    host_.canRun = false;  // the override is held even in the background
    flow_.Step(14.9f);
    EXPECT_EQ(counter(), 0u);
    flow_.Step(0.2f);
    EXPECT_EQ(counter(), kRotationOverrideHeld);
    EXPECT_EQ(flow_.State().rotationHoldTimer, 0.0f);
    RegCloseKey(key);
}

TEST_F(ScreenFlowTest, ThePauseMenusRestartCommandRestartsTheLevelAndResumesPlay) {
    IngameController& controller = Controller();
    Enter(kScreenPauseMenu);
    fakes_.menus.results = {kMenuCommandRestartLevel};
    fakes_.menus.pending = true;
    Step(0.1f);
    EXPECT_EQ(Requested(), kScreenPlay);
    EXPECT_EQ(controller.pendingState, kPlayPlaying);
    Enter(kScreenPauseMenu);
    fakes_.menus.results = {kMenuCommandExitGame};
    fakes_.menus.pending = true;
    Step(0.1f);
    EXPECT_EQ(flow_.State().exitGame, 1u);
    EXPECT_EQ(Requested(), kScreenLeavePlay);
    Step(0.0f);
    EXPECT_EQ(Requested(), kScreenMenus) << "exiting does not wait";
    EXPECT_EQ(flow_.State().exitGame, 0u);
}

}  // namespace
