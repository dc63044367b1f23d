// The scroll bar: its geometry, presses, drags, auto-repeat, keys and wheel.
#include "engine/overlay/widgets/ScrollBar.h"

#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "engine/resources/texture/TextureHandle.h"

namespace {

// The ten looks of the bar, quarter cells of "ui/scrollbuttons.tga": each arrow of both
// orientations and the thumb, each plain and pressed.
enum BrushIndex {
    kUp, kUpPressed, kDown, kDownPressed,
    kLeft, kLeftPressed, kRight, kRightPressed,
    kThumb, kThumbPressed, kBrushCount
};

struct ScrollBrushes {
    Brush brushes[kBrushCount];
    bool loaded = false;
};

ScrollBrushes& Looks() {
    static ScrollBrushes looks;
    if (!looks.loaded) {
        looks.loaded = true;
        for (int i = 0; i < kBrushCount; ++i) {
            Brush& b = looks.brushes[i];
            const float u = static_cast<float>(i % 4) * 0.25f;
            const float v = static_cast<float>(i / 4) * 0.25f;
            const float corners[8] = {u, v, u + 0.25f, v, u + 0.25f, v + 0.25f, u, v + 0.25f};
            for (int c = 0; c < 8; ++c) b.corners[c] = corners[c];
            for (DWORD& colour : b.colours) colour = 0xFFFFFFFF;
            b.flags = kBrushCornerColours | kBrushCombineA;
            LoadTextureHandle(b, "ui/scrollbuttons.tga", 0);
        }
    }
    return looks;
}

void DrawCell(Canvas2D* canvas, float x, float y, float size, const Brush& brush) {
    if ((brush.flags & kTextureHandleHoldsTexture) == 0) return;
    DrawQuad(canvas, x, y, size, size, &brush, 0.0f);
}

}  // namespace

std::int32_t ScrollCodeOfPart(DWORD part) {
    switch (part) {
        case kScrollPartFirstArrow: return kScrollStepBack;
        case kScrollPartTrackBefore: return kScrollPageBack;
        case kScrollPartTrackAfter: return kScrollPageForward;
        case kScrollPartSecondArrow: return kScrollStepForward;
        default: return 0;
    }
}

ScrollBar::~ScrollBar() { Overlay().RemoveUpdateWidget(this); }

int ScrollBar::CreateScrollBar(DWORD style, float left, float top, float w, float h, Control* parentControl,
                               DWORD controlId) {
    const DWORD orientation = style & (kScrollHorizontal | kScrollVertical);
    if (parentControl == nullptr || orientation == 0 || orientation == (kScrollHorizontal | kScrollVertical)) return 0;
    // A fresh overlay comes with a fresh resource cache: the looks are loaded again.
    if (Overlay().FindBrush(BrushIdOf(kScrollBarClass)) == nullptr) Looks() = ScrollBrushes{};
    if (RegisterWidgetClass(kScrollBarClass) == 0) return 0;
    Looks();
    return Create(kScrollBarClass, nullptr, style, left, top, w, h, parentControl, controlId);
}

void ScrollBar::SetRange(std::int32_t low, std::int32_t high) {
    minimum = low;
    maximum = high < low ? low : high;
    SetPosition(position);
}

void ScrollBar::SetPosition(std::int32_t at) {
    position = at < minimum ? minimum : at > maximum ? maximum : at;
    SetDrawOrigin(this);
}

DWORD ScrollBar::PartAt(float along) const {
    const float length = Length();
    const float thickness = Thickness();
    if (along < 0.0f || along >= length) return kScrollPartNone;
    if (along < thickness) return kScrollPartFirstArrow;
    if (along >= length - thickness) return kScrollPartSecondArrow;
    const float thumb = thickness + ThumbOffset(position);
    if (along < thumb) return kScrollPartTrackBefore;
    if (along < thumb + thickness) return kScrollPartThumb;
    return kScrollPartTrackAfter;
}

float ScrollBar::ThumbOffset(std::int32_t forPosition) const {
    if (forPosition == minimum || maximum == minimum) return 0.0f;
    const float travel = Length() - 3.0f * Thickness();
    return travel / static_cast<float>(maximum - minimum) * static_cast<float>(forPosition - minimum);
}

std::int32_t ScrollBar::PositionFromOffset(float offset) const {
    const float travel = Length() - 3.0f * Thickness();
    if (travel == 0.0f) return 0;
    return static_cast<std::int32_t>(static_cast<float>(maximum - minimum) / travel * offset);
}

void ScrollBar::Send(std::int32_t code, std::int32_t atPosition) {
    if (parent == nullptr || code == 0) return;
    if (Vertical()) {
        parent->OnScroll(code, atPosition, this);
    } else {
        parent->OnHScroll(code, atPosition, this);
    }
}

void ScrollBar::OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) {
    std::int32_t code = 0;
    switch (key) {
        case 137: code = kScrollToStart; break;
        case 138: code = kScrollToEnd; break;
        case 139: code = kScrollPageBack; break;
        case 140: code = kScrollPageForward; break;
        case 143: code = kScrollStepBack; break;
        case 144: code = kScrollStepForward; break;
        default: Control::OnKeyDown(key, value, extra); return;
    }
    if ((state & kScrollHeld) == 0) Send(code, position);
}

