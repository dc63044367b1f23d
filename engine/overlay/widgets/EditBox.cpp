// The edit box: focus, keys to the parent, the caret blink and the visible tail of the text.
#include "engine/overlay/widgets/EditBox.h"

#include "engine/core/text/EngineWString.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/UiSound.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "engine/resources/font/BitmapFont.h"

int EditBox::CreateEdit(const TextRef* caption, DWORD style, float left, float top, float w, float h,
                        Control* parentControl, DWORD controlId) {
    if (RegisterWidgetClass(kEditClass) == 0) return 0;
    flag = 0;
    return Create(kEditClass, caption, style, left, top, w, h, parentControl, controlId);
}

void EditBox::OnKeyDown(std::int32_t key, std::int32_t value, std::int32_t extra) {
    if ((flags & kEditParentFirst) != 0 && parent != nullptr) parent->OnKeyDown(key, value, extra);
    Control::OnKeyDown(key, value, extra);
}

void EditBox::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if ((flags & kEditParentFirst) != 0 && parent != nullptr) parent->OnKeyUp(key, extra);
    if ((flags & kEditEnterSelects) != 0 && (key == 10 || key == 176)) {
        if (parent != nullptr) parent->Notify(1, id, 2, 0);
        return;
    }
    if (parent != nullptr) parent->OnKeyUp(key, extra);
}

void EditBox::OnChar(std::int32_t /*a*/, std::int32_t /*b*/, std::int32_t /*c*/) {}

void EditBox::OnPointerDown(float /*x*/, float /*y*/) {
    if (Overlay().focus != this) SetFocusWindow(this);
}

void EditBox::OnPointerEnter(Control* /*from*/) {
    if ((flags & kEditNoHoverFocus) == 0 && Overlay().focus != this) SetFocusWindow(this);
}

void EditBox::OnGainFocus(Control* /*previous*/) {
    Overlay().AddUpdateWidget(this);
    caretTimer = 0;
    caretVisible = 1;
    SetDrawOrigin(this);
    if (Overlay().soundFlag != 0) PlayUiSound("");
}

void EditBox::OnLoseFocus(Control* /*next*/) {
    Overlay().RemoveUpdateWidget(this);
    SetDrawOrigin(this);
}

void EditBox::OnShow(int /*shown*/, int /*unused*/) { visibleCharacters = CountVisibleCharacters(); }

void EditBox::Draw(Canvas2D* /*canvas*/) {}

void EditBox::Update(DWORD elapsedMilliseconds) {
    caretTimer += static_cast<std::int32_t>(elapsedMilliseconds);
    while (caretTimer >= kCaretBlinkMs) {
        caretTimer -= kCaretBlinkMs;
        caretVisible ^= 1;
        SetDrawOrigin(this);
    }
}

namespace {

float WidthOf(const BitmapFont& font, const WCHAR* characters, std::int32_t count) {
    float w = 0.0f;
    float h = 0.0f;
    font.MeasureN(characters, count, &w, &h);
    return w;
}

}  // namespace

std::int32_t EditBox::CountVisibleCharacters() const {
    if (font == nullptr) return 0;
    const WCHAR* characters = TextRefGetText(text);
    const auto length = static_cast<std::int32_t>(TextRefGetLength(text));
    if (characters == nullptr || length == 0) return 0;
    const WCHAR caret[2] = {u'_', 0};
    const float caretWidth = WidthOf(*font, caret, 1) * textScale;
    const float whole = WidthOf(*font, characters, length) * textScale;
    if (whole + caretWidth <= width) return length;
    float used = caretWidth;
    std::int32_t count = 0;
    for (std::int32_t i = length - 1; i >= 0; --i) {
        const float w = WidthOf(*font, characters + i, 1) * textScale;
        if (used + w > width) break;
        used += w;
        ++count;
    }
    return count;
}
