// The object database: each name loaded once, text objects writing their caches and the
// next run reading them with the same identifier, scene files (no mesh, rotations, bone
// parents), node-tree records and their refusals, materials and the update list.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/Random.h"
#include "engine/core/node/StreamFields.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "tests/engine/resources/mesh/MeshTestSupport.h"
#include "tests/engine/resources/support/SceneTestSupport.h"

namespace {

using scene_test::SkelText;
using scene_test::ThreeBones;

class KdbTest : public scene_test::SceneTest {
protected:
    void WriteQuadMesh(const std::string& name) {
        WriteText("objects/" + name + ".fmesh", mesh_test::GeometrySection({{{0, 1, 2, 3}}}, mesh_test::UnitQuad()));
    }
    // A fresh database, as on the next run of the program.
    void NextRun() {
        delete database_;
        database_ = new KDB();
        SetCurrentKdb(database_);
    }
    // A node-tree header for a class, flags and child count.
    static std::string Header(const char* className, const char* nodeName, std::uint32_t children, DWORD flags,
                              std::uint32_t dataLength, const char* moduleName = "") {
        NodeTreeHeader header;
        std::memset(&header, 0, sizeof(header));
        std::strncpy(header.moduleName, moduleName, sizeof(header.moduleName));
        std::strncpy(header.className, className, sizeof(header.className));
        std::strncpy(header.nodeName, nodeName, sizeof(header.nodeName));
        header.childCount = children;
        header.flags = flags;
        header.dataLength = dataLength;
        return std::string(reinterpret_cast<const char*>(&header), sizeof(header));
    }
    int LoadTree(const std::string& bytes) {
        FileStream stream;
        resource_test::AttachBytes(stream, bytes, kStreamBinary);
        return database_->LoadNodeTree(stream, nullptr);
    }
};

TEST_F(KdbTest, LoadsEachNameOnceAndLooksUpWithoutLoading) {
    WriteQuadMesh("crate");
    EXPECT_EQ(database_->FindOrLoadObject("crate", true), nullptr);
    KNode* first = database_->FindOrLoadObject("crate");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->Name(), "crate");
    EXPECT_NE(first->Flags() & kNodePrepared, 0u);
    EXPECT_EQ(database_->FindOrLoadObject("crate"), first);
    EXPECT_EQ(database_->Objects().count, 1u);
    EXPECT_EQ(database_->FindOrLoadObject("missing"), nullptr);
    EXPECT_EQ(database_->FindOrLoadObject("missing", true), nullptr);
    EXPECT_EQ(database_->Objects().count, 1u);
    // The mesh node is on the mesh list while it lives.
    EXPECT_EQ(database_->Meshes().count, 1u);
}

TEST_F(KdbTest, ATextMeshWritesItsCacheAndTheNextRunReadsItWithTheSameIdentifier) {
    WriteQuadMesh("crate");
    SetRandomSeed(1234);
    KNode* loaded = database_->FindOrLoadObject("crate");
    ASSERT_NE(loaded, nullptr);
    ASSERT_TRUE(loaded->IsKindOf(Object::StaticTypeId()));
    const DWORD identifier = static_cast<Object*>(loaded)->GetGeometry().identifier;
    SetRandomSeed(1234);
    EXPECT_EQ(identifier, NextRandom());
    EXPECT_FALSE(ReadDataFile("objects/crate.kgc").empty());

    NextRun();
    WriteText("objects/crate.fmesh", "this text no longer reads");
    KNode* cached = database_->FindOrLoadObject("crate");
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(static_cast<Object*>(cached)->GetGeometry().identifier, identifier);
    EXPECT_NE(static_cast<Object*>(cached)->GetGeometry().flags & kGeometryIdentifier, 0u);
    EXPECT_GT(cached->Bounds().radius, 0.5f);
}

