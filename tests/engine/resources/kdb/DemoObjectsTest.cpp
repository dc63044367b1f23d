// The demo objects of data/game/archives/startup, made from their sources as the data build
// makes them: every object, node and animation name the game asks for is there, each
// animation fits its character and moves it, and the bones of BRAM's run follow their keys
// over 60 frames.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/files/TagFile.h"
#include "engine/resources/animation/AnimationLoader.h"
#include "engine/resources/meshnode/Bone.h"
#include "tests/engine/resources/support/SceneTestSupport.h"
#include "tools/make_animation/AnimationSource.h"
#include "tools/make_character/CharacterSource.h"
#include "tools/make_image/ImageDescription.h"

namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::vector<std::string> kPlayerAnimations = {
    "character_02_idle",         "character_02_run",          "character_02_air",
    "character_02_jump",         "character_02_land",         "character_02_fall",
    "character_02_death02",      "character_02_climb",        "character_02_ghost",
    "character_02_deathfall",    "character_02_hardfall",     "character_02_angry",
    "character_02_angry2",       "character_02_happy",        "character_02_scared",
    "character_02_confused",     "character_02_listen",       "bram_receivetwizturn",
    "character_02_messagepickup", "character_02_messageread", "character_02_messagethorw",
    "character_02_messagelisten"};
const std::vector<std::string> kOdileAnimations = {"odile1_idle1", "odile1_angry1",      "odile1_happy1",
                                                   "odile1_thinking", "odile1_relax",   "odile1_zombie1",
                                                   "odile1_givetwizturn", "odile1_listen"};
const std::vector<std::string> kTeskAnimations = {"tesk1_idle",        "tesk1_sleep",        "tesk1_wakeup",
                                                  "tesk1_attacklow",   "tesk1_attackmedium", "tesk1_attackhigh",
                                                  "tesk1_deathback",   "tesk1_deathfront",   "tesk1_deathtop"};

class DemoObjectsTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (HasFatalFailure()) return;
        const fs::path startup = fs::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup";
        for (const auto& entry : fs::recursive_directory_iterator(startup)) {
            const fs::path path = entry.path();
            const std::string relative = fs::relative(path, startup).generic_string();
            const std::string stem = fs::path(relative).replace_extension().generic_string();
            std::string error;
            if (path.extension() == ".image") {
                DescribedImage image;
                ASSERT_TRUE(PaintDescribedImage(FileText(path), &image, &error)) << relative << ": " << error;
                WriteFile(stem + ".tga", EncodeTga(image));
            } else if (path.extension() == ".kml" || path.extension() == ".knode" || path.extension() == ".ktx") {
                WriteText(relative, FileText(path));
            } else if (path.extension() == ".shapes") {
                std::vector<make_mesh::MeshShape> shapes;
                ASSERT_TRUE(make_mesh::ReadShapes(FileText(path), &shapes, &error)) << relative << ": " << error;
                for (const make_mesh::MeshShape& shape : shapes)
                    WriteText("objects/" + shape.name + ".fmesh", make_mesh::WriteMeshText(shape));
            } else if (path.extension() == ".character") {
                std::vector<make_character::Character> characters;
                ASSERT_TRUE(make_character::ReadCharacters(FileText(path), &characters, &error)) << error;
                for (const make_character::Character& character : characters) {
                    std::string text;
                    ASSERT_TRUE(make_character::WriteSkelText(character, &text, &error)) << error;
                    WriteText("objects/" + character.name + ".skel", text);
                }
            } else if (path.extension() == ".kansrc") {
                TagFile root;
                ASSERT_EQ(root.ParseText(FileText(path).c_str()), 0) << relative;
                Animation* animation = BuildAnimation(root, relative, error);
                ASSERT_NE(animation, nullptr) << error;
                WriteText(stem + ".kan", "");
                FileStream out;
                ASSERT_NE(out.Open((stem + ".kan").c_str(), kStreamWrite | kStreamBinary), 0);
                EXPECT_EQ(WriteAnimationFile(out, *animation, "libkel"), 0);
                animation->Release();
            }
        }
    }

    KNode* Object(const std::string& name) { return database_->FindOrLoadObject(name.c_str()); }

    SkelObject* Skinned(const std::string& object, const char* node = nullptr) {
        KNode* found = Object(object);
        if (found != nullptr && node != nullptr) found = FindNodeByName(found, node);
        return found != nullptr && found->IsKindOf(SkelObject::StaticTypeId()) ? static_cast<SkelObject*>(found)
                                                                               : nullptr;
    }

    // Plays the animation on the character for a second: it must fit, and some bone must
    // turn by more than a degree on the way.
    void ExpectPlaysAndMoves(SkelObject& character, const std::string& name) {
        Animation* animation = LoadAnimation(name.c_str());
        ASSERT_NE(animation, nullptr) << name;
        character.StopAnimations(0.0f);
        const int channel = character.PlayAnimation(animation, 0.0f, kChannelLooping, 0.0f, 0.0f);
        EXPECT_GT(channel, 0) << name << " does not fit " << character.Name();
        AdvanceSkelFrame();
        character.UpdateAnimation(0.0f);
        std::vector<Quaternion> start;
        for (std::uint32_t b = 0; b < character.BoneCount(); ++b) start.push_back(character.BoneRotation(b));
        float largest = 0.0f;
        for (int step = 0; step < 30; ++step) {
            AdvanceSkelFrame();
            character.UpdateAnimation(1.0f / 30.0f);
            for (std::uint32_t b = 0; b < character.BoneCount(); ++b) {
                const Quaternion& q = character.BoneRotation(b);
                const float dot = std::fabs(q.x * start[b].x + q.y * start[b].y + q.z * start[b].z + q.w * start[b].w);
                largest = std::fmax(largest, 2.0f * std::acos(std::fmin(dot, 1.0f)) * 57.29578f);
            }
        }
        EXPECT_GT(largest, 1.0f) << name << " leaves " << character.Name() << " still";
        character.StopAnimations(0.0f);
        animation->Release();
    }
};

