// Shared pieces of the scene object tests: a fixture with a current object database and
// materials on file, a small skinned skeleton as ".skel" text, skeletal animations built in
// memory, and the clean-up of the process-wide pools between tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/AnimationPlayer.h"
#include "engine/resources/animation/SkelAnimation.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/mesh/MeshText.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"

namespace scene_test {

class SceneTest : public resource_test::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        WriteTga("gfx/textures/default.tga", 2, 2, 255, 255, 255);
        WriteText("materials/default.kml", "KML1 Material \"default\"\n{\n}\n");
        WriteText("materials/stone.kml", "KML1 Material \"stone\"\n{\nDiffuse [0.5 0.5 0.5 1]\n}\n");
        database_ = new KDB();
        SetCurrentKdb(database_);
    }
    void TearDown() override {
        delete database_;
        database_ = nullptr;
        FreeSceneNodeLists();
        FreeSkelChannelPool();
        ResourceTest::TearDown();
    }

    KDB* database_ = nullptr;
};

// A bone of a test skeleton: its bind position and its children's indices.
struct TestBone {
    const char* name;
    Vector3 position;
    std::vector<int> children;
};

// Three bones up the z axis, each with a unit quad in the plane x = 0 around it.
inline std::vector<TestBone> ThreeBones() {
    return {{"root", {0, 0, 0}, {1}}, {"mid", {0, 0, 1}, {2}}, {"tip", {0, 0, 2}, {}}};
}

// A ".skel" text: one quad per bone, each vertex bound wholly to its bone unless `bind`
// overrides the bone of every vertex.
inline std::string SkelText(const std::vector<TestBone>& bones, int bindAll = -1) {
    std::ostringstream out;
    out << "Geometry\n{\n1 " << bones.size() << " " << bones.size() * 4 << " 5\n";
    for (std::size_t b = 0; b < bones.size(); ++b)
        out << "4 [" << b * 4 << " " << b * 4 + 1 << " " << b * 4 + 2 << " " << b * 4 + 3 << "] 0 stone\n";
    for (const TestBone& bone : bones) {
        const Vector3& p = bone.position;
        out << p.x << " " << p.y - 0.5f << " " << p.z << "\n" << p.x << " " << p.y + 0.5f << " " << p.z << "\n";
        out << p.x << " " << p.y + 0.5f << " " << p.z + 0.5f << "\n" << p.x << " " << p.y - 0.5f << " " << p.z + 0.5f << "\n";
    }
    for (std::size_t v = 0; v < bones.size() * 4; ++v) out << (v % 2) << " " << (v / 2 % 2) << "\n";
    for (std::size_t v = 0; v < bones.size() * 4; ++v) out << "1 0 0\n";
    out << "}\nBindInfo\n{\n";
    for (std::size_t v = 0; v < bones.size() * 4; ++v)
        out << "1 1 " << (bindAll >= 0 ? bindAll : static_cast<int>(v / 4)) << " 0 0 0 0 0 0\n";
    out << "}\nSkeleton\n{\n" << bones.size() << "\n";
    for (std::size_t b = 0; b < bones.size(); ++b) {
        const TestBone& bone = bones[b];
        Vector3 local = bone.position;
        for (std::size_t p = 0; p < bones.size(); ++p)
            for (int child : bones[p].children)
                if (child == static_cast<int>(b))
                    local = Vector3{bone.position.x - bones[p].position.x, bone.position.y - bones[p].position.y,
                                    bone.position.z - bones[p].position.z};
        out << "[" << bone.position.x << " " << bone.position.y << " " << bone.position.z << "] [0 0 0 1] [0 0 0] ["
            << local.x << " " << local.y << " " << local.z << "] [0 0 0 1] " << bone.children.size() << " 0 "
            << bone.name << "\n";
    }
    for (const TestBone& bone : bones)
        for (int child : bone.children) out << child << "\n";
    out << "}\n";
    return out.str();
}

// Reads a text into MeshText; 1 on success.
inline int ReadSkelText(const std::string& text, MeshText& out) {
    FileStream stream;
    resource_test::AttachBytes(stream, text, kStreamText);
    return ReadMeshText(stream, "test.skel", out);
}

// A SkelObject built from the text, or null.
inline SkelObject* BuildSkel(const std::string& text) {
    MeshText mesh;
    if (ReadSkelText(text, mesh) == 0) return nullptr;
    auto* object = new SkelObject();
    const bool built = object->BuildFromText(mesh, "test");
    FreeMeshText(mesh);
    if (!built) {
        object->Release();
        return nullptr;
    }
    return object;
}

inline Quaternion AboutZ(float degrees) {
    Quaternion q;
    QuaternionFromAxisAngle({0, 0, 1}, degrees * 0.017453292f, q);
    return q;
}

// An animation of `bones` bones over `frames` frames: every bone holds one key turned by
// `degrees` about z, or two keys (0 at frame 0, `degrees` at the middle) when `moving`.
inline SkelAnimation* MakeSkelAnimation(std::uint32_t bones, std::uint32_t frames, float degrees,
                                        bool moving = false) {
    auto* animation = new SkelAnimation();
    std::vector<std::uint32_t> keys(bones, moving ? 2u : 1u);
    if (!animation->AllocateBones(bones, frames, keys.data())) {
        animation->Release();
        return nullptr;
    }
    animation->SetFrameRate(30.0f);
    for (std::uint32_t b = 0; b < bones; ++b) {
        animation->Bones()[b].weight = 1.0f;
        SkelKey* key = animation->BoneKeys(b);
        if (moving) {
            const std::uint16_t half = static_cast<std::uint16_t>(frames / 2);
            key[0] = SkelKey{0, half, AboutZ(0), 0.0f};
            key[1] = SkelKey{half, static_cast<std::uint16_t>(frames - half), AboutZ(degrees), 1.0f};
        } else {
            key[0] = SkelKey{0, static_cast<std::uint16_t>(frames), AboutZ(degrees), 0.0f};
        }
    }
    return animation;
}

// The angle of a rotation about z, in degrees.
inline float AngleAboutZ(const Quaternion& q) { return 2.0f * std::atan2(q.z, q.w) * 57.29578f; }

}  // namespace scene_test
