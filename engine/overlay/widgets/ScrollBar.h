// ScrollBar: two arrows and a thumb along a track. Presses, drags, the wheel and the scroll
// keys become scroll requests to the parent (OnScroll when vertical, OnHScroll when
// horizontal); a held arrow or track repeats its request 250 ms after the press and then
// every 100 ms.
#pragma once

#include <cstdint>

#include "engine/overlay/widgets/Control.h"

constexpr const char kScrollBarClass[] = "ScrollBarWndClass";

// Orientation styles: exactly one is given.
constexpr DWORD kScrollHorizontal = 0x400;
constexpr DWORD kScrollVertical = 0x800;

// Scroll request codes.
constexpr std::int32_t kScrollToEnd = 1;
constexpr std::int32_t kScrollThumbReleased = 2;
constexpr std::int32_t kScrollStepForward = 3;
constexpr std::int32_t kScrollStepBack = 4;
constexpr std::int32_t kScrollPageForward = 5;
constexpr std::int32_t kScrollPageBack = 6;
constexpr std::int32_t kScrollThumbDragged = 8;
constexpr std::int32_t kScrollToStart = 9;

// Parts of the bar, along it.
constexpr DWORD kScrollPartNone = 0;
constexpr DWORD kScrollPartFirstArrow = 1;
constexpr DWORD kScrollPartTrackBefore = 2;
constexpr DWORD kScrollPartThumb = 3;
constexpr DWORD kScrollPartTrackAfter = 4;
constexpr DWORD kScrollPartSecondArrow = 5;

// State bits besides the held part.
constexpr DWORD kScrollPartMask = 0xF;
constexpr DWORD kScrollHeld = 0x10;
constexpr DWORD kScrollActive = 0x20;

// The first repeat comes this long after the press, later ones every kScrollRepeatMs.
constexpr std::int32_t kScrollRepeatStart = -150;
constexpr std::int32_t kScrollRepeatMs = 100;

class ScrollBar : public Control {
public:
    ~ScrollBar() override;

    // Scroll keys 137-140, 143, 144 (ignored while held); others move the focus.
    void OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) override;
    void OnPointerMove(float x, float y) override;
    void OnPointerDown(float x, float y) override;
    void OnPointerUp(float x, float y) override;
    // The wheel: a negative value steps forward, a positive one back.
    void OnPointerEvent7(std::int32_t value, float x, float y) override;
    void OnCaptureLost(Control* capturer) override;
    void Draw(Canvas2D* canvas) override;
    // The auto-repeat of a held arrow or track.
    void Update(DWORD elapsedMilliseconds) override;

    // 0 without a parent or unless exactly one orientation style is given.
    int CreateScrollBar(DWORD style, float x, float y, float width, float height, Control* parent, DWORD id);
    void SetRange(std::int32_t minimum, std::int32_t maximum);
    // Clamped to the range; redrawn.
    void SetPosition(std::int32_t position);

    bool Vertical() const { return (flags & kScrollVertical) != 0; }
    // Length along the bar and thickness across it.
    float Length() const { return Vertical() ? height : width; }
    float Thickness() const { return Vertical() ? width : height; }
    // The part at a coordinate along the bar.
    DWORD PartAt(float along) const;
    float ThumbOffset(std::int32_t forPosition) const;
    std::int32_t PositionFromOffset(float offset) const;

    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t position = 0;
    std::int32_t dragStartPosition = 0;
    float dragStartCoordinate = 0.0f;
    DWORD state = 0;
    std::int32_t repeatTimer = 0;

private:
    void Send(std::int32_t code, std::int32_t atPosition);
    bool OnHeldPart(float along, float across) const;
};

// The request a held part repeats; 0 for the thumb and none.
std::int32_t ScrollCodeOfPart(DWORD part);
