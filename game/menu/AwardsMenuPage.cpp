// The awards page: grid, star marks, texts, and the seen bits written when it is left.
#include "game/menu/AwardsMenuPage.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/core/math/VectorMath.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/ui/text/ShadowedText.h"

namespace {

// (column, row) of each award's cell: awards 0-8 fill three columns, 9-14 the two beside them.
constexpr float kGrid[kAwardCount][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2},
                                         {2, 2}, {3, 0}, {4, 0}, {3, 1}, {4, 1}, {3, 2}, {4, 2}};
constexpr float kStarOffsetX = 80.0f;
constexpr float kStarOffsetY = -15.0f;
constexpr float kStarSize = 50.0f;
constexpr float kShadow[2] = {-2.0f, -2.0f};

const WCHAR* TableText(const EngineString& key) {
    TextTable* table = GlobalTextTable();
    return table != nullptr ? TextTableFind(table, key.Text(), nullptr) : nullptr;
}

}  // namespace

AwardsMenuPage::AwardsMenuPage(PageDescription* pageDescription) : DefaultMenuPage(pageDescription) {
    for (std::int32_t k = 0; k < kAwardCount; ++k) {
        char name[48];
        std::snprintf(name, sizeof name, "%s%d", "AWARD_LOCKED_BRUSH_", static_cast<int>(k + 1));
        lockedBrushes[k] = StyleBrush(pageDescription, name);
        std::snprintf(name, sizeof name, "%s%d", "AWARD_UNLOCKED_BRUSH_", static_cast<int>(k + 1));
        unlockedBrushes[k] = StyleBrush(pageDescription, name);
        std::snprintf(name, sizeof name, "AWARD_NAME_%d", static_cast<int>(k + 1));
        nameKeys[k].Assign(name);
        std::snprintf(name, sizeof name, "AWARD_INFO_%d", static_cast<int>(k + 1));
        infoKeys[k].Assign(name);
    }
    starBrush = StyleBrush(pageDescription, "STAR_BRUSH");
}

void AwardsMenuPage::CellCorner(std::int32_t award, float& x, float& y) {
    x = 160.0f + kAwardCellSize * kGrid[award][0];
    y = 8.0f + kAwardCellSize * kGrid[award][1];
}

std::int32_t AwardsMenuPage::SelectedAward() const {
    return selected >= 0 && selected < kAwardCount ? kAwardDisplayOrder[selected] : -1;
}

void AwardsMenuPage::ResetAwards() {
    selected = -1;
    const PlayerProfile* profile = GetProfile();
    for (std::int32_t k = 0; k < kAwardCount; ++k) {
        unlocked[k] = profile != nullptr && profile->HasAward(k) ? 1 : 0;
        seen[k] = profile != nullptr && (profile->awardWord2 >> k & 1) != 0 ? 1 : 0;
    }
}

void AwardsMenuPage::OnShow(int shown, int unused) {
    if (shown != 0) {
        ResetAwards();
        Overlay().AddUpdateWidget(this);
    } else {
        if (PlayerProfile* profile = GetProfile()) {
            for (std::int32_t k = 0; k < kAwardCount; ++k)
                if (unlocked[k] != 0 && seen[k] == 0) profile->SetAwardSeen(k);
            profile->Save();
        }
        Overlay().RemoveUpdateWidget(this);
    }
    DefaultMenuPage::OnShow(shown, unused);
}

void AwardsMenuPage::Update(DWORD elapsedMilliseconds) {
    totalTime += static_cast<float>(elapsedMilliseconds) * 0.001f;
    starScale = 1.0f + (std::sin(10.0f * totalTime) + 1.0f) * 0.125f;
    DefaultMenuPage::Update(elapsedMilliseconds);
}

std::int32_t AwardsMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                      std::int32_t value) {
    if (control != nullptr && command != nullptr && CompareNoCase(command, "ShowAwardText") == 0) {
        // A number outside the grid selects nothing rather than reading past the table.
        std::int32_t number = argument != nullptr ? std::atoi(argument) : -1;
        if (number < 0 || number >= kAwardCount) number = -1;
        if (number != selected) PlaySoundEffect(kSoundMenuSelect, 0, 0);
        selected = number;
        return 0;
    }
    // The badge buttons are see-through: the page draws the badges under them.
    if (command != nullptr && CompareNoCase(command, "InitAwardButton") == 0) {
        if (auto* button = dynamic_cast<Button*>(control))
            for (const Brush*& look : button->brushes) look = nullptr;
    }
    return DefaultMenuPage::OnButton(control, command, argument, value);
}

void AwardsMenuPage::PostDraw(Canvas2D* canvas) {
    if (canvas == nullptr) return;
    canvas->offsetX = 0.0f;
    canvas->offsetY = 0.0f;
    const std::int32_t pulsing = SelectedAward();
    for (std::int32_t k = 0; k < kAwardCount; ++k) {
        if (k == pulsing) continue;
        const Brush* brush = unlocked[k] != 0 ? unlockedBrushes[k] : lockedBrushes[k];
        float x, y;
        CellCorner(k, x, y);
        if (brush != nullptr) DrawQuad(canvas, x, y, kAwardCellSize, kAwardCellSize, brush, 0.0f);
    }
    if (pulsing >= 0) {
        const Brush* brush = unlocked[pulsing] != 0 ? unlockedBrushes[pulsing] : lockedBrushes[pulsing];
        const float grow = (std::sin(4.0f * totalTime) + 1.0f) * 0.1f + 1.0f;
        const float size = 2.0f * std::trunc(grow * kAwardCellSize * 0.5f);
        float x, y;
        CellCorner(pulsing, x, y);
        const float shift = (size - kAwardCellSize) * -0.5f;
        if (brush != nullptr) DrawQuad(canvas, x + shift, y + shift, size, size, brush, 0.0f);
    }
    if (starBrush != nullptr) {
        const float half = RoundHalfAway((starScale - 1.0f) * kStarSize * 0.5f);
        const float side = RoundHalfAway(kStarSize * starScale);
        for (std::int32_t k = 0; k < kAwardCount; ++k) {
            if (unlocked[k] == 0 || seen[k] != 0) continue;
            float x, y;
            CellCorner(k, x, y);
            DrawQuad(canvas, x + kStarOffsetX - half, y + kStarOffsetY - half, side, side, starBrush, 0.0f);
        }
    }
    if (selected < 0) {
        EngineString key("MENU_AWARD_EXPLANATION");
        if (const WCHAR* text = TableText(key))
            DrawTextBox(canvas, 190.0f, 394.0f, 580.0f, 100.0f, text, nullptr, 0xFFFFFFFF, kShadowBlack, kShadow, 0,
                        1.0f, 0.0f);
    } else {
        if (const WCHAR* name = TableText(nameKeys[selected])) {
            if (IsRightToLeftText()) {
                DrawShadowedText(canvas, 770.0f, 386.0f, name, -1, nullptr, 0xFFFFFFFF, kShadowBlack, kShadow,
                                 kTextRight, 1.0f);
            } else {
                DrawShadowedText(canvas, 190.0f, 390.0f, name, -1, nullptr, 0xFFFFFFFF, kShadowBlack, kShadow,
                                 kTextRoundPosition, 1.0f);
            }
        }
        if (const WCHAR* info = TableText(infoKeys[selected]))
            DrawTextBox(canvas, 190.0f, 418.0f, 580.0f, 100.0f, info, nullptr, 0xFFFFFFFF, kShadowBlack, kShadow, 0,
                        1.0f, 0.0f);
    }
    DefaultMenuPage::PostDraw(canvas);
}
