// AwardsMenuPage: the 15 awards as a grid of badges, locked or won. Awards won since the last
// visit carry a pulsing star; tapping a badge ("ShowAwardText" with the button number) shows
// its name and description. Leaving the page marks the new awards seen and saves the profile.
#pragma once

#include <cstdint>

#include "engine/core/text/EngineString.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/menu/DefaultMenuPage.h"

// Button number (0-based) -> award index.
constexpr std::int32_t kAwardDisplayOrder[kAwardCount] = {1, 7, 13, 14, 6, 0, 3, 4, 2, 5, 8, 9, 10, 11, 12};
constexpr float kAwardCellSize = 128.0f;

class AwardsMenuPage : public DefaultMenuPage {
public:
    explicit AwardsMenuPage(PageDescription* pageDescription);

    // Badges, star marks and the texts, then the default page's drawing.
    void PostDraw(Canvas2D* canvas) override;
    // Shown: selection cleared and the award flags taken from the profile. Hidden: the new
    // awards become seen and the profile is saved.
    void OnShow(int shown, int unused) override;
    // The clock of the pulsing badge and star.
    void Update(DWORD elapsedMilliseconds) override;
    // "ShowAwardText": the argument is the button number; other commands go to the default.
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    // Selection none; flags from the profile (all clear without one).
    void ResetAwards();
    // The award the selected button shows; -1 for none.
    std::int32_t SelectedAward() const;
    // Top-left corner of award k's cell.
    static void CellCorner(std::int32_t award, float& x, float& y);

    const Brush* lockedBrushes[kAwardCount] = {};
    const Brush* unlockedBrushes[kAwardCount] = {};
    EngineString nameKeys[kAwardCount];  // by button number
    EngineString infoKeys[kAwardCount];
    DWORD unlocked[kAwardCount] = {};
    DWORD seen[kAwardCount] = {};
    const Brush* starBrush = nullptr;
    float starScale = 1.0f;
    std::int32_t selected = -1;
    float totalTime = 0.0f;
};
