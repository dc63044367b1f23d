// The key-frame player: playing at a frame between keys, looping and holding at the end,
// stopping with and without a fade, the held flag, keys relative to the start pose, the
// pool of players and the list of animated nodes, and fired events.
#include <string>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/NodeAnimation.h"
#include "tests/engine/core/node/NodeTestSupport.h"

namespace node_test {
namespace {

// Four keys: positions (0, 0, 0), (10, 0, 0), (20, 0, 0), (30, 0, 0); scales 1, 2, 3, 4 when
// asked for; one frame a second so that frame times read as frames.
NodeAnimation* MakeAnimation(DWORD flags = 0) {
    auto* animation = new NodeAnimation();
    EXPECT_TRUE(animation->AllocateKeys(4, flags));
    animation->SetFrameRate(1.0f);
    for (int i = 0; i < 4; ++i) {
        animation->Positions()[i] = {10.0f * i, 0, 0};
        animation->Rotations()[i] = kIdentityQuaternion;
        if (animation->Scales() != nullptr) {
            const float s = 1.0f + i;
            animation->Scales()[i] = {s, s, s};
        }
    }
    return animation;
}

class KNodeAnimation : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        animation_ = MakeAnimation();
        node_ = MakeNode("animated");
    }
    void TearDown() override {
        node_->Release();
        animation_->Release();
        NodeTest::TearDown();
    }
    // Plays from the start and moves the time to `frame` in one update.
    int PlayTo(DWORD playFlags, float frame) {
        const int id = node_->PlayAnimation(animation_, 1.0f, playFlags, 0.0f, 0.0f);
        EXPECT_GT(id, 0);
        return node_->UpdateAnimation(frame);
    }

    NodeAnimation* animation_ = nullptr;
    KNode* node_ = nullptr;
};

TEST_F(KNodeAnimation, FrameTwoAndAHalfLiesBetweenTheThirdAndFourthKeys) {
    EXPECT_EQ(PlayTo(0, 2.5f), 0);
    ExpectNear(node_->Transform().position, {25, 0, 0});
    EXPECT_NE(node_->Transform().flags & kTransformDirty, 0u);
    EXPECT_EQ(node_->HasAnimation(), 1);
}

TEST_F(KNodeAnimation, ALoopWrapsFromTheLastKeyToTheFirst) {
    EXPECT_EQ(PlayTo(kPlayLoop, 3.5f), 0);
    ExpectNear(node_->Transform().position, {15, 0, 0});  // halfway from 30 back to 0
    EXPECT_EQ(node_->UpdateAnimation(1000.0f + 0.25f), 0);  // frame 1003.75 is frame 3.75
    ExpectNear(node_->Transform().position, {7.5f, 0, 0});
    EXPECT_FLOAT_EQ(node_->GetAnimationTime(node_->Player()->playId), 1003.75f);
}

TEST_F(KNodeAnimation, WithoutLoopingTheLastKeyHoldsAndThePlayerEnds) {
    EXPECT_EQ(PlayTo(0, 3.5f), 1);
    ExpectNear(node_->Transform().position, {30, 0, 0});
    EXPECT_EQ(node_->HasAnimation(), 0);
    EXPECT_EQ(node_->UpdateAnimation(1.0f), 1);  // nothing attached
    EXPECT_EQ(animation_->ReferenceCount(), 0u);  // the player gave its reference back
}

TEST_F(KNodeAnimation, AStartTimeDelaysTheKeys) {
    node_->SetPosition({-1, -1, -1});
    const int id = node_->PlayAnimation(animation_, 1.0f, 0, 0.0f, 2.0f);
    EXPECT_EQ(node_->UpdateAnimation(1.0f), 0);
    ExpectNear(node_->Transform().position, {-1, -1, -1});  // t < 0 leaves the node alone
    EXPECT_EQ(node_->UpdateAnimation(2.0f), 0);
    ExpectNear(node_->Transform().position, {10, 0, 0});
    EXPECT_EQ(node_->RewindAnimation(id), 1);
    EXPECT_FLOAT_EQ(node_->GetAnimationTime(id), 2.0f);
    EXPECT_EQ(node_->RewindAnimation(id + 1), 0);
}

TEST_F(KNodeAnimation, TheFrameRateAndThePlayerRateDriveTheTime) {
    animation_->SetFrameRate(30.0f);
    const int id = node_->PlayAnimation(animation_, 1.0f, kPlayLoop, 0.0f, 0.0f);
    node_->UpdateAnimation(1.0f / 30.0f);
    EXPECT_NEAR(node_->GetAnimationTime(id), 1.0f, 1e-5f);
    node_->Player()->rate = 0.5f;
    node_->UpdateAnimation(1.0f / 30.0f);
    EXPECT_NEAR(node_->GetAnimationTime(id), 1.5f, 1e-5f);
}

