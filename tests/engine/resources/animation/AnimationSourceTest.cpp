// The readable sources of make_animation: keyed node and skeletal sources become the frames
// and keys their text says, and a mistake is named.
#include <cmath>
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/core/node/NodeAnimation.h"
#include "tests/engine/resources/animation/AnimationTestSupport.h"
#include "tools/make_animation/AnimationSource.h"

namespace animation_test {
namespace {

class AnimationSourceTest : public AnimationTest {
protected:
    Animation* Build(const char* text) {
        TagFile root;
        EXPECT_EQ(root.ParseText(text), 0);
        return BuildAnimation(root, "source.kansrc", error_);
    }
    std::string error_;
};

float AngleAboutZ(const Quaternion& q) { return 2.0f * std::atan2(q.z, q.w) * kRadiansToDegrees; }

TEST_F(AnimationSourceTest, NodeKeysAreBlendedIntoEveryFrame) {
    Animation* built = Build("NodeAnimationSource\n{\nFrames 5\nFrameRate 24\nFlags SCALE\n"
                             "Key 1 [0 0 0] [0 0 0] [1 1 1]\nKey 3 [4 0 2] [0 0 270] [3 3 3]\n}\n");
    ASSERT_NE(built, nullptr) << error_;
    ASSERT_STREQ(built->GetTypeName(), "NodeAnimation");
    auto* animation = static_cast<NodeAnimation*>(built);
    EXPECT_EQ(animation->FrameCount(), 5u);
    EXPECT_FLOAT_EQ(animation->FrameRate(), 24.0f);
    EXPECT_FLOAT_EQ(animation->Positions()[0].x, 0.0f);  // before the first key it holds
    EXPECT_FLOAT_EQ(animation->Positions()[2].x, 2.0f);
    EXPECT_FLOAT_EQ(animation->Scales()[2].y, 2.0f);
    EXPECT_FLOAT_EQ(animation->Positions()[4].z, 2.0f);  // after the last too
    // Angles are blended before they become rotations: halfway to 270 is 135, not -45.
    EXPECT_NEAR(AngleAboutZ(animation->Rotations()[2]), 135.0f, 1e-3f);
    animation->Release();
}

TEST_F(AnimationSourceTest, SkeletalKeysLastUntilTheNextKey) {
    Animation* built = Build("SkelAnimationSource\n{\nFrames 31\nAxes X Z\nFirstTrack 0 [0 0 0]\n"
                             "FirstTrack 30 [0 10 0]\nBone\n{\nName hip\n}\nBone\n{\nName leg\nWeight 0.5\n"
                             "Key 0 [0 0 30] 0\nKey 15 [0 0 -30] 1\nKey 30 [0 0 30] 0\n}\n}\n");
    ASSERT_NE(built, nullptr) << error_;
    ASSERT_STREQ(built->GetTypeName(), "SkelAnimation");
    auto* animation = static_cast<SkelAnimation*>(built);
    EXPECT_EQ(animation->Flags(), kSkelAnimationAxisX | kSkelAnimationAxisZ);
    EXPECT_EQ(animation->BoneCount(), 2u);
    EXPECT_EQ(animation->KeyCount(), 3u);
    char name[kSkelBoneNameSize + 1];
    animation->BoneName(1, name);
    EXPECT_STREQ(name, "leg");
    EXPECT_FLOAT_EQ(animation->Bones()[1].weight, 0.5f);
    const SkelKey* keys = animation->BoneKeys(1);
    EXPECT_EQ(keys[0].startFrame, 0u);
    EXPECT_EQ(keys[0].frameLength, 15u);
    EXPECT_EQ(keys[1].frameLength, 15u);
    EXPECT_EQ(keys[2].startFrame, 30u);
    EXPECT_EQ(keys[2].frameLength, 1u);
    EXPECT_FLOAT_EQ(animation->FirstTrack()[15].y, 5.0f);
    std::uint32_t key = 0;
    SkelBonePose pose{};
    ASSERT_TRUE(animation->SampleBone(1, 7.5f, true, key, pose));
    EXPECT_NEAR(AngleAboutZ(pose.rotation), 0.0f, 1e-3f);
    EXPECT_NEAR(pose.value, 0.5f, 1e-6f);
    animation->Release();
}

TEST_F(AnimationSourceTest, AMistakeIsNamedWithTheSource) {
    EXPECT_EQ(Build("SkelAnimationSource\n{\nFrames 10\nBone\n{\nName hip\nKey 12 [0 0 0] 0\n}\n}\n"), nullptr);
    EXPECT_EQ(error_, "source.kansrc: Bone 1 ('hip'), key 1: the frame must be a whole number below the 10 frames.");
}

}  // namespace
}  // namespace animation_test
