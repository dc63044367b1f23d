// The settings operations: volume steps with their labels, arrows and click sounds, the
// controller opacity, rumble and accelerometer captions, and the language wrap of each
// language set-up.
#include <gtest/gtest.h>

#include "engine/app/Application.h"
#include "engine/core/device/NotificationLights.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "game/flow/ingame/IngameController.h"
#include "game/menu/SettingsActions.h"
#include "tests/game/menu/GamePageTestSupport.h"

namespace {

using game_page_test::GamePageTest;

TEST(LanguageWrap, EachSetupWrapsWithinItsLanguages) {
    struct Case {
        DWORD setup;
        std::int32_t from;
        std::int32_t next;
        std::int32_t previous;
    };
    const Case cases[] = {
        {1, 19, 0, 18}, {1, 0, 1, 19},   {1, 10, 11, 9},  // the languages 0..19
        {0, 22, 19, 21}, {0, 19, 20, 22}, {0, 20, 21, 19},  // 19..22
        {2, 22, 0, 21}, {7, 0, 1, 22},                     // any other set-up keeps within 0..22
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("setup " + std::to_string(c.setup) + " from " + std::to_string(c.from));
        EXPECT_EQ(NextLanguageIndex(c.from, c.setup), c.next);
        EXPECT_EQ(PreviousLanguageIndex(c.from, c.setup), c.previous);
    }
}

class SettingsTest : public GamePageTest {
protected:
    void SetUp() override {
        GamePageTest::SetUp();
        if (HasFatalFailure()) return;
        AddText("MENU_OFF", u"Off");
        AddText("MENU_SOUND_MAX", u"Max");
        WriteMenuFile("SoundSettings.menu",
                      "SoundSettings\n{\nCLASS DefaultMenuPage\n"
                      "BUTTON\n{\nNAME MUSIC_DOWN\nPOS 500 80\nSIZE 40 40\nON_INIT InitDecreaseMusicButton\n}\n"
                      "BUTTON\n{\nNAME MUSIC_UP\nPOS 700 80\nSIZE 40 40\nON_INIT InitIncreaseMusicButton\n}\n"
                      "BUTTON\n{\nNAME SFX_DOWN\nPOS 500 180\nSIZE 40 40\nON_INIT InitDecreaseSFXButton\n}\n"
                      "BUTTON\n{\nNAME SFX_UP\nPOS 700 180\nSIZE 40 40\nON_INIT InitIncreaseSFXButton\n}\n}\n");
        WriteMenuFile("GameSettings.menu",
                      "GameSettings\n{\nCLASS DefaultMenuPage\n"
                      "BUTTON\n{\nNAME ALPHA_DOWN\nPOS 500 80\nSIZE 40 40\nON_INIT InitDecreaseControllerAlpha\n}\n"
                      "BUTTON\n{\nNAME ALPHA_UP\nPOS 700 80\nSIZE 40 40\nON_INIT InitIncreaseControllerAlpha\n}\n"
                      "BUTTON\n{\nNAME ALPHA\nPOS 600 80\nSIZE 40 40\nON_INIT InitControllerAlphaStatus\n}\n"
                      "BUTTON\n{\nNAME BTN_RUMBLESETTING\nPOS 100 200\nSIZE 200 40\nON_INIT InitRumbleButton\n"
                      "ON_CLICK ToggleRumble\n}\n"
                      "BUTTON\n{\nNAME BTN_ACCELEROMETERSETTING\nPOS 100 300\nSIZE 200 40\n"
                      "ON_INIT InitAccelerometerButton\nON_CLICK ToggleAccelerometer\n}\n}\n");
        WriteMenuFile("Language.menu", "Language\n{\nCLASS DefaultMenuPage\n}\n");
        ASSERT_EQ(Menus().LoadMenus(), 1);
    }
    // Shown as the menu manager opens it: its init scripts, then OnShow.
    DefaultMenuPage* Open(const char* name) {
        auto* page = Show<DefaultMenuPage>(name);
        if (page != nullptr) page->OnOpen(0, 0);
        page->OnShow(1, 0);
        return page;
    }
    static std::u16string Caption(Control* control) {
        return control != nullptr ? Wide(TextRefGetText(control->text)) : u"(no control)";
    }
};

TEST_F(SettingsTest, VolumesStepWithinTheirRangeAndKeepLabelsArrowsAndClickSoundsInLine) {
    profile_.SetOption(kOptionMusicVolume, 10);
    profile_.SetOption(kOptionEffectsVolume, 0);
    DefaultMenuPage* page = Open("SoundSettings");
    ASSERT_NE(page, nullptr);
    // The page comes up showing the stored volumes, applied to the sound manager.
    EXPECT_EQ(Wide(page->firstSoundLabel.text.Text()), u"Max");
    EXPECT_EQ(Wide(page->secondSoundLabel.text.Text()), u"Off");
    EXPECT_FLOAT_EQ(sound_->MusicVolume(), 1.0f);
    EXPECT_FLOAT_EQ(sound_->EffectsVolume(), 0.0f);
    EXPECT_TRUE(IsPageControlHidden(page->musicIncrease));
    EXPECT_FALSE(IsPageControlHidden(page->musicDecrease));
    EXPECT_TRUE(IsPageControlHidden(page->effectsDecrease));
    EXPECT_EQ(Overlay().soundFlag, 1u);

    EXPECT_EQ(page->OnButton(nullptr, "IncreaseMusicVolume", "", -1), 0);
    EXPECT_EQ(profile_.Option(kOptionMusicVolume), 10) << "already at the top";
    EXPECT_EQ(page->OnButton(nullptr, "togglemusicvolume", "", -1), 0);
    EXPECT_EQ(profile_.Option(kOptionMusicVolume), 0) << "the toggle wraps to off";
    EXPECT_EQ(Wide(page->firstSoundLabel.text.Text()), u"Off");
    EXPECT_TRUE(IsPageControlHidden(page->musicDecrease));
    EXPECT_FALSE(IsPageControlHidden(page->musicIncrease));
    EXPECT_EQ(Overlay().soundFlag, 0u) << "both volumes off: no button clicks";
    EXPECT_FLOAT_EQ(sound_->MusicVolume(), 0.0f);

    const std::int32_t played = EffectsPlayed();
    EXPECT_EQ(page->OnButton(nullptr, "IncreaseSFXVolume", "", -1), 0);
    EXPECT_EQ(profile_.Option(kOptionEffectsVolume), 1);
    EXPECT_EQ(Wide(page->secondSoundLabel.text.Text()), u"1");
    EXPECT_FALSE(IsPageControlHidden(page->effectsDecrease));
    EXPECT_EQ(Overlay().soundFlag, 1u) << "raising either volume brings the clicks back";
    EXPECT_FLOAT_EQ(sound_->EffectsVolume(), 0.1f);
    EXPECT_EQ(EffectsPlayed(), played + 1) << "the effects buttons click";
    page->OnButton(nullptr, "IncreaseMusicVolume", "", -1);
    EXPECT_EQ(profile_.Option(kOptionMusicVolume), 1);
    EXPECT_EQ(EffectsPlayed(), played + 1) << "the music buttons do not";
    page->OnButton(nullptr, "DecreaseSFXVolume", "", -1);
    page->OnButton(nullptr, "DecreaseSFXVolume", "", -1);
    EXPECT_EQ(profile_.Option(kOptionEffectsVolume), 0) << "not below 0";
}

TEST_F(SettingsTest, ControllerAlphaTogglesInStepsOf20AndReachesTheController) {
    profile_.SetOption(kOptionControllerOpacity, 100);
    flow_test::InstalledFakes fakes;
    SetProfile(&profile_);
    SetSoundManager(sound_.get());
    flow_test::FakeScreenHost host;
    IngameController controller(host);
    SetController(&controller);
    DefaultMenuPage* page = Open("GameSettings");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Wide(page->gameSettingsLabel.text.Text()), u"100");
    EXPECT_TRUE(IsPageControlHidden(page->alphaIncrease));
    EXPECT_FALSE(IsWindowShown(page->alphaDisplay)) << "the page draws the gauge itself";
    const std::int32_t expected[] = {0, 20, 40};
    for (std::int32_t alpha : expected) {
        page->OnButton(nullptr, "ToggleControllerAlpha", "", -1);
        EXPECT_EQ(profile_.Option(kOptionControllerOpacity), alpha);
        EXPECT_FLOAT_EQ(controller.controllerAlpha, static_cast<float>(alpha) * 0.01f);
        EXPECT_FLOAT_EQ(page->alphaGauge, static_cast<float>(alpha) * 0.01f);
    }
    EXPECT_FALSE(IsPageControlHidden(page->alphaIncrease));
    EXPECT_FALSE(IsPageControlHidden(page->alphaDecrease));
    page->OnButton(nullptr, "DecreaseControllerAlpha", "", -1);
    page->OnButton(nullptr, "DecreaseControllerAlpha", "", -1);
    page->OnButton(nullptr, "DecreaseControllerAlpha", "", -1);
    EXPECT_EQ(profile_.Option(kOptionControllerOpacity), 0);
    EXPECT_TRUE(IsPageControlHidden(page->alphaDecrease));
    SetController(nullptr);
}

