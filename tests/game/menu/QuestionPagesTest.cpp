// The fly-in of a page's buttons, the question pages' open and close animations and their
// back key, the start-up sound question, the main menu's exit question and idle return, and
// the pause menu's commands.
#include <memory>
#include <string>

#include "engine/overlay/widgets/SimpleWidgets.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/GamePageTypes.h"
#include "platform/base/Clock.h"
#include "tests/engine/overlay/menu/MenuTestSupport.h"
#include "tests/game/flow/FlowFakes.h"

namespace {

// The underlay and the two answers of a question page, after the page's own buttons.
std::string QuestionControls(const char* yes, const char* no) {
    return std::string("STATIC_IMAGE\n{\nNAME UNDERLAY\nPOS 400 272\nSIZE 0 0\nON_INIT InitUFMUnderlay\n}\n") +
           "BUTTON\n{\nNAME YES\nPOS -480 278\nSIZE 480 64\nON_INIT InitUFMButton\nON_CLICK " + yes + "\n}\n" +
           "BUTTON\n{\nNAME NO\nPOS 800 359\nSIZE 480 64\nON_INIT InitUFMButton\nON_CLICK " + no + "\n}\n";
}

std::string PageButtons(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "BUTTON\n{\nNAME B" + std::to_string(i) + "\nPOS " + std::to_string(100 + i) +
                " " + std::to_string(10 * i) + "\nSIZE 200 40\nON_INIT InitPageButton\n}\n";
    return text;
}

class QuestionPageTest : public menu_test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        RegisterGamePageTypes();
        platform::clock::UseManualClock(1000, 0);
        output_ = std::make_unique<flow_test::FakeSoundOutput>();
        sound_ = std::make_unique<SoundManager>(*output_);
        SetSoundManager(sound_.get());
        sound_->LoadAllSounds();
    }
    void TearDown() override {
        Menus().current = nullptr;
        SetProfile(nullptr);
        SetSoundManager(nullptr);
        sound_.reset();
        output_.reset();
        MenuTest::TearDown();
    }
    template <typename Page>
    Page* Load(const char* name, const std::string& controls) {
        WriteMenuFile(std::string(name) + ".menu", std::string(name) + "\n{\nCLASS " + PageClass<Page>() + "\n" +
                                                       controls + "}\n");
        EXPECT_EQ(Menus().LoadMenus(), 1);
        return dynamic_cast<Page*>(Menus().FindPage(name));
    }
    template <typename Page>
    static const char* PageClass() {
        if constexpr (std::is_same_v<Page, StartupMenuPage>) return "StartupMenuPage";
        if constexpr (std::is_same_v<Page, MainMenuPage>) return "MainMenuPage";
        if constexpr (std::is_same_v<Page, IngameMenuPage>) return "IngameMenuPage";
        return "AnimatedMenuPage";
    }
    // The page opened as the menu manager does: its hooks, then shown and running.
    void Open(MenuPage* page) {
        page->OnOpen(0, 0);
        Menus().current = page;
        SetVisible(page, 1);
        page->flags |= kControlModal;
        page->modalResult = 77;
    }
    static void Run(Control* page, int milliseconds, int step = 16) {
        for (int t = 0; t < milliseconds; t += step) page->Update(static_cast<DWORD>(step));
    }
    static Control* Named(MenuPage* page, const char* name) { return page->FindControlByName(name); }

    std::unique_ptr<flow_test::FakeSoundOutput> output_;
    std::unique_ptr<SoundManager> sound_;
};

