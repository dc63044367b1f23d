// The question page: set-up, the open and close animations, drawing and the back keys.
#include "game/menu/UFMMenuPage.h"

#include <algorithm>

#include "engine/core/math/ColorMath.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/menu/MenuStyle.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/overlay/widgets/SimpleWidgets.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/ui/text/ShadowedText.h"

namespace {

struct SlidePath {
    float fromX;
    float toX;
    float y;
};

// The first answer comes from the left, the second from the right.
constexpr SlidePath kSlidePaths[2] = {{-480.0f, 160.0f, 278.0f}, {800.0f, 160.0f, 359.0f}};

constexpr DWORD kMessageFlags = 38;
constexpr float kShadowOffset[2] = {-2.0f, -2.0f};
constexpr float kRightToLeftShift[2] = {-260.0f, -35.0f};

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

void SwitchGroup(const KDLList& list, int on) {
    for (KDLLink* link = list.head; link != nullptr; link = link->next) {
        auto* control = static_cast<Control*>(link->item);
        if (control == nullptr) continue;
        const bool enabled = (control->flags & kControlDisabled) == 0;
        if (enabled == (on != 0)) continue;
        // A control inside a disabled ancestor stays off.
        if (on != 0 && control->parent != nullptr && !IsWindowEnabled(control->parent)) continue;
        SetEnabled(control, on);
    }
}

Control* ItemAt(const KDLList& list, std::uint32_t index) {
    KDLLink* link = list.head;
    for (std::uint32_t i = 0; link != nullptr && i < index; ++i) link = link->next;
    return link != nullptr ? static_cast<Control*>(link->item) : nullptr;
}

}  // namespace

void CopyControlList(KDLList& into, const KDLList& from) {
    ListReset(into);
    for (KDLLink* link = from.head; link != nullptr; link = link->next) ListAppend(into, link->item);
}

UFMMenuPage::UFMMenuPage(PageDescription* pageDescription) : AnimatedMenuPage(pageDescription) {
    // The question takes the look of the page's button captions.
    const MenuStyle* style = pageDescription != nullptr ? pageDescription->style : nullptr;
    if (style != nullptr) {
        textColour = style->FindColor("TEXT_BUTTON_UP");
        shadowColour = style->FindColor("SHADOW_TEXT_BUTTON_UP");
    }
    textColour.a = 0.0f;
    shadowColour.a = 0.0f;
    textScale = ButtonTextScale;
}

UFMMenuPage::~UFMMenuPage() {
    ListReset(pageButtons);
    ListReset(popupButtons);
}

PopupVector UFMMenuPage::PopupButtonPlace(std::uint32_t index, float c) const {
    // A single answer takes the second path.
    const std::uint32_t path = popupButtons.count == 1 ? 1 : std::min<std::uint32_t>(index, 1);
    const SlidePath& s = kSlidePaths[path];
    return {s.fromX + (s.toX - s.fromX) * c, s.y};
}

void UFMMenuPage::SetupPopup(Control* underlayControl, const KDLList& pageList, const KDLList& popupList,
                             std::int32_t resultMode, const char* key, PopupVector textAt, PopupVector centre,
                             PopupVector size, std::uint32_t focus) {
    underlay = underlayControl;
    CopyControlList(pageButtons, pageList);
    CopyControlList(popupButtons, popupList);
    mode = resultMode;
    messageKey.Assign(key != nullptr ? key : "");
    textPosition = textAt;
    underlayCentre = centre;
    underlaySize = size;
    focusIndex = focus;
    popupSet = 1;
    // At rest, closed: invisible until OpenPopup.
    closing = 0;
    SetPopupButtonsEnabled(0);
    SetPageButtonsEnabled(1);
    timer = kPopupAtRest;
    widthFactor = 0.0f;
    heightFactor = 0.0f;
    textColour.a = 0.0f;
    shadowColour.a = 0.0f;
    PlaceUnderlay();
    PlacePopupButtons(0.0f);
}

void UFMMenuPage::OpenPopup() {
    closing = 0;
    SetPopupButtonsEnabled(1);
    Control* first = ItemAt(popupButtons, focusIndex == 1 ? 1 : 0);
    if (first != nullptr && Overlay().focus != first) SetFocusWindow(first);
    SetPageButtonsEnabled(0);
    timer = 0.0f;
}

void UFMMenuPage::ClosePopup() {
    if (closing != 0) return;
    closing = 1;
    SetPopupButtonsEnabled(0);
    timer = 0.0f;
}

