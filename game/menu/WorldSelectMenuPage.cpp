// The world list: its commands and its drawing.
#include "game/menu/WorldSelectMenuPage.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/ColorMath.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/TextRef.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/frame/FrameText.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"
#include "game/ui/text/ShadowedText.h"
#include "game/ui/text/TextFormat.h"

namespace {

constexpr const char* kLevelSelectPage = "LevelSelect";
constexpr DWORD kLeftAligned = 4;

bool IsCommand(const char* command, const char* name) { return CompareNoCase(command, name) == 0; }

// Whether cut-scene button n is shown: 0 the intro comic once started, 1..9 the world's
// cut-scene once available, 10 the outro comic once seen.
bool CutsceneButtonShown(std::int32_t n) {
    if (n == 0) return (WorldSelectMenuPage::WorldStatus(1) & kWorldComicSeen) != 0;
    if (n >= 1 && n <= 9) return (WorldSelectMenuPage::WorldStatus(n) & kWorldCutsceneSeen) != 0;
    return (WorldSelectMenuPage::WorldStatus(9) & kWorldComicSeen) != 0;
}

void ShowControl(Control* control, bool shown) {
    if (control == nullptr) return;
    if (shown) {
        SetEnabled(control, 1);
    } else {
        HidePageControl(control);
    }
}

}  // namespace

WorldSelectMenuPage::WorldSelectMenuPage(PageDescription* pageDescription) : SelectMenuPage(pageDescription, 51.0f) {
    const MenuStyle* style = pageDescription != nullptr ? pageDescription->style : nullptr;
    for (std::int32_t i = 0; style != nullptr && i < kWorldItemCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "WORLD_BRUSH_%d", static_cast<int>(i));
        BrushRecord* record = style->FindBrush(name);
        worldBrushes[i] = record != nullptr ? &record->brush : nullptr;
    }
}

std::uint16_t WorldSelectMenuPage::WorldStatus(std::int32_t world) {
    const PlayerProfile* profile = GetProfile();
    if (profile == nullptr || world < 0 || world >= kWorldCount) return 0;
    return profile->worldFlags[world];
}

int WorldSelectMenuPage::OnOpen(std::int32_t a, std::int32_t b) {
    popupUnderlay = nullptr;
    hintButtonCount = 0;
    return SelectMenuPage::OnOpen(a, b);
}

void WorldSelectMenuPage::OnShow(int shown, int unused) {
    SelectMenuPage::OnShow(shown, unused);
    if (shown == 0) {
        popupUnderlay = nullptr;
        hintButtonCount = 0;
        return;
    }
    SelectedLevelBase() = 0;
    scrolling = true;
    ready = 1;
    // While the hint is up, the worlds that can be chosen are switched off; the locked ones
    // are left out, so closing the hint does not open them.
    KDLList pageList;
    KDLList popupList;
    for (std::int32_t i = 0; i < itemCount; ++i)
        if (IsWindowEnabled(items[i])) ListAppend(pageList, items[i]);
    for (std::int32_t i = 0; i < secondCount; ++i)
        if (IsWindowEnabled(secondItems[i])) ListAppend(pageList, secondItems[i]);
    for (std::int32_t i = 0; i < hintButtonCount; ++i) ListAppend(popupList, hintButtons[i]);
    SetupPopup(popupUnderlay, pageList, popupList, kCommandQuit, "UFM_TUTORIAL", {150.0f, 180.0f}, {400.0f, 272.0f},
               {560.0f, 381.0f}, 1);
    ListReset(pageList);
    ListReset(popupList);
    const PlayerProfile* profile = GetProfile();
    if (profile != nullptr && profile->tutorialHint != 0 && popupOpened == 0 && hintButtonCount > 0) {
        ready = 0;
        popupOpened = 1;
        OpenPopup();
    }
}

bool WorldSelectMenuPage::HintOpen() const { return popupSet != 0 && popupButtonsEnabled != 0; }

void WorldSelectMenuPage::CloseHint() {
    PlaySoundEffect(kSoundMenuSelect, 0, 0);
    ClosePopup();
    StartFlyIn();
    ready = 1;
}

void WorldSelectMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) {
    // The back key answers the hint like its button; it neither leaves the page nor ends the
    // game.
    if (HintOpen() && IsBackKey(key)) {
        CloseHint();
        return;
    }
    SelectMenuPage::OnKeyUp(key, extra);
}

