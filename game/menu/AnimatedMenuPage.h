// AnimatedMenuPage: a default page whose buttons fly in from the right edge of the screen,
// one after the other, each time the page is shown.
#pragma once

#include <cstdint>

#include "game/menu/DefaultMenuPage.h"

// The fly-in considers at most this many control descriptions of a page.
constexpr std::int32_t kMaxFlyingButtons = 32;
// A button crosses the screen in 0.24 s: the speed is (target - screen width) times this.
constexpr float kFlyInSpeedFactor = 4.166667f;
// Each button starts this long after the description before it.
constexpr float kFlyInStagger = 0.03f;

class AnimatedMenuPage : public DefaultMenuPage {
public:
    using DefaultMenuPage::DefaultMenuPage;

    // Moves the flying buttons, then the default drawing.
    void PostDraw(Canvas2D* canvas) override;
    // The first show takes the buttons' places as their targets; every show starts the
    // flight again from the right edge.
    void OnShow(int shown, int unused) override;

    // The button of description `index` (null for another kind or a missing control).
    Control* FlyingButton(std::int32_t index);
    // The place the button of description `index` flies to; 0 for another kind.
    float Target(std::int32_t index) const { return index >= 0 && index < buttonCount ? targets[index] : 0.0f; }

    float startTime = 0.0f;  // engine clock, seconds
    float speed = 0.0f;      // pixels per second, negative: right to left
    DWORD initialised = 0;
    DWORD done = 0;
    std::int32_t buttonCount = 0;  // descriptions considered
    float targets[kMaxFlyingButtons] = {};

private:
    DWORD buttonIds_[kMaxFlyingButtons] = {};  // 0: the description is no button
    DWORD lastArrived_ = 0;                     // the last description's button is in place
};