void UFMMenuPage::HidePopup() {
    SetPopupButtonsEnabled(0);
    SetPageButtonsEnabled(1);
    timer = kPopupAtRest;
}

void UFMMenuPage::SetPageButtonsEnabled(int on) {
    SwitchGroup(pageButtons, on);
    pageButtonsEnabled = on != 0 ? 1 : 0;
}

void UFMMenuPage::SetPopupButtonsEnabled(int on) {
    SwitchGroup(popupButtons, on);
    popupButtonsEnabled = on != 0 ? 1 : 0;
}

void UFMMenuPage::PlaceUnderlay() const {
    if (underlay == nullptr) return;
    const float w = underlaySize.x * widthFactor;
    const float h = underlaySize.y * heightFactor;
    SetRect(underlay, underlayCentre.x - w / 2.0f, underlayCentre.y - h / 2.0f, w, h);
}

void UFMMenuPage::PlacePopupButtons(float c) const {
    std::uint32_t index = 0;
    for (KDLLink* link = popupButtons.head; link != nullptr && index < 2; link = link->next, ++index) {
        auto* button = static_cast<Control*>(link->item);
        if (button == nullptr) continue;
        const PopupVector at = PopupButtonPlace(index, c);
        button->x = at.x;
        button->y = at.y;
    }
}

void UFMMenuPage::Update(DWORD elapsedMilliseconds) {
    DefaultMenuPage::Update(elapsedMilliseconds);
    if (popupSet == 0) return;
    timer += static_cast<float>(elapsedMilliseconds) * 0.001f;
    const float t = timer;
    if (popupButtonsEnabled != 0) {
        backPressed = 0;
        widthFactor = Clamp01(kPopupStepRate * t);
        const float b = Clamp01(kPopupStepRate * (t - 0.125f));
        heightFactor = b + 0.05f - 0.05f * b;
        PlaceUnderlay();
        const float c = Clamp01(kPopupStepRate * (t - 0.25f));
        textColour.a = c;
        shadowColour.a = c;
        PlacePopupButtons(c);
        return;
    }
    const float c = 1.0f - Clamp01(kPopupStepRate * t);
    textColour.a = c;
    shadowColour.a = c;
    PlacePopupButtons(c);
    const float b = Clamp01(kPopupStepRate * (t - 0.125f));
    heightFactor = 1.0f - 0.95f * b;
    const float a = 1.0f - Clamp01(kPopupStepRate * (t - 0.25f));
    widthFactor = a;
    PlaceUnderlay();
    if (a <= 0.0f && pageButtonsEnabled == 0) {
        SetPageButtonsEnabled(1);
        closing = 0;
        if (Control* first = ItemAt(pageButtons, 0)) SetFocusWindow(first);
    }
}

void UFMMenuPage::PostDraw(Canvas2D* canvas) {
    AnimatedMenuPage::PostDraw(canvas);
    if (canvas == nullptr || textColour.a <= 0.0f) return;
    std::uint32_t length = 0;
    const WCHAR* message = TextTableFind(GlobalTextTable(), messageKey.Text(), &length);
    float x = textPosition.x;
    float y = textPosition.y;
    if (Overlay2D().reversedLines != 0) {
        x += kRightToLeftShift[0];
        y += kRightToLeftShift[1];
    }
    canvas->offsetX = 0.0f;
    canvas->offsetY = 0.0f;
    DrawTextBox(canvas, x, y, textBoxSize.x, textBoxSize.y, message, nullptr, ColorToARGB(textColour),
                ColorToARGB(shadowColour), kShadowOffset, kMessageFlags, 1.5f * textScale, 0.0f);
}

void UFMMenuPage::OnKeyUp(std::int32_t key, std::int32_t extra) {
    if (IsBackKey(key) && pageButtonsEnabled == 0 && popupSet != 0) {
        if (mode == kModalResultOk) {
            CloseOk();
        } else if (mode == kModalResultCancel) {
            CloseCancel();
        } else {
            EndModal(this, mode);
        }
    }
    DefaultMenuPage::OnKeyUp(key, extra);
}

void UFMMenuPage::OnShow(int shown, int unused) {
    AnimatedMenuPage::OnShow(shown, unused);
    if (shown == 0) {
        popupSet = 0;
        closing = 0;
        ListReset(pageButtons);
        ListReset(popupButtons);
        Overlay().RemoveUpdateWidget(this);
        return;
    }
    Overlay().AddUpdateWidget(this);
}

std::int32_t UFMMenuPage::OnButton(Control* control, const char* command, const char* argument,
                                   std::int32_t value) {
    return DefaultMenuPage::OnButton(control, command, argument, value);
}
