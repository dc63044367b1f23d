// NodeAnimation's file forms (the class lives beside the node's player; its forms are the
// animation files'): the key block, the text form and its writer, text -> binary -> text,
// refused text, and binary bodies that are cut short or whose sizes would wrap in 32 bits.
#include <algorithm>
#include <limits>
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/NodeAnimation.h"
#include "tests/engine/resources/animation/AnimationTestSupport.h"

namespace animation_test {
namespace {

// The writer's own form of a two-frame animation with every kind of key.
const char kCameraAnimationText[] =
    "NodeAnimation\n{\n"
    "AnimationHeader\n{\nNumberOfFrames 2\nFrameRate 24.000000\n}\n"
    "NodeAnimationHeader\n{\nFlags ABSOLUTE CAMERA SCALE\nStartPos [1.000000 2.000000 3.000000]\n"
    "StartRot [0.000000 0.000000 0.000000 1.000000]\nStartScale [2.000000 2.000000 2.000000]\n}\n"
    "Positions\n{\nPosition [0.000000 0.000000 0.000000]\nPosition [10.000000 -5.500000 0.250000]\n}\n"
    "Scaling\n{\nScale [1.000000 1.000000 1.000000]\nScale [3.000000 3.000000 3.000000]\n}\n"
    "Rotations\n{\nRotation [0.000000 0.000000 0.000000 1.000000]\n"
    "Rotation [0.000000 0.000000 0.707107 0.707107]\n}\n"
    "CameraInfos\n{\nFov 45.000000\nFov 90.000000\n}\n"
    "}";

class NodeAnimationFormTest : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        animation_ = new NodeAnimation();
    }
    void TearDown() override {
        animation_->Release();
        AnimationTest::TearDown();
    }
    int ReadText(const char* text) {
        TagFile node;
        EXPECT_EQ(node.ParseText(text), 0);
        return animation_->ReadText(node);
    }
    std::string WriteText(NodeAnimation& animation) {
        TagFile node;
        EXPECT_EQ(animation.WriteText(node), 0);
        return node.WriteText().Text();
    }
    int ReadBinary(const Bytes& bytes) {
        FileStream stream;
        AttachBytes(stream, bytes);
        return animation_->ReadBinary(stream);
    }

    NodeAnimation* animation_ = nullptr;
};

TEST_F(NodeAnimationFormTest, CameraAndScaleKeysMakeABlockOf48BytesAFrame) {
    ASSERT_TRUE(animation_->AllocateKeys(5, kNodeAnimationCamera | kNodeAnimationScale));
    const auto* block = reinterpret_cast<const unsigned char*>(animation_->Positions());
    EXPECT_EQ(EngineBlockHeader(block), 5u * 48u);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(animation_->Rotations()), block + 5 * 12);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(animation_->Scales()), block + 5 * 28);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(animation_->CameraKeys()), block + 5 * 40);
}

TEST_F(NodeAnimationFormTest, TextBinaryTextGivesTheSameText) {
    ASSERT_EQ(ReadText(kCameraAnimationText), 0);
    EXPECT_EQ(animation_->Flags(), kNodeAnimationAbsolute | kNodeAnimationCamera | kNodeAnimationScale);
    EXPECT_NEAR(animation_->CameraKeys()[0].fieldOfView, 0.785398f, 1e-6f);
    EXPECT_EQ(animation_->CameraKeys()[1].reserved, 0u);
    EXPECT_EQ(WriteText(*animation_), kCameraAnimationText);

    FileStream out;
    ASSERT_EQ(out.Open("animations\\camera.bin", kStreamWrite | kStreamBinary), 1);
    ASSERT_EQ(animation_->WriteBinary(out), 0);
    out.Close();
    const Bytes binary = ReadData("animations/camera.bin");
    // Header 12, start pose 40, then 48 bytes a frame.
    EXPECT_EQ(binary.size(), 12u + 40u + 2u * 48u);

    auto* copy = new NodeAnimation();
    FileStream in;
    AttachBytes(in, binary);
    ASSERT_EQ(copy->ReadBinary(in), 0);
    EXPECT_EQ(WriteText(*copy), kCameraAnimationText);
    copy->Release();
}

TEST_F(NodeAnimationFormTest, ZeroFramesReadWithoutKeys) {
    ASSERT_EQ(ReadText("NodeAnimation\n{\nAnimationHeader\n{\nNumberOfFrames 0\nFrameRate 30\n}\n"
                       "NodeAnimationHeader\n{\nStartPos [0 0 1]\nStartRot [0 0 0 1]\n}\n}\n"),
              0);
    EXPECT_EQ(animation_->FrameCount(), 0u);
    EXPECT_EQ(animation_->Positions(), nullptr);
    EXPECT_FLOAT_EQ(animation_->startPosition.z, 1.0f);
    // Without keys there is nothing for a node to play.
    KNode* node = new KNode();
    EXPECT_EQ(node->PlayAnimation(animation_, 1.0f, kPlayLoop, 0.0f, 0.0f), -1);
    node->Release();
}

