// The default page: commands, title, and the back key and back area.
#include "game/menu/DefaultMenuPage.h"

#include <cstdio>
#include <cstring>

#include "engine/core/files/TagFile.h"
#include "engine/core/math/ColorMath.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/menu/MenuSettingsHook.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/sound/SoundManager.h"
#include "game/menu/SettingsActions.h"

namespace {

// The title reads along the landscape screen like every other text of the page.
constexpr DWORD kTitleFlags = 0;

struct Keyword {
    const char* word;
    std::int32_t id;
};

constexpr Keyword kKeywords[] = {
    {"START", kCommandStart},           {"QUIT", kCommandQuit},       {"EXITGAME", kCommandExitGame},
    {"SAVEGAME", kCommandSaveGame},     {"RESUMEGAME", kCommandResumeGame}, {"CREDITS", kCommandCredits},
};

struct Title {
    const char* page;
    const char* key;
    std::int32_t language;  // the language whose scale differs; -1 none
    float scale;
};

constexpr Title kTitles[] = {
    {"Main", "MENU_MAINMENU", -1, 1.1f},
    {"Awards", "MENU_AWARDS", -1, 1.1f},
    {"GameSettings", "MENU_GAMESETTINGS", 2, 1.05f},
    {"HowToPlay", "MENU_HOWTOPLAY", 1, 0.97f},
    {"Ingame", "MENU_INGAME", 0, 1.025f},
    {"LevelSelect", "MENU_SELECTLEVEL", 7, 1.05f},
    {"Settings", "MENU_SETTINGS", -1, 1.1f},
    {"IngameSettings", "MENU_SETTINGS", -1, 1.1f},
    {"SoundSettings", "MENU_SOUNDSETTINGS", -1, 1.1f},
    {"WorldSelect", "MENU_SELECTWORLD", 7, 1.05f},
    {"Credits", "MENU_CREDITS", -1, 1.1f},
    {"Language", "MENU_LANGUAGE_SELECTION", -1, 1.1f},
};

const char* CurrentPageName() {
    MenuPage* current = GetMenuManager().current;
    return current != nullptr ? current->Name() : nullptr;
}

bool IsPage(const char* name, const char* page) { return name != nullptr && CompareNoCase(name, page) == 0; }

void PlayMenuSound(std::uint32_t id) { PlaySoundEffect(id, 0, 0); }

// Centred both ways.
constexpr DWORD kLabelFlags = 6;

// The four looks of an arrow from the style's "<prefix>_UP_BRUSH" and its siblings.
ArrowBrushes StyleArrow(const PageDescription* description, const char* prefix) {
    static constexpr const char* kLooks[4] = {"UP", "DOWN", "FOCUSED", "DISABLED"};
    ArrowBrushes arrow;
    for (int look = 0; look < 4; ++look) {
        char name[48];
        std::snprintf(name, sizeof name, "%s_%s_BRUSH", prefix, kLooks[look]);
        arrow.looks[look] = StyleBrush(description, name);
    }
    return arrow;
}

void GiveLooks(Button* button, const ArrowBrushes& arrow) {
    if (button == nullptr) return;
    for (int look = 0; look < 4; ++look) button->brushes[look] = arrow.looks[look];
}

// The value behind a value button, with the ends of its range.
struct ValueRange {
    std::int32_t option;
    std::int32_t maximum;
};

// A decrease button at the bottom of its range, or an increase button at the top, is of no
// use: it stays in place, disabled.
void HideAtEnd(Control* button, ValueRange range, bool increase) {
    PlayerProfile* profile = GetProfile();
    if (button == nullptr || profile == nullptr) return;
    const std::int32_t value = profile->Option(range.option);
    if (increase ? value >= range.maximum : value <= 0) HidePageControl(button);
}

std::int32_t ProfileLanguage() {
    PlayerProfile* profile = GetProfile();
    return profile != nullptr ? profile->Option(kOptionLanguage) : -1;
}

MenuSettingsAction settingsAction = nullptr;

void RunSettings(DefaultMenuPage& page, const char* operation) {
    if (settingsAction != nullptr) settingsAction(page, operation);
}

// The settings commands: the operation each runs and where the click sounds.
enum class Click { kNone, kBefore, kAfter };
struct SettingsCommand {
    const char* command;
    const char* operation;
    Click click;
};

constexpr SettingsCommand kSettingsCommands[] = {
    {"ToggleLanguage", "NextLanguage", Click::kBefore},
    {"NextLanguage", "NextLanguage", Click::kBefore},
    {"PrevLanguage", "PrevLanguage", Click::kBefore},
    {"ToggleMusicVolume", "ToggleMusicVolume", Click::kNone},
    {"DecreaseMusicVolume", "DecreaseMusicVolume", Click::kNone},
    {"IncreaseMusicVolume", "IncreaseMusicVolume", Click::kNone},
    {"ToggleSoundVolume", "ToggleSoundVolume", Click::kAfter},
    {"DecreaseSFXVolume", "DecreaseSFXVolume", Click::kAfter},
    {"IncreaseSFXVolume", "IncreaseSFXVolume", Click::kAfter},
    {"ToggleControllerAlpha", "ToggleControllerAlpha", Click::kAfter},
    {"DecreaseControllerAlpha", "DecreaseControllerAlpha", Click::kAfter},
    {"IncreaseControllerAlpha", "IncreaseControllerAlpha", Click::kAfter},
    {"ToggleRumble", "ToggleRumble", Click::kBefore},
    {"InitRumbleButton", "ShowRumbleSetting", Click::kNone},
    {"ToggleAccelerometer", "ToggleAccelerometer", Click::kBefore},
    {"InitAccelerometerButton", "ShowAccelerometerSetting", Click::kNone},
};

// A button's caption becomes the text of that key (the key string stays with the page).
void SetCaptionKey(Control* control, EngineString& key, const char* text) {
    key.Assign(text);
    ReleaseTextRef(control->text);
    control->text = TextRefFromKey(&key, 0);
    SetDrawOrigin(control);
}

}  // namespace

