// SkelObject: building from text and the refusals of broken skeletons and skins, channels
// (the 17th event, a bone-count mismatch, stop fades, the pool growing by 16), blending of
// equal weights, clones skinning on their own, and the saved form's refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/mesh/GeometryCache.h"
#include "tests/engine/resources/support/SceneTestSupport.h"

namespace {

using scene_test::AboutZ;
using scene_test::AngleAboutZ;
using scene_test::BuildSkel;
using scene_test::MakeSkelAnimation;
using scene_test::SkelText;
using scene_test::ThreeBones;

class SkelObjectTest : public scene_test::SceneTest {
protected:
    // One engine frame of `seconds` on the object.
    static int Step(SkelObject& object, float seconds) {
        AdvanceSkelFrame();
        return object.UpdateAnimation(seconds);
    }
};

TEST_F(SkelObjectTest, BuildsBonesSkinAndHierarchyFromText) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->BoneCount(), 3u);
    ASSERT_NE(object->GetBone(2), nullptr);
    EXPECT_STREQ(object->GetBone(2)->Name(), "tip");
    EXPECT_EQ(object->GetBone(2)->Parent(), object->GetBone(1));
    EXPECT_EQ(object->GetBone(0)->Parent(), object);
    EXPECT_EQ(object->GetBone(1)->SkinnedOwner(), object);
    // Each quad's vertices follow their own bone.
    const SkinRecord* skin = object->Skin(0);
    ASSERT_NE(skin, nullptr);
    const std::uint32_t vertices = GetVertexCount(object->GetGeometry(0).list);
    ASSERT_EQ(vertices, 12u);
    for (std::uint32_t v = 0; v < vertices; ++v) {
        const Vector3 p = GetVertexPosition(object->GetGeometry(0).list, v);
        EXPECT_EQ(skin[v].influenceCount, 1u);
        EXPECT_EQ(skin[v].bones[0], static_cast<std::uint16_t>(p.z >= 2 ? 2 : p.z >= 1 ? 1 : 0)) << v;
    }
    EXPECT_NE(object->GetGeometry(0).flags & kGeometrySkinned, 0u);
    object->Release();
}

TEST_F(SkelObjectTest, RefusesSkinsAndSkeletonsOutsideTheirArrays) {
    // A vertex bound to bone 3 of 3.
    EXPECT_EQ(BuildSkel(SkelText(ThreeBones(), 3)), nullptr);
    // A loop of bones beside the root: 1 is 2's child and 2 is 1's child.
    std::vector<scene_test::TestBone> loop = {{"root", {0, 0, 0}, {}}, {"a", {0, 0, 1}, {2}}, {"b", {0, 0, 2}, {1}}};
    EXPECT_EQ(BuildSkel(SkelText(loop)), nullptr);
    // More children named than there are bones below the root.
    std::vector<scene_test::TestBone> extra = {{"root", {0, 0, 0}, {1, 2}}, {"a", {0, 0, 1}, {2}}, {"b", {0, 0, 2}, {}}};
    EXPECT_EQ(BuildSkel(SkelText(extra)), nullptr);
    // 97 bones in a chain.
    std::vector<scene_test::TestBone> chain;
    for (int b = 0; b < 97; ++b)
        chain.push_back({"bone", {0, 0, static_cast<float>(b)}, b + 1 < 97 ? std::vector<int>{b + 1} : std::vector<int>{}});
    EXPECT_EQ(BuildSkel(SkelText(chain)), nullptr);
    chain.pop_back();
    chain.back().children.clear();
    SkelObject* most = BuildSkel(SkelText(chain));
    ASSERT_NE(most, nullptr);
    EXPECT_EQ(most->BoneCount(), 96u);
    most->Release();
}

TEST_F(SkelObjectTest, TheSeventeenthTimedEventIsRefused) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    SkelAnimation* animation = MakeSkelAnimation(3, 30, 0);
    ASSERT_NE(object, nullptr);
    const int channel = object->PlayAnimation(animation, 0, kChannelLooping, 0, 0);
    ASSERT_GT(channel, 0);
    int previous = 0;
    for (int e = 0; e < 16; ++e) {
        const int id = object->AddTimedEvent(channel, 1.0f + static_cast<float>(e));
        EXPECT_GE(id, 0x10003);
        EXPECT_GT(id, previous);
        previous = id;
    }
    EXPECT_EQ(object->AddTimedEvent(channel, 20.0f), 0);
    EXPECT_EQ(object->AddTimedEventWithId(channel, 20.0f, 5), 0);
    // Taking one off makes room; ids below 3 and times that are not positive are refused.
    EXPECT_EQ(object->RemoveTimedEvent(channel, previous), 1);
    EXPECT_EQ(object->AddTimedEventWithId(channel, 20.0f, 2), 0);
    EXPECT_EQ(object->AddTimedEventWithId(channel, 0.0f, 5), 0);
    EXPECT_EQ(object->AddTimedEventWithId(channel, 20.0f, 5), 1);
    EXPECT_EQ(object->AddTimedEvent(channel + 1000, 1.0f), 0);
    object->Release();
    animation->Release();
}

