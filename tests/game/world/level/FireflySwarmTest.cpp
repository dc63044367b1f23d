// The firefly swarm: the engine generator's exact values behind each firefly, a second start
// that changes nothing, the centre's bounded approach to its target and new targets that lie
// over the level's own empty tiles.
#include <cmath>

#include "engine/core/math/Random.h"
#include "game/world/level/FireflySwarm.h"
#include "game/world/level/Level.h"
#include "tests/game/world/WorldTestSupport.h"

namespace world_test {
namespace {

using FireflySwarmTest = WorldTest;

TEST_F(FireflySwarmTest, TheGeneratorGivesItsExactSequenceAndEachFireflyTakesFiveValuesInOrder) {
    SetRandomSeed(12345);
    const std::uint32_t expected[] = {2738402, 2221014, 72901136, 85215379, 122142093, 15094349};
    for (std::uint32_t value : expected) EXPECT_EQ(NextRandom(), value);

    SetRandomSeed(12345);
    FireflySwarm swarm;
    ASSERT_EQ(swarm.Init(2, Vector3{35, 75, 0}), 1);
    EXPECT_EQ(swarm.GetCount(), 2);
    // phase = u1 x 2 pi, height = (u2 - 0.5) x 4, offset = (u5, u4, u3) - 0.5, times 5.
    const struct {
        float phase, height, x, y, z;
    } fireflies[] = {{0.12819386f, -1.9338086f, 2.0501475f, 0.67452013f, 0.21577895f},
                     {0.70661747f, -0.016442418f, 1.4172521f, 0.48050046f, 0.24174422f}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const Firefly& firefly = swarm.fireflies[i];
        EXPECT_EQ(firefly.active, 1);
        EXPECT_FLOAT_EQ(firefly.phase, fireflies[i].phase);
        EXPECT_FLOAT_EQ(firefly.height, fireflies[i].height);
        EXPECT_FLOAT_EQ(firefly.offset.x, fireflies[i].x);
        EXPECT_FLOAT_EQ(firefly.offset.y, fireflies[i].y);
        EXPECT_FLOAT_EQ(firefly.offset.z, fireflies[i].z);
    }
    EXPECT_EQ(swarm.fireflies[2].active, 0) << "only the swarm's own fireflies draw values";
    EXPECT_EQ(NextRandom(), 5349155u) << "ten values were drawn";

    // The swarm hovers over the start at height 10; a firefly sits at centre + offset + orbit.
    EXPECT_FLOAT_EQ(swarm.centre.x, 35.0f);
    EXPECT_FLOAT_EQ(swarm.centre.y, 75.0f);
    EXPECT_FLOAT_EQ(swarm.centre.z, 10.0f);
    Level level;
    swarm.Update(0.0f, 0.5f, level);
    const float a = 0.5f * 3.0f + fireflies[1].phase;
    const Vector3 position = swarm.FireflyPosition(1);
    EXPECT_NEAR(position.x, 35.0f + fireflies[1].x + 2.0f * std::sin(2.0f * a) + fireflies[1].height, 1e-4f);
    EXPECT_NEAR(position.y, 75.0f + fireflies[1].y + 2.0f * std::cos(a) + fireflies[1].height, 1e-4f);
    EXPECT_NEAR(position.z, 10.0f + fireflies[1].z, 1e-4f);
}

TEST_F(FireflySwarmTest, ASecondStartChangesNothingAndASwarmOfNoneStillMoves) {
    FireflySwarm swarm;
    ASSERT_EQ(swarm.Init(3, Vector3{5, 5, 0}), 1);
    KNode* node = swarm.node;
    const std::uint32_t seed = RandomSeed();
    EXPECT_EQ(swarm.Init(1, Vector3{50, 50, 0}), 0);
    EXPECT_EQ(swarm.node, node);
    EXPECT_EQ(swarm.GetCount(), 3);
    EXPECT_FLOAT_EQ(swarm.centre.x, 5.0f);
    EXPECT_EQ(RandomSeed(), seed) << "no value drawn";

    swarm.Reset();
    EXPECT_EQ(swarm.node, nullptr);
    EXPECT_EQ(swarm.fireflies[0].active, 0);

    FireflySwarm none;
    ASSERT_EQ(none.Init(0, Vector3{5, 5, 0}), 1);
    EXPECT_EQ(RandomSeed(), seed);
    none.target = Vector3{25, 5, 10};
    Level level;
    none.Update(0.5f, 0.0f, level);
    EXPECT_FLOAT_EQ(none.centre.x, 10.0f);
    EXPECT_FLOAT_EQ(none.FireflyPosition(0).x, 10.0f) << "no firefly: the centre";

    FireflySwarm many;
    ASSERT_EQ(many.Init(9, Vector3{5, 5, 0}), 1);
    EXPECT_EQ(many.GetCount(), kMaximumFireflies) << "the record holds five";
}

TEST_F(FireflySwarmTest, TheCentreApproachesAtMostTenUnitsASecondAndRetargetsOverAnEmptyTileOfTheLevel) {
    // A wide, low level whose only empty tiles form row 1.
    Level level;
    ASSERT_TRUE(level.AllocateGrid(20, 3));
    for (std::int32_t row = 0; row < 3; ++row)
        for (std::int32_t column = 0; column < 20; ++column) level.TileAt(column, row)->type = 1;
    for (std::int32_t column = 0; column < 20; ++column) level.TileAt(column, 1)->type = kTileEmpty;

    FireflySwarm swarm;
    ASSERT_EQ(swarm.Init(1, Vector3{5, 5, 0}), 1);
    swarm.target = Vector3{105, 5, 10};
    const struct {
        float dt;
        float x;
    } steps[] = {{0.5f, 10.0f}, {1.0f, 20.0f}, {3.0f, 50.0f}};
    for (const auto& step : steps) {
        swarm.Update(step.dt, 0.0f, level);
        EXPECT_FLOAT_EQ(swarm.centre.x, step.x) << "far away: 10 units a second";
    }
    swarm.target = Vector3{54, 5, 10};
    swarm.Update(0.5f, 0.0f, level);
    EXPECT_FLOAT_EQ(swarm.centre.x, 52.0f) << "near: half the remaining 4 units in half a second";
    EXPECT_FLOAT_EQ(swarm.target.x, 54.0f) << "five seconds: still the old target";

    swarm.Update(5.5f, 0.0f, level);  // past ten seconds
    EXPECT_FLOAT_EQ(swarm.timer, 0.0f);
    EXPECT_FLOAT_EQ(swarm.target.y, 15.0f) << "over row 1, not its mirror";
    EXPECT_LT(swarm.target.x, 200.0f);
    EXPECT_FLOAT_EQ(swarm.target.z, 10.0f);
}

}  // namespace
}  // namespace world_test
