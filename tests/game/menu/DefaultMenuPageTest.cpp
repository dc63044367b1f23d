// The game's pages: the 13 registered types, the RETURN keywords and page commands, the
// back area at the bottom left, and the back key (Main quits, Ingame resumes, other pages
// go back to their BACK page or through the history).
#include <filesystem>
#include <typeinfo>

#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/widgets/SimpleWidgets.h"

#include "game/menu/DefaultMenuPage.h"
#include "game/menu/GameMenus.h"
#include "game/menu/GamePageTypes.h"
#include "game/menu/MenuSettingsHook.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/profile/PlayerProfile.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/engine/overlay/menu/MenuTestSupport.h"

namespace {

class GameMenuTest : public menu_test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        RegisterGamePageTypes();
    }
    DefaultMenuPage* Page(const char* name) { return dynamic_cast<DefaultMenuPage*>(Menus().FindPage(name)); }
    // The page as the menu manager's open page, shown and running.
    void MakeCurrent(DefaultMenuPage* page) {
        Menus().current = page;
        SetVisible(page, 1);
        page->flags |= kControlModal;
        page->modalResult = 77;
    }
};

TEST_F(GameMenuTest, EveryRegisteredTypeMakesAWorkingPage) {
    const char* const types[] = {"AnimatedMenuPage",    "AwardsMenuPage",      "CreditsMenuPage",
                                 "DefaultMenuPage",     "IngameMenuPage",      "MainMenuPage",
                                 "PageContentMenuPage", "StartupMenuPage",     "UFMMenuPage",
                                 "SelectMenuPage",      "WorldSelectMenuPage", "LevelSelectMenuPage",
                                 "CustomLevelSelectMenuPage"};
    for (const char* type : types) {
        WriteMenuFile(std::string(type) + ".menu",
                      std::string(type) + "\n{\nCLASS " + type + "\nBUTTON\n{\nON_CLICK RETURN QUIT\n}\n}\n");
    }
    ASSERT_EQ(Menus().LoadMenus(), 1);
    for (const char* type : types) {
        SCOPED_TRACE(type);
        ASSERT_NE(Menus().FindPageType(type), nullptr);
        auto* page = Page(type);
        ASSERT_NE(page, nullptr);
        EXPECT_STREQ(page->Name(), type);
        EXPECT_EQ(page->CommandId("QUIT"), kCommandQuit);
        EXPECT_EQ(page->Notify(1, 1024, 1, -1), kCommandQuit);
        EXPECT_EQ(page->modalResult, kCommandQuit);
    }
    EXPECT_NE(dynamic_cast<WorldSelectMenuPage*>(Page("WorldSelectMenuPage")), nullptr);
    EXPECT_NE(dynamic_cast<UFMMenuPage*>(Page("MainMenuPage")), nullptr);
    EXPECT_EQ(dynamic_cast<UFMMenuPage*>(Page("CreditsMenuPage")), nullptr);
}

