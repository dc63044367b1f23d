// SkelAnimation: the binary body read and written back byte for byte, bodies cut short, key
// counts that do not add up, counts whose sizes wrap in 32 bits, discarded bone names, the
// weights file (prefixed bone names, its errors, two decimals) and a bone's pose at a frame.
#include <cmath>
#include <string>
#include <vector>

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/memory/EngineLog.h"
#include "tests/engine/resources/animation/AnimationTestSupport.h"

namespace animation_test {
namespace {

struct KeySpec {
    std::uint16_t start;
    std::uint16_t length;
    float angle;  // about z, in degrees
    float value;
};

struct BoneSpec {
    std::string name;
    float weight;
    std::vector<KeySpec> keys;
    std::uint32_t extra = 0;
};

Quaternion AboutZ(float degrees) {
    Quaternion q;
    QuaternionFromAxisAngle({0, 0, 1}, degrees * 0.017453292f, q);
    return q;
}

// A body whose key count is the sum of the bones' keys unless `declaredKeys` says otherwise.
Bytes SkelBody(const std::vector<BoneSpec>& bones, std::uint32_t frames, long declaredKeys = -1) {
    std::uint32_t keys = 0;
    for (const BoneSpec& bone : bones) keys += static_cast<std::uint32_t>(bone.keys.size());
    ByteWriter body;
    body.AnimationHeader(kSkelAnimationAxisY, frames, 25.0f);
    body.Word(static_cast<std::uint32_t>(bones.size())).Word(declaredKeys >= 0 ? static_cast<std::uint32_t>(declaredKeys) : keys);
    body.Floats({0.5f, 1.5f, 2.5f});
    for (const BoneSpec& bone : bones)
        body.Name(bone.name, 32).Float(bone.weight).Word(static_cast<std::uint32_t>(bone.keys.size())).Word(bone.extra);
    for (std::uint32_t f = 0; f < frames; ++f) body.Floats({static_cast<float>(f), 0, 0});
    for (std::uint32_t f = 0; f < frames; ++f) body.Floats({0, static_cast<float>(f), 0});
    for (const BoneSpec& bone : bones) {
        for (const KeySpec& key : bone.keys) {
            const Quaternion q = AboutZ(key.angle);
            body.Half(key.start).Half(key.length).Floats({q.x, q.y, q.z, q.w}).Float(key.value);
        }
    }
    return body.Data();
}

const std::vector<BoneSpec> kThreeBones = {
    {"root", 1.0f, {{0, 2, 0, 0}, {2, 2, 90, 1}}, 7},
    {"spine", 0.5f, {}},
    {"a_name_that_fills_all_32_bytes_", 0.25f, {{0, 1, 10, 0}, {1, 1, 20, 0}, {2, 2, 30, 0}}},
};

class SkelAnimationTest : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        animation_ = new SkelAnimation();
        animation_->SetName("test");
    }
    void TearDown() override {
        animation_->Release();
        AnimationTest::TearDown();
    }
    int ReadBinary(const Bytes& bytes) {
        FileStream stream;
        AttachBytes(stream, bytes);
        return animation_->ReadBinary(stream);
    }
    Bytes WriteBinary() {
        FileStream out;
        EXPECT_EQ(out.Open("animations\\written.bin", kStreamWrite | kStreamBinary), 1);
        EXPECT_EQ(animation_->WriteBinary(out), 0);
        out.Close();
        return ReadData("animations/written.bin");
    }
    void ExpectNoBones() {
        EXPECT_EQ(animation_->BoneCount(), 0u);
        EXPECT_EQ(animation_->KeyCount(), 0u);
        EXPECT_EQ(animation_->FrameCount(), 0u);
        EXPECT_EQ(animation_->Bones(), nullptr);
        EXPECT_EQ(animation_->Keys(), nullptr);
    }

    SkelAnimation* animation_ = nullptr;
};