void SetMenuSettingsAction(MenuSettingsAction action) { settingsAction = action; }
MenuSettingsAction GetMenuSettingsAction() { return settingsAction; }

const Brush* StyleBrush(const PageDescription* description, const char* name) {
    if (description == nullptr || description->style == nullptr) return nullptr;
    const BrushRecord* record = description->style->FindBrush(name);
    return record != nullptr ? &record->brush : nullptr;
}

std::int32_t MenuCommandId(const char* keyword) {
    if (keyword == nullptr) return kCommandUnknown;
    for (const Keyword& k : kKeywords)
        if (std::strcmp(k.word, keyword) == 0) return k.id;
    return kCommandUnknown;
}

bool IsBackKey(std::int32_t key) { return key == 8 || key == 27 || key == 201 || key == 211 || key == 233; }

bool IsInBackArea(float x, float y) { return x <= kBackAreaRight && y >= kBackAreaTop && y <= kBackAreaBottom; }

DefaultMenuPage::DefaultMenuPage(PageDescription* pageDescription) : MenuPage(pageDescription) {
    if (pageDescription == nullptr || pageDescription->tree == nullptr) return;
    TagFile& root = *pageDescription->tree;
    if (root.FindTag("BACK") != nullptr) hasBack = 1;
    if (TagFileTag* tip = root.FindTag("TOOLTIP")) tip->GetString(0, tooltip);
    leftArrow = StyleArrow(pageDescription, "SCROLL_LEFT");
    rightArrow = StyleArrow(pageDescription, "SCROLL_RIGHT");
    downArrow = StyleArrow(pageDescription, "SCROLL_DOWN");
    upArrow = StyleArrow(pageDescription, "SCROLL_UP");
    controllerBrush = StyleBrush(pageDescription, "CONTROLLER_ALPHA_BUTTON");
    exitPressedBrush = StyleBrush(pageDescription, "EXIT_PRESSED_BRUSH");
    backPressedBrush = StyleBrush(pageDescription, "BACK_PRESSED_BRUSH");
}

namespace {

void DrawLabel(Canvas2D* canvas, MenuLabel& label, float scale) {
    if (label.text.IsEmpty()) return;
    DrawText(canvas, label.x, label.y, TextRefFromText(&label.text), nullptr, ColorToARGB(label.colour), kLabelFlags,
             scale);
}

}  // namespace

void DefaultMenuPage::PostDraw(Canvas2D* canvas) {
    const char* page = CurrentPageName();
    if (page == nullptr) return;
    for (const Title& title : kTitles) {
        if (!IsPage(page, title.page)) continue;
        float scale = 1.1f;
        if (title.language < 0 || title.language == ProfileLanguage()) scale = title.scale;
        EngineString key(title.key);
        const TextRef text = TextRefFromKey(&key, 0);
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
        DrawText(canvas, 73.0f, 20.0f, text, nullptr, 0xFFFFFFFF, kTitleFlags, scale);
        DrawText(canvas, 75.0f, 18.0f, text, nullptr, 0xFF5F5F5F, kTitleFlags, scale);
        break;
    }
    if (IsPage(page, "SoundSettings")) {
        DrawLabel(canvas, firstSoundLabel, 0.8f);
        DrawLabel(canvas, secondSoundLabel, 0.8f);
    } else if (IsPage(page, "GameSettings")) {
        DrawLabel(canvas, gameSettingsLabel, 0.85f);
    } else if (IsPage(page, "Language") && !languageLabel.name.IsEmpty()) {
        DrawText(canvas, languageLabel.x, languageLabel.y, TextRefFromKey(&languageLabel.name, 0), nullptr,
                 ColorToARGB(languageLabel.colour), kLabelFlags, 0.8f);
    }
}

