// The player character: the locks on jumps and turns, the hop of a standing turn, the respawn
// at the checkpoint's tile centre, the exit awards, the animations it borrows from the cache
// and gives back, and the fall distances that decide a death.
#include <cmath>

#include "engine/core/node/Animation.h"
#include "engine/core/object/ResourceCache.h"
#include "game/world/player/PlayerCharacter.h"
#include "tests/game/world/CharacterTestSupport.h"

namespace world_test {
namespace {

// An animation of the cache that counts its deletions.
class CountedAnimation : public Animation {
public:
    CountedAnimation() = default;
    ~CountedAnimation() override { ++deleted; }
    static inline int deleted = 0;
};

class PlayerCharacterTest : public CharacterTest {
protected:
    // A character standing on its start, as the level leaves it after loading.
    static void Stand(PlayerCharacter& character) {
        character.startPosition = {15.0f, 14.98f, 0.0f};
        character.Reset();
        character.grounded = 1;
    }
    int SoundCount(int id) const {
        int count = 0;
        for (int sound : awardServices_.sounds) count += sound == id ? 1 : 0;
        return count;
    }
};

TEST_F(PlayerCharacterTest, AnUpwardJumpWaitsForTheLandingLockButASideJumpDoesNot) {
    struct Case {
        const char* label;
        std::uint32_t bits;
        float sinceLanding;
        float lateral, fall;
        std::uint32_t moves;
    } cases[] = {
        {"up at the lock", kInputJumpUp, 0.2f, 0.0f, 0.0f, 0},
        {"up after the lock", kInputJumpUp, 0.21f, 0.0f, -40.6f, 1},
        {"left at once", kInputJumpLeft, 0.0f, -22.4f, 0.0f, 1},
        {"right at once", kInputJumpRight, 0.0f, 22.4f, 0.0f, 1},
        {"up and left after the lock", kInputJumpUp | kInputJumpLeft, 0.3f, -28.0f, -33.6f, 1},
        {"up and right at the lock", kInputJumpUp | kInputJumpRight, 0.1f, 22.4f, 0.0f, 1},
    };
    for (const Case& c : cases) {
        PlayerCharacter character;
        Stand(character);
        character.timeSinceLanding = c.sinceLanding;
        character.ApplyInput(c.bits);
        EXPECT_FLOAT_EQ(character.lateralSpeed, c.lateral) << c.label;
        EXPECT_FLOAT_EQ(character.fallSpeed, c.fall) << c.label;
        EXPECT_EQ(character.moves, c.moves) << c.label;
        EXPECT_EQ(character.pendingLeap, c.fall != 0.0f ? 1u : 0u) << c.label;
        EXPECT_EQ(character.inputSeen, 1u) << c.label;
    }
}

TEST_F(PlayerCharacterTest, ASecondTurnWithinTheLockIsIgnoredAndAStandingTurnHops) {
    PlayerCharacter character;
    Stand(character);
    character.timeSinceTurn = 1.91f;
    character.ApplyInput(kInputTurnRight);
    EXPECT_FLOAT_EQ(character.fallSpeed, kTurnHopSpeed);
    EXPECT_EQ(character.airborne, 1u);
    EXPECT_EQ(character.pendingLeap, 1u);
    EXPECT_EQ(character.grounded, 0u);
    EXPECT_EQ(character.targetFacing, 1);
    EXPECT_FLOAT_EQ(character.turnAmount, 90.0f);
    EXPECT_EQ(SoundCount(kSoundRotate), 1);
    // The turn runs for half a second in the air; the lock lasts 1.9 s from its start.
    for (int frame = 0; frame < 20; ++frame) character.Update(1.0f / 30.0f);
    EXPECT_EQ(character.facing, 1);
    EXPECT_FLOAT_EQ(character.yaw, 90.0f);
    EXPECT_EQ(character.turnFinished, 1u);
    character.fallSpeed = 0.0f;
    character.grounded = 1;
    character.timeSinceTurn = 1.9f;
    character.ApplyInput(kInputTurnLeft);
    EXPECT_EQ(character.targetFacing, kNoTurn) << "a turn needs more than 1.9 s since the last";
    EXPECT_EQ(character.moves, 1u);
    character.timeSinceTurn = 1.91f;
    character.ApplyInput(kInputTurnLeft);
    EXPECT_EQ(character.targetFacing, 0);
    EXPECT_FLOAT_EQ(character.turnAmount, -90.0f);
    EXPECT_EQ(character.moves, 2u);
}

TEST_F(PlayerCharacterTest, NoInputIsTakenWhileDeadLeavingClimbingOrTurningInTheAir) {
    struct Case {
        const char* label;
        void (*set)(PlayerCharacter&);
    } cases[] = {
        {"dead", [](PlayerCharacter& c) { c.dead = 1; }},
        {"leaving", [](PlayerCharacter& c) { c.position.z = 5.0f; }},
        {"climbing", [](PlayerCharacter& c) { c.transferState = 2; }},
        {"turning in the air", [](PlayerCharacter& c) {
             c.fallSpeed = 3.0f;
             c.turnAmount = 90.0f;
         }},
    };
    for (const Case& c : cases) {
        PlayerCharacter character;
        Stand(character);
        c.set(character);
        const float fall = character.fallSpeed;
        character.ApplyInput(kInputJumpLeft | kInputTurnLeft);
        EXPECT_EQ(character.moves, 0u) << c.label;
        EXPECT_EQ(character.inputSeen, 0u) << c.label;
        EXPECT_FLOAT_EQ(character.fallSpeed, fall) << c.label;
        EXPECT_FLOAT_EQ(character.lateralSpeed, 0.0f) << c.label;
    }
}

TEST_F(PlayerCharacterTest, ARespawnSnapsToTheCheckpointTileCentreOrRestartsWithoutAMove) {
    struct Case {
        Vector3 checkpoint, leap;
        float x, y;
    } cases[] = {
        {{23.4f, 41.0f, 0.0f}, {0, 0, 0}, 25.0f, 45.0f},
        {{14.98f, 14.98f, 0.0f}, {0, 0, 0}, 15.0f, 15.0f},
        {{12.0f, 30.2f, 0.0f}, {5, 0, 0}, 15.0f, 35.0f},
        {{48.6f, 0.4f, 0.0f}, {0, -5, 0}, 45.0f, -5.0f},
        {{4.4f, 8.0f, 0.0f}, {0, 0, 0}, 5.0f, 5.0f},
    };
    for (const Case& c : cases) {
        PlayerCharacter character;
        Stand(character);
        character.moves = 2;
        character.dead = character.ghostMode = character.ghostArrived = 1;
        character.checkpointPosition = c.checkpoint;
        character.leapVector = c.leap;
        character.checkpointFacing = 3;
        character.checkpointAngles[2] = 270.0f;
        character.fallSpeed = 9.0f;
        character.Respawn();
        EXPECT_FLOAT_EQ(character.position.x, c.x) << c.checkpoint.x << ", " << c.checkpoint.y;
        EXPECT_FLOAT_EQ(character.position.y, c.y) << c.checkpoint.x << ", " << c.checkpoint.y;
        EXPECT_EQ(character.dead, 0u);
        EXPECT_EQ(character.facing, 3);
        EXPECT_FLOAT_EQ(character.yaw, 270.0f);
        EXPECT_FLOAT_EQ(character.fallSpeed, 0.0f);
        EXPECT_FLOAT_EQ(character.timeSinceTurn, kTurnLockTime);
        EXPECT_EQ(character.moves, 0u);
        EXPECT_FLOAT_EQ(character.checkpointPosition.x, c.x);
        EXPECT_FLOAT_EQ(character.leapVector.x, 0.0f);
    }
    EXPECT_EQ(awardServices_.restarts, 0);

    PlayerCharacter unmoved;
    Stand(unmoved);
    unmoved.dead = 1;
    unmoved.checkpointPosition = {33, 33, 0};
    unmoved.Respawn();
    EXPECT_EQ(awardServices_.restarts, 1);
    EXPECT_EQ(unmoved.dead, 1u) << "a restart of the level does the rest";
    EXPECT_FLOAT_EQ(unmoved.position.x, 15.0f);
}

TEST_F(PlayerCharacterTest, LeavingThroughThePortalGrantsTheAwardsOfItsWorldOnce) {
    struct Case {
        const char* label;
        std::int32_t levelIndex;
        std::uint32_t turns, sideJumps, award9;
        std::vector<DWORD> granted;
    } cases[] = {
        {"tutorial", 3, 6, 0, 1, {}},
        {"world 1, all three", 8, 5, 0, 1, {kAwardManyTurns, kAwardNoSideJump, kAwardNine}},
        {"world 1, four turns and a side jump", 9, 4, 1, 0, {}},
        {"world 9, no side jump", 8 + 8 * 5, 0, 0, 0, {kAwardNoSideJump}},
        {"world 10", 8 + 9 * 5, 9, 0, 1, {}},
    };
    for (const Case& c : cases) {
        awardServices_.awards.clear();
        awardServices_.sounds.clear();
        awardServices_.controller.levelIndex = c.levelIndex;
        PlayerCharacter character;
        Stand(character);
        character.turnsWhileFalling = c.turns;
        character.lateralJumps = c.sideJumps;
        character.award9 = c.award9;
        character.position.z = 5.0f;
        for (int frame = 0; frame < 3; ++frame) character.Update(0.1f);
        std::vector<DWORD> granted;
        for (const auto& award : awardServices_.awards) granted.push_back(award.first);
        EXPECT_EQ(granted, c.granted) << c.label;
        EXPECT_EQ(SoundCount(kSoundExit), 1) << c.label;
        EXPECT_EQ(character.exitStarted, 1u);
        EXPECT_NEAR(character.exitScale, 1.0f - 0.8f * 0.3f, 1e-5f) << c.label;
    }
    awardServices_.awards.clear();
    awardServices_.controller.levelIndex = 8;
    PlayerCharacter character;
    Stand(character);
    character.position.z = 5.0f;
    character.Update(0.1f);
    ASSERT_EQ(awardServices_.awards.size(), 1u);
    EXPECT_EQ(awardServices_.awards[0].second, "AWARD_NAME_7");
}

TEST_F(PlayerCharacterTest, TheAnimationsAreTheCachesAndOutliveTheCharacter) {
    ResourceHooks hooks;
    hooks.loadAnimation = [](const char* name) -> Interface* {
        auto* animation = new CountedAnimation();
        animation->SetName(name);
        return animation;
    };
    hooks.resourceName = [](DWORD, const Interface* resource) -> const char* {
        return static_cast<const Animation*>(resource)->Name().Text();
    };
    SetResourceHooks(hooks);
    AddCharacterModels();
    CountedAnimation::deleted = 0;
    auto* idle = static_cast<Animation*>(GlobalResourceCache().GetAnimation("character_02_idle"));
    ASSERT_NE(idle, nullptr);
    const std::uint32_t before = idle->AddRef() - 1;
    idle->Release();
    {
        PlayerCharacter character;
        EXPECT_TRUE(character.LoadModel());
        for (Animation* animation : character.animations) EXPECT_NE(animation, nullptr);
        EXPECT_EQ(character.animations[kAnimIdle], idle);
        EXPECT_EQ(idle->AddRef() - 1, before + 1);
        idle->Release();
        ASSERT_NE(character.heldItem, nullptr);
        EXPECT_EQ(character.heldItem->Parent(), character.handJoint);
        EXPECT_NE(character.heldItem->Flags() & 0x2000000u, 0u) << "the held item starts hidden";
    }
    EXPECT_EQ(CountedAnimation::deleted, 0);
    EXPECT_EQ(idle->AddRef() - 1, before);
    idle->Release();
    // The cache frees each animation once when it is cleared: the sanitizer sees a second free.
    GlobalResourceCache().Clear();
    EXPECT_EQ(CountedAnimation::deleted, kCharacterAnimationCount);
    ASSERT_EQ(GlobalResourceCache().Init(), 0);
}

TEST_F(PlayerCharacterTest, AFallIsFarBeyond30Or60UnitsAlongTheFacingAndNotWhileTurning) {
    struct Case {
        std::int32_t facing;
        Vector3 position;
        float carried;
        float turn;
        bool shortFall, longFall;
    } cases[] = {
        {0, {15, -16, 0}, 0.0f, 0.0f, true, false},      // 31 along y
        {0, {60, 14, 0}, 0.0f, 0.0f, false, false},      // across the facing does not count
        {1, {76, 15, 0}, 0.0f, 0.0f, true, true},        // 61 along x
        {2, {15, 25, 0}, 51.0f, 0.0f, true, true},       // 10 and 51 carried over from a turn
        {3, {-30, 15, 0}, 0.0f, 90.0f, false, false},    // turning
    };
    for (const Case& c : cases) {
        PlayerCharacter character;
        character.facing = c.facing;
        character.fallReference = {15, 15, 0};
        character.position = c.position;
        character.fallDistance = c.carried;
        character.turnAmount = c.turn;
        character.fallSpeed = 10.0f;
        EXPECT_EQ(character.HasFallenFar(true), c.shortFall) << c.facing << " " << c.position.x;
        EXPECT_EQ(character.HasFallenFar(false), c.longFall) << c.facing << " " << c.position.x;
        character.fallSpeed = 0.0f;
        EXPECT_FALSE(character.HasFallenFar(true)) << "a character at rest has not fallen";
    }
}

}  // namespace
}  // namespace world_test