TEST_F(SettingsTest, RumbleAndAccelerometerButtonsShowTheirStateAndOnlySwitchingRumbleOnVibrates) {
    AddText("MENU_RUMBLE_ON", u"Rumble on");
    AddText("MENU_RUMBLE_OFF", u"Rumble off");
    AddText("MENU_ACCELEROMETER_ON", u"Tilt on");
    AddText("MENU_ACCELEROMETER_OFF", u"Tilt off");
    InitLights();
    flow_test::FakeScreenHost host;
    IngameController controller(host);
    controller.Prepare();
    SetController(&controller);
    profile_.SetOption(kOptionRumble, 1);
    profile_.SetOption(kOptionAccelerometer, 0);
    DefaultMenuPage* page = Open("GameSettings");
    ASSERT_NE(page, nullptr);
    Control* rumble = page->FindControlByName("BTN_RUMBLESETTING");
    Control* tilt = page->FindControlByName("BTN_ACCELEROMETERSETTING");
    EXPECT_EQ(Caption(rumble), u"Rumble on");
    EXPECT_EQ(Caption(tilt), u"Tilt off");

    page->OnButton(rumble, "ToggleRumble", "", -1);
    EXPECT_EQ(profile_.Option(kOptionRumble), 0);
    EXPECT_EQ(Caption(rumble), u"Rumble off");
    EXPECT_EQ(RunningPulseCount(), 0u) << "switching off gives no pulse";
    page->OnButton(rumble, "ToggleRumble", "", -1);
    EXPECT_EQ(profile_.Option(kOptionRumble), 1);
    EXPECT_EQ(Caption(rumble), u"Rumble on");
    EXPECT_EQ(RunningPulseCount(), 1u) << "switching on vibrates once";

    page->OnButton(tilt, "ToggleAccelerometer", "", -1);
    EXPECT_EQ(profile_.Option(kOptionAccelerometer), 1);
    EXPECT_EQ(Caption(tilt), u"Tilt on");
    SetController(nullptr);
    ShutdownLights();
}