TEST_F(GameMenuTest, KeywordsAndCommands) {
    struct Keyword {
        const char* word;
        std::int32_t id;
    };
    const Keyword keywords[] = {{"START", 4097}, {"QUIT", 4098},     {"EXITGAME", 4100}, {"SAVEGAME", 4101},
                                {"RESUMEGAME", 4102}, {"CREDITS", 4104}, {"start", -1},  {"", -1}};
    for (const Keyword& k : keywords) EXPECT_EQ(MenuCommandId(k.word), k.id) << k.word;
    WriteMenuFile("Page.menu", "Page\n{\nCLASS DefaultMenuPage\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    DefaultMenuPage* page = Page("Page");
    EXPECT_EQ(page->OnButton(nullptr, "StartGame", "", -1), 4097);
    EXPECT_EQ(page->OnButton(nullptr, "startgame", "", -1), 4097);
    EXPECT_EQ(page->OnButton(nullptr, "NoSuchCommand", "", -1), 0);
    EXPECT_EQ(page->hasBack, 0u);
    EXPECT_TRUE(page->tooltip.IsEmpty());
}

TEST_F(GameMenuTest, TheBackAreaArmsOnATouchAndDisarmsWhenLeft) {
    WriteMenuFile("Main.menu", "Main\n{\nCLASS DefaultMenuPage\n}\n");
    WriteMenuFile("Page.menu", "Page\n{\nCLASS DefaultMenuPage\nBACK \"\"\nTOOLTIP TIP_PAGE\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    DefaultMenuPage* page = Page("Page");
    EXPECT_EQ(page->hasBack, 1u) << "even with an empty value";
    EXPECT_STREQ(page->tooltip.Text(), "TIP_PAGE");
    struct Case {
        float x, y;
        DWORD armed;
    };
    const Case cases[] = {{10, 385, 1}, {100, 465, 1}, {50, 400, 1}, {9, 400, 0},
                          {50, 466, 0}, {101, 400, 0},  {50, 384, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        PointTo(c.x, c.y);
        page->OnKeyDown(200, 1, -1);
        EXPECT_EQ(page->backPressed, c.armed);
    }
    // Dragging out before lifting the finger cancels the back action.
    MakeCurrent(page);
    Menus().ClearHistory();
    PointTo(20, 400);
    page->OnKeyDown(200, 1, -1);
    PointTo(300, 400);
    page->Update(16);
    EXPECT_EQ(page->backPressed, 0u);
    page->OnKeyUp(200, -1);
    EXPECT_NE(page->flags & kControlModal, 0u) << "still open";
    // Lifting it inside goes back: to "Main", as the history is short.
    PointTo(20, 400);
    page->OnKeyDown(200, 1, -1);
    page->Update(16);
    page->OnKeyUp(200, -1);
    EXPECT_EQ(page->flags & kControlModal, 0u);
    EXPECT_EQ(page->modalResult, 0);
    EXPECT_EQ(Menus().pending, Menus().FindPage("Main"));
}

TEST_F(GameMenuTest, TheBackKeyQuitsFromMainResumesFromIngameAndGoesBackElsewhere) {
    WriteMenuFile("Main.menu", "Main\n{\nCLASS MainMenuPage\n}\n");
    WriteMenuFile("Ingame.menu", "Ingame\n{\nCLASS IngameMenuPage\n}\n");
    WriteMenuFile("Settings.menu", "Settings\n{\nCLASS DefaultMenuPage\n}\n");
    WriteMenuFile("Awards.menu", "Awards\n{\nCLASS AwardsMenuPage\nBACK Settings\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    struct Case {
        const char* page;
        std::int32_t key;
        std::vector<const char*> history;  // before the key
        std::int32_t result;
        const char* pending;
    };
    const Case cases[] = {
        {"Main", 27, {"Main"}, 4098, nullptr},
        {"Main", 8, {}, 4098, nullptr},
        {"Ingame", 233, {"Ingame"}, 4102, nullptr},
        {"Settings", 27, {"Main", "Settings"}, 0, "Main"},
        {"Settings", 211, {"Settings"}, 0, "Main"},
        {"Awards", 201, {"Main", "Ingame", "Awards"}, 0, "Settings"},  // BACK wins over the history
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " " + std::to_string(c.key));
        Menus().ClearHistory();
        Menus().pending = nullptr;
        for (const char* name : c.history) Menus().GotoPage(name, 1);
        Menus().pending = nullptr;
        DefaultMenuPage* page = Page(c.page);
        MakeCurrent(page);
        page->OnKeyUp(c.key, -1);
        EXPECT_EQ(page->modalResult, c.result);
        EXPECT_EQ(page->flags & (kControlModal | kControlShown), 0u);
        EXPECT_EQ(Menus().pending, c.pending != nullptr ? Menus().FindPage(c.pending) : nullptr);
    }
    Menus().current = nullptr;
}

// The demo's own menu files: every page the game opens exists, every button leads to a page
// that exists, and each page's type is the one its file names.
TEST_F(GameMenuTest, TheDemoMenusHaveEveryPageTheGameOpensAndNoDeadButton) {
    const std::filesystem::path source = std::filesystem::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup/menus";
    for (const auto& entry : std::filesystem::directory_iterator(source))
        std::filesystem::copy_file(entry.path(), root_.Path() + "/fs/data/menus/" + entry.path().filename().string());
    ASSERT_EQ(Menus().LoadMenus(), 1);
    struct Expected {
        const char* page;
        const std::type_info& type;
    };
    const Expected pages[] = {
        {kPageStartup, typeid(StartupMenuPage)},
        {kPageMain, typeid(MainMenuPage)},
        {kPageWorldSelect, typeid(WorldSelectMenuPage)},
        {kPageCredits, typeid(CreditsMenuPage)},
        {kPageIngame, typeid(IngameMenuPage)},
        {kPageCustomLevelSelect, typeid(CustomLevelSelectMenuPage)},
        {"Settings", typeid(DefaultMenuPage)},
        {"HowToPlay", typeid(PageContentMenuPage)},
    };
    for (const Expected& expected : pages) {
        SCOPED_TRACE(expected.page);
        MenuPage* page = Menus().FindPage(expected.page);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(typeid(*page), expected.type);
        std::size_t buttons = 0;
        for (KDLLink* link = page->children.head; link != nullptr; link = link->next) {
            auto* control = static_cast<Control*>(link->item);
            if (dynamic_cast<Button*>(control) == nullptr) continue;
            ++buttons;
            EXPECT_TRUE(IsWindowEnabled(control)) << "button " << control->id;
        }
        EXPECT_GT(buttons, 0u);
    }
    EXPECT_NE(Menus().FindPageDescription("Settings")->style, nullptr);
    EXPECT_NE(Menus().FindPageDescription("Settings")->style->FindBrush("BUTTON_UP"), nullptr);

    // The start-up page opens on its sound question; the back key during it quits. It is
    // its own back page, so no other page is made pending.
    auto* startup = Page(kPageStartup);
    MakeCurrent(startup);
    startup->OnKeyUp(27, -1);
    EXPECT_EQ(startup->flags & kControlModal, 0u);
    EXPECT_EQ(startup->modalResult, kCommandQuit);
    EXPECT_EQ(Menus().pending, nullptr);
    Menus().current = nullptr;
}

TEST_F(GameMenuTest, WithoutMenuFilesThePagesTakeTheirDefaultCommands) {
    GameMenus menus;
    ASSERT_EQ(menus.LoadMenus(), 1);
    EXPECT_TRUE(menus.UsingDefaults());
    EXPECT_EQ(menus.GotoPage("Startup", 1), 1);
    EXPECT_EQ(menus.ProcessPendingPage(), 4097);
    menus.Shutdown();

    // Menus without the main page, where every way back ends, would leave the player on an
    // empty screen: they are refused, and the log names the missing file.
    WriteMenuFile("Startup.menu", "Startup\n{\nCLASS StartupMenuPage\nEMPTY_CONTROL\n{\nON_INIT RETURN QUIT\n}\n}\n");
    {
        engine_test::CapturedLog log;
        EXPECT_EQ(menus.LoadMenus(), 0);
        EXPECT_TRUE(log.Contains("menus/Main.menu is missing")) << log.Text();
    }
    menus.Shutdown();

    WriteMenuFile("Main.menu", "Main\n{\nCLASS DefaultMenuPage\nEMPTY_CONTROL\n{\n}\n}\n");
    ASSERT_EQ(menus.LoadMenus(), 1);
    EXPECT_FALSE(menus.UsingDefaults());
    EXPECT_EQ(menus.GotoPage("startup", 1), 1);
    EXPECT_EQ(menus.GotoPage("Main", 1), 1);
    EXPECT_EQ(menus.GotoPage("Startup", 1), 1);
    EXPECT_FALSE(menus.Busy());
    EXPECT_EQ(menus.ProcessPendingPage(), 4098);
}

// A style with the arrow looks: each brush its own, so that the test sees which one a button got.
std::string ArrowStyle() {
    std::string text = "Arrows\n{\nBRUSHES\n{\n";
    for (const char* arrow : {"LEFT", "RIGHT", "UP", "DOWN"})
        for (const char* look : {"UP", "FOCUSED", "DOWN", "DISABLED"})
            text += std::string("SCROLL_") + arrow + "_" + look + "_BRUSH\n{\nUV_TOPLEFT 0 0\n}\n";
    return text + "CONTROLLER_ALPHA_BUTTON\n{\nUV_TOPLEFT 0 0\n}\n}\n}\n";
}

TEST_F(GameMenuTest, ValueButtonsTakeTheirArrowLooksAndAreDisabledAtTheEndsOfTheirRange) {
    WriteMenuFile("Arrows.menustyle", ArrowStyle());
    WriteMenuFile("SoundSettings.menu", "SoundSettings\n{\nCLASS DefaultMenuPage\nSTYLE Arrows\n"
                                        "BUTTON\n{\nNAME VALUE\nPOS 100 100\nSIZE 50 50\n}\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    PlayerProfile profile;
    SetProfile(&profile);
    profile.SetOption(kOptionMusicVolume, 0);
    profile.SetOption(kOptionEffectsVolume, 10);
    profile.SetOption(kOptionControllerOpacity, 100);
    DefaultMenuPage* page = Page("SoundSettings");
    auto* button = dynamic_cast<Button*>(page->FindControlByName("VALUE"));
    ASSERT_NE(button, nullptr);
    struct Case {
        const char* command;
        Button* DefaultMenuPage::*slot;
        const char* upLook;
        bool disabled;
    };
    const Case cases[] = {
        {"InitDecreaseMusicButton", &DefaultMenuPage::musicDecrease, "SCROLL_LEFT_UP_BRUSH", true},
        {"InitIncreaseMusicButton", &DefaultMenuPage::musicIncrease, "SCROLL_RIGHT_UP_BRUSH", false},
        {"InitDecreaseSFXButton", &DefaultMenuPage::effectsDecrease, "SCROLL_LEFT_UP_BRUSH", false},
        {"initincreasesfxbutton", &DefaultMenuPage::effectsIncrease, "SCROLL_RIGHT_UP_BRUSH", true},
        {"InitDecreaseControllerAlpha", &DefaultMenuPage::alphaDecrease, "SCROLL_DOWN_UP_BRUSH", false},
        {"InitIncreaseControllerAlpha", &DefaultMenuPage::alphaIncrease, "SCROLL_UP_UP_BRUSH", true},
        {"InitPrevLangButton", &DefaultMenuPage::previousLanguage, "SCROLL_LEFT_UP_BRUSH", false},
        {"InitNextLangButton", &DefaultMenuPage::nextLanguage, "SCROLL_RIGHT_UP_BRUSH", false},
    };
    MenuStyle* style = page->description->style;
    ASSERT_NE(style, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        SetEnabled(button, 1);
        EXPECT_EQ(page->OnButton(button, c.command, "", -1), 0);
        EXPECT_EQ(page->*c.slot, button);
        EXPECT_EQ(button->brushes[Button::kLookUp], &style->FindBrush(c.upLook)->brush);
        EXPECT_EQ(IsPageControlHidden(button), c.disabled);
    }
    // The alpha display remembers its control and shows the alpha as a fraction.
    EXPECT_EQ(page->OnButton(button, "InitControllerAlphaStatus", "", -1), 0);
    EXPECT_EQ(page->alphaDisplay, button);
    EXPECT_FLOAT_EQ(page->alphaGauge, 1.0f);
    EXPECT_EQ(page->OnButton(button, "InitToggleLanguageButton", "", -1), 0);
    EXPECT_EQ(page->languageButton, button);
    SetProfile(nullptr);
}

TEST_F(GameMenuTest, ChangingTheLanguageTakesThePendingOneOnlyWhenItDiffers) {
    WriteMenuFile("Language.menu", "Language\n{\nCLASS DefaultMenuPage\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    DefaultMenuPage* page = Page("Language");
    EXPECT_EQ(page->OnButton(nullptr, "ChangeLanguage", "", -1), 0) << "no profile";
    PlayerProfile profile;
    SetProfile(&profile);
    profile.SetOption(kOptionLanguage, 2);
    // Shown, the page starts from the profile's language.
    MakeCurrent(page);
    EXPECT_EQ(page->pendingLanguage, 2);
    EXPECT_STREQ(page->languageLabel.name.Text(), "MENU_LANGUAGE_2");
    EXPECT_EQ(page->OnButton(nullptr, "ChangeLanguage", "", -1), 0) << "the language already active";
    page->pendingLanguage = kLanguageArabic;
    EXPECT_EQ(page->OnButton(nullptr, "changelanguage", "", -1), kCommandLanguageChanged);
    EXPECT_EQ(profile.Option(kOptionLanguage), kLanguageArabic);
    EXPECT_TRUE(IsRightToLeftText());
    page->pendingLanguage = kLanguageEnglish;
    EXPECT_EQ(page->ApplyPendingLanguage(), 1);
    EXPECT_FALSE(IsRightToLeftText());
    Menus().current = nullptr;
    SetProfile(nullptr);
}

}  // namespace

namespace {

std::vector<std::string> settingsCalls;
void RecordSettings(DefaultMenuPage& page, const char* operation) {
    settingsCalls.push_back(std::string(page.Name()) + " " + operation);
}

TEST_F(GameMenuTest, SettingsCommandsRunTheirOperationAndCustomLevelsFallBackToTheWorlds) {
    WriteMenuFile("Settings.menu", "Settings\n{\nCLASS DefaultMenuPage\n"
                                   "BUTTON\n{\nNAME BTN_SCROLLSETTING\nPOS 100 100\nSIZE 200 50\nTEXT MENU_SCROLL_DEFAULT\n}\n}\n");
    WriteMenuFile("WorldSelect.menu", "WorldSelect\n{\nCLASS DefaultMenuPage\n}\n");
    ASSERT_EQ(Menus().LoadMenus(), 1);
    DefaultMenuPage* page = Page("Settings");
    SetMenuSettingsAction(RecordSettings);
    struct Case {
        const char* command;
        const char* operation;
    };
    const Case cases[] = {{"togglelanguage", "NextLanguage"},       {"PrevLanguage", "PrevLanguage"},
                          {"IncreaseSFXVolume", "IncreaseSFXVolume"}, {"InitRumbleButton", "ShowRumbleSetting"},
                          {"ToggleAccelerometer", "ToggleAccelerometer"}};
    for (const Case& c : cases) {
        settingsCalls.clear();
        EXPECT_EQ(page->OnButton(nullptr, c.command, "", -1), 0);
        EXPECT_EQ(settingsCalls, (std::vector<std::string>{std::string("Settings ") + c.operation})) << c.command;
    }
    SetMenuSettingsAction(nullptr);
    EXPECT_EQ(page->OnButton(nullptr, "DecreaseMusicVolume", "", -1), 0) << "no hook: nothing";

    // The scroll toggle names its new setting on its button; without the button nothing.
    Control* scroll = page->FindControlByName("BTN_SCROLLSETTING");
    EXPECT_EQ(page->OnButton(nullptr, "ToggleScrollSetting", "", -1), 0);
    ASSERT_NE(scroll->text.key, nullptr);
    EXPECT_STREQ(scroll->text.key->Text(), "MENU_SCROLL_INVERSE");
    EXPECT_EQ(page->OnButton(nullptr, "ToggleRotationSetting", "", -1), 0);

    // No custom level installed: the custom-level button leads to the worlds.
    MakeCurrent(page);
    EXPECT_EQ(page->OnButton(nullptr, "CheckForCustomLevels", "", -1), 0);
    EXPECT_EQ(Menus().pending, Menus().FindPage("WorldSelect"));
    EXPECT_EQ(page->flags & kControlModal, 0u) << "this page closes";
    Menus().current = nullptr;
}

}  // namespace