TEST_F(SkelObjectTest, PlayRefusesOtherBoneCountsAndAnimationsWithoutFrames) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    SkelAnimation* four = MakeSkelAnimation(4, 30, 0);
    SkelAnimation* none = MakeSkelAnimation(3, 0, 0);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->PlayAnimation(four, 0, 0, 0, 0), -1);
    EXPECT_EQ(object->PlayAnimation(none, 0, kChannelLooping, 0, 0), -1);
    EXPECT_EQ(object->PlayAnimation(nullptr, 0, 0, 0, 0), -1);
    EXPECT_EQ(object->Channels().count, 0u);
    // Updating without channels divides by nothing and answers that nothing plays.
    EXPECT_EQ(Step(*object, 0.1f), 1);
    object->Release();
    four->Release();
    none->Release();
}

TEST_F(SkelObjectTest, StopWithoutFadeEndsAtOnceWithAFadeLater) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    SkelAnimation* animation = MakeSkelAnimation(3, 30, 40);
    ASSERT_NE(object, nullptr);
    const std::size_t pooledBefore = PooledSkelChannels() + SkelChannelsInUse();
    object->PlayAnimation(animation, 0, kChannelLooping, 0, 0);
    object->PlayAnimation(animation, 0, kChannelLooping, 0, 0);
    EXPECT_EQ(SkelChannelsInUse(), 2u);
    EXPECT_EQ(object->StopAnimations(0.0f), 1);
    EXPECT_EQ(object->Channels().count, 0u);
    EXPECT_EQ(SkelChannelsInUse(), 0u);

    // A fade of 15 frames (half a second at 30 frames a second) keeps the channel that long.
    const int channel = object->PlayAnimation(animation, 0, kChannelLooping, 0, 0);
    Step(*object, 0.1f);
    object->StopAnimations(15.0f);
    EXPECT_NEAR(object->GetRemainingTimeById(channel), 15.0f, 1e-3f);
    EXPECT_EQ(Step(*object, 0.25f), 0);
    EXPECT_EQ(object->Channels().count, 1u);
    EXPECT_EQ(Step(*object, 0.26f), 1);
    EXPECT_EQ(object->Channels().count, 0u);
    EXPECT_GE(PooledSkelChannels() + SkelChannelsInUse(), pooledBefore);
    object->Release();
    animation->Release();
}

TEST_F(SkelObjectTest, ThePoolGrowsBySixteen) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    SkelAnimation* animation = MakeSkelAnimation(3, 30, 0);
    ASSERT_NE(object, nullptr);
    FreeSkelChannelPool();
    ASSERT_EQ(PooledSkelChannels(), 0u);
    object->PlayAnimation(animation, 0, 0, 0, 0);
    EXPECT_EQ(PooledSkelChannels(), 15u);
    for (int i = 0; i < 15; ++i) object->PlayAnimation(animation, 0, 0, 0, 0);
    EXPECT_EQ(PooledSkelChannels(), 0u);
    object->PlayAnimation(animation, 0, 0, 0, 0);
    EXPECT_EQ(PooledSkelChannels(), 15u);
    EXPECT_EQ(SkelChannelsInUse(), 17u);
    object->Release();
    EXPECT_EQ(SkelChannelsInUse(), 0u);
    animation->Release();
}

TEST_F(SkelObjectTest, EqualWeightsBlendHalfway) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    SkelAnimation* straight = MakeSkelAnimation(3, 30, 0);
    SkelAnimation* turned = MakeSkelAnimation(3, 30, 90);
    ASSERT_NE(object, nullptr);
    object->PlayAnimation(straight, 0, kChannelLooping, 0, 0);
    object->PlayAnimation(turned, 0, kChannelLooping, 0, 0);
    Step(*object, 0.1f);
    for (std::uint32_t b = 0; b < 3; ++b) EXPECT_NEAR(AngleAboutZ(object->BoneRotation(b)), 45.0f, 0.01f) << b;
    // A heavier second channel takes more of the blend.
    object->SetChannelWeight(object->GetAnimationId(turned), 4.0f);
    EXPECT_FLOAT_EQ(object->GetChannelWeight(object->GetAnimationId(turned)), 4.0f);
    Step(*object, 0.1f);
    EXPECT_GT(AngleAboutZ(object->BoneRotation(0)), 60.0f);
    // The bones turn with the blend: the tip's bone is carried round the mid one.
    Matrix34 tip;
    object->GetBone(2)->GetWorldMatrix(tip);
    EXPECT_NE(tip.m[0][0], 1.0f);
    object->Release();
    straight->Release();
    turned->Release();
}

