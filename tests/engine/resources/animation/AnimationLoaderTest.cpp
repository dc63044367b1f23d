// Loading animations by name: the ".kan" header (magic, module, class), creation through the
// core module's table, the resource cache, the ".kanim" fallback, the ".trg" events in frame
// order and the ".weights" side file; a loaded animation played on a node.
#include <string>
#include <vector>

#include "engine/core/files/TagFile.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/resources/animation/AnimationEvents.h"
#include "engine/resources/animation/AnimationLoader.h"
#include "tests/engine/resources/animation/AnimationTestSupport.h"

namespace animation_test {
namespace {

// Two bones, "Hip" and "HipLeft", one key each, over two frames.
Bytes SkelAnimationFile() {
    ByteWriter file;
    file.KanHeader("SkelAnimation").AnimationHeader(0, 2).Word(2).Word(2).Floats({0, 0, 0});
    file.Name("Hip", 32).Float(1.0f).Word(1).Word(0);
    file.Name("HipLeft", 32).Float(1.0f).Word(1).Word(0);
    file.Floats({0, 0, 0, 0, 0, 0}).Floats({0, 0, 0, 0, 0, 0});
    for (int key = 0; key < 2; ++key) file.Half(0).Half(2).Floats({0, 0, 0, 1}).Float(0);
    return file.Data();
}

class AnimationLoaderTest : public AnimationTest {
protected:
    Animation* Get(const char* name) { return static_cast<Animation*>(GlobalResourceCache().GetAnimation(name)); }
};

TEST_F(AnimationLoaderTest, TheCacheLoadsANodeAnimationOnceByName) {
    WriteData("animations/walk.kan", NodeAnimationFile());
    Animation* first = Get("walk");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetTypeName(), "NodeAnimation");
    EXPECT_STREQ(first->Name().Text(), "walk");
    EXPECT_EQ(first->OwningModule(), FindModule("libkel"));
    EXPECT_EQ(first->FrameCount(), 3u);
    EXPECT_FLOAT_EQ(first->FrameRate(), 10.0f);
    auto* walk = static_cast<NodeAnimation*>(first);
    EXPECT_FLOAT_EQ(walk->startPosition.z, 3.0f);
    EXPECT_FLOAT_EQ(walk->Positions()[2].x, 20.0f);

    Animation* second = Get("WALK");
    EXPECT_EQ(second, first);
    // The cache keeps a reference of its own: giving back both leaves the animation listed.
    EXPECT_EQ(first->ReferenceCount(), 2u);
    second->Release();
    first->Release();
    Animation* third = Get("walk");
    EXPECT_EQ(third, first);
    EXPECT_EQ(third->FrameCount(), 3u);
    third->Release();
}

TEST_F(AnimationLoaderTest, AKanimFileIsTheFallbackAndAnEmptyModuleNameMeansTheFirstModule) {
    WriteData("animations/spin.kanim", NodeAnimationFile("NodeAnimation", ""));
    Animation* spin = LoadAnimation("spin");
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->OwningModule(), FindModule(nullptr));
    spin->Release();
    EXPECT_EQ(LoadAnimation("absent"), nullptr);
}

struct HeaderCase {
    const char* label;
    Bytes file;
    const char* logged;  // null: no log line at all
};

