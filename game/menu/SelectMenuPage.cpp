// The scrolling list of the selection pages: rows, arrows, the dragged cube and the focus.
#include "game/menu/SelectMenuPage.h"

#include <algorithm>

#include "engine/app/FrameDriver.h"
#include "engine/app/GameKeys.h"
#include "engine/app/KeyStates.h"
#include "engine/core/math/VectorMath.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/flow/interfaces/FlowHost.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"

namespace {

constexpr const char* kBrushNames[kSelectBrushCount] = {
    "SCROLL_UP_BRUSH",
    "SCROLL_DOWN_BRUSH",
    "SCROLL_UP_PRESSED_BRUSH",
    "SCROLL_DOWN_PRESSED_BRUSH",
    "SCROLL_BAR_BRUSH",
    "SCROLL_CUBE_BRUSH",
    "SCROLL_CUBE_PRESSED_BRUSH",
    "LEVELS_COMPLETED_EMPTY_BRUSH",
    "LEVELS_COMPLETED_FILLER_TOP_BRUSH",
    "LEVELS_COMPLETED_FILLER_MIDDLE_BRUSH",
    "LEVELS_COMPLETED_FILLER_BOTTOM_BRUSH",
    "LEVELS_COMPLETED_FILLER_SINGLE_BRUSH",
    "BRONZE_MEDAL_BRUSH",
    "SILVER_MEDAL_BRUSH",
    "GOLD_MEDAL_BRUSH",
    "WORLD_LOCKED_BRUSH",
    "CUTSCENE_BRUSH",
    "COMIC_BRUSH",
    "OUTRO_COMIC_BRUSH",
};

// A fly-in that is this far from its end still hides its item.
constexpr float kFadeDistance = 300.0f;

bool KeyDown(const FlowHost* host, std::int32_t key) {
    if (host == nullptr) return false;
    const int state = host->KeyState(key);
    return state == kKeyPressed || state == kKeyHeld;
}

void DrawBrush(Canvas2D* canvas, const Brush* brush, float x, float y, float width, float height) {
    if (brush != nullptr) DrawQuad(canvas, x, y, width, height, brush, 0.0f);
}

}  // namespace

bool InMenuScreenState() {
    const FlowHost* host = GetFlowHost();
    return host == nullptr || host->CurrentScreenState() == kScreenMenus;
}

bool InScrollUpArrow(float x, float y) { return x >= 725.0f && x <= 785.0f && y >= 20.0f && y <= 65.0f; }
bool InScrollDownArrow(float x, float y) { return x >= 725.0f && x <= 785.0f && y >= 415.0f && y <= 460.0f; }

bool InScrollCube(float cubeX, float cubeY, float x, float y) {
    // The cube's visible body is 30 x 50 inside its 80 x 80 picture; fingers get 15 more on
    // every side.
    const float left = cubeX + 25.0f - 15.0f;
    const float top = cubeY + 15.0f - 15.0f;
    return x >= left && x <= left + 60.0f && y >= top && y <= top + 80.0f;
}

SelectMenuPage::SelectMenuPage(PageDescription* pageDescription, float step)
    : UFMMenuPage(pageDescription), cubeStep(step) {
    const MenuStyle* style = pageDescription != nullptr ? pageDescription->style : nullptr;
    for (int i = 0; i < kSelectBrushCount; ++i) {
        BrushRecord* record = style != nullptr ? style->FindBrush(kBrushNames[i]) : nullptr;
        brushes[i] = record != nullptr ? &record->brush : nullptr;
    }
    // The cut-scene and comic pictures stand half transparent behind the items.
    for (int i : {kBrushCutscene, kBrushComic, kBrushOutroComic})
        if (brushes[i] != nullptr) brushes[i]->SetAlpha(127.0f / 255.0f);
}

bool SelectMenuPage::PageActive() const {
    // A question over the page takes the input until it closes.
    return IsWindowEnabled(this) && (popupSet == 0 || pageButtonsEnabled != 0);
}

