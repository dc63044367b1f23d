// DefaultMenuPage: the base of every page of the game's menus, and the page of any menu file
// whose CLASS is not a known type. It maps the RETURN keywords to command ids, handles the
// page commands it knows, draws the page title, and takes the player back with the back
// key or a touch in the back area at the bottom left.
#pragma once

#include <cstdint>

#include "engine/core/text/EngineString.h"
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

// The command id of a keyword (case counts); -1 for an unknown one.
std::int32_t MenuCommandId(const char* keyword);
// x <= 100 and 385 <= y <= 465: callers test x >= 10 first.
bool IsInBackArea(float x, float y);

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

    DWORD hasBack = 0;     // the page file has a BACK tag
    EngineString tooltip;  // its TOOLTIP
    DWORD backPressed = 0;
};