TEST_F(QuestionPageTest, ButtonsFlyInFromTheRightOneAfterTheOtherAndAtMost32) {
    auto* page = Load<AnimatedMenuPage>("Fly", PageButtons(40));
    ASSERT_NE(page, nullptr);
    Open(page);
    EXPECT_EQ(page->buttonCount, 32);
    EXPECT_FLOAT_EQ(page->Target(0), 100.0f);
    EXPECT_FLOAT_EQ(page->speed, (131.0f - 800.0f) * kFlyInSpeedFactor) << "the last button's";
    EXPECT_FLOAT_EQ(Named(page, "B0")->x, 800.0f);
    EXPECT_FLOAT_EQ(Named(page, "B32")->x, 132.0f) << "past 32: not flying";
    platform::clock::Advance(100);
    page->PostDraw(nullptr);
    EXPECT_NEAR(Named(page, "B0")->x, 800.0f + 0.1f * page->speed, 0.5f);
    EXPECT_NEAR(Named(page, "B3")->x, 800.0f + 0.01f * page->speed, 0.5f) << "starts 0.09 s later";
    EXPECT_EQ(page->done, 0u);
    platform::clock::Advance(2000);
    page->PostDraw(nullptr);
    for (int i = 0; i < 32; ++i) EXPECT_FLOAT_EQ(Named(page, ("B" + std::to_string(i)).c_str())->x, 100.0f + i);
    EXPECT_EQ(page->done, 1u);
    // Every show starts the flight again from the right edge.
    SetVisible(page, 0);
    SetVisible(page, 1);
    EXPECT_FLOAT_EQ(Named(page, "B5")->x, 800.0f);
    EXPECT_EQ(page->done, 0u);
}

TEST_F(QuestionPageTest, AButtonWithALongerWayThanTheLastStillReachesItsPlace) {
    // The last button arrives first; the world button, farther left, must not stop midway.
    WriteMenuFile("Other.menu", "Other\n{\nCLASS AnimatedMenuPage\nBUTTON\n{\nNAME B\nPOS 20 100\nSIZE 300 60\n}\n"
                                "STATIC_TEXT\n{\nPOS 0 0\nSIZE 10 10\n}\n}\n");
    auto* page = Load<AnimatedMenuPage>("Worlds", "BUTTON\n{\nNAME FAR\nPOS 20 100\nSIZE 300 60\n}\n"
                                                  "BUTTON\n{\nNAME NEAR\nPOS 640 400\nSIZE 130 60\n}\n");
    ASSERT_NE(page, nullptr);
    Open(page);
    for (int frame = 0; frame < 100; ++frame) {
        platform::clock::Advance(16);
        page->PostDraw(nullptr);
    }
    EXPECT_FLOAT_EQ(Named(page, "NEAR")->x, 640.0f);
    EXPECT_FLOAT_EQ(Named(page, "FAR")->x, 20.0f);
    EXPECT_EQ(page->done, 1u);
    // With a last description that is no button the flight never counts as done, but the
    // buttons still stop in place.
    auto* other = dynamic_cast<AnimatedMenuPage*>(Menus().FindPage("Other"));
    ASSERT_NE(other, nullptr);
    Open(other);
    for (int frame = 0; frame < 100; ++frame) {
        platform::clock::Advance(16);
        other->PostDraw(nullptr);
    }
    EXPECT_FLOAT_EQ(Named(other, "B")->x, 20.0f);
    EXPECT_EQ(other->done, 0u);
}

TEST_F(QuestionPageTest, TheQuestionOpensInThreeStepsAndBackEndsThePageWithItsMode) {
    auto* page = Load<StartupMenuPage>("Startup", "BACK Startup\n" + QuestionControls("EnableAudio", "DisableAudio"));
    ASSERT_NE(page, nullptr);
    Control* underlay = Named(page, "UNDERLAY");
    Control* yes = Named(page, "YES");
    Control* no = Named(page, "NO");
    Open(page);
    EXPECT_EQ(page->underlay, underlay);
    EXPECT_EQ(page->popupButtons.count, 2u);
    EXPECT_EQ(page->mode, kCommandQuit);
    EXPECT_STREQ(page->messageKey.Text(), "UFM_ENABLE_AUDIO");
    EXPECT_EQ(Overlay().focus, yes) << "the first answer";
    EXPECT_TRUE(IsWindowEnabled(yes));
    struct Frame {
        int atMs;
        float width, height, alpha, yesX, noX;
    };
    // The panel widens, then grows from 5 % of its height, then the answers slide in.
    const Frame frames[] = {
        {0, 0.0f, 0.05f, 0.0f, -480.0f, 800.0f},    {64, 0.512f, 0.05f, 0.0f, -480.0f, 800.0f},
        {192, 1.0f, 0.5592f, 0.0f, -480.0f, 800.0f}, {320, 1.0f, 1.0f, 0.56f, -121.6f, 441.6f},
        {400, 1.0f, 1.0f, 1.0f, 160.0f, 160.0f},
    };
    int now = 0;
    for (const Frame& f : frames) {
        SCOPED_TRACE(f.atMs);
        page->Update(static_cast<DWORD>(f.atMs - now));
        now = f.atMs;
        EXPECT_NEAR(page->widthFactor, f.width, 1e-3f);
        EXPECT_NEAR(page->heightFactor, f.height, 1e-3f);
        EXPECT_NEAR(page->textColour.a, f.alpha, 1e-3f);
        EXPECT_NEAR(yes->x, f.yesX, 0.05f);
        EXPECT_NEAR(no->x, f.noX, 0.05f);
        EXPECT_NEAR(underlay->width, 560.0f * f.width, 0.05f);
        EXPECT_NEAR(underlay->x, 400.0f - 560.0f * f.width / 2.0f, 0.05f);
    }
    EXPECT_FLOAT_EQ(yes->y, 278.0f);
    EXPECT_FLOAT_EQ(no->y, 359.0f);
    page->OnKeyUp(27, -1);
    EXPECT_EQ(page->flags & kControlModal, 0u);
    EXPECT_EQ(page->modalResult, kCommandQuit);
}

