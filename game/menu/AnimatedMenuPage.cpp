// The fly-in of a page's buttons.
#include "game/menu/AnimatedMenuPage.h"

#include "engine/app/FrameDriver.h"
#include "engine/core/text/TextCompare.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/widgets/WidgetTree.h"

namespace {

float ScreenWidth() { return static_cast<float>(Overlay2D().screenWidth); }

}  // namespace

Control* AnimatedMenuPage::FlyingButton(std::int32_t index) {
    if (index < 0 || index >= buttonCount || buttonIds_[index] == 0) return nullptr;
    return FindChildById(this, buttonIds_[index]);
}

void AnimatedMenuPage::OnShow(int shown, int unused) {
    const float screenWidth = ScreenWidth();
    if (initialised == 0) {
        buttonCount = 0;
        std::int32_t index = 0;
        for (KDLLink* link = description != nullptr ? description->controls.head : nullptr;
             link != nullptr && index < kMaxFlyingButtons; link = link->next, ++index) {
            auto* control = static_cast<ControlDescription*>(link->item);
            buttonIds_[index] = 0;
            targets[index] = 0.0f;
            buttonCount = index + 1;
            if (CompareNoCase(control->type.Text(), "BUTTON") != 0) continue;
            Control* button = FindChildById(this, control->id);
            if (button == nullptr) continue;
            buttonIds_[index] = control->id;
            targets[index] = button->x;
            button->x = screenWidth;
            speed = (targets[index] - screenWidth) * kFlyInSpeedFactor;
        }
        initialised = 1;
    }
    DefaultMenuPage::OnShow(shown, unused);
    if (shown == 0) return;
    done = 0;
    lastArrived_ = 0;
    for (std::int32_t i = 0; i < buttonCount; ++i) {
        if (Control* button = FlyingButton(i)) button->x = screenWidth;
    }
    startTime = GetTimeSeconds();
}

void AnimatedMenuPage::PostDraw(Canvas2D* canvas) {
    if (done == 0) {
        const float screenWidth = ScreenWidth();
        const float elapsed = GetTimeSeconds() - startTime;
        bool stillFlying = false;
        for (std::int32_t i = 0; i < buttonCount; ++i) {
            Control* button = FlyingButton(i);
            if (button == nullptr || !(button->x > targets[i])) continue;
            float next = (elapsed - kFlyInStagger * static_cast<float>(i)) * speed + screenWidth;
            if (next <= targets[i]) {
                next = targets[i];
                if (i == buttonCount - 1) lastArrived_ = 1;
            } else {
                stillFlying = true;
            }
            button->x = next;
        }
        // All move at one speed, so a button with a longer way than the last one is still
        // flying when the last arrives: the flight ends only once every button is in place.
        if (lastArrived_ != 0 && !stillFlying) done = 1;
    }
    DefaultMenuPage::PostDraw(canvas);
}