TEST_F(SkelAnimationTest, ABodyReadsIntoTheBoneBlockAndWritesBackTheSameBytes) {
    const Bytes body = SkelBody(kThreeBones, 4);
    ASSERT_EQ(ReadBinary(body), 0);
    EXPECT_EQ(animation_->BoneCount(), 3u);
    EXPECT_EQ(animation_->KeyCount(), 5u);
    EXPECT_EQ(animation_->FrameCount(), 4u);
    EXPECT_EQ(animation_->Flags(), kSkelAnimationAxisY);
    EXPECT_FLOAT_EQ(animation_->reference.z, 2.5f);
    char name[kSkelBoneNameSize + 1];
    animation_->BoneName(2, name);
    EXPECT_STREQ(name, "a_name_that_fills_all_32_bytes_");
    EXPECT_EQ(animation_->BoneNames()[0].extra, 7u);
    EXPECT_FLOAT_EQ(animation_->Bones()[1].weight, 0.5f);
    EXPECT_EQ(animation_->Bones()[1].keyCount, 0u);
    // Each bone's keys start after those of the bones before it.
    EXPECT_EQ(animation_->BoneKeys(0), animation_->Keys());
    EXPECT_EQ(animation_->BoneKeys(2), animation_->Keys() + 2);
    EXPECT_EQ(animation_->BoneKeys(2)[2].startFrame, 2u);
    EXPECT_EQ(animation_->BoneKeys(2)[2].frameLength, 2u);
    EXPECT_NEAR(animation_->BoneKeys(2)[2].rotation.z, AboutZ(30).z, 1e-6f);
    EXPECT_FLOAT_EQ(animation_->Keys()[1].value, 1.0f);
    EXPECT_FLOAT_EQ(animation_->FirstTrack()[3].x, 3.0f);
    EXPECT_FLOAT_EQ(animation_->SecondTrack()[3].y, 3.0f);
    EXPECT_EQ(WriteBinary(), body);
}

TEST_F(SkelAnimationTest, ABodyCutAnywhereIsRefused) {
    const Bytes body = SkelBody(kThreeBones, 4);
    for (std::size_t size = 0; size < body.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(ReadBinary(Bytes(body.begin(), body.begin() + static_cast<long>(size))), 1);
        ExpectNoBones();
    }
}

TEST_F(SkelAnimationTest, BoneKeyCountsThatDoNotAddUpToTheKeyCountAreRefused) {
    // Five keys in the file each time; the declared total is one too few or one too many
    // (with a spare key's bytes after the body, so the total alone still fits the file).
    for (const long declared : {4L, 6L}) {
        SCOPED_TRACE(declared);
        Bytes body = SkelBody(kThreeBones, 4, declared);
        body.resize(body.size() + kSkelKeySize, 0);
        engine_test::CapturedLog log;
        EXPECT_EQ(ReadBinary(body), 1);
        EXPECT_TRUE(log.Contains("key counts add up to 5")) << log.Text();
        ExpectNoBones();
    }
}

TEST_F(SkelAnimationTest, CountsWhoseSizesWrapIn32BitsAreRefusedBeforeAllocating) {
    struct Case {
        std::uint32_t bones, keys, frames;
    };
    const Case cases[] = {
        {0x5D1745D2u, 0, 0},  // 44 bytes a bone: wraps to 8
        {0, 0x0AAAAAABu, 0},  // 24 bytes a key: wraps to 8
        {0, 0, 0x0AAAAAABu},  // 24 bytes a frame: wraps to 8
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bones + c.keys + c.frames);
        ByteWriter body;
        body.AnimationHeader(0, c.frames).Word(c.bones).Word(c.keys).Floats({0, 0, 0});
        for (int i = 0; i < 32; ++i) body.Word(0);
        engine_test::CapturedLog log;
        const std::size_t bytesBefore = EngineByteCount();
        EXPECT_EQ(ReadBinary(body.Data()), 1);
        EXPECT_EQ(EngineByteCount(), bytesBefore);
        EXPECT_TRUE(log.Contains("but the file holds")) << log.Text();
        ExpectNoBones();
    }
}

TEST_F(SkelAnimationTest, WithBoneNamesDiscardedNamesAreWrittenAsZerosAndWeightsMatchNoBone) {
    SetSkelBoneNamesKept(false);
    const Bytes body = SkelBody(kThreeBones, 4);
    ASSERT_EQ(ReadBinary(body), 0);
    EXPECT_EQ(animation_->BoneNames(), nullptr);
    char name[kSkelBoneNameSize + 1];
    animation_->BoneName(0, name);
    EXPECT_STREQ(name, "");

    Bytes expected = body;
    const std::size_t records = kAnimationHeaderSize + 20;
    for (std::size_t bone = 0; bone < 3; ++bone) {
        std::fill_n(expected.begin() + static_cast<long>(records + bone * 44), 32, 0);
        std::fill_n(expected.begin() + static_cast<long>(records + bone * 44 + 40), 4, 0);
    }
    EXPECT_EQ(WriteBinary(), expected);

    const std::string text = "NumberOfBones: 1\nroot 0.10\nFlags: Z\n";
    FileStream stream;
    AttachBytes(stream, Bytes(text.begin(), text.end()));
    EXPECT_EQ(animation_->ReadWeights(stream), 0);
    EXPECT_FLOAT_EQ(animation_->Bones()[0].weight, 1.0f);
    EXPECT_EQ(animation_->Flags(), kSkelAnimationAxisZ);
}

