// Approaches, pulses, clamped steps and angle differences.
#include <gtest/gtest.h>

#include "game/ui/AnimatedValue.h"

namespace {

TEST(AnimatedValue, ApproachMovesByTheRatePerUpdateWhateverTheStepAndSnapsBackAnOvershoot) {
    AnimatedValue value;
    value.Reset();
    value.flags = kAnimateTowardUpper;
    value.upper = 1.0f;
    value.rate = 0.3f;
    EXPECT_FLOAT_EQ(value.Update(0.001f), 0.3f);
    EXPECT_FLOAT_EQ(value.Update(0.2f), 0.6f);
    EXPECT_FLOAT_EQ(value.Update(0.0f), 0.9f);
    EXPECT_FLOAT_EQ(value.Update(0.0f), 1.0f);
    value.value = 3.0f;  // overshot: back to the target at once
    EXPECT_FLOAT_EQ(value.Update(0.0f), 1.0f);

    value.flags = kAnimateTowardLower;
    value.lower = 0.5f;
    value.value = -2.0f;
    EXPECT_FLOAT_EQ(value.Update(0.0f), 0.5f);
    value.value = 2.0f;
    EXPECT_FLOAT_EQ(value.Update(0.0f), 1.7f);
}

TEST(AnimatedValue, APulseFollowsTheSineBetweenItsBounds) {
    AnimatedValue value;
    value.StartPulse(0.25f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(value.flags, kAnimatePulse);
    EXPECT_FLOAT_EQ(value.value, 0.25f);
    EXPECT_NEAR(value.Update(0.0f), 0.5f, 1e-6f);
    EXPECT_NEAR(value.Update(0.5f), 1.0f, 1e-6f);
    EXPECT_NEAR(value.Update(1.0f), 0.0f, 1e-6f);
    value.flags = 0;  // no animation: the value stays
    EXPECT_NEAR(value.Update(0.3f), 0.0f, 1e-6f);
}

TEST(StepToward, IsClampedToTheMaximumInBothDirections) {
    EXPECT_FLOAT_EQ(StepToward(0.0f, 10.0f, 3.0f), 3.0f);
    EXPECT_FLOAT_EQ(StepToward(0.0f, 2.0f, 3.0f), 2.0f);
    EXPECT_FLOAT_EQ(StepToward(10.0f, 0.0f, 3.0f), -3.0f);
    EXPECT_FLOAT_EQ(StepToward(1.0f, 0.0f, 3.0f), -1.0f);
}

TEST(AngleDifference, TakesTheShortWayRound) {
    struct Case {
        float a, b, expected;
    };
    const Case cases[] = {
        {350, 10, 20}, {10, 350, -20}, {0, 180, -180}, {0, 179, 179}, {-90, 90, -180},
        {720, 30, 30}, {30, 30, 0},    {90, -90, -180}, {370, 0, -10},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(AngleDifference(c.a, c.b), c.expected) << c.a << " to " << c.b;
}

}  // namespace