void SelectMenuPage::RegisterItem(Control* control, std::int32_t rowsBeforeEnd) {
    if (control == nullptr || itemCount >= kSelectItemCapacity) return;
    items[itemCount++] = control;
    rowHeight = items[0]->height + 2.0f;
    scrollMinimum = 0.0f;
    scrollMaximum = ScrollLimit(itemCount, rowsBeforeEnd, rowHeight);
    cubeMinimum = kScrollCubeTop;
    cubeMaximum = kScrollCubeTop + ScrollLimit(itemCount, kSelectShownRows, cubeStep);
}

void SelectMenuPage::RegisterSecondItem(Control* control) {
    if (control == nullptr || secondCount >= kSelectItemCapacity) return;
    secondOffsets[secondCount] = control->y - (rowHeight * static_cast<float>(secondCount) + 5.0f);
    secondItems[secondCount++] = control;
}

void SelectMenuPage::SetScrollFade(float value) {
    fade = std::clamp(value, 0.0f, 1.0f);
    for (int i = kBrushScrollUp; i <= kBrushScrollCubePressed; ++i)
        if (brushes[i] != nullptr) brushes[i]->SetAlpha(fade);
}

void SelectMenuPage::DrawCompletionGauge(Canvas2D* canvas, float x, float y, float fraction) {
    // The pieces stack into one bar that rises inside the gauge's frame: the bottom (or the
    // single piece of a small share) at the foot, the top at its height, the middle between.
    constexpr float kBarLeft = 35.0f;
    constexpr float kBarWidth = 36.0f;
    constexpr float kFoot = 84.0f;
    GaugePlacement pieces[3];
    const int count = CompletionGaugePieces(fraction, pieces);
    for (int i = 0; i < count; ++i) {
        int brush = kBrushFillerSingle;
        float height = kFoot - pieces[i].dy;
        switch (pieces[i].piece) {
            case GaugePiece::kSingle: brush = kBrushFillerSingle; break;
            case GaugePiece::kBottom: brush = kBrushFillerBottom; break;
            case GaugePiece::kTop:
                brush = kBrushFillerTop;
                height = 10.0f;
                break;
            case GaugePiece::kMiddle:
                brush = kBrushFillerMiddle;
                height = 62.0f - pieces[i].dy;
                break;
        }
        DrawBrush(canvas, brushes[brush], x + kBarLeft, y + pieces[i].dy, kBarWidth, height);
    }
}

void SelectMenuPage::ResetScroll() {
    scrollOffset = 0.0f;
    targetRow = 0;
    previousTargetRow = 0;
    visibleRow = 0;
    selectedIndex = 0;
    cubeX = kScrollCubeX;
    cubeY = kScrollCubeTop;
    cubeTravel = 0.0f;
    grabCubeY = 0.0f;
    grabScrollOffset = 0.0f;
    grabPointerY = 0.0f;
    upPressed = false;
    downPressed = false;
    cubePressed = false;
    scrolling = false;
    // The rows go back to their places, so the next opening reads the menu file's layout.
    PlaceItems();
}

float SelectMenuPage::FlyInDistance(std::int32_t item) const {
    if (item < 0 || item >= itemCount) return 0.0f;
    const Control* button = items[item];
    const std::int32_t index = static_cast<std::int32_t>(button->id) - static_cast<std::int32_t>(kFirstControlId);
    if (index < 0 || index >= buttonCount) return 0.0f;
    return std::max(button->x - Target(index), 0.0f);
}

void SelectMenuPage::StartFlyIn() {
    // The whole list crosses the screen at the pace of its first item.
    if (itemCount > 0) {
        const std::int32_t index =
            static_cast<std::int32_t>(items[0]->id) - static_cast<std::int32_t>(kFirstControlId);
        speed = (Target(index) - static_cast<float>(Overlay2D().screenWidth)) * kFlyInSpeedFactor;
    }
    startTime = GetTimeSeconds();
    done = 0;
}