TEST_F(SettingsTest, TheLanguagePageWalksThePendingLanguageBySetupAndNothingHappensWithoutAProfile) {
    const DWORD savedSetup = App().languageSetup;
    App().languageSetup = 1;
    profile_.SetOption(kOptionLanguage, 19);
    DefaultMenuPage* page = Open("Language");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->pendingLanguage, 19);
    page->OnButton(nullptr, "NextLanguage", "", -1);
    EXPECT_EQ(page->pendingLanguage, 0);
    EXPECT_STREQ(page->languageLabel.name.Text(), "MENU_LANGUAGE_0");
    page->OnButton(nullptr, "PrevLanguage", "", -1);
    EXPECT_EQ(page->pendingLanguage, 19);
    EXPECT_EQ(profile_.Option(kOptionLanguage), 19) << "only ChangeLanguage stores it";

    App().languageSetup = 0;
    page->OnButton(nullptr, "PrevLanguage", "", -1);
    EXPECT_EQ(page->pendingLanguage, 22);
    page->OnButton(nullptr, "ToggleLanguage", "", -1);
    EXPECT_EQ(page->pendingLanguage, 19);
    EXPECT_STREQ(page->languageLabel.name.Text(), "MENU_LANGUAGE_19");

    SetProfile(nullptr);
    page->OnButton(nullptr, "NextLanguage", "", -1);
    page->OnButton(nullptr, "IncreaseMusicVolume", "", -1);
    EXPECT_EQ(page->pendingLanguage, 19);
    App().languageSetup = savedSetup;
}

}  // namespace