void DefaultMenuPage::OnKeyDown(std::int32_t key, std::int32_t /*value*/, std::int32_t /*extra*/) {
    if (key == 200) {
        const OverlayManager& overlay = Overlay();
        backPressed = overlay.pointerX >= kBackAreaLeft && IsInBackArea(overlay.pointerX, overlay.pointerY) ? 1 : 0;
    } else if (key == 27 || key == 233) {
        Notify(2, 0, 0, 0);
    } else if (key == 10 || key == 176 || key == 232) {
        Notify(1, 0, 0, 0);
    }
}

void DefaultMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (IsBackKey(key)) {
        const char* page = CurrentPageName();
        if (IsPage(page, "Main")) {
            EndModal(this, kCommandQuit);
        } else if (IsPage(page, "Ingame")) {
            EndModal(this, kCommandResumeGame);
        } else {
            GoBackFromPage();
        }
        return;
    }
    if (key == 200) {
        const OverlayManager& overlay = Overlay();
        const char* page = CurrentPageName();
        if (backPressed != 0 && overlay.pointerX >= kBackAreaLeft && IsInBackArea(overlay.pointerX, overlay.pointerY) &&
            !IsPage(page, "Main") && !IsPage(page, "Ingame"))
            GoBackFromPage();
        backPressed = 0;
        return;
    }
    if (parent != nullptr) parent->OnKeyUp(key, extra);
}

int DefaultMenuPage::GoBackFromPage() {
    MenuManager& manager = GetMenuManager();
    MenuPage* back = backName.IsEmpty() ? nullptr : manager.FindPage(backName.Text());
    if (back != nullptr) {
        if (back == this) return 1;
        PlayMenuSound(kSoundMenuBack);
        manager.ClearHistory();
        manager.OpenPage(back);
        CloseWithoutResult();
        return 1;
    }
    PlayMenuSound(kSoundMenuBack);
    if (manager.history.count < 2) {
        manager.ClearHistory();
        manager.GotoPage("Main", 1);
        CloseWithoutResult();
        return 0;
    }
    manager.GoBack();
    CloseWithoutResult();
    return 1;
}

void DefaultMenuPage::OnShow(int shown, int /*unused*/) {
    if (shown == 0) {
        if (PlayerProfile* profile = GetProfile()) profile->Save();
        return;
    }
    const char* page = CurrentPageName();
    if (IsPage(page, "SoundSettings")) {
        RefreshSoundSettings(*this);
    } else if (IsPage(page, "GameSettings")) {
        RefreshControllerAlpha(*this);
    } else if (IsPage(page, "Language")) {
        pendingLanguage = ProfileLanguage();
        char key[32];
        std::snprintf(key, sizeof key, "%s%i", "MENU_LANGUAGE_", static_cast<int>(pendingLanguage));
        languageLabel.name.Assign(key);
    }
    Overlay().AddUpdateWidget(this);
}

void DefaultMenuPage::Draw(Canvas2D* canvas) {
    x = 0.0f;
    y = 0.0f;
    if (canvas != nullptr) {
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
    }
}

void DefaultMenuPage::Update(DWORD /*elapsedMilliseconds*/) {
    const OverlayManager& overlay = Overlay();
    if (backPressed != 0 && !(overlay.pointerX >= kBackAreaLeft && IsInBackArea(overlay.pointerX, overlay.pointerY)))
        backPressed = 0;
}

std::int32_t DefaultMenuPage::CommandId(const char* keyword) { return MenuCommandId(keyword); }

int DefaultMenuPage::ApplyPendingLanguage() {
    PlayerProfile* profile = GetProfile();
    if (profile == nullptr || pendingLanguage == profile->Option(kOptionLanguage)) return 0;
    // The profile's language option also sets the right-to-left flag of Arabic.
    profile->SetOption(kOptionLanguage, pendingLanguage);
    return 1;
}

