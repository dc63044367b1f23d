// Blocker doors and bridges: leaves and plank follow their paths, sounds and the vibration come
// once per motion, and a checkpoint restore turns an interrupted motion round from 0.65 (door)
// or 1.0 (bridge) minus the time it ran.
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "tests/game/world/objects/ObjectTestSupport.h"

namespace world_test {
namespace {

using DoorAndBridgeTest = ObjectTest;

TEST_F(DoorAndBridgeTest, BothLeavesOpenWithTheSecondTwiceAsFarButOneLeafMovesOnlyTheSecond) {
    auto* door = Make<BlockerDoorObject>(19);
    door->Open(true);
    Run(door, 0.3f);
    const float halfway = Part(door, "door1")->Transform().position.x;
    EXPECT_GT(halfway, 3.0f);
    EXPECT_FLOAT_EQ(Part(door, "door2")->Transform().position.x, 2.0f * halfway);
    EXPECT_TRUE(door->door.closed == 1 && door->door.moving == 1);
    Run(door, 0.4f);
    EXPECT_EQ(door->door.closed, 0u);
    EXPECT_EQ(door->door.moving, 0u);
    EXPECT_FLOAT_EQ(Part(door, "door1")->Transform().position.x, 10.0f);
    EXPECT_EQ(services_.sounds, std::vector<int>{kSoundBlockers});

    auto* single = Make<BlockerDoorObject>(21);
    single->OpenOneLeaf(true);
    single->OpenOneLeaf(true);  // already moving: no second sound, count or award
    Run(single, 0.3f);
    EXPECT_FLOAT_EQ(Part(single, "door2")->Transform().position.x, halfway);
    EXPECT_FLOAT_EQ(Part(single, "door1")->Transform().position.x, 0.0f);
    EXPECT_EQ(services_.oneLeafDoors, 1);
    EXPECT_EQ(services_.award10, 1);

    services_.controller.levelIndex = 8 + 9 * 5;  // world 10 counts nothing
    auto* late = Make<BlockerDoorObject>(22);
    late->OpenOneLeaf(true);
    EXPECT_EQ(services_.oneLeafDoors, 1);
}

TEST_F(DoorAndBridgeTest, TheActionWindowIsAskedOfMovingDoorsOnly) {
    auto* door = Make<BlockerDoorObject>(20);
    door->door.openTime = 0.31f;
    EXPECT_FALSE(door->IsInActionWindow());
    door->door.moving = 1;
    EXPECT_TRUE(door->IsInActionWindow());
    EXPECT_FALSE(door->IsPastActionWindow());
    door->door.openTime = 0.33f;
    EXPECT_FALSE(door->IsInActionWindow());
    EXPECT_TRUE(door->IsPastActionWindow());
    auto* bridge = Make(23);
    EXPECT_FALSE(bridge->IsInActionWindow());
}

TEST_F(DoorAndBridgeTest, ADoorShakesTheHandsetOnceWhenThePlayerIsNear) {
    auto* door = Make<BlockerDoorObject>(19);
    SetPlayerPosition({25, 35, 0});
    door->Open(true);
    Run(door, 0.5f);
    EXPECT_EQ(services_.rumbles, 0);  // before 0.6 s
    Run(door, 0.2f);
    EXPECT_EQ(services_.rumbles, 1);
    door->Close(false);
    Run(door, 0.7f);
    EXPECT_EQ(services_.rumbles, 1);  // closing never shakes
    EXPECT_EQ(door->door.closed, 1u);
    SetPlayerPosition({100, 100, 0});
    door->Open(true);
    Run(door, 0.7f);
    EXPECT_EQ(services_.rumbles, 1);  // too far away
}

TEST_F(DoorAndBridgeTest, ADoorInterruptedWhileOpeningReversesFromTheMirroredTime) {
    auto* door = Make<BlockerDoorObject>(19);
    door->SaveState(4);
    EXPECT_EQ(door->attemptId, 4);
    door->Open(true);
    Run(door, 0.2f);
    const float opened = door->door.openTime;
    door->RestoreState();
    EXPECT_EQ(door->door.closing, 1u);
    EXPECT_EQ(door->door.closed, 0u);
    EXPECT_EQ(door->door.moving, 0u);
    EXPECT_NEAR(door->door.closeTime, kDoorMotionTime - opened, 1e-6f);
    EXPECT_EQ(door->rumblePending, 0u);
    Run(door, 0.5f);
    EXPECT_EQ(door->door.closed, 1u);
    EXPECT_EQ(door->door.closing, 0u);

    // Open at the checkpoint and closing now: it opens again from the mirrored time.
    door->Open(false);
    Run(door, 0.7f);
    door->SaveState(5);
    door->Close(false);
    Run(door, 0.1f);
    const float closed = door->door.closeTime;
    door->RestoreState();
    EXPECT_EQ(door->door.moving, 1u);
    EXPECT_EQ(door->door.closed, 1u);
    EXPECT_NEAR(door->door.openTime, kDoorMotionTime - closed, 1e-6f);

    // Nothing changed since the checkpoint: the saved state comes back whole.
    door->Reset();
    door->SaveState(6);
    door->RestoreState();
    EXPECT_EQ(door->door.closed, 1u);
    EXPECT_EQ(door->door.moving, 0u);
    EXPECT_FLOAT_EQ(Part(door, "door1")->Transform().position.x, 0.0f);
}

TEST_F(DoorAndBridgeTest, ABridgeSwingsOverAndBackAndReversesFromOneMinusItsTime) {
    auto* bridge = Make<BridgeObject>(23);
    EXPECT_EQ(bridge->MotionLevel(), 0u);
    bridge->SaveState(1);
    bridge->SwingOver(true);
    EXPECT_EQ(bridge->MotionLevel(), 3u);
    Run(bridge, 0.5f);
    EXPECT_EQ(bridge->MotionLevel(), 2u);
    EXPECT_GT(Part(bridge, "bridge1")->Transform().position.y, 4.0f);
    const float swung = bridge->bridge.swingOverTime;
    bridge->RestoreState();
    EXPECT_EQ(bridge->bridge.swingingBack, 1u);
    EXPECT_EQ(bridge->bridge.swung, 0u);
    EXPECT_NEAR(bridge->bridge.swingBackTime, kBridgeSwingTime - swung, 1e-6f);
    EXPECT_EQ(bridge->MotionLevel(), 2u);
    Run(bridge, 0.6f);
    EXPECT_EQ(bridge->bridge.swung, 1u);
    EXPECT_EQ(bridge->bridge.swingingBack, 0u);
    EXPECT_EQ(services_.sounds, std::vector<int>{kSoundBridges});

    bridge->SwingOver(false);
    Run(bridge, 1.1f);
    EXPECT_EQ(bridge->bridge.swung, 0u);
    EXPECT_FLOAT_EQ(Part(bridge, "bridge1")->Transform().position.y, 10.0f);
    bridge->Reset();
    EXPECT_EQ(bridge->bridge.swung, 1u);
    EXPECT_FLOAT_EQ(Part(bridge, "bridge1")->Transform().position.y, 0.0f);
    // Code 24 starts swinging over.
    EXPECT_EQ(Make<BridgeObject>(24)->bridge.swingingOver, 1u);
}

}  // namespace
}  // namespace world_test