TEST_F(KdbTest, ASkeletonWritesItsNodeTreeCacheAndReadsItBack) {
    WriteText("objects/walker.skel", SkelText(ThreeBones()));
    KNode* built = database_->FindOrLoadObject("walker");
    ASSERT_NE(built, nullptr);
    ASSERT_TRUE(built->IsKindOf(SkelObject::StaticTypeId()));
    ASSERT_FALSE(ReadDataFile("objects/walker.ksk").empty());
    const DWORD identifier = static_cast<SkelObject*>(built)->GetGeometry(0).identifier;

    NextRun();
    WriteText("objects/walker.skel", "not a skeleton");
    KNode* cached = database_->FindOrLoadObject("walker");
    ASSERT_NE(cached, nullptr);
    ASSERT_TRUE(cached->IsKindOf(SkelObject::StaticTypeId()));
    auto* skel = static_cast<SkelObject*>(cached);
    EXPECT_STREQ(skel->Name(), "walker");
    ASSERT_EQ(skel->BoneCount(), 3u);
    ASSERT_NE(skel->GetBone(2), nullptr);
    EXPECT_STREQ(skel->GetBone(2)->Name(), "tip");
    EXPECT_EQ(skel->GetBone(2)->Parent(), skel->GetBone(1));
    EXPECT_EQ(skel->GetBone(1)->SkinnedOwner(), skel);
    EXPECT_EQ(skel->GetGeometry(0).identifier, identifier);
    ASSERT_NE(skel->Skin(0), nullptr);
    EXPECT_EQ(skel->Skin(0)[11].bones[0], 2u);
    // It plays as the one built from text did.
    SkelAnimation* animation = scene_test::MakeSkelAnimation(3, 30, 90);
    EXPECT_GT(skel->PlayAnimation(animation, 0, kChannelLooping, 0, 0), 0);
    animation->Release();
}

TEST_F(KdbTest, SceneFilesBuildNamedNodesTurnedByDegreesAndHungOnBones) {
    WriteQuadMesh("plate");
    WriteText("objects/walker.skel", SkelText(ThreeBones()));
    WriteText("objects/rig.knode",
              "Object\n{\nNAME rig\nMESH walker\n"
              "Node\n{\nNAME held\nBONEPARENT mid\nPOS [0 0 0.5]\n}\n"
              "Node\n{\nNAME lost\nBONEPARENT nowhere\nFLAGS NO_INHERIT\n}\n"
              "Node\n{\nMESH plate\nROT [90 0 0]\n}\n"
              "Node\n{\nNAME broken\nMESH nothing_of_that_name\n}\n"
              "}\n");
    KNode* rig = database_->FindOrLoadObject("rig");
    ASSERT_NE(rig, nullptr);
    ASSERT_TRUE(rig->IsKindOf(SkelObject::StaticTypeId()));
    KNode* held = FindNodeByName(rig, "held");
    ASSERT_NE(held, nullptr);
    ASSERT_NE(held->Parent(), nullptr);
    EXPECT_STREQ(held->Parent()->Name(), "mid");
    EXPECT_NE(held->Flags() & kNodeInheritTransform, 0u);
    KNode* lost = FindNodeByName(rig, "lost");
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->Parent(), rig);
    EXPECT_EQ(lost->Flags() & kNodeInheritTransform, 0u);
    KNode* plate = FindNodeByName(rig, "Default");
    ASSERT_NE(plate, nullptr);
    ASSERT_TRUE(plate->IsKindOf(Object::StaticTypeId()));
    // A quarter turn about x takes y to z.
    Matrix34 local;
    plate->GetWorldMatrix(local);
    Matrix34 parent;
    rig->GetWorldMatrix(parent);
    Vector3 y{0, 1, 0};
    Vector3 turned;
    Matrix34TransformVector(local, y, turned);
    Vector3 expected;
    Matrix34TransformVector(parent, Vector3{0, 0, 1}, expected);
    EXPECT_NEAR(turned.x, expected.x, 1e-5f);
    EXPECT_NEAR(turned.y, expected.y, 1e-5f);
    EXPECT_NEAR(turned.z, expected.z, 1e-5f);
    EXPECT_EQ(FindNodeByName(rig, "broken"), nullptr);
    // A scene file with neither mesh nor name gives one plain node called "Default".
    WriteText("objects/empty.knode", "Object\n{\n}\n");
    KNode* empty = database_->FindOrLoadObject("empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetTypeId(), KNode::StaticTypeId());
}

