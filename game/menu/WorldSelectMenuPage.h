// WorldSelectMenuPage: the tutorial group and the nine worlds, each with its completion
// gauge or its lock, the cut-scene and comic buttons, and the tutorial question the first
// time. Choosing a world opens the level list for it.
#pragma once

#include "game/menu/SelectMenuPage.h"

constexpr std::int32_t kWorldItemCount = 10;  // the tutorials and worlds 1..9

class WorldSelectMenuPage : public SelectMenuPage {
public:
    explicit WorldSelectMenuPage(PageDescription* pageDescription);

    // The hint's underlay and button register again with the items.
    int OnOpen(std::int32_t a, std::int32_t b) override;
    // The items (the group's picture, else the comic or cut-scene picture; label, gauge or
    // lock), then the list's controls.
    void PostDraw(Canvas2D* canvas) override;
    // Shown: no world chosen, the list scrolls, and the tutorial question opens once while
    // the player has not started a level. Hidden: the question's controls are forgotten.
    void OnShow(int shown, int unused) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;
    // The back key closes the tutorial hint while it is shown.
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;

    // The tutorial hint is shown and answers the input.
    bool HintOpen() const;

    // The group's status word of the profile (0 without one).
    static std::uint16_t WorldStatus(std::int32_t world);

    Control* popupUnderlay = nullptr;
    Control* hintButtons[kSelectItemCapacity] = {};
    std::int32_t hintButtonCount = 0;
    DWORD ready = 1;
    DWORD popupOpened = 0;
    // The style's picture of each group, "WORLD_BRUSH_0" (the tutorials) to "WORLD_BRUSH_9";
    // none where the style has no such brush.
    Brush* worldBrushes[kWorldItemCount] = {};

private:
    void DrawItem(Canvas2D* canvas, std::int32_t item);
    // The hint's text, 20 pixels below where a question page puts it.
    void DrawHint(Canvas2D* canvas);
    // Click, the hint closes, the buttons fly in again and the page is ready.
    void CloseHint();
};
