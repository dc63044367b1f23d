// The node transform: defaults of a new node, the dirty bit, the two builders, world
// matrices with and without the inherit flag, the inverse and the pivot matrix.
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "tests/engine/core/node/NodeTestSupport.h"

namespace node_test {
namespace {

using KNodeTransform = NodeTest;

Quaternion QuarterTurnAboutZ() {
    Quaternion q;
    QuaternionFromAxisAngle({0, 0, 1}, 1.5707963f, q);
    return q;
}

TEST_F(KNodeTransform, ANewNodeHasTheDefaults) {
    KNode node;
    EXPECT_EQ(node.Flags(), 0x10100000u);
    EXPECT_STREQ(node.Name(), "");
    EXPECT_EQ(node.GetGUID(), kNoGuid);
    ExpectNear(node.ExtraData().direction, {0.577f, 0.577f, 0.577f});
    EXPECT_EQ(node.SubclassWord(0), 0);
    EXPECT_EQ(node.SubclassWord(1), -1);
    EXPECT_EQ(node.SubclassWord(2), 0);
    ExpectNear(node.Transform().scale, {1, 1, 1});
    EXPECT_EQ(node.Transform().flags, 0u);
    EXPECT_STREQ(node.GetClassId(), "libkel/Node");
    EXPECT_STREQ(node.GetTypeName(), "Node");
    EXPECT_STREQ(node.GetBaseTypeName(), "GlobalInterface");
}

TEST_F(KNodeTransform, SettingThePositionMarksTheTransformAndReadingRebuildsItOnce) {
    KNode node;
    node.SetPosition({1, 2, 3});
    EXPECT_EQ(node.Transform().flags, kTransformDirty | kTransformGiven);
    Matrix34 world;
    node.GetWorldMatrix(world);
    EXPECT_EQ(node.Transform().flags, kTransformGiven);
    EXPECT_FLOAT_EQ(world.m[2][3], 3.0f);
    node.SetRotation(QuarterTurnAboutZ());
    EXPECT_NE(node.Transform().flags & kTransformDirty, 0u);
    node.SetScale({2, 2, 2});
    node.GetWorldMatrix(world);
    EXPECT_EQ(node.Transform().flags & kTransformDirty, 0u);
    Vector3 p;
    Matrix34TransformPoint(world, {1, 0, 0}, p);
    ExpectNear(p, {1, 4, 3});  // scaled, turned to +y, moved
}

TEST_F(KNodeTransform, WorldMatricesFollowTheInheritFlag) {
    KNode* parent = MakeNode("parent", {10, 0, 0});
    parent->SetRotation(QuarterTurnAboutZ());
    KNode* child = MakeNode("child", {1, 0, 0});
    parent->AddChild(child);

    Matrix34 world;
    Vector3 origin;
    child->GetWorldMatrix(world);
    Matrix34TransformPoint(world, {0, 0, 0}, origin);
    ExpectNear(origin, {10, 1, 0});

    child->SetFlagBits(kNodeInheritTransform, false);
    child->GetWorldMatrix(world);
    Matrix34TransformPoint(world, {0, 0, 0}, origin);
    ExpectNear(origin, {1, 0, 0});

    // The parent's own flag decides whether the chain goes on above it.
    child->SetFlagBits(kNodeInheritTransform, true);
    KNode* top = MakeNode("top", {0, 0, 5});
    top->AddChild(parent);
    parent->SetFlagBits(kNodeInheritTransform, false);
    child->GetWorldMatrix(world);
    Matrix34TransformPoint(world, {0, 0, 0}, origin);
    ExpectNear(origin, {10, 1, 0});
    parent->SetFlagBits(kNodeInheritTransform, true);
    child->GetWorldMatrix(world);
    Matrix34TransformPoint(world, {0, 0, 0}, origin);
    ExpectNear(origin, {10, 1, 5});
    top->Release();
}

TEST_F(KNodeTransform, TheInverseUndoesScaleAndPivotToo) {
    KNode* parent = MakeNode("parent", {3, -1, 2});
    parent->SetScale({2, 0.5f, 4});
    KNode* child = MakeNode("child", {1, 2, 3});
    child->SetRotation(QuarterTurnAboutZ());
    child->SetScale({3, 3, 3});
    child->Transform().pivot = {0.5f, 0, -1};
    parent->AddChild(child);

    Matrix34 world, inverse, product;
    child->GetWorldMatrix(world);
    child->GetInverseWorldMatrix(inverse);
    Matrix34Multiply(inverse, world, product);
    ExpectMatrixNear(product, kIdentityMatrix34);
    parent->Release();
}

TEST_F(KNodeTransform, TheRotationOnlyBuilderIgnoresScaleAndPivot) {
    NodeTransform transform;
    transform.flags = kTransformRotationOnly | kTransformDirty;
    transform.position = {1, 2, 3};
    transform.scale = {5, 5, 5};
    transform.pivot = {9, 9, 9};
    transform.rotation = QuarterTurnAboutZ();
    UpdateTransform(transform);
    EXPECT_EQ(transform.flags, kTransformRotationOnly);
    Vector3 p;
    Matrix34TransformPoint(transform.local, {1, 0, 0}, p);
    ExpectNear(p, {1, 3, 3});
    Matrix34 product;
    Matrix34Multiply(transform.inverseLocal, transform.local, product);
    ExpectMatrixNear(product, kIdentityMatrix34);

    ResetTransform(transform);
    BuildTransformDefault(transform);
    ExpectMatrixNear(transform.local, kIdentityMatrix34);
    ExpectMatrixNear(transform.inverseLocal, kIdentityMatrix34);
}

TEST_F(KNodeTransform, ThePivotMatrixGoesOntoTheParentOnlyWhenInheriting) {
    KNode* parent = MakeNode("parent", {10, 0, 0});
    KNode* child = MakeNode("child", {100, 0, 0});
    child->Transform().pivot = {1, 2, 3};
    parent->AddChild(child);
    Matrix34 pivot;
    child->GetPivotMatrix(pivot);
    EXPECT_FLOAT_EQ(pivot.m[0][3], 9.0f);
    EXPECT_FLOAT_EQ(pivot.m[1][3], -2.0f);
    child->SetFlagBits(kNodeInheritTransform, false);
    child->GetPivotMatrix(pivot);
    EXPECT_FLOAT_EQ(pivot.m[0][3], -1.0f);
    parent->Release();
}

}  // namespace
}  // namespace node_test