struct WeightsCase {
    const char* label;
    std::vector<std::string> bones;  // each starting at weight 1 and the animation without flags
    std::string text;
    int result;
    std::vector<float> weights;
    DWORD flags;
};

TEST_F(SkelAnimationTest, TheWeightsFileSetsWeightsUntilItsFirstError) {
    const std::vector<std::string> bones = {"ArmLower", "Arm", "Leg"};
    const WeightsCase cases[] = {
        {"every bone", bones, "NumberOfBones: 3\nArmLower 0.25\nArm 0.5\nLeg 0.75\nFlags: XYZ\n", 0, {0.25f, 0.5f, 0.75f}, 7},
        {"the first bone whose name begins the line takes it", {"Arm", "ArmLower"}, "NumberOfBones: 2\nArmLower 0.25\nArm 0.5\n", 1,
         {1, 1}, 0},
        {"no bones, still the flags", bones, "NumberOfBones: 0\nFlags: Y\n", 0, {1, 1, 1}, kSkelAnimationAxisY},
        {"more bones than the animation has", bones, "NumberOfBones: 4\nArm 0.5\nFlags: X\n", 1, {1, 1, 1}, 0},
        {"a negative count", bones, "NumberOfBones: -1\nFlags: X\n", 1, {1, 1, 1}, 0},
        {"another first line", bones, "Bones: 1\nArm 0.5\n", 1, {1, 1, 1}, 0},
        {"a negative weight", bones, "NumberOfBones: 2\nArm 0.5\nLeg -0.1\nFlags: X\n", 1, {1, 0.5f, 1}, 0},
        {"a weight above 1e30", bones, "NumberOfBones: 2\nArm 0.5\nLeg 2e30\nFlags: X\n", 1, {1, 0.5f, 1}, 0},
        {"a weight that is no number", bones, "NumberOfBones: 2\nArm 0.5\nLeg heavy\nFlags: X\n", 1, {1, 0.5f, 1}, 0},
        {"a weight that is not a number", bones, "NumberOfBones: 1\nLeg nan\n", 1, {1, 1, 1}, 0},
        {"a line of no bone is skipped", bones, "NumberOfBones: 2\nTail 0.1\nLeg 0.3\r\nFlags: Z\r\n", 0,
         {1, 1, 0.3f}, kSkelAnimationAxisZ},
        {"fewer lines than declared", bones, "NumberOfBones: 3\nLeg 0.3\n", 1, {1, 1, 0.3f}, 0},
        {"no flags line", bones, "NumberOfBones: 1\nArm 0\nSomething: XYZ\n", 0, {1, 0, 1}, 0},
    };
    for (const WeightsCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto* animation = new SkelAnimation();
        const std::vector<std::uint32_t> noKeys(c.bones.size(), 0);
        ASSERT_TRUE(animation->AllocateBones(static_cast<std::uint32_t>(c.bones.size()), 1, noKeys.data()));
        for (std::size_t bone = 0; bone < c.bones.size(); ++bone) {
            std::strncpy(animation->BoneNames()[bone].name, c.bones[bone].c_str(), kSkelBoneNameSize);
            animation->Bones()[bone].weight = 1.0f;
        }
        FileStream stream;
        AttachBytes(stream, Bytes(c.text.begin(), c.text.end()));
        EXPECT_EQ(animation->ReadWeights(stream), c.result);
        for (std::size_t bone = 0; bone < c.bones.size(); ++bone)
            EXPECT_FLOAT_EQ(animation->Bones()[bone].weight, c.weights[bone]) << c.bones[bone];
        EXPECT_EQ(animation->Flags(), c.flags);
        animation->Release();
    }
}

