// The camera node: its place in the class tree, its own kind when cloned, the view
// direction with and without a parent, the view matrix, and the six culling planes tested
// against points inside and just outside each side of the view.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/resources/scene/Camera.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(HeapInit(), 0); }
    void TearDown() override {
        FreeSceneNodeLists();
        HeapTeardown();
    }
};

// Far distance 100, half-height 10 at that distance, aspect 0.5 (half-width 20).
Camera* MakeCamera() {
    auto* camera = new Camera();
    camera->SetScale({100, 10, 0.5f});
    return camera;
}

float Side(const Plane& plane, const Vector3& p) { return plane.nx * p.x + plane.ny * p.y + plane.nz * p.z - plane.d; }

bool Inside(const CullingPlaneSet& set, const Vector3& p) {
    for (int i = 0; i < set.planes.count; ++i)
        if (Side(set.planes.planes[i], p) < 0.0f) return false;
    return true;
}

TEST_F(CameraTest, ACameraIsANodeThatBuildsFromPositionAndRotation) {
    Camera* camera = MakeCamera();
    EXPECT_STREQ(camera->GetClassId(), "libkel/Camera");
    EXPECT_STREQ(camera->GetBaseTypeName(), "Node");
    EXPECT_EQ(camera->GetTypeDistance(Camera::StaticTypeId()), 1);
    EXPECT_EQ(camera->GetTypeDistance(KNode::StaticTypeId()), 2);
    EXPECT_EQ(camera->GetTypeDistance(KGlobalInterface::StaticTypeId()), 3);
    EXPECT_EQ(camera->GetTypeDistance(Interface::StaticTypeId()), 4);
    EXPECT_NE(camera->Transform().flags & kTransformRotationOnly, 0u);
    camera->SetPosition({1, 2, 3});
    Matrix34 world;
    camera->GetWorldMatrix(world);
    EXPECT_FLOAT_EQ(world.m[0][0], 1.0f);  // the viewing parameters are no scale

    KNode* copy = camera->Clone(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->IsKindOf(Camera::StaticTypeId()));
    EXPECT_FLOAT_EQ(static_cast<Camera*>(copy)->HalfHeight(), 10.0f);
    copy->Release();
    camera->Release();
}

TEST_F(CameraTest, TheViewDirectionFollowsTheRotationAndAnInheritedParent) {
    Camera* camera = MakeCamera();
    Vector3 direction;
    camera->GetViewDirection(direction);
    EXPECT_NEAR(direction.z, 1.0f, 1e-6f);

    Quaternion turn;
    QuaternionFromAxisAngle({1, 0, 0}, -1.5707963f, turn);  // z turns to +y
    camera->SetRotation(turn);
    camera->GetViewDirection(direction);
    EXPECT_NEAR(direction.y, 1.0f, 1e-5f);

    // Without a parent the inherit flag means nothing; with one the parent turns the view.
    KNode parent;
    Quaternion yaw;
    QuaternionFromAxisAngle({0, 0, 1}, 1.5707963f, yaw);  // +y turns to -x
    parent.SetRotation(yaw);
    parent.SetScale({3, 3, 3});
    parent.AddChildEx(camera, false);
    camera->GetViewDirection(direction);
    EXPECT_NEAR(direction.x, -1.0f, 1e-5f);
    EXPECT_NEAR(std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z), 1.0f,
                1e-5f);
    camera->SetFlagBits(kNodeInheritTransform, false);
    camera->GetViewDirection(direction);
    EXPECT_NEAR(direction.y, 1.0f, 1e-5f);
    parent.RemoveChild(camera);
    camera->Release();
}

TEST_F(CameraTest, TheViewMatrixTakesWorldPointsIntoTheCamera) {
    Camera* camera = MakeCamera();
    camera->SetPosition({5, 6, 7});
    Quaternion turn;
    QuaternionFromAxisAngle({0, 1, 0}, 0.7f, turn);
    camera->SetRotation(turn);
    Matrix34 view, world, product;
    camera->GetViewMatrix(view);
    camera->GetWorldMatrix(world);
    Matrix34Multiply(view, world, product);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(product.m[i][j], kIdentityMatrix34.m[i][j], 1e-5f);
    Vector3 eye;
    Matrix34TransformPoint(view, {5, 6, 7}, eye);
    EXPECT_NEAR(eye.x * eye.x + eye.y * eye.y + eye.z * eye.z, 0.0f, 1e-8f);
    camera->Release();
}

TEST_F(CameraTest, TheSixPlanesEncloseTheView) {
    Camera* camera = MakeCamera();
    CullingPlanes() = CullingPlaneSet{};
    CullingPlaneSet& set = camera->BuildFrustumPlanes();
    EXPECT_EQ(&set, &CullingPlanes());
    EXPECT_EQ(set.flags & kCullingPlanesValid, kCullingPlanesValid);
    ASSERT_EQ(set.planes.count, 6);

    // At distance 50 the view is 10 wide and 5 high on each side.
    struct Probe {
        Vector3 point;
        bool inside;
    };
    const Probe probes[] = {
        {{0, 0, 50}, true},    {{9.9f, 4.9f, 50}, true}, {{-9.9f, -4.9f, 50}, true}, {{0, 0, 0.01f}, true},
        {{0, 0, 99.9f}, true}, {{0, 0, -0.1f}, false},   {{0, 0, 100.1f}, false},    {{10.1f, 0, 50}, false},
        {{-10.1f, 0, 50}, false}, {{0, 5.1f, 50}, false}, {{0, -5.1f, 50}, false},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(Inside(set, probe.point), probe.inside) << probe.point.x << " " << probe.point.y << " " << probe.point.z;

    // Moved and turned, the planes move with the camera.
    camera->SetPosition({1000, 0, 0});
    Quaternion turn;
    QuaternionFromAxisAngle({0, 1, 0}, 1.5707963f, turn);  // z turns to +x
    camera->SetRotation(turn);
    camera->BuildFrustumPlanes();
    EXPECT_TRUE(Inside(set, {1050, 0, 0}));
    EXPECT_FALSE(Inside(set, {950, 0, 0}));
    EXPECT_FALSE(Inside(set, {1050, 5.1f, 0}));
    EXPECT_TRUE(Inside(set, {1050, 4.9f, 0}));
    camera->Release();
}

}  // namespace

namespace {

TEST_F(CameraTest, TheFieldOfViewSetsTheHalfHeightAndTheVolumeTransformScalesByIt) {
    Camera* camera = MakeCamera();
    // tan(45 degrees) x aspect 0.5.
    EXPECT_NEAR(camera->SetFov(3.14159265f / 2.0f), 0.5f, 1e-6f);
    EXPECT_NEAR(camera->HalfHeight(), 0.5f, 1e-6f);
    camera->SetPosition({1, 2, 3});
    Matrix34 volume;
    camera->GetVolumeTransform(volume);
    // No rotation: diag(H / D, H, A) with the position as translation.
    EXPECT_NEAR(volume.m[0][0], 0.5f / 100.0f, 1e-7f);
    EXPECT_NEAR(volume.m[1][1], 0.5f, 1e-6f);
    EXPECT_NEAR(volume.m[2][2], 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(volume.m[0][1], 0.0f);
    EXPECT_FLOAT_EQ(volume.m[2][3], 3.0f);
    camera->Release();
}

}  // namespace
