// Buttons: press, slide and release with the pointer, activation by key, and the look by
// state; static texts and static images drawing their content.
#include "engine/overlay/widgets/SimpleWidgets.h"

#include "engine/overlay/canvas/Brush.h"
#include "engine/overlay/canvas/Draw2D.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/UiSound.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "engine/resources/font/BitmapFont.h"

float ButtonTextScale = 1.0f;

namespace {

bool IsActivationKey(std::int32_t key) { return key == 10 || key == 176 || key == 210 || key == 232; }

// The press itself plays the empty sound, that is nothing; the click plays on release.
void PlayClick(const Button& button) {
    if (button.clickSounds != 0 && Overlay().soundFlag != 0) PlayUiSound(kButtonClickSound);
}

bool HasCaption(const TextRef& text) { return text.key != nullptr || text.text != nullptr; }

bool Usable(const Brush* brush) { return brush != nullptr && (brush->flags & kBrushTextured) != 0; }

// The scale at which the text fits the maximum width, when one is set and exceeded.
float FittedScale(const TextRef& text, BitmapFont* font, float scale, float maxWidth) {
    if (maxWidth <= 0.0f) return scale;
    const float measured = MeasureText(text, font, scale);
    return measured > maxWidth ? scale * maxWidth / measured : scale;
}

}  // namespace

int RegisterWidgetClass(const char* className) {
    OverlayManager& overlay = Overlay();
    if (overlay.FindBrush(BrushIdOf(className)) != nullptr) return 1;
    BrushEntry entry;
    entry.pointer = overlay.GetPointerRecord(1);
    entry.id = BrushIdOf(className);
    return overlay.AddBrush(entry);
}

void Button::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (!IsActivationKey(key)) {
        if ((state & kButtonPressed) == 0) Control::OnKeyUp(key, extra);
        return;
    }
    if ((flags & (kButtonPush | kButtonCheck | kButtonSticky)) == 0) return;
    if ((flags & kButtonCheck) != 0) {
        state ^= kButtonOn;
    } else {
        state = kButtonOn;
    }
    PlayClick(*this);
    if (parent != nullptr) OnClick(extra);
    if ((flags & kButtonPush) != 0) state &= ~kButtonOn;
    SetDrawOrigin(this);
}

void Button::OnPointerMove(float px, float py) {
    if ((state & kButtonPressed) == 0) return;
    const bool inside = px >= 0.0f && px < width && py >= 0.0f && py < height;
    const bool wasInside = (state & kButtonInside) != 0;
    if (inside != wasInside) {
        state ^= kButtonOn;
        state ^= kButtonInside;
    }
    SetDrawOrigin(this);
}

void Button::OnPointerDown(float /*x*/, float /*y*/) {
    if (Overlay().focus != this) SetFocusWindow(this);
    if ((flags & kButtonCheck) != 0) {
        state ^= kButtonOn;
    } else if ((flags & kButtonSticky) == 0) {
        state |= kButtonOn;
    }
    SetDrawOrigin(this);
    Overlay().SetCapture(this);
    state |= kButtonPressed | kButtonInside;
}

void Button::OnPointerUp(float /*x*/, float /*y*/) {
    if ((state & kButtonPressed) == 0) return;
    state &= ~kButtonPressed;
    if (Overlay().capture == this) Overlay().ReleaseCapture();
    if ((state & kButtonInside) == 0) return;
    if ((flags & (kButtonCheck | kButtonSticky)) == 0) {
        state &= ~kButtonOn;
        SetDrawOrigin(this);
    }
    PlayClick(*this);
    if (parent != nullptr) OnClick(-1);
}

void Button::OnPointerEnter(Control* /*from*/) { SetFocusWindow(this); }

void Button::OnGainFocus(Control* /*previous*/) { SetDrawOrigin(this); }

void Button::OnLoseFocus(Control* /*next*/) { SetDrawOrigin(this); }

void Button::OnCaptureLost(Control* /*capturer*/) {
    if ((state & kButtonPressed) != 0) {
        if ((state & kButtonInside) != 0) {
            state ^= kButtonOn;
            state &= ~kButtonInside;
        }
        state &= ~kButtonPressed;
    }
    SetDrawOrigin(this);
}

void Button::OnClick(std::int32_t value) {
    if (parent != nullptr) parent->Notify(1, id, 1, value);
}

Button::Look Button::CurrentLook() const {
    if (!IsWindowEnabled(this)) return kLookDisabled;
    if ((state & kButtonOn) != 0) return kLookDown;
    if (Overlay().focus == this) return kLookFocused;
    return kLookUp;
}

void Button::DrawBrush(Canvas2D* canvas, const Brush* brush) {
    if (brush == nullptr) return;
    const bool square = (flags & kButtonCheck) != 0 && (flags & kButtonCheckAsPush) == 0;
    DrawQuad(canvas, 0.0f, 0.0f, square ? height : width, height, brush, 0.0f);
}

void Button::Draw(Canvas2D* canvas) {
    const Look look = CurrentLook();
    const Brush* brush = brushes[look];
    if (!Usable(brush)) brush = brushes[kLookUp];
    if (postGraphics == 0) DrawBrush(canvas, brush);
    if ((flags & kButtonCaption) != 0 && HasCaption(text) && font != nullptr) {
        float scale = textScale * ButtonTextScale;
        const DWORD textFlags = alignment | kTextRoundPosition;
        if ((flags & kButtonCheck) != 0 && (flags & kButtonCheckAsPush) == 0) {
            DrawTextRef(canvas, height + 2.0f - textOffsetX, (height - font->LineHeight()) * 0.5f - textOffsetY, text,
                        textColours[look], textFlags, scale);
        } else {
            const float cx = width / 2.0f - textOffsetX;
            const float cy = height / 2.0f - textOffsetY;
            if (textShadow != 0) {
                DrawTextRef(canvas, cx + 2.0f, cy + 2.0f, text, shadowColours[look], textFlags, scale);
            } else {
                scale = FittedScale(text, font, scale, maxWidth);
            }
            DrawTextRef(canvas, cx, cy, text, textColours[look], textFlags, scale);
        }
    }
    if (postGraphics != 0) DrawBrush(canvas, brush);
}

void StaticText::Draw(Canvas2D* canvas) {
    if (!HasCaption(text)) return;
    if (wrapWidth != 0 && wrapHeight != 0) {
        const float w = static_cast<float>(wrapWidth);
        const float h = static_cast<float>(wrapHeight);
        DrawTextBlock(canvas, (width - w) / 2.0f, (height - h) / 2.0f, w, h, text, font, colour, alignment, textScale,
                      0.0f, 0);
        return;
    }
    const float scale = FittedScale(text, font, textScale, maxWidth);
    DrawTextRef(canvas, width / 2.0f, height / 2.0f, text, colour, alignment, scale);
}

void StaticImage::Draw(Canvas2D* canvas) {
    if (image != nullptr) DrawQuad(canvas, 0.0f, 0.0f, width, height, image, 0.0f);
}
