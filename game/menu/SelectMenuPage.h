// SelectMenuPage: the base of the main menu's list pages (worlds, levels, custom levels): a
// list of item buttons that scrolls by rows, with an up and a down arrow at the right edge, a
// scroll bar whose cube can be dragged, and the keyboard focus pulling its item into view.
// The pages act only while the game shows its menus.
#pragma once

#include <cstdint>

#include "game/menu/SelectScroll.h"
#include "game/menu/UFMMenuPage.h"

class Control;

// The arrows, bar and cube, virtual pixels.
constexpr float kScrollArrowX = 720.0f;
constexpr float kScrollUpArrowY = 10.0f;
constexpr float kScrollDownArrowY = 400.0f;
constexpr float kScrollArrowSize = 70.0f;
constexpr float kScrollBarX = 754.0f;
constexpr float kScrollBarY = 80.0f;
constexpr float kScrollBarWidth = 2.0f;
constexpr float kScrollBarHeight = 320.0f;
constexpr float kScrollCubeX = 715.0f;
constexpr float kScrollCubeTop = 73.0f;
constexpr float kScrollCubeSize = 80.0f;

// Brushes of the page's style, looked up when the page is built.
enum SelectBrush : int {
    kBrushScrollUp,
    kBrushScrollDown,
    kBrushScrollUpPressed,
    kBrushScrollDownPressed,
    kBrushScrollBar,
    kBrushScrollCube,
    kBrushScrollCubePressed,
    kBrushLevelsEmpty,
    kBrushFillerTop,
    kBrushFillerMiddle,
    kBrushFillerBottom,
    kBrushFillerSingle,
    kBrushBronzeMedal,
    kBrushSilverMedal,
    kBrushGoldMedal,
    kBrushWorldLocked,
    kBrushCutscene,
    kBrushComic,
    kBrushOutroComic,
    kSelectBrushCount
};

// The scroll-bar sound of a row change.
constexpr std::uint32_t kSoundMenuMove = 16;
constexpr std::uint32_t kSoundMenuSelectBig = 30;

// True while the game's screen state is its menus (or no screen state machine runs, as for
// menus shown on their own).
bool InMenuScreenState();

class SelectMenuPage : public UFMMenuPage {
public:
    // `cubeStep`: how far the cube moves for one row.
    SelectMenuPage(PageDescription* pageDescription, float cubeStep);
    explicit SelectMenuPage(PageDescription* pageDescription) : SelectMenuPage(pageDescription, 84.0f) {}

    // The page's own drawing, then, while the list scrolls, its arrows, bar and cube.
    void PostDraw(Canvas2D* canvas) override;
    // A touch on an arrow or the cube is remembered; then the default handling.
    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    // A touch lifted on the arrow it started on moves one row; a dragged cube moves by the
    // rows it travelled; then the back handling.
    void OnKeyUp(std::int32_t key, std::int32_t extra) override;
    // The items register again from the controls' opening scripts each time the page opens.
    int OnOpen(std::int32_t a, std::int32_t b) override;
    // Hidden: the scroll state starts over.
    void OnShow(int shown, int unused) override;
    void Update(DWORD elapsedMilliseconds) override;
    // Only in the menus' screen state; else 0.
    std::int32_t OnButton(Control* control, const char* command, const char* argument, std::int32_t value) override;

    // Appends an item button (at most 16); the row height and the ranges follow the count.
    // `rowsBeforeEnd`: the rows the range keeps in view at its end (4 on the world page, 5 on
    // the level pages).
    void RegisterItem(Control* control, std::int32_t rowsBeforeEnd);
    // Appends to the second list (the world page's cut-scene buttons), which scrolls with the
    // rows of the same numbers.
    void RegisterSecondItem(Control* control);
    // The fade of the scroll controls (0..1) into the alpha of their seven brushes.
    void SetScrollFade(float value);
    // The completed-levels gauge of an item from the filler brushes.
    void DrawCompletionGauge(Canvas2D* canvas, float x, float y, float fraction);
    // Everything about scrolling back to the state of a fresh page.
    void ResetScroll();
    // How far item i's button is still from where its fly-in ends (0 once it arrived).
    float FlyInDistance(std::int32_t item) const;
    // The buttons fly in from now on, at the pace of the first item.
    void StartFlyIn();
    // The fade of item i for this frame: grows while the button is within 300 pixels of its
    // place, else 0.
    float ItemFade(std::int32_t item, float distance);
    // The focus kept on the first `shown` items: from the button after them to item 0, from
    // anywhere else outside them to item shown - 1.
    void KeepFocusOnItems(std::int32_t shown);
    // The page takes input (no question on top of it).
    bool PageActive() const;

    Brush* brushes[kSelectBrushCount] = {};
    Control* items[kSelectItemCapacity] = {};
    std::int32_t itemCount = 0;
    Control* secondItems[kSelectItemCapacity] = {};
    float secondOffsets[kSelectItemCapacity] = {};  // below their rows, as the menu file puts them
    std::int32_t secondCount = 0;
    float rowHeight = 0.0f;
    float cubeStep;
    float scrollOffset = 0.0f;
    float scrollMinimum = 0.0f;
    float scrollMaximum = 0.0f;
    std::int32_t targetRow = 0;
    std::int32_t previousTargetRow = 0;
    std::int32_t visibleRow = 0;
    std::int32_t selectedIndex = 0;
    float cubeX = kScrollCubeX;
    float cubeY = kScrollCubeTop;
    float cubeMinimum = kScrollCubeTop;
    float cubeMaximum = kScrollCubeTop;
    float cubeTravel = 0.0f;
    float grabCubeY = 0.0f;
    float grabScrollOffset = 0.0f;
    float grabPointerY = 0.0f;
    bool upPressed = false;
    bool downPressed = false;
    bool cubePressed = false;
    bool scrolling = false;
    float fade = 0.0f;
    float frameStep = 0.0f;  // seconds, of the last update
    float itemFades[kSelectItemCapacity] = {};

protected:
    // Places every item at its row under the current scroll offset.
    void PlaceItems();
    // Follows the focus window with the target row while an arrow key is down.
    void FollowFocus();
};

// The pointer boxes of the arrows and the cube (both ends included).
bool InScrollUpArrow(float x, float y);
bool InScrollDownArrow(float x, float y);
bool InScrollCube(float cubeX, float cubeY, float x, float y);

// The first level of the world chosen on the world page: 0 for none (the tutorials), else
// the index of the world's first level. Shared by the world and level pages.
std::int32_t& SelectedLevelBase();