TEST_F(KNodeAnimation, StoppingWithoutAFadeDetachesAtOnceAndWithOneSetsTheEnd) {
    int id = node_->PlayAnimation(animation_, 1.0f, kPlayLoop, 0.0f, 0.0f);
    node_->UpdateAnimation(1.0f);
    EXPECT_EQ(node_->StopAnimations(0.5f), 1);
    ASSERT_EQ(node_->HasAnimation(), 1);
    EXPECT_FLOAT_EQ(node_->Player()->endTime, 1.5f);
    EXPECT_EQ(node_->UpdateAnimation(0.25f), 0);
    EXPECT_EQ(node_->UpdateAnimation(0.5f), 1);  // held at the end, then finished
    ExpectNear(node_->Transform().position, {15, 0, 0});

    id = node_->PlayAnimation(animation_, 1.0f, kPlayLoop, 0.0f, 0.0f);
    EXPECT_EQ(node_->StopAnimationById(id + 1, 0.0f), 0);
    EXPECT_EQ(node_->StopAnimation(animation_, 0.0f), 1);
    EXPECT_EQ(node_->HasAnimation(), 0);
    EXPECT_EQ(node_->StopAnimations(0.0f), 1);  // also when nothing is attached
}

TEST_F(KNodeAnimation, OnlyNodeAnimationsWithKeysArePlayed) {
    auto* empty = new NodeAnimation();
    EXPECT_EQ(node_->PlayAnimation(empty, 1.0f, 0, 0.0f, 0.0f), -1);
    EXPECT_EQ(node_->PlayAnimation(nullptr, 1.0f, 0, 0.0f, 0.0f), -1);
    EXPECT_EQ(node_->HasAnimation(), 0);
    empty->Release();
}

TEST_F(KNodeAnimation, TheQueriesAnswerOnlyForTheirIdOrAnimation) {
    const int id = node_->PlayAnimation(animation_, 2.0f, kPlayCallerFlag, 0.5f, 0.0f);
    EXPECT_EQ(node_->IsAnimationId(id), 1);
    EXPECT_EQ(node_->IsAnimationId(id + 1), 0);
    EXPECT_EQ(node_->IsAnimation(animation_), 1);
    EXPECT_EQ(node_->GetAnimationId(animation_), id);
    EXPECT_FLOAT_EQ(node_->GetAnimationTime(id + 1), -1.0f);
    EXPECT_EQ(node_->SetAnimationTime(id, 1.5f), 1);
    EXPECT_FLOAT_EQ(node_->GetAnimationTime(id), 1.5f);
    EXPECT_EQ(node_->SetAnimationFlag(id + 1), 0);
    EXPECT_EQ(node_->GetAnimationFlag(id), 0);
    EXPECT_FLOAT_EQ(node_->Player()->speed, 2.0f);
    EXPECT_FLOAT_EQ(node_->Player()->fade, 0.5f);
    EXPECT_EQ(node_->IsAnimationFinished(), 0);
    EXPECT_EQ(node_->IsAnimationAllowed(), 1);
    // Playing again replaces the player and takes a new id.
    EXPECT_GT(node_->PlayAnimation(animation_, 1.0f, 0, 0.0f, 0.0f), id);
    EXPECT_EQ(AnimationPlayersInUse(), 1u);
}

TEST_F(KNodeAnimation, AHeldPlayerStaysAndItsPoseIsComposedIntoTheWorldMatrix) {
    node_->SetPosition({0, 5, 0});
    const int id = node_->PlayAnimation(animation_, 1.0f, 0, 0.0f, 0.0f);
    node_->SetAnimationTime(id, 2.0f);
    ASSERT_EQ(node_->SetAnimationFlag(id), 1);
    EXPECT_EQ(node_->GetAnimationFlag(id), static_cast<int>(kPlayHeld));
    EXPECT_EQ(node_->UpdateAnimation(10.0f), 0);
    EXPECT_FLOAT_EQ(node_->GetAnimationTime(id), 2.0f);
    ExpectNear(node_->Transform().position, {0, 5, 0});
    Matrix34 world, inverse, product;
    node_->GetWorldMatrix(world);
    Vector3 origin;
    Matrix34TransformPoint(world, {0, 0, 0}, origin);
    ExpectNear(origin, {20, 5, 0});
    node_->GetInverseWorldMatrix(inverse);
    Matrix34Multiply(inverse, world, product);
    ExpectMatrixNear(product, kIdentityMatrix34);
    EXPECT_EQ(node_->ClearAnimationFlag(id), 1);
    node_->GetWorldMatrix(world);
    EXPECT_FLOAT_EQ(world.m[0][3], 0.0f);
}

