// LevelSelectMenuPage: the five levels of the chosen world (or the eight tutorials) with
// their titles, best scores and medals; and CustomLevelSelectMenuPage: the player's own
// levels by their names. Choosing an item starts that level.
#pragma once

#include "game/menu/SelectMenuPage.h"

class LevelSelectMenuPage : public SelectMenuPage {
public:
    explicit LevelSelectMenuPage(PageDescription* pageDescription) : SelectMenuPage(pageDescription, 84.0f) {}

    // The items, the focus kept on them, then the list's controls.
    void PostDraw(Canvas2D* canvas) override;
    // Shown: only the tutorial list scrolls; a world's five levels fit the window.
    void OnShow(int shown, int unused) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    // The items shown: eight tutorials or five levels, no more than were registered.
    std::int32_t ShownItems() const;

private:
    void DrawItem(Canvas2D* canvas, std::int32_t item, bool tutorials);
};

class CustomLevelSelectMenuPage : public SelectMenuPage {
public:
    explicit CustomLevelSelectMenuPage(PageDescription* pageDescription) : SelectMenuPage(pageDescription, 52.0f) {}

    // The names of the custom levels; the items beyond them are disabled.
    void PostDraw(Canvas2D* canvas) override;
    void OnShow(int shown, int unused) override;
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    // The name of custom level `item` as shown (its UTF-8 file name as wide text); empty
    // beyond the levels.
    static EngineWString ItemLabel(std::int32_t item);
};

// Starts level `level` from a selection page: the in-game controller's next level, the
// tutorial hint off, the big select sound. The command that closes the page.
std::int32_t StartChosenLevel(std::int32_t level);