TEST_F(AnimationLoaderTest, HeadersThatMakeNoAnimationGiveNull) {
    const Bytes whole = NodeAnimationFile();
    const HeaderCase cases[] = {
        {"another format's magic", NodeAnimationFile("NodeAnimation", "libkel", "KAN2"), nullptr},
        {"a header cut short", Bytes(whole.begin(), whole.begin() + 20), nullptr},
        {"a class no module offers", NodeAnimationFile("Spline"), "Failed to create object 'Spline'"},
        {"a class that is no animation", NodeAnimationFile("Camera"), "Failed to create object 'Camera'"},
        {"a module that is not registered", NodeAnimationFile("NodeAnimation", "FmodSound"),
         "Failed to create object 'NodeAnimation'"},
        // Sixteen characters fill the field without a terminator.
        {"a class name filling its field", NodeAnimationFile("NodeAnimationXYZ"),
         "Failed to create object 'NodeAnimationXYZ'"},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.label);
        WriteData("animations/bad.kan", c.file);
        engine_test::CapturedLog log;
        const int before = ExceptionCount();
        EXPECT_EQ(Get("bad"), nullptr);
        if (c.logged == nullptr) {
            EXPECT_EQ(log.Text(), "");
            EXPECT_EQ(ExceptionCount(), before);
        } else {
            EXPECT_TRUE(log.Contains(c.logged)) << log.Text();
            EXPECT_TRUE(log.Contains("animation(")) << log.Text();
        }
    }
    EXPECT_EQ(GlobalResourceCache().Table(kResourceAnimation)->entryCount, 0u);
}

TEST_F(AnimationLoaderTest, ABodyThatFailsCachesNothingAndTheNextRequestLoadsAgain) {
    Bytes cut = NodeAnimationFile();
    cut.resize(cut.size() - 1);
    WriteData("animations/run.kan", cut);
    EXPECT_EQ(Get("run"), nullptr);
    EXPECT_EQ(GlobalResourceCache().Table(kResourceAnimation)->entryCount, 0u);
    WriteData("animations/run.kan", NodeAnimationFile());
    Animation* run = Get("run");
    ASSERT_NE(run, nullptr);
    run->Release();
}

TEST_F(AnimationLoaderTest, TheCoreModuleCreatesAndListsBothAnimationClasses) {
    for (const char* className : {"NodeAnimation", "SkelAnimation"}) {
        Interface* made = CreateByName("libkel", className, Animation::StaticTypeId());
        ASSERT_NE(made, nullptr) << className;
        EXPECT_STREQ(made->GetTypeName(), className);
        made->Release();
    }
    KDLList names;
    auto enumerate = reinterpret_cast<ModuleEnumerateFunction>(FindModule(nullptr)->FindEntry("EnumerateInterfaces"));
    enumerate(&names, Animation::StaticTypeId());
    ASSERT_EQ(names.count, 2u);
    EXPECT_STREQ(static_cast<EngineString*>(names.head->item)->Text(), "SkelAnimation");
    EXPECT_STREQ(static_cast<EngineString*>(names.tail->item)->Text(), "NodeAnimation");
    ListDeleteAll(names, EngineString::DeleteItem);
}

std::vector<std::string> EffectsInOrder(const Animation& animation) {
    std::vector<std::string> effects;
    for (KDLLink* link = animation.Events().head; link != nullptr; link = link->next)
        effects.push_back(static_cast<const AnimationEvent*>(link->item)->effect.Text());
    return effects;
}

TEST_F(AnimationLoaderTest, EventsJoinInFrameOrderAndThoseThatDoNotParseAreLeftOut) {
    WriteData("animations/step.kan", NodeAnimationFile());
    WriteData("animations/step.trg",
              "Events\n{\n"
              "Sound\n{\nFrame 5\nEffect late\n}\n"
              "Game\n{\nFrame 2.00002\nEffect second\n}\n"
              "Particle\n{\nFrame 2.00001\nEffect third\n}\n"  // equal to the one before: goes after it
              "Sound\n{\nEffect first\n}\n"                      // no frame: frame 0
              "Sound\n{\nFrame -1\nEffect negative\n}\n"
              "Sound\n{\nFrame 2000000000\nEffect beyond\n}\n"
              "Sound\n{\nFrame 3\n}\n"                           // no effect
              "Music\n{\nFrame 3\nEffect unknown\n}\n"
              "Sound\n{\nFrame 3\nDelta (1 2)\nEffect malformed\n}\n"
              "}\n");
    Animation* step = Get("step");
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(EffectsInOrder(*step), (std::vector<std::string>{"first", "second", "third", "late"}));
    step->Release();
}