TEST_F(KNodeAnimation, ScaleKeysAndRelativeKeys) {
    NodeAnimation* scaled = MakeAnimation(kNodeAnimationScale);
    node_->SetPosition({100, 0, 0});
    Quaternion turned;
    QuaternionFromAxisAngle({0, 0, 1}, 1.5707963f, turned);
    node_->SetRotation(turned);
    node_->PlayAnimation(scaled, 1.0f, kPlayRelative, 0.0f, 0.0f);
    node_->SetScale({2, 2, 2});  // the base pose was taken at the start
    node_->UpdateAnimation(1.5f);
    ExpectNear(node_->Transform().position, {115, 0, 0});
    ExpectNear(node_->Transform().scale, {2.5f, 2.5f, 2.5f});
    EXPECT_NEAR(node_->Transform().rotation.z, turned.z, 1e-5f);

    node_->PlayAnimation(animation_, 1.0f, 0, 0.0f, 0.0f);  // no scale keys: scale stays
    node_->UpdateAnimation(1.0f);
    ExpectNear(node_->Transform().scale, {2.5f, 2.5f, 2.5f});
    scaled->Release();
}

TEST_F(KNodeAnimation, PlayersComeFromAPoolAndNodesFromTheAnimatedList) {
    const std::size_t pooled = PooledAnimationPlayers() + AnimationPlayersInUse();
    node_->PlayAnimation(animation_, 1.0f, kPlayLoop, 0.0f, 0.0f);
    node_->PlayAnimation(animation_, 1.0f, kPlayLoop, 0.0f, 0.0f);
    EXPECT_EQ(AnimatedNodes().count, 1u);  // entered once
    EXPECT_NE(node_->Flags() & kNodeAnimated, 0u);
    EXPECT_EQ(AnimationPlayersInUse(), 1u);
    EXPECT_EQ(PooledAnimationPlayers() + AnimationPlayersInUse(), pooled == 0 ? 16u : pooled);

    KNode* nodes[17];
    for (KNode*& node : nodes) {
        node = MakeNode("many");
        EXPECT_GT(node->PlayAnimation(animation_, 1.0f, 0, 0.0f, 0.0f), 0);
    }
    EXPECT_EQ(PooledAnimationPlayers() + AnimationPlayersInUse(), 32u);
    EXPECT_EQ(AnimatedNodes().count, 18u);
    for (KNode* node : nodes) node->Release();
    EXPECT_EQ(AnimatedNodes().count, 1u);
    EXPECT_EQ(AnimationPlayersInUse(), 1u);

    // Shutdown keeps the pool while a player is out, and frees it once none is.
    FreeSceneNodeLists();
    EXPECT_EQ(AnimatedNodes().count, 0u);
    EXPECT_EQ(node_->Flags() & kNodeAnimated, 0u);
    EXPECT_EQ(PooledAnimationPlayers(), 31u);
    node_->StopAnimations(0.0f);
    FreeSceneNodeLists();
    EXPECT_EQ(PooledAnimationPlayers(), 0u);
}

// Takes the fired events.
std::string firedEffect;
KNode* firedAt = nullptr;
Vector3 firedPosition;
void RecordEvent(const PlacedAnimationEvent& placed) {
    firedEffect = placed.event->effect.Text();
    firedAt = placed.placedAt;
    firedPosition = placed.position;
}

TEST_F(KNodeAnimation, AFiredEventIsPlacedAtItsNamedNode) {
    KNode* hand = MakeNode("hand", {0, 2, 0});
    node_->AddChild(hand);
    node_->SetPosition({10, 0, 0});
    AnimationEvent event;
    event.kind = kAnimationEventGame;
    event.effect.Assign("spark");
    event.positionNode.Assign("hand");
    event.positionOffset = {0, 0, 1};

    SetAnimationEventHandler(&RecordEvent);
    node_->FireAnimationEvent(event);
    EXPECT_EQ(firedEffect, "spark");
    EXPECT_EQ(firedAt, hand);
    ExpectNear(firedPosition, {10, 2, 1});

    event.positionNode.Assign("nowhere");
    node_->FireAnimationEvent(event);
    EXPECT_EQ(firedAt, node_);
    ExpectNear(firedPosition, {10, 0, 1});
    SetAnimationEventHandler(nullptr);
}

}  // namespace
}  // namespace node_test