TEST_F(SkelObjectTest, ListenersHearPlayStopAndTimedEvents) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    SkelAnimation* animation = MakeSkelAnimation(3, 10, 0);
    ASSERT_NE(object, nullptr);
    std::vector<int> heard;
    auto listen = [](KNode&, const SkelEvent& event, void* context) {
        static_cast<std::vector<int>*>(context)->push_back(event.type);
    };
    EXPECT_EQ(object->AddListener(listen, &heard), 1);
    EXPECT_EQ(object->AddListener(listen, &heard), 0);
    EXPECT_EQ(object->AddListener(nullptr, &heard), 0);
    const int channel = object->PlayAnimation(animation, 0, 0, 0, 0);
    object->AddTimedEvent(channel, 3.0f);
    Step(*object, 0.2f);   // frame 6: the event at 3 fires
    Step(*object, 0.2f);   // past frame 9: the channel ends
    EXPECT_EQ(heard, (std::vector<int>{0, 7, 1}));
    EXPECT_EQ(object->RemoveListener(listen, &heard), 1);
    EXPECT_EQ(object->RemoveListener(listen, &heard), 0);
    object->Release();
    animation->Release();
}

TEST_F(SkelObjectTest, ClonesShareTheSkinAndSkinOnTheirOwn) {
    SkelObject* source = BuildSkel(SkelText(ThreeBones()));
    SkelAnimation* turned = MakeSkelAnimation(3, 30, 90);
    ASSERT_NE(source, nullptr);
    KNode* copy = source->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->IsKindOf(SkelObject::StaticTypeId()));
    auto* clone = static_cast<SkelObject*>(copy);
    EXPECT_EQ(clone->Skin(0), source->Skin(0));
    EXPECT_NE(clone->GetGeometry(0).flags & kGeometryShared, 0u);
    ASSERT_EQ(clone->BoneCount(), 3u);
    ASSERT_NE(clone->GetBone(1), nullptr);
    EXPECT_NE(clone->GetBone(1), source->GetBone(1));
    EXPECT_EQ(clone->GetBone(1)->SkinnedOwner(), clone);

    clone->PlayAnimation(turned, 0, kChannelLooping, 0, 0);
    Step(*clone, 0.1f);
    Step(*source, 0.1f);
    EXPECT_NEAR(AngleAboutZ(clone->BoneRotation(1)), 90.0f, 0.01f);
    EXPECT_NEAR(AngleAboutZ(source->GetBone(1)->Transform().rotation), 0.0f, 0.01f);
    EXPECT_FALSE(std::memcmp(&clone->BoneWorldMatrix(1), &source->BoneWorldMatrix(1), sizeof(Matrix34)) == 0);

    // The clone goes first; the source's skin and geometry stay whole.
    const SkinRecord first = source->Skin(0)[0];
    clone->Release();
    EXPECT_EQ(source->Skin(0)[0].bones[0], first.bones[0]);
    EXPECT_EQ(GetVertexCount(source->GetGeometry(0).list), 12u);
    source->Release();
    turned->Release();
}

TEST_F(SkelObjectTest, LoadRefusesTooManyGeometriesBonesAndBadSkinIndices) {
    SkelObject* object = BuildSkel(SkelText(ThreeBones()));
    ASSERT_NE(object, nullptr);
    WriteText("saved.bin", "");
    {
        FileStream out;
        ASSERT_NE(out.Open("saved.bin", kStreamWrite | kStreamBinary), 0);
        ASSERT_EQ(object->Save(out), 0);
    }
    const std::string saved = ReadDataFile("saved.bin");
    object->Release();
    // The header's words follow the KNode record: find them by the bone and geometry counts.
    const std::uint32_t header[3] = {3, 1, 0};
    const std::size_t at = saved.find(std::string(reinterpret_cast<const char*>(header), 12)) ;
    ASSERT_NE(at, std::string::npos);
    auto load = [&](const std::string& bytes) {
        FileStream in;
        resource_test::AttachBytes(in, bytes, kStreamBinary);
        SkelObject fresh;
        return fresh.Load(in);
    };
    EXPECT_EQ(load(saved), 0);
    for (std::uint32_t bad : {0u, 9u}) {
        std::string changed = saved;
        std::memcpy(&changed[at + 4], &bad, 4);
        EXPECT_NE(load(changed), 0) << bad << " geometries";
    }
    std::string manyBones = saved;
    const std::uint32_t bones = 97;
    std::memcpy(&manyBones[at], &bones, 4);
    EXPECT_NE(load(manyBones), 0);
    // The last skin record names bone 7 of 3.
    std::string badSkin = saved;
    const std::uint16_t bone = 7;
    std::memcpy(&badSkin[badSkin.size() - kSkinRecordSize + 4], &bone, 2);
    EXPECT_NE(load(badSkin), 0);
    // Skin records cut short.
    EXPECT_NE(load(saved.substr(0, saved.size() - 10)), 0);
}

}  // namespace