TEST_F(SkelAnimationTest, WrittenWeightsHaveTwoDecimalsAndReadBack) {
    ASSERT_EQ(ReadBinary(SkelBody(kThreeBones, 4)), 0);
    animation_->Bones()[0].weight = 0.333f;
    animation_->SetAxisFlags(kSkelAnimationAxisX | kSkelAnimationAxisZ);
    FileStream out;
    ASSERT_EQ(out.Open("animations\\test.weights", kStreamWrite | kStreamText), 1);
    ASSERT_EQ(animation_->WriteWeights(out), 0);
    out.Close();
    const Bytes written = ReadData("animations/test.weights");
    EXPECT_EQ(std::string(written.begin(), written.end()),
              "NumberOfBones: 3\nroot 0.33\nspine 0.50\na_name_that_fills_all_32_bytes_ 0.25\nFlags: XZ\n");

    animation_->Bones()[0].weight = 1.0f;
    animation_->SetAxisFlags(0);
    FileStream in;
    AttachBytes(in, written);
    EXPECT_EQ(animation_->ReadWeights(in), 0);
    EXPECT_FLOAT_EQ(animation_->Bones()[0].weight, 0.33f);
    EXPECT_EQ(animation_->Flags(), kSkelAnimationAxisX | kSkelAnimationAxisZ);
}

// The angle about z of a pose's rotation, in degrees.
float AngleOf(const SkelBonePose& pose) {
    return 2.0f * std::atan2(pose.rotation.z, pose.rotation.w) * 57.29578f;
}

TEST_F(SkelAnimationTest, ABonesPoseBlendsItsKeyWithTheNext) {
    // Over 20 frames: 0 degrees from frame 0, 90 degrees from frame 10.
    ASSERT_EQ(ReadBinary(SkelBody({{"bone", 1.0f, {{0, 10, 0, 0}, {10, 10, 90, 1}}}}, 20)), 0);
    struct Case {
        float frame;
        bool looping;
        float angle;
        float value;
        std::uint32_t key;
    };
    const Case cases[] = {
        {5, false, 45, 0.5f, 0},  {15, false, 90, 1, 1},  // the last key holds
        {15, true, 45, 0.5f, 1},                            // and blends back to the first in a loop
        {25, true, 45, 0.5f, 0},  {45, false, 90, 1, 1},  {-3, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        std::uint32_t key = 1;
        SkelBonePose pose{};
        ASSERT_TRUE(animation_->SampleBone(0, c.frame, c.looping, key, pose));
        EXPECT_NEAR(AngleOf(pose), c.angle, 1e-3f);
        EXPECT_NEAR(pose.value, c.value, 1e-6f);
        EXPECT_EQ(key, c.key);
    }
    std::uint32_t key = 0;
    SkelBonePose pose{};
    EXPECT_FALSE(animation_->SampleBone(0, std::nanf(""), false, key, pose));
    EXPECT_FALSE(animation_->SampleBone(1, 0, false, key, pose));
}

TEST_F(SkelAnimationTest, KeysOfNoLengthAndAnimationsOfNoFramesDoNotDivideByZero) {
    // Zero frames, and a key of length 0 followed by a gap before the next key.
    ASSERT_EQ(ReadBinary(SkelBody({{"bone", 1.0f, {{0, 0, 30, 2}, {8, 4, 60, 4}}}, {"empty", 1.0f, {}}}, 0)), 0);
    EXPECT_EQ(animation_->FrameCount(), 0u);
    for (const bool looping : {false, true}) {
        for (const float frame : {0.0f, 0.5f, 3.0f, 1e30f, INFINITY}) {
            SCOPED_TRACE(frame);
            std::uint32_t key = 0;
            SkelBonePose pose{};
            ASSERT_TRUE(animation_->SampleBone(0, frame, looping, key, pose));
            EXPECT_TRUE(std::isfinite(pose.rotation.w) && std::isfinite(pose.value));
            // Past the last key it holds, or in a loop blends fully into the first.
            const float expected = frame < 8.0f || looping ? 30.0f : 60.0f;
            EXPECT_NEAR(AngleOf(pose), expected, 1e-3f);
        }
    }
    std::uint32_t key = 0;
    SkelBonePose pose{};
    EXPECT_FALSE(animation_->SampleBone(1, 0, true, key, pose));  // a bone without keys
}

TEST_F(SkelAnimationTest, InAGapTheLatestKeyThatHasStartedHoldsEvenWithKeysOutOfOrder) {
    ASSERT_EQ(ReadBinary(SkelBody({{"bone", 1.0f, {{10, 5, 60, 0}, {0, 5, 20, 0}}}}, 15)), 0);
    std::uint32_t key = 0;
    SkelBonePose pose{};
    ASSERT_TRUE(animation_->SampleBone(0, 7.0f, false, key, pose));
    EXPECT_EQ(key, 1u);
    EXPECT_NEAR(AngleOf(pose), 20.0f, 1e-3f);
}

}  // namespace
}  // namespace animation_test
