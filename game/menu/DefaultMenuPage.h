// DefaultMenuPage: the base of every page of the game's menus, and the page of any menu file
// whose CLASS is not a known type. It maps the RETURN keywords to command ids, handles the
// page commands it knows, draws the page title, and takes the player back with the back
// key or a touch in the back area at the bottom left.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/text/EngineString.h"
#include "engine/core/text/EngineWString.h"
#include "engine/overlay/menu/MenuPage.h"

// The back area, virtual pixels, both ends included.
constexpr float kBackAreaLeft = 10.0f;
constexpr float kBackAreaRight = 100.0f;
constexpr float kBackAreaTop = 385.0f;
constexpr float kBackAreaBottom = 465.0f;

// Command ids of the RETURN keywords.
constexpr std::int32_t kCommandStart = 4097;
constexpr std::int32_t kCommandQuit = 4098;
constexpr std::int32_t kCommandExitGame = 4100;
constexpr std::int32_t kCommandSaveGame = 4101;
constexpr std::int32_t kCommandResumeGame = 4102;
constexpr std::int32_t kCommandCredits = 4104;
constexpr std::int32_t kCommandUnknown = -1;

constexpr std::int32_t kCommandLanguageChanged = 4120;

// The sound of going back ("sound/menu_back.wav").
constexpr std::uint32_t kSoundMenuBack = 15;

// The back and escape keys: 8, 27, 201, 211 and 233.
bool IsBackKey(std::int32_t key);
// The command id of a keyword (case counts); -1 for an unknown one.
std::int32_t MenuCommandId(const char* keyword);
// The brush of that name in the page description's style; null when either is missing.
const Brush* StyleBrush(const PageDescription* description, const char* name);
// x <= 100 and 385 <= y <= 465: callers test x >= 10 first.
bool IsInBackArea(float x, float y);

// A value line of the settings pages: a text key (name) or a text of its own, drawn centred
// at its position in its colour.
struct MenuLabel {
    MenuLabel(float atX, float atY) : x(atX), y(atY) {}
    EngineString name;
    EngineWString text;
    Color colour{0.0f, 0.0f, 0.0f, 0.6f};
    float scale = 1.0f;
    float x;
    float y;
};

// The looks of a value button, in the order of Button::Look: up, down, focused, disabled.
struct ArrowBrushes {
    const Brush* looks[4] = {};
};

class Button;

class DefaultMenuPage : public MenuPage {
public:
    explicit DefaultMenuPage(PageDescription* pageDescription);

    // The title of the page.
    void PostDraw(Canvas2D* canvas) override;
    // A touch (200) arms the back action when it lands in the back area; Escape and Enter
    // become the cancel and confirm notifications.
    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    // The back and escape keys, and the release of a touch that armed the back action.
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    // Shown: joins the update list.
    void OnShow(int shown, int unused) override;
    void Draw(Canvas2D* canvas) override;
    // The back action is disarmed once the pointer leaves the back area.
    void Update(DWORD elapsedMilliseconds) override;
    std::int32_t CommandId(const char* keyword) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    // Back to the BACK page, else through the history, else to "Main"; the page closes.
    int GoBackFromPage();
    // The language chosen on the language page becomes the profile's. 1 when it changed; 0
    // without a profile or when it is the language already active.
    int ApplyPendingLanguage();

    MenuLabel firstSoundLabel{657.0f, 95.0f};
    MenuLabel secondSoundLabel{657.0f, 193.0f};
    MenuLabel gameSettingsLabel{714.0f, 147.0f};
    MenuLabel languageLabel{440.0f, 100.0f};
    ArrowBrushes leftArrow;   // decrease and previous
    ArrowBrushes rightArrow;  // increase and next
    ArrowBrushes downArrow;   // controller alpha decrease
    ArrowBrushes upArrow;     // controller alpha increase
    const Brush* controllerBrush = nullptr;
    const Brush* exitPressedBrush = nullptr;
    const Brush* backPressedBrush = nullptr;
    // The value buttons, remembered by their controls' init commands.
    Button* musicDecrease = nullptr;
    Button* musicIncrease = nullptr;
    Button* effectsDecrease = nullptr;
    Button* effectsIncrease = nullptr;
    Button* nextLanguage = nullptr;
    Button* previousLanguage = nullptr;
    Button* alphaDecrease = nullptr;
    Button* alphaIncrease = nullptr;
    Control* alphaDisplay = nullptr;
    Control* languageButton = nullptr;
    float alphaGauge = 0.0f;
    std::int32_t pendingLanguage = 19;

    // The keys of the rotation and scroll buttons' captions after a toggle.
    EngineString settingCaption;
    EngineString scrollCaption;

    DWORD hasBack = 0;     // the page file has a BACK tag
    EngineString tooltip;  // its TOOLTIP
    DWORD backPressed = 0;
};
