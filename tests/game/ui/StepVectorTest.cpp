// Bounded steps toward a target.
#include <gtest/gtest.h>

#include "game/ui/StepVector.h"

namespace {

TEST(StepVectorToward, ShortensOnlyLongerSteps) {
    struct Case {
        Vector3 from, to;
        float maximum;
        Vector3 expected;
    };
    const Case cases[] = {
        {{0, 0, 0}, {3, 4, 0}, 10, {3, 4, 0}},          // shorter: the whole way
        {{0, 0, 0}, {3, 4, 0}, 5, {3, 4, 0}},           // exactly the maximum
        {{1, 1, 1}, {4, 5, 1}, 2.5f, {1.5f, 2, 0}},     // length 5 halved
        {{0, 0, 0}, {0, 0, -100}, 40, {0, 0, -40}},
        {{2, 2, 2}, {2, 2, 2}, 1, {0, 0, 0}},           // already there
        {{0, 0, 0}, {3, 4, 0}, 0, {0, 0, 0}},           // maximum 0
        {{0, 0, 0}, {3, 4, 0}, -1, {0, 0, 0}},          // a negative maximum moves nowhere
    };
    for (const Case& c : cases) {
        const Vector3 out = StepVectorToward(c.from, c.to, c.maximum);
        EXPECT_FLOAT_EQ(out.x, c.expected.x) << "maximum " << c.maximum;
        EXPECT_FLOAT_EQ(out.y, c.expected.y) << "maximum " << c.maximum;
        EXPECT_FLOAT_EQ(out.z, c.expected.z) << "maximum " << c.maximum;
    }
}

}  // namespace