TEST_F(QuestionPageTest, EnablingAudioKeepsSetVolumesAndGivesSilentOnesFive) {
    auto* page = Load<StartupMenuPage>("Startup", QuestionControls("EnableAudio", "DisableAudio"));
    ASSERT_NE(page, nullptr);
    PlayerProfile profile;
    SetProfile(&profile);
    profile.SetOption(kOptionMusicVolume, 7);
    profile.SetOption(kOptionEffectsVolume, 0);
    Overlay().soundFlag = 0;
    Open(page);
    Run(page, 400);
    EXPECT_EQ(page->Notify(1, Named(page, "YES")->id, 1, -1), 0);
    EXPECT_EQ(profile.Option(kOptionMusicVolume), 7);
    EXPECT_EQ(profile.Option(kOptionEffectsVolume), 5);
    EXPECT_FLOAT_EQ(sound_->MusicVolume(), 0.7f);
    EXPECT_FLOAT_EQ(sound_->EffectsVolume(), 0.5f);
    EXPECT_EQ(Overlay().soundFlag, 1u);
    // The page starts the game once the answer's close animation is over, not before.
    Run(page, 352);
    EXPECT_NE(page->flags & kControlModal, 0u);
    Run(page, 48);
    EXPECT_EQ(page->flags & kControlModal, 0u);
    EXPECT_EQ(page->modalResult, kCommandStart);
}

TEST_F(QuestionPageTest, DisablingAudioSoundsTheChoiceBeforeTheVolumesDrop) {
    auto* page = Load<StartupMenuPage>("Startup", QuestionControls("EnableAudio", "DisableAudio"));
    ASSERT_NE(page, nullptr);
    PlayerProfile profile;
    SetProfile(&profile);
    profile.SetOption(kOptionMusicVolume, 7);
    profile.SetOption(kOptionEffectsVolume, 3);
    sound_->SetEffectsVolume(0.3f);
    Overlay().soundFlag = 1;
    Open(page);
    Run(page, 400);
    const std::int32_t before = output_->lastChannel;
    EXPECT_EQ(page->Notify(1, Named(page, "NO")->id, 1, -1), 0);
    ASSERT_EQ(output_->lastChannel, before + 1) << "the selection sound played";
    EXPECT_FLOAT_EQ(output_->volumes[output_->lastChannel], 0.3f) << "at the old volume";
    EXPECT_EQ(profile.Option(kOptionMusicVolume), 0);
    EXPECT_EQ(profile.Option(kOptionEffectsVolume), 0);
    EXPECT_FLOAT_EQ(sound_->EffectsVolume(), 0.0f);
    EXPECT_EQ(Overlay().soundFlag, 0u);
    // A second close while the first runs restarts nothing.
    Run(page, 100);
    page->ClosePopup();
    EXPECT_NEAR(page->timer, 0.112f, 1e-4f);
}