TEST_F(DemoObjectsTest, EveryLevelObjectHasTheNodesTheLevelLooksFor) {
    struct Wanted {
        std::string object;
        std::vector<std::string> nodes;
    };
    std::vector<Wanted> wanted = {{"key_01", {"glow"}},
                                  {"spawneffect", {"portaleffect1", "glow"}},
                                  {"spikecube_01", {}},
                                  {"odile", {"odile1", "lefthand"}},
                                  {"message1", {}},
                                  {"twizturn01", {}},
                                  {"character_02_jumper", {}}};
    for (const char* direction : {"up", "down", "left", "right"}) {
        const std::string d = direction;
        wanted.push_back({"pickup1_" + d, {"pickup", "glow"}});
        wanted.push_back({"pickup2_" + d, {"pickup", "glow"}});
        wanted.push_back({"portal1_" + d, {"portaleffect1", "glow"}});
        wanted.push_back({"damper_01_" + d, {"damper_01_top"}});
        wanted.push_back({"blocker_01_" + d, {"door1", "door2"}});
        wanted.push_back({"bridge1_" + d, {"bridge1"}});
        wanted.push_back({"tesk1_left_" + d, {"tesk1"}});
        wanted.push_back({"tesk1_right_" + d, {"tesk1"}});
    }
    for (int n = 1; n <= 8; ++n) wanted.push_back({"tutorial0" + std::to_string(n), {}});
    for (const Wanted& entry : wanted) {
        KNode* object = Object(entry.object);
        ASSERT_NE(object, nullptr) << entry.object;
        for (const std::string& node : entry.nodes)
            EXPECT_NE(FindNodeByName(object, node.c_str()), nullptr) << entry.object << " has no node " << node;
    }
    // The tutorial signs clone onto the spawn point as the level does it.
    KNode* sign = database_->FindOrLoadObject("tutorial04", true);
    ASSERT_NE(sign, nullptr);
    KNode* copy = sign->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Object("spawneffect")->AddChild(copy), 1);
}