TEST_F(AnimationLoaderTest, AnEventReadsItsPlacementFlagsAndKind) {
    TagFile node;
    ASSERT_EQ(node.ParseText("game\n{\nFrame 12.5\nPosition joint6 [1 2 3]\nRotation head [0 0 90]\n"
                             "Delta [0 0 4]\nFlags EVERYLOOP sound2d LEADOUT bogus\nEffect \"dust cloud\"\n}\n"),
              0);
    AnimationEvent event;
    ASSERT_EQ(ParseAnimationEvent(node, event), 0);
    EXPECT_EQ(event.kind, kAnimationEventGame);
    EXPECT_FLOAT_EQ(event.frame, 12.5f);
    EXPECT_STREQ(event.positionNode.Text(), "joint6");
    EXPECT_FLOAT_EQ(event.positionOffset.y, 2.0f);
    EXPECT_STREQ(event.rotationNode.Text(), "head");
    Quaternion quarterTurn;
    QuaternionFromEuler({0, 0, 90 * 0.017453292f}, quarterTurn);
    EXPECT_NEAR(event.rotation.z, quarterTurn.z, 1e-6f);
    EXPECT_NEAR(event.rotation.w, quarterTurn.w, 1e-6f);
    EXPECT_FLOAT_EQ(event.delta.z, 4.0f);
    EXPECT_EQ(event.flags, kAnimationEventEveryLoop | kAnimationEventSound2D | kAnimationEventLeadOut);
    EXPECT_STREQ(event.effect.Text(), "dust cloud");
}

TEST_F(AnimationLoaderTest, TheWeightsSideFileSetsASkeletalAnimationsWeightsAndFlags) {
    WriteData("animations/wave.kan", SkelAnimationFile());
    WriteData("animations/wave.weights", "NumberOfBones: 2\nHipLeft 0.25\nHip 0.50\nFlags: XZ\n");
    auto* wave = static_cast<SkelAnimation*>(Get("wave"));
    ASSERT_NE(wave, nullptr);
    ASSERT_STREQ(wave->GetTypeName(), "SkelAnimation");
    // "Hip" begins "HipLeft 0.25" and comes first in bone order: the read stops there.
    EXPECT_FLOAT_EQ(wave->Bones()[0].weight, 1.0f);
    EXPECT_FLOAT_EQ(wave->Bones()[1].weight, 1.0f);
    EXPECT_EQ(wave->Flags(), 0u);
    wave->Release();

    WriteData("animations/wave2.kan", SkelAnimationFile());
    WriteData("animations/wave2.weights", "NumberOfBones: 2\nHip 0.50\r\nUnknown 0.1\r\nFlags: XZ\r\n");
    wave = static_cast<SkelAnimation*>(Get("wave2"));
    ASSERT_NE(wave, nullptr);
    EXPECT_FLOAT_EQ(wave->Bones()[0].weight, 0.5f);
    EXPECT_FLOAT_EQ(wave->Bones()[1].weight, 1.0f);
    EXPECT_EQ(wave->Flags(), kSkelAnimationAxisX | kSkelAnimationAxisZ);
    wave->Release();
}

TEST_F(AnimationLoaderTest, ALoadedAnimationMovesANode) {
    WriteData("animations/slide.kan", NodeAnimationFile());
    Animation* slide = Get("slide");
    ASSERT_NE(slide, nullptr);
    KNode* node = new KNode();
    ASSERT_GT(node->PlayAnimation(slide, 1.0f, 0, 0.0f, 0.0f), 0);
    EXPECT_EQ(node->UpdateAnimation(0.15f), 0);  // 1.5 frames at ten a second
    EXPECT_NEAR(node->Transform().position.x, 15.0f, 1e-4f);
    node->Release();
    slide->Release();
}

}  // namespace
}  // namespace animation_test