std::int32_t DefaultMenuPage::OnButton(Control* control, const char* command, const char* /*argument*/,
                                       std::int32_t /*value*/) {
    if (command == nullptr) return 0;
    const auto is = [command](const char* name) { return CompareNoCase(command, name) == 0; };
    // The value buttons' init commands come from their controls' ON_INIT scripts.
    Button* button = dynamic_cast<Button*>(control);
    constexpr ValueRange kMusic{kOptionMusicVolume, 10};
    constexpr ValueRange kEffects{kOptionEffectsVolume, 10};
    constexpr ValueRange kAlpha{kOptionControllerOpacity, 100};
    constexpr ValueRange kLanguage{kOptionLanguage, 0};  // never disabled
    struct ValueButton {
        const char* command;
        Button* DefaultMenuPage::*slot;
        ArrowBrushes DefaultMenuPage::*arrow;
        ValueRange range;
        bool increase;
        bool hides;
    };
    static const ValueButton kValueButtons[] = {
        {"InitDecreaseMusicButton", &DefaultMenuPage::musicDecrease, &DefaultMenuPage::leftArrow, kMusic, false, true},
        {"InitIncreaseMusicButton", &DefaultMenuPage::musicIncrease, &DefaultMenuPage::rightArrow, kMusic, true, true},
        {"InitDecreaseSFXButton", &DefaultMenuPage::effectsDecrease, &DefaultMenuPage::leftArrow, kEffects, false, true},
        {"InitIncreaseSFXButton", &DefaultMenuPage::effectsIncrease, &DefaultMenuPage::rightArrow, kEffects, true, true},
        {"InitDecreaseControllerAlpha", &DefaultMenuPage::alphaDecrease, &DefaultMenuPage::downArrow, kAlpha, false, true},
        {"InitIncreaseControllerAlpha", &DefaultMenuPage::alphaIncrease, &DefaultMenuPage::upArrow, kAlpha, true, true},
        {"InitPrevLangButton", &DefaultMenuPage::previousLanguage, &DefaultMenuPage::leftArrow, kLanguage, false, false},
        {"InitNextLangButton", &DefaultMenuPage::nextLanguage, &DefaultMenuPage::rightArrow, kLanguage, true, false},
    };
    for (const ValueButton& v : kValueButtons) {
        if (!is(v.command)) continue;
        this->*v.slot = button;
        GiveLooks(button, this->*v.arrow);
        if (v.hides) HideAtEnd(button, v.range, v.increase);
        return 0;
    }
    if (is("StartGame")) return kCommandStart;
    if (is("InitToggleLanguageButton")) {
        languageButton = control;
        return 0;
    }
    if (is("InitControllerAlphaStatus")) {
        alphaDisplay = control;
        if (button != nullptr && controllerBrush != nullptr) button->brushes[Button::kLookUp] = controllerBrush;
        PlayerProfile* profile = GetProfile();
        alphaGauge = profile != nullptr ? static_cast<float>(profile->Option(kOptionControllerOpacity)) * 0.01f : 0.0f;
        return 0;
    }
    if (is("ChangeLanguage")) return ApplyPendingLanguage() != 0 ? kCommandLanguageChanged : 0;
    if (is("PlayButtonSound")) {
        PlayMenuSound(kSoundMenuSelect);
        return 0;
    }
    for (const SettingsCommand& c : kSettingsCommands) {
        if (!is(c.command)) continue;
        if (c.click == Click::kBefore) PlayMenuSound(kSoundMenuSelect);
        RunSettings(*this, c.operation);
        if (c.click == Click::kAfter) PlayMenuSound(kSoundMenuSelect);
        return 0;
    }
    if (is("ToggleRotationSetting")) {
        Control* target = FindControlByName("BTN_ROTATIONSETTING");
        if (target == nullptr) return 0;
        PlayMenuSound(kSoundMenuSelect);
        IngameController* controller = GetController();
        const bool rotatingLevel = controller != nullptr && controller->controlLayout == 1;
        SetCaptionKey(target, settingCaption, rotatingLevel ? "MENU_ROTATE_CHARACTER" : "MENU_ROTATE_LEVEL");
        if (controller != nullptr) controller->controlLayout = rotatingLevel ? 2 : 1;
        return 0;
    }
    if (is("ToggleScrollSetting")) {
        Control* target = FindControlByName("BTN_SCROLLSETTING");
        if (target == nullptr) return 0;
        PlayMenuSound(kSoundMenuSelect);
        IngameController* controller = GetController();
        const bool inverse = controller == nullptr || controller->invertDrag == 0;
        SetCaptionKey(target, scrollCaption, inverse ? "MENU_SCROLL_INVERSE" : "MENU_SCROLL_DEFAULT");
        if (controller != nullptr) controller->invertDrag = inverse ? 1 : 0;
        return 0;
    }
    if (is("CheckForCustomLevels")) {
        MenuManager& manager = GetMenuManager();
        const char* custom = manager.FindPage("CustomMenu") != nullptr ? "CustomMenu" : kPageCustomLevelSelect;
        manager.GotoPage(IngameController::HasCustomLevels() ? custom : kPageWorldSelect, 1);
        manager.CloseCurrentPage();
        PlayMenuSound(kSoundMenuSelect);
        return 0;
    }
    return 0;
}