TEST_F(QuestionPageTest, TheMainMenuAsksBeforeLeavingAndReturnsToTheTitleAfterAMinuteIdle) {
    auto* page = Load<MainMenuPage>("Main", PageButtons(4) + QuestionControls("YesExit", "NoExit"));
    ASSERT_NE(page, nullptr);
    Open(page);
    EXPECT_EQ(page->pageButtons.count, 4u);
    EXPECT_EQ(page->popupButtonsEnabled, 0u) << "no question yet";
    EXPECT_FLOAT_EQ(page->speed, 103.0f - kFlyInSpeedFactor * 800.0f) << "from the fourth button";
    EXPECT_EQ(page->widthFactor, 0.0f);
    // Back with no question shown is the default back key: "Main" quits.
    // The back area opens the question instead; its focus is the second answer.
    PointTo(20, 400);
    page->OnKeyDown(200, 1, -1);
    page->Update(16);
    EXPECT_EQ(page->popupButtonsEnabled, 1u);
    EXPECT_EQ(Overlay().focus, Named(page, "NO"));
    EXPECT_FALSE(IsWindowEnabled(Named(page, "B0")));
    EXPECT_EQ(page->Notify(1, Named(page, "NO")->id, 1, -1), 0);
    Run(page, 400);
    EXPECT_TRUE(IsWindowEnabled(Named(page, "B0")));
    EXPECT_EQ(Overlay().focus, Named(page, "B0")) << "the page's first button after the close";
    EXPECT_EQ(page->OnButton(nullptr, "YesExit", "", -1), kCommandQuit);
    EXPECT_EQ(page->OnButton(nullptr, "quit", "", -1), kCommandQuit);

    // A key at 59 s starts the minute again.
    PointTo(400, 200);
    Run(page, 59000, 100);
    EXPECT_NE(page->flags & kControlModal, 0u);
    page->OnKeyDown(144, 1, -1);
    Run(page, 59000, 100);
    EXPECT_NE(page->flags & kControlModal, 0u);
    Run(page, 1100, 100);
    EXPECT_EQ(page->flags & kControlModal, 0u);
    EXPECT_EQ(page->modalResult, kCommandTitle);
}

TEST_F(QuestionPageTest, ThePauseMenuResumesRestartsAndLeavesBehindItsQuestion) {
    auto* page = Load<IngameMenuPage>("Ingame", PageButtons(4) + QuestionControls("YesExit", "NoExit"));
    ASSERT_NE(page, nullptr);
    Open(page);
    struct Case {
        const char* command;
        std::int32_t result;
    };
    const Case cases[] = {{"ResumeGame", kCommandResumeGame}, {"RestartLevel", kCommandRestartLevel},
                          {"StartGame", kCommandStart}, {"NoSuchCommand", 0}};
    for (const Case& c : cases) EXPECT_EQ(page->OnButton(nullptr, c.command, "", -1), c.result) << c.command;
    EXPECT_EQ(page->OnButton(nullptr, "ExitGame", "", -1), 0);
    EXPECT_EQ(page->popupButtonsEnabled, 1u);
    EXPECT_STREQ(page->messageKey.Text(), "UFM_QUIT_GAME");
    Run(page, 200);
    EXPECT_EQ(page->OnButton(nullptr, "ExitGame", "", -1), 0) << "open already: nothing more";
    EXPECT_NEAR(page->timer, 0.208f, 1e-4f);
    EXPECT_EQ(page->OnButton(nullptr, "YesExit", "", -1), kCommandExitGame);
    EXPECT_EQ(page->closing, 1u);
}

TEST_F(QuestionPageTest, ASingleAnswerSlidesInFromTheRight) {
    auto* page = Load<IngameMenuPage>(
        "Ingame", "BUTTON\n{\nNAME ONLY\nPOS 800 359\nSIZE 480 64\nON_INIT InitUFMButton\nON_CLICK NoExit\n}\n");
    ASSERT_NE(page, nullptr);
    Open(page);
    const PopupVector start = page->PopupButtonPlace(0, 0.0f);
    EXPECT_FLOAT_EQ(start.x, 800.0f);
    EXPECT_FLOAT_EQ(start.y, 359.0f);
    page->OpenPopup();
    Run(page, 400);
    EXPECT_FLOAT_EQ(Named(page, "ONLY")->x, 160.0f);
    EXPECT_FLOAT_EQ(Named(page, "ONLY")->y, 359.0f);
}

}  // namespace