TEST_F(KdbTest, NodeTreeRecordsRefuseEmptyClassesUnknownObjectsAndShortData) {
    EXPECT_EQ(LoadTree(Header("", "nameless", 0, 0, 0)), 1);
    EXPECT_EQ(LoadTree(Header("NoSuchClass", "odd", 0, 0, 0)), -1);
    EXPECT_EQ(LoadTree(Header("", "copy", 0, kNodeTreeInstance, 0, "unknown")), -1);
    // A data length past the end of the file.
    EXPECT_NE(LoadTree(Header("Node", "big", 0, 0, 0xFFFFFFF0u)), 0);
    // A child count the file cannot hold.
    EXPECT_NE(LoadTree(Header("Node", "parent", 1000000, 0, 0)), 0);
    EXPECT_EQ(database_->Roots().count, 0u);
}

TEST_F(KdbTest, NodeTreesRoundTripWithInstances) {
    WriteQuadMesh("plate");
    KNode* plate = database_->FindOrLoadObject("plate");
    ASSERT_NE(plate, nullptr);
    auto* root = new KNode();
    root->SetName("stack");
    KNode* copy = plate->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    copy->SetName("copy");
    root->AddChild(copy);
    {
        FileStream out;
        ASSERT_NE(out.Open("stack.ksk", kStreamWrite | kStreamBinary), 0);
        ASSERT_EQ(SaveNodeTree(out, *root), 0);
    }
    root->Release();
    const std::string bytes = ReadDataFile("stack.ksk");
    ASSERT_EQ(LoadTree(bytes), 0);
    ASSERT_EQ(database_->Roots().count, 1u);
    auto* loaded = static_cast<KNode*>(database_->Roots().head->item);
    EXPECT_STREQ(loaded->Name(), "stack");
    ASSERT_EQ(loaded->ChildCount(), 1u);
    KNode* instance = loaded->FirstChild();
    EXPECT_STREQ(instance->Name(), "copy");
    ASSERT_TRUE(instance->IsKindOf(Object::StaticTypeId()));
    EXPECT_EQ(static_cast<Object*>(instance)->GetGeometry().list, static_cast<Object*>(plate)->GetGeometry().list);
}

TEST_F(KdbTest, MaterialsFallBackToDefaultAndGiveNothingWithoutIt) {
    KMaterial* stone = database_->FindOrLoadMaterial("stone");
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(database_->FindOrLoadMaterial("stone"), stone);
    KMaterial* fallback = database_->FindOrLoadMaterial("unknown");
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback, database_->FindOrLoadMaterial("default"));
    NextRun();
    WriteText("materials/default.kml", "not a material");
    EXPECT_EQ(database_->FindOrLoadMaterial("unknown"), nullptr);
}

TEST_F(KdbTest, TheUpdateListDropsFinishedNodesAndAZeroStepCallsNothing) {
    WriteText("objects/walker.skel", SkelText(ThreeBones()));
    auto* walker = static_cast<SkelObject*>(database_->FindOrLoadObject("walker"));
    ASSERT_NE(walker, nullptr);
    SkelAnimation* animation = scene_test::MakeSkelAnimation(3, 5, 90);
    walker->SetOptions(0x4, 1);
    const int channel = walker->PlayAnimation(animation, 0, 0, 0, 0);
    ASSERT_GT(channel, 0);
    EXPECT_NE(walker->Flags() & kNodeAnimated, 0u);
    database_->UpdateObjects(0.0f);
    EXPECT_EQ(walker->GetAnimationTime(channel), 0.0f);
    AdvanceSkelFrame();
    database_->UpdateObjects(0.05f);
    EXPECT_GT(walker->GetAnimationTime(channel), 0.0f);
    AdvanceSkelFrame();
    database_->UpdateObjects(1.0f);
    EXPECT_EQ(walker->Channels().count, 0u);
    EXPECT_EQ(walker->Flags() & kNodeAnimated, 0u);
    EXPECT_EQ(AnimatedNodes().count, 0u);
    EXPECT_EQ(database_->RemoveFromUpdateList(*walker), false);
    animation->Release();
}

}  // namespace