void ScrollBar::OnPointerDown(float px, float py) {
    const float along = Vertical() ? py : px;
    const DWORD part = PartAt(along);
    if (part == kScrollPartNone) {
        state = 0;
        return;
    }
    state = part | kScrollHeld | kScrollActive;
    Overlay().SetCapture(this);
    repeatTimer = kScrollRepeatStart;
    if (part == kScrollPartThumb) {
        dragStartPosition = position;
        dragStartCoordinate = along;
        SetDrawOrigin(this);
        return;
    }
    Send(ScrollCodeOfPart(part), position);
    Overlay().AddUpdateWidget(this);
}

bool ScrollBar::OnHeldPart(float along, float across) const {
    const float length = Length();
    const float thickness = Thickness();
    if ((state & kScrollPartMask) == kScrollPartThumb) {
        return along >= -2.0f * thickness && along <= length + 2.0f * thickness && across >= -2.0f * thickness &&
               across <= 2.0f * thickness;
    }
    return along >= 0.0f && along < length && PartAt(along) == (state & kScrollPartMask) && across >= 0.0f &&
           across <= thickness;
}

void ScrollBar::OnPointerMove(float px, float py) {
    if ((state & kScrollHeld) == 0) return;
    const float along = Vertical() ? py : px;
    const float across = Vertical() ? px : py;
    const bool onPart = OnHeldPart(along, across);
    const bool thumb = (state & kScrollPartMask) == kScrollPartThumb;
    if ((state & kScrollActive) != 0 && !onPart) {
        state &= ~kScrollActive;
        SetDrawOrigin(this);
        // A thumb dragged away from the bar puts the list back where the drag began.
        if (thumb) Send(kScrollThumbDragged, dragStartPosition);
        return;
    }
    if ((state & kScrollActive) == 0 && onPart) {
        state |= kScrollActive;
        repeatTimer = 0;
        SetDrawOrigin(this);
    }
    if (thumb && (state & kScrollActive) != 0) {
        std::int32_t next = dragStartPosition + PositionFromOffset(along - dragStartCoordinate);
        next = next < minimum ? minimum : next > maximum ? maximum : next;
        if (next != position) Send(kScrollThumbDragged, next);
    }
}

void ScrollBar::OnPointerUp(float /*x*/, float /*y*/) {
    if ((state & kScrollHeld) == 0) return;
    if ((state & kScrollPartMask) == kScrollPartThumb) {
        Send(kScrollThumbReleased, position);
    } else {
        Overlay().RemoveUpdateWidget(this);
    }
    state = 0;
    if (Overlay().capture == this) Overlay().ReleaseCapture();
    SetDrawOrigin(this);
}

void ScrollBar::OnPointerEvent7(std::int32_t value, float /*x*/, float /*y*/) {
    if (value < 0) Send(kScrollStepForward, position);
    if (value > 0) Send(kScrollStepBack, position);
}

void ScrollBar::OnCaptureLost(Control* /*capturer*/) {
    if ((state & kScrollHeld) == 0) return;
    state = 0;
    Overlay().RemoveUpdateWidget(this);
    SetDrawOrigin(this);
}

void ScrollBar::Update(DWORD elapsedMilliseconds) {
    if ((state & kScrollHeld) == 0 || (state & kScrollActive) == 0) return;
    repeatTimer += static_cast<std::int32_t>(elapsedMilliseconds);
    while (repeatTimer >= kScrollRepeatMs) {
        repeatTimer -= kScrollRepeatMs;
        Send(ScrollCodeOfPart(state & kScrollPartMask), position);
    }
}

void ScrollBar::Draw(Canvas2D* canvas) {
    const ScrollBrushes& looks = Looks();
    const float length = Length();
    const float t = Thickness();
    const DWORD pressed = (state & (kScrollHeld | kScrollActive)) == (kScrollHeld | kScrollActive)
                              ? (state & kScrollPartMask)
                              : kScrollPartNone;
    const int first = Vertical() ? kUp : kLeft;
    const int second = Vertical() ? kDown : kRight;
    const auto look = [&](int plain, DWORD part) -> const Brush& {
        return looks.brushes[pressed == part ? plain + 1 : plain];
    };
    const float thumb = t + ThumbOffset(position);
    if (Vertical()) {
        DrawCell(canvas, 0.0f, 0.0f, t, look(first, kScrollPartFirstArrow));
        DrawCell(canvas, 0.0f, thumb, t, look(kThumb, kScrollPartThumb));
        DrawCell(canvas, 0.0f, length - t, t, look(second, kScrollPartSecondArrow));
    } else {
        DrawCell(canvas, 0.0f, 0.0f, t, look(first, kScrollPartFirstArrow));
        DrawCell(canvas, thumb, 0.0f, t, look(kThumb, kScrollPartThumb));
        DrawCell(canvas, length - t, 0.0f, t, look(second, kScrollPartSecondArrow));
    }
}
