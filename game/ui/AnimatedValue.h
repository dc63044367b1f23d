// Values that move smoothly: a float that approaches a target by a fixed step per update or
// pulses between two bounds, a clamped step toward a target and the signed difference of two
// angles. Menus, the HUD, the results page and the camera use them.
#pragma once

#include <cstdint>

// Flags of an AnimatedValue.
constexpr std::uint32_t kAnimateTowardUpper = 0x1;
constexpr std::uint32_t kAnimateTowardLower = 0x2;
constexpr std::uint32_t kAnimatePulse = 0x4;
constexpr std::uint32_t kAnimateEngineStep = 0x8;  // time runs on the engine's step, not the global one

struct AnimatedValue {
    std::uint32_t flags = 0;
    float value = 0.0f;
    float upper = 1.0f;
    float lower = 0.0f;
    float rate = 1.0f;  // step per update when approaching; frequency factor when pulsing
    float time = 0.0f;  // seconds since the animation started

    void Reset();
    void StartPulse(float start, float low, float high, float pulseRate);
    // One update with the frame's step: time moves by the step, an approach by at most the
    // rate whatever the step. The new value.
    float Update(float frameStep);
    // The same with the frame driver's step.
    float Update();
};

// The signed step from `from` toward `to`, at most `maximum` long.
float StepToward(float from, float to, float maximum);
// The signed difference b - a of two angles in degrees, in [-180, 180) when b lies within
// 360 of a.
float AngleDifference(float a, float b);