std::int32_t WorldSelectMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                           std::int32_t value) {
    if (!InMenuScreenState() || command == nullptr) return 0;
    const std::int32_t n = ParseItemNumber(argument);
    if (IsCommand(command, "InitWorldButton")) {
        RegisterItem(control, kSelectShownRows - 1);
        if (n >= 1 && n <= 9) ShowControl(control, (WorldStatus(n) & kWorldUnlocked) != 0);
        return 0;
    }
    if (IsCommand(command, "SelectWorld")) {
        SelectedLevelBase() = WorldLevelBase(n);
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        MenuManager& manager = GetMenuManager();
        if (MenuPage* levels = manager.FindPage(kLevelSelectPage)) manager.OpenPage(levels);
        CloseWithoutResult();
        return 0;
    }
    if (IsCommand(command, "InitCutsceneButton")) {
        RegisterSecondItem(control);
        if (n >= 0 && n <= 10) ShowControl(control, CutsceneButtonShown(n));
        return 0;
    }
    if (IsCommand(command, "WatchCutscene")) {
        SelectedLevelBase() = 0;
        if (n > 9) {
            CloseWithoutResult();
            return 0;
        }
        PlaySoundEffect(kSoundMenuSelectBig, 0, 0);
        if (IngameController* controller = GetController()) controller->RequestWorldCutscene(n);
        return kCommandStart;
    }
    if (IsCommand(command, "WatchComic")) {
        SelectedLevelBase() = 0;
        if (n > 1) {
            CloseWithoutResult();
            return 0;
        }
        PlaySoundEffect(kSoundMenuSelect, 0, 0);
        if (IngameController* controller = GetController()) controller->SetRequest(n);
        return kCommandStart;
    }
    if (IsCommand(command, "InitUFMUnderlay")) {
        popupUnderlay = control;
        return 0;
    }
    if (IsCommand(command, "InitUFMButton")) {
        if (control != nullptr && hintButtonCount < kSelectItemCapacity) hintButtons[hintButtonCount++] = control;
        return 0;
    }
    if (IsCommand(command, "OKTutorial")) {
        CloseHint();
        return 0;
    }
    return SelectMenuPage::OnButton(control, command, argument, value);
}

void WorldSelectMenuPage::DrawItem(Canvas2D* canvas, std::int32_t item) {
    Control* button = items[item];
    const float d = FlyInDistance(item);
    const float y = rowHeight * static_cast<float>(item) + 5.0f - scrollOffset;
    const float f = ItemFade(item, d);
    const bool locked = !IsWindowEnabled(button);
    const DWORD colour = (static_cast<DWORD>(0.5f * f * 255.0f) << 24) | (locked ? 0x00FFFFFFu : 0u);

    if (brushes[kBrushCutscene] != nullptr && brushes[kBrushComic] != nullptr) {
        const Control* cutscene = item < secondCount ? secondItems[item] : nullptr;
        const float alpha = cutscene != nullptr && !IsWindowEnabled(cutscene) ? 0.5f : 1.0f;
        for (int b : {kBrushCutscene, kBrushComic, kBrushOutroComic})
            if (brushes[b] != nullptr) brushes[b]->SetAlpha(alpha);
        if (worldBrushes[item] != nullptr) worldBrushes[item]->SetAlpha(alpha);
    }
    // The group's own picture where the style gives one: what its scene shows, dimmed like the
    // scene's picture while the scene cannot be watched.
    const Brush* picture =
        worldBrushes[item] != nullptr ? worldBrushes[item] : brushes[item == 0 ? kBrushComic : kBrushCutscene];
    if (picture != nullptr) DrawQuad(canvas, d + 607.0f, y + 7.0f, 78.0f, 76.0f, picture, 0.0f);
    if (item == kWorldItemCount - 1 && brushes[kBrushOutroComic] != nullptr)
        DrawQuad(canvas, d + 607.0f, y + 101.0f, 78.0f, 75.0f, brushes[kBrushOutroComic], 0.0f);

    EngineWString label = item == 0 ? CopyText(KeyedText("MENU_TUTORIAL")) : FillNumber(KeyedText("MENU_WORLD_NUM"), item);
    const TextRef text = TextRefFromText(&label);
    float scale = 1.0f;
    if (button->width > 0.0f) {
        const float measured = MeasureText(text, nullptr, 1.0f);
        if (measured > button->width) scale = button->width / measured;
    }
    DrawText(canvas, d + 212.0f, y + 46.0f, text, nullptr, colour, kLeftAligned, scale);

    if (Brush* empty = brushes[kBrushLevelsEmpty]) {
        empty->SetAlpha(f);
        DrawQuad(canvas, d + 484.0f, y, 100.0f, 92.0f, empty, 0.0f);
    }
    if (locked) {
        if (brushes[kBrushWorldLocked] != nullptr)
            DrawQuad(canvas, d + 499.0f, y + 10.0f, 70.0f, 70.0f, brushes[kBrushWorldLocked], 0.0f);
        return;
    }
    const std::int32_t bits = item == 0 ? kTutorialLevelCount : kLevelsPerWorld;
    const float fraction = static_cast<float>(DoneBits(WorldStatus(item), bits)) / static_cast<float>(bits);
    DrawCompletionGauge(canvas, d + 481.0f, y, fraction);
}

void WorldSelectMenuPage::DrawHint(Canvas2D* canvas) {
    if (textColour.a <= 0.0f) return;
    constexpr float kShadowOffset[2] = {-2.0f, -2.0f};
    constexpr DWORD kMessageFlags = 38;
    DrawTextBox(canvas, textPosition.x, textPosition.y + 20.0f, textBoxSize.x, textBoxSize.y,
                KeyedText(messageKey.Text()), nullptr, ColorToARGB(textColour), ColorToARGB(shadowColour),
                kShadowOffset, kMessageFlags, 1.5f * textScale, 0.0f);
}

void WorldSelectMenuPage::PostDraw(Canvas2D* canvas) {
    if (canvas != nullptr) {
        canvas->offsetX = 0.0f;
        canvas->offsetY = 0.0f;
        DrawHint(canvas);
        // Only the items the menu file registered: a shorter list draws no phantom rows.
        const std::int32_t shown = std::min(itemCount, kWorldItemCount);
        for (std::int32_t item = 0; item < shown; ++item) DrawItem(canvas, item);
    }
    SelectMenuPage::PostDraw(canvas);
}
