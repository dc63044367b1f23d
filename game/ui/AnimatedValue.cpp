// Animated values and approach steps.
#include "game/ui/AnimatedValue.h"

#include <algorithm>
#include <cmath>

#include "engine/app/FrameDriver.h"

namespace {

constexpr float kPi = 3.1415927f;

}  // namespace

void AnimatedValue::Reset() { *this = AnimatedValue{}; }

void AnimatedValue::StartPulse(float start, float low, float high, float pulseRate) {
    flags = kAnimatePulse;
    value = start;
    lower = low;
    upper = high;
    rate = pulseRate;
    time = 0.0f;
}

float AnimatedValue::Update() { return Update(FrameTime()); }

float AnimatedValue::Update(float frameStep) {
    time += frameStep;
    if ((flags & kAnimateTowardUpper) != 0) {
        // An overshoot snaps back in one update.
        value = value > upper ? upper : value + StepToward(value, upper, rate);
    } else if ((flags & kAnimateTowardLower) != 0) {
        value = value < lower ? lower : value + StepToward(value, lower, rate);
    } else if ((flags & kAnimatePulse) != 0) {
        value = lower + (upper - lower) * (std::sin(time * rate * kPi) + 1.0f) * 0.5f;
    }
    return value;
}

float StepToward(float from, float to, float maximum) {
    if (from <= to) return std::min(to - from, maximum);
    return -std::min(from - to, maximum);
}

float AngleDifference(float a, float b) {
    // Both loops are bounded: angles beyond what a float can step by 360 are taken as they are.
    if (std::isfinite(a) && std::fabs(a) < 1.0e7f) {
        while (a < 0.0f) a += 360.0f;
        while (a >= 360.0f) a -= 360.0f;
    }
    if (std::isfinite(b) && b < a && a - b < 1.0e7f) {
        while (b < a) b += 360.0f;
    }
    float d = StepToward(a, b, 720.0f);
    if (d >= 180.0f) d -= 360.0f;
    return std::clamp(d, -360.0f, 360.0f);
}