// Replaces the first occurrence of `from` in the writer's text.
std::string Altered(const std::string& from, const std::string& to) {
    std::string text = kCameraAnimationText;
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST_F(NodeAnimationFormTest, TextThatDeviatesIsRefused) {
    const std::string cases[] = {
        Altered("AnimationHeader\n{\nNumberOfFrames 2\nFrameRate 24.000000\n}\n", ""),
        Altered("NumberOfFrames 2\n", ""),
        Altered("FrameRate 24.000000", "FrameRate fast"),
        Altered("NumberOfFrames 2", "NumberOfFrames -2"),
        Altered("NumberOfFrames 2", "NumberOfFrames 3"),
        Altered("NumberOfFrames 2", "NumberOfFrames 1"),
        Altered("StartRot [0.000000 0.000000 0.000000 1.000000]\n", ""),
        Altered("StartScale [2.000000 2.000000 2.000000]", "StartScale [2 2]"),
        Altered("Position [0.000000 0.000000 0.000000]", "Place [0 0 0]"),
        Altered("Position [0.000000 0.000000 0.000000]", "Position [0 0 zero]"),
        Altered("Rotation [0.000000 0.000000 0.000000 1.000000]", "Rotation [0 0 0]"),
        Altered("Fov 45.000000", "Fov wide"),
        Altered("CameraInfos", "CameraInfo"),
        Altered("Scaling", "Scales"),
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadText(text.c_str()), 1);
        EXPECT_EQ(animation_->FrameCount(), 0u);
        EXPECT_EQ(animation_->Positions(), nullptr);
    }
}

// A two-frame body with CAMERA and SCALE.
Bytes CameraBody() {
    ByteWriter body;
    body.AnimationHeader(kNodeAnimationCamera | kNodeAnimationScale, 2);
    body.Floats({0, 0, 0}).Floats({0, 0, 0, 1}).Floats({1, 1, 1});
    body.Floats({0, 0, 0, 1, 1, 1}).Floats({0, 0, 0, 1, 0, 0, 0, 1});
    body.Float(1.0f).Word(0).Float(1.0f).Word(0);
    body.Floats({1, 1, 1, 2, 2, 2});
    return body.Data();
}

TEST_F(NodeAnimationFormTest, ABinaryBodyCutAnywhereIsRefused) {
    const Bytes body = CameraBody();
    for (std::size_t size = 0; size < body.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(ReadBinary(Bytes(body.begin(), body.begin() + static_cast<long>(size))), 1);
        EXPECT_EQ(animation_->FrameCount(), 0u);
        EXPECT_EQ(animation_->Positions(), nullptr);
    }
    ASSERT_EQ(ReadBinary(body), 0);
    EXPECT_FLOAT_EQ(animation_->Scales()[1].y, 2.0f);
    EXPECT_FLOAT_EQ(animation_->CameraKeys()[1].fieldOfView, 1.0f);
}

TEST_F(NodeAnimationFormTest, FrameCountsWhoseSizesWrapIn32BitsAreRefusedBeforeAllocating) {
    struct Case {
        DWORD flags;
        std::uint32_t frames;  // frames × bytes a frame wraps to a few bytes in 32 bits
    };
    const Case cases[] = {
        {0, 153391690u},                                            // 28 bytes a frame: wraps to 24
        {kNodeAnimationCamera | kNodeAnimationScale, 89478486u},  // 48 bytes a frame: wraps to 32
        {kNodeAnimationScale, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        ByteWriter body;
        body.AnimationHeader(c.flags, c.frames).Floats({0, 0, 0, 0, 0, 0, 1});
        if ((c.flags & kNodeAnimationScale) != 0) body.Floats({1, 1, 1});
        for (int i = 0; i < 16; ++i) body.Float(0.0f);
        engine_test::CapturedLog log;
        const std::size_t bytesBefore = EngineByteCount();
        EXPECT_EQ(ReadBinary(body.Data()), 1);
        EXPECT_EQ(EngineByteCount(), bytesBefore);
        EXPECT_TRUE(log.Contains("frames of keys need")) << log.Text();
    }
}

TEST_F(NodeAnimationFormTest, AFrameRateThatIsNoFiniteNumberIsRefused) {
    for (const float rate : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -1.0f}) {
        Bytes body = CameraBody();
        ByteWriter header;
        header.AnimationHeader(kNodeAnimationCamera | kNodeAnimationScale, 2, rate);
        std::copy(header.Data().begin(), header.Data().end(), body.begin());
        EXPECT_EQ(ReadBinary(body), 1) << rate;
    }
}

}  // namespace
}  // namespace animation_test