TEST_F(DemoObjectsTest, EveryCharacterAnimationFitsItsCharacterAndMovesIt) {
    SkelObject* bram = Skinned("bram_cutscene");
    SkelObject* ghost = Skinned("bram_ghost");
    SkelObject* odile = Skinned("odile", "odile1");
    SkelObject* tesk = Skinned("tesk1_left_up", "tesk1");
    ASSERT_NE(bram, nullptr);
    ASSERT_NE(ghost, nullptr);
    ASSERT_NE(odile, nullptr);
    ASSERT_NE(tesk, nullptr);
    EXPECT_LE(bram->BoneCount(), 20u);
    EXPECT_NE(FindNodeByName(bram, "joint6"), nullptr) << "the held item hangs on joint6";
    EXPECT_EQ(ghost->BoneCount(), bram->BoneCount());
    for (const std::string& name : kPlayerAnimations) {
        ExpectPlaysAndMoves(*bram, name);
        ExpectPlaysAndMoves(*ghost, name);
    }
    for (const std::string& name : kOdileAnimations) ExpectPlaysAndMoves(*odile, name);
    for (const std::string& name : kTeskAnimations) ExpectPlaysAndMoves(*tesk, name);
    // Every TESK of the level has its own skeleton to animate.
    EXPECT_NE(Skinned("tesk1_right_down", "tesk1"), tesk);
}

// The pose a bone's keys give at a frame, computed here from the keys themselves: the key
// holding the frame and the next (the first after the last, for a loop), by the part of the
// key's frames passed.
Quaternion KeyedRotation(const SkelAnimation& animation, std::uint32_t bone, float frame) {
    const SkelKey* keys = animation.BoneKeys(bone);
    const std::uint32_t count = animation.Bones()[bone].keyCount;
    const float wrapped = std::fmod(frame, static_cast<float>(animation.FrameCount()));
    const float whole = std::floor(wrapped);
    std::uint32_t at = 0;
    for (std::uint32_t k = 0; k < count; ++k)
        if (keys[k].startFrame <= whole) at = k;
    const SkelKey& key = keys[at];
    const SkelKey& next = keys[(at + 1) % count];
    const float t = key.frameLength != 0 ? (wrapped - key.startFrame) / key.frameLength : 0.0f;
    Quaternion out;
    QuaternionSlerp(key.rotation, next.rotation, std::fmin(std::fmax(t, 0.0f), 1.0f), out);
    return out;
}

TEST_F(DemoObjectsTest, BramsRunFollowsItsKeysOverSixtyFrames) {
    SkelObject* bram = Skinned("bram_cutscene");
    ASSERT_NE(bram, nullptr);
    Animation* loaded = LoadAnimation("character_02_run");
    ASSERT_NE(loaded, nullptr);
    ASSERT_TRUE(loaded->IsKindOf(SkelAnimation::StaticTypeId()));
    auto* run = static_cast<SkelAnimation*>(loaded);
    const int channel = bram->PlayAnimation(run, 0.0f, kChannelLooping, 0.0f, 0.0f);
    ASSERT_GT(channel, 0);
    float thighSwing = 0.0f;
    for (int frame = 1; frame <= 60; ++frame) {
        AdvanceSkelFrame();
        bram->UpdateAnimation(1.0f / 30.0f);
        const float time = bram->GetAnimationTime(channel);
        ASSERT_NEAR(std::fmod(static_cast<float>(frame), 24.0f), time, 0.01f) << "frame " << frame;
        for (std::uint32_t b = 0; b < bram->BoneCount(); ++b) {
            const Quaternion expected = KeyedRotation(*run, b, time);
            const Quaternion& got = bram->BoneRotation(b);
            // The keys are stored as they were written, not quite of unit length.
            const float dot = std::fabs(expected.x * got.x + expected.y * got.y + expected.z * got.z + expected.w * got.w);
            const float lengths = std::sqrt((expected.x * expected.x + expected.y * expected.y + expected.z * expected.z +
                                             expected.w * expected.w) *
                                            (got.x * got.x + got.y * got.y + got.z * got.z + got.w * got.w));
            ASSERT_GT(dot / lengths, 0.99999f) << "bone " << b << " at frame " << frame;
            // The bones' nodes carry the rotation.
            const Quaternion& node = bram->GetBone(b)->Transform().rotation;
            ASSERT_FLOAT_EQ(node.w, got.w);
        }
        thighSwing = std::fmax(thighSwing, std::fabs(2.0f * std::asin(bram->BoneRotation(9).x) * 57.29578f));
    }
    EXPECT_GT(thighSwing, 35.0f) << "the thighs swing by about 40 degrees";
    bram->StopAnimations(0.0f);
    run->Release();
}

}  // namespace