float SelectMenuPage::ItemFade(std::int32_t item, float distance) {
    if (item < 0 || item >= kSelectItemCapacity || distance >= kFadeDistance) return 0.0f;
    itemFades[item] += 2.0f * frameStep;
    return std::min(itemFades[item], 1.0f);
}

void SelectMenuPage::KeepFocusOnItems(std::int32_t shown) {
    shown = std::clamp(shown, 0, itemCount);
    if (shown == 0) return;
    Control* focus = FocusWidget();
    Control* target = nullptr;
    if (shown < itemCount && focus == items[shown]) {
        target = items[0];
    } else if (std::find(items, items + shown, focus) == items + shown) {
        target = items[shown - 1];
    }
    if (target != nullptr && target != focus) SetFocusWindow(target);
}

void SelectMenuPage::PostDraw(Canvas2D* canvas) {
    // The fly-in and the title; a question's text is the world page's own to draw.
    AnimatedMenuPage::PostDraw(canvas);
    if (!scrolling || canvas == nullptr) return;
    canvas->offsetX = 0.0f;
    canvas->offsetY = 0.0f;
    SetScrollFade(std::min(fade + 2.0f * frameStep, 1.0f));
    DrawBrush(canvas, brushes[upPressed ? kBrushScrollUpPressed : kBrushScrollUp], kScrollArrowX, kScrollUpArrowY,
         kScrollArrowSize, kScrollArrowSize);
    DrawBrush(canvas, brushes[downPressed ? kBrushScrollDownPressed : kBrushScrollDown], kScrollArrowX, kScrollDownArrowY,
         kScrollArrowSize, kScrollArrowSize);
    DrawBrush(canvas, brushes[kBrushScrollBar], kScrollBarX, kScrollBarY, kScrollBarWidth, kScrollBarHeight);
    DrawBrush(canvas, brushes[cubePressed ? kBrushScrollCubePressed : kBrushScrollCube], cubeX, cubeY, kScrollCubeSize,
         kScrollCubeSize);
}

void SelectMenuPage::OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) {
    if (key == kPenKey && InMenuScreenState() && scrolling && PageActive()) {
        const OverlayManager& overlay = Overlay();
        const float px = overlay.pointerX;
        const float py = overlay.pointerY;
        upPressed = InScrollUpArrow(px, py);
        downPressed = InScrollDownArrow(px, py);
        cubePressed = InScrollCube(cubeX, cubeY, px, py);
        if (cubePressed) {
            grabCubeY = cubeY;
            grabScrollOffset = scrollOffset;
            grabPointerY = py;
        }
    }
    UFMMenuPage::OnKeyDown(key, value, extra);
}

void SelectMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (key == kPenKey && InMenuScreenState() && scrolling && PageActive()) {
        const OverlayManager& overlay = Overlay();
        const float px = overlay.pointerX;
        const float py = overlay.pointerY;
        if (upPressed && InScrollUpArrow(px, py)) {
            PlaySoundEffect(kSoundMenuMove, 0, 0);
            targetRow = ClampRow(targetRow - 1, itemCount, kSelectShownRows);
        } else if (downPressed && InScrollDownArrow(px, py)) {
            PlaySoundEffect(kSoundMenuMove, 0, 0);
            targetRow = ClampRow(targetRow + 1, itemCount, kSelectShownRows - 1);
        } else if (cubePressed && cubeStep > 0.0f) {
            const std::int32_t rows = std::clamp(RoundHalfAwayToInt((py - grabPointerY) / cubeStep),
                                                 -kSelectItemCapacity, kSelectItemCapacity);
            targetRow = ClampRow(targetRow + rows, itemCount, kSelectShownRows - 1);
        }
        upPressed = false;
        downPressed = false;
        cubePressed = false;
    }
    UFMMenuPage::OnKeyUp(key, extra);
}

