// The mesh node and the bone node: a clone sharing its geometry and living past its source,
// ray results 1 (the node) and 2 (a node below it), box queries, and the bone's bind column
// and skinned owner.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/math/VectorMath.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "tests/engine/resources/mesh/MeshTestSupport.h"
#include "tests/engine/resources/support/SceneTestSupport.h"

namespace {

class MeshNodeTest : public scene_test::SceneTest {
protected:
    // A mesh node with the unit quad in z = 0, moved to `position`.
    Object* Quad(const Vector3& position) {
        WriteText("objects/quad.fmesh", mesh_test::GeometrySection({{{0, 1, 2, 3}}}, mesh_test::UnitQuad()));
        KNode* node = LoadTextObject("objects/quad.fmesh", "quad");
        if (node == nullptr || !node->IsKindOf(Object::StaticTypeId())) return nullptr;
        node->SetPosition(position);
        return static_cast<Object*>(node);
    }
};

TEST_F(MeshNodeTest, ACloneSharesTheGeometryAndOutlivesItsSource) {
    Object* source = Quad({0, 0, 0});
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(database_->Meshes().count, 1u);
    KNode* copy = source->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->IsKindOf(Object::StaticTypeId()));
    auto* clone = static_cast<Object*>(copy);
    EXPECT_EQ(clone->GetGeometry().list, source->GetGeometry().list);
    EXPECT_NE(clone->GetGeometry().flags & kGeometryShared, 0u);
    EXPECT_EQ(database_->Meshes().count, 2u);
    source->Release();
    // The clone still reads the faces it shares.
    EXPECT_EQ(clone->RayTest({0.5f, 0.5f, 1}, {0.5f, 0.5f, -1}, nullptr, nullptr, nullptr, nullptr, 0), 1);
    clone->Release();
    EXPECT_EQ(database_->Meshes().count, 0u);
}

TEST_F(MeshNodeTest, RayTestsAnswerOneForTheNodeAndTwoForANodeBelow) {
    Object* parent = Quad({0, 0, 0});
    Object* child = Quad({5, 0, 0});
    ASSERT_NE(parent, nullptr);
    ASSERT_NE(child, nullptr);
    parent->AddChild(child);
    KNode* hitNode = nullptr;
    Vector3 point{0, 0, 0};
    EXPECT_EQ(parent->RayTest({0.5f, 0.5f, 1}, {0.5f, 0.5f, -1}, nullptr, &hitNode, nullptr, &point, 0), 1);
    EXPECT_EQ(hitNode, parent);
    EXPECT_NEAR(point.z, 0.0f, 1e-5f);
    EXPECT_EQ(parent->RayTest({5.5f, 0.5f, 1}, {5.5f, 0.5f, -1}, nullptr, &hitNode, nullptr, &point, 0), 2);
    EXPECT_EQ(hitNode, child);
    // The hit point comes back in world space.
    EXPECT_NEAR(point.x, 5.5f, 1e-5f);
    EXPECT_EQ(parent->RayTest({3, 0.5f, 1}, {3, 0.5f, -1}, nullptr, &hitNode, nullptr, &point, 0), 0);
    // Skipped on request.
    child->SetFlagBits(kNodeRaySkipOnRequest, true);
    EXPECT_EQ(parent->RayTest({5.5f, 0.5f, 1}, {5.5f, 0.5f, -1}, nullptr, &hitNode, nullptr, &point, kRaySkipFlagged),
              0);
    parent->Release();
}

TEST_F(MeshNodeTest, BoxQueriesReportTheMeshMet) {
    Object* quad = Quad({10, 0, 0});
    ASSERT_NE(quad, nullptr);
    OverlapRecord records[4];
    int tag = 0;
    EXPECT_EQ(quad->CollectOverlapping({{10.2f, 0.2f, -0.2f}, {10.4f, 0.4f, 0.2f}}, &tag, records, 4, 0, 0), 1);
    EXPECT_EQ(records[0].node, quad);
    EXPECT_EQ(records[0].geometry, &quad->GetGeometry());
    EXPECT_EQ(records[0].tag, &tag);
    EXPECT_EQ(quad->CollectOverlapping({{0, 0, -1}, {1, 1, 1}}, &tag, records, 4, 0, 0), 0);
    quad->Release();
}

TEST_F(MeshNodeTest, TheBindColumnPointsToTheParentBone) {
    auto* upper = new Bone();
    auto* lower = new Bone();
    upper->Bind().position = Vector3{0, 0, 2};
    lower->Bind().position = Vector3{0, 3, 2};
    upper->AddChild(lower);
    ASSERT_EQ(upper->Prepare(nullptr), 0);
    // Under a bone: towards the parent's bind position; otherwise (0, 0, 1).
    EXPECT_NEAR(lower->Bind().local.m[1][1], -1.0f, 1e-6f);
    EXPECT_NEAR(lower->Bind().local.m[2][1], 0.0f, 1e-6f);
    EXPECT_NEAR(upper->Bind().local.m[2][1], 1.0f, 1e-6f);
    EXPECT_EQ(lower->SkinnedOwner(), nullptr);
    upper->Release();
}

}  // namespace