int SelectMenuPage::OnOpen(std::int32_t a, std::int32_t b) {
    itemCount = 0;
    secondCount = 0;
    rowHeight = 0.0f;
    scrollMaximum = 0.0f;
    cubeMaximum = kScrollCubeTop;
    return UFMMenuPage::OnOpen(a, b);
}

void SelectMenuPage::OnShow(int shown, int unused) {
    UFMMenuPage::OnShow(shown, unused);
    fade = 0.0f;
    if (shown != 0) StartFlyIn();
    if (shown == 0) {
        ResetScroll();
        std::fill(std::begin(itemFades), std::end(itemFades), 0.0f);
    }
}

void SelectMenuPage::PlaceItems() {
    for (std::int32_t i = 0; i < itemCount; ++i) items[i]->y = rowHeight * static_cast<float>(i) - (scrollOffset - 5.0f);
    for (std::int32_t i = 0; i < secondCount; ++i)
        secondItems[i]->y = rowHeight * static_cast<float>(i) - (scrollOffset - 5.0f) + secondOffsets[i];
}

void SelectMenuPage::FollowFocus() {
    const FlowHost* host = GetFlowHost();
    if (!KeyDown(host, kGameKeyUp) && !KeyDown(host, kGameKeyDown)) return;
    const std::int32_t shown = SelectedLevelBase() != 0 ? kSelectShownRows : itemCount;
    const std::int32_t lastTop = std::max(shown - kSelectShownRows, 0);
    const Control* focus = FocusWidget();
    for (std::int32_t i = 0; i < shown && i < kSelectItemCapacity; ++i) {
        const bool first = i < itemCount && items[i] == focus;
        const bool second = i < secondCount && secondItems[i] == focus;
        if (focus == nullptr || (!first && !second)) continue;
        selectedIndex = i;
        targetRow = std::min(i, lastTop);
    }
    if (targetRow != previousTargetRow) PlaySoundEffect(kSoundMenuMove, 0, 0);
    previousTargetRow = targetRow;
}

void SelectMenuPage::Update(DWORD elapsedMilliseconds) {
    frameStep = static_cast<float>(elapsedMilliseconds) * 0.001f;
    if (!InMenuScreenState()) return;
    FollowFocus();
    const OverlayManager& overlay = Overlay();
    if (cubePressed && cubeStep > 0.0f) {
        cubeY = std::clamp(overlay.pointerY - grabPointerY + grabCubeY, cubeMinimum, cubeMaximum);
        cubeTravel = cubeY - cubeMinimum;
        scrollOffset = std::clamp(rowHeight / cubeStep * cubeTravel + scrollMinimum, scrollMinimum, scrollMaximum);
        PlaceItems();
        const std::int32_t row = rowHeight > 0.0f ? static_cast<std::int32_t>(scrollOffset / rowHeight) : 0;
        if (row != visibleRow) PlaySoundEffect(kSoundMenuMove, 0, 0);
        visibleRow = row;
    } else {
        scrollOffset = EaseToward(scrollOffset, rowHeight * static_cast<float>(targetRow), frameStep);
        PlaceItems();
        visibleRow = rowHeight > 0.0f ? static_cast<std::int32_t>(scrollOffset / rowHeight) : 0;
        const float cubeTarget = cubeStep * static_cast<float>(targetRow) + kScrollCubeTop;
        cubeY = std::clamp(EaseToward(cubeY, cubeTarget, frameStep), cubeMinimum, cubeMaximum);
    }
    if (upPressed && !InScrollUpArrow(overlay.pointerX, overlay.pointerY)) upPressed = false;
    if (downPressed && !InScrollDownArrow(overlay.pointerX, overlay.pointerY)) downPressed = false;
    UFMMenuPage::Update(elapsedMilliseconds);
}

std::int32_t SelectMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                      std::int32_t value) {
    if (!InMenuScreenState()) return 0;
    return UFMMenuPage::OnButton(control, command, argument, value);
}

std::int32_t& SelectedLevelBase() {
    static std::int32_t levelBase = 0;
    return levelBase;
}
