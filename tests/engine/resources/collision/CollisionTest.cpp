// Culling and collision: the exact boundaries of the box, sphere and face tests against
// plane sets, segments against the faces of a generated cube (one- and two-sided, ending on
// a plane, the nearest of several), the sphere-against-face tolerance, and the face tree
// answering as the test of every face does.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/resources/collision/Culling.h"
#include "engine/resources/collision/FaceQueries.h"
#include "engine/resources/collision/FaceTree.h"
#include "tests/engine/resources/mesh/MeshTestSupport.h"

namespace {

using mesh_test::OwnedGeometry;
using mesh_test::TextFace;
using mesh_test::TextVertex;

// The cube from (-1, -1, -1) to (1, 1, 1): six quads seen counter-clockwise from outside,
// with `flags` on every face.
std::string CubeText(std::uint32_t flags) {
    const float corners[6][4][3] = {
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}, {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
        {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}, {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}, {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
    };
    std::vector<TextFace> faces;
    std::vector<TextVertex> vertices;
    for (int f = 0; f < 6; ++f) {
        TextFace face;
        face.flags = flags;
        for (int c = 0; c < 4; ++c) {
            face.corners.push_back(static_cast<int>(vertices.size()));
            vertices.push_back({{corners[f][c][0], corners[f][c][1], corners[f][c][2]}});
        }
        faces.push_back(face);
    }
    return mesh_test::GeometrySection(faces, vertices);
}

PlaneSet Planes(std::vector<Plane> planes) {
    PlaneSet set{};
    set.count = static_cast<std::int32_t>(planes.size());
    for (std::size_t i = 0; i < planes.size(); ++i) set.planes[i] = planes[i];
    return set;
}

TEST(CullingTest, BoxesSpheresAndFacesMeetThePlanesExactlyAtTheirBoundaries) {
    const PlaneSet upward = Planes({{0, 0, 1, 5}});  // inside: z >= 5
    // The farthest corner exactly on the plane: not outside.
    EXPECT_EQ(BoxOutsidePlaneSet(upward, AxisBox{{0, 0, 3}, {1, 1, 5}}), 0);
    EXPECT_EQ(BoxOutsidePlaneSet(upward, AxisBox{{0, 0, 3}, {1, 1, 4.999f}}), 1);
    EXPECT_EQ(BoxOutsidePlaneSet(upward, AxisBox{{0, 0, -100}, {1, 1, -90}}), 1) << "caught by the quick test";
    // A slanted plane: the corner farthest along its normal decides.
    const PlaneSet slanted = Planes({{0.6f, 0, 0.8f, 0}});
    EXPECT_EQ(BoxOutsidePlaneSet(slanted, AxisBox{{-2, 0, -2}, {0, 1, 0}}), 0);
    EXPECT_EQ(BoxOutsidePlaneSet(slanted, AxisBox{{-2, 0, -2}, {-0.1f, 1, -0.1f}}), 1);

    // A sphere touching the plane from outside, at exactly -radius, is outside.
    EXPECT_EQ(SphereOutsidePlaneSet(upward, Vector3{0, 0, 3}, 2.0f), 1);
    EXPECT_EQ(SphereOutsidePlaneSet(upward, Vector3{0, 0, 3.0001f}, 2.0f), 0);

    const Vector3 positions[] = {{0, 0, 5}, {1, 0, 5}, {1, 1, 5}, {0, 1, 6}};
    MeshFace face{};
    face.cornerCount = 3;
    face.corners[0] = 0;
    face.corners[1] = 1;
    face.corners[2] = 2;
    EXPECT_EQ(FaceOutsidePlaneSet(upward, face, positions), 1) << "every corner at normal . p - d <= 0";
    face.corners[2] = 3;
    EXPECT_EQ(FaceOutsidePlaneSet(upward, face, positions), 0);

    // An empty plane set culls nothing.
    const PlaneSet none = Planes({});
    EXPECT_EQ(BoxOutsidePlaneSet(none, AxisBox{{0, 0, -100}, {1, 1, -90}}), 0);
    EXPECT_EQ(SphereOutsidePlaneSet(none, Vector3{0, 0, -100}, 1.0f), 0);
    EXPECT_EQ(FaceOutsidePlaneSet(none, face, positions), 0);
}

class CollisionTest : public mesh_test::MeshTest {
protected:
    const MeshFace* FaceWithNormal(const Geometry& geometry, Vector3 normal) {
        const SubMesh& subMesh = geometry.list->subMeshes[0];
        for (std::uint32_t f = 0; f < subMesh.faceCount; ++f) {
            const Vector3& n = subMesh.faces[f].normal;
            if (n.x == normal.x && n.y == normal.y && n.z == normal.z) return &subMesh.faces[f];
        }
        return nullptr;
    }
};

TEST_F(CollisionTest, SegmentsHitTheCubeFromTheFrontAndFromBehindOnlyWhenTwoSided) {
    OwnedGeometry cube;
    ASSERT_TRUE(Build(CubeText(0), cube.geometry));
    const SubMesh& subMesh = cube.geometry.list->subMeshes[0];
    const MeshFace* top = FaceWithNormal(cube.geometry, Vector3{0, 0, 1});
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->flags & kFaceAxisMask, 2u);
    EXPECT_FLOAT_EQ(top->distance, 1.0f);

    Vector3 point{};
    EXPECT_EQ(SegmentHitsFace(*top, subMesh.positions, Vector3{0.25f, -0.5f, 3}, Vector3{0.25f, -0.5f, -3}, point), 1);
    EXPECT_FLOAT_EQ(point.x, 0.25f);
    EXPECT_FLOAT_EQ(point.y, -0.5f);
    EXPECT_FLOAT_EQ(point.z, 1.0f);
    // Ending exactly on the plane from the front is a hit.
    EXPECT_EQ(SegmentHitsFace(*top, subMesh.positions, Vector3{0, 0, 2}, Vector3{0, 0, 1}, point), 1);
    // From behind a one-sided face: nothing; beside the face: nothing.
    EXPECT_EQ(SegmentHitsFace(*top, subMesh.positions, Vector3{0, 0, 0}, Vector3{0, 0, 2}, point), 0);
    EXPECT_EQ(SegmentHitsFace(*top, subMesh.positions, Vector3{1.5f, 0, 2}, Vector3{1.5f, 0, 0}, point), 0);
    // Short of the plane: nothing.
    EXPECT_EQ(SegmentHitsFace(*top, subMesh.positions, Vector3{0, 0, 3}, Vector3{0, 0, 1.01f}, point), 0);

    // The whole mesh: the nearest face along the segment, the far side's faces being seen
    // from behind.
    SegmentHit hit;
    ASSERT_EQ(SegmentHitsMesh(cube.geometry, Vector3{-5, 0.5f, 0.5f}, Vector3{5, 0.5f, 0.5f}, hit, 0), 1);
    EXPECT_FLOAT_EQ(hit.point.x, -1.0f);
    EXPECT_EQ(hit.face->normal.x, -1.0f);
    EXPECT_EQ(hit.side, 1);
    EXPECT_EQ(hit.subMesh, &subMesh);
    // A face mask leaves out faces sharing its bits (here: the axis bits of the z faces).
    EXPECT_EQ(SegmentHitsMesh(cube.geometry, Vector3{0.5f, 0.5f, 5}, Vector3{0.5f, 0.5f, -5}, hit, 0x0), 1);
    EXPECT_EQ(SegmentHitsMesh(cube.geometry, Vector3{0.5f, 0.5f, 5}, Vector3{0.5f, 0.5f, -5}, hit, 0x2), 0);

    OwnedGeometry twoSided;
    ASSERT_TRUE(Build(CubeText(kFaceTwoSided), twoSided.geometry));
    const MeshFace* top2 = FaceWithNormal(twoSided.geometry, Vector3{0, 0, 1});
    ASSERT_NE(top2, nullptr);
    EXPECT_EQ(SegmentHitsFace(*top2, twoSided.geometry.list->subMeshes[0].positions, Vector3{0, 0, 0}, Vector3{0, 0, 2},
                              point),
              -1);
    EXPECT_FLOAT_EQ(point.z, 1.0f);
    // From inside, the two-sided cube is hit on the face the segment leaves through.
    ASSERT_EQ(SegmentHitsMesh(twoSided.geometry, Vector3{0, 0, 0}, Vector3{0, 5, 0}, hit, 0), 1);
    EXPECT_EQ(hit.side, -1);
    EXPECT_FLOAT_EQ(hit.point.y, 1.0f);
}

TEST_F(CollisionTest, ASphereTouchesAFaceWithinItsRadiusAndTheFacesTolerance) {
    OwnedGeometry cube;
    ASSERT_TRUE(Build(CubeText(0), cube.geometry));
    const Vector3* positions = cube.geometry.list->subMeshes[0].positions;
    const MeshFace* top = FaceWithNormal(cube.geometry, Vector3{0, 0, 1});
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(SphereTouchesFace(*top, Vector3{0, 0, 1.5f}, 0.5f, positions), 1);
    EXPECT_EQ(SphereTouchesFace(*top, Vector3{0, 0, 1.51f}, 0.5f, positions), 0);
    // Behind a one-sided face: no touch.
    EXPECT_EQ(SphereTouchesFace(*top, Vector3{0, 0, 0.9f}, 0.5f, positions), 0);
    // Beside the face: the distance to its corners' box counts.
    EXPECT_EQ(SphereTouchesFace(*top, Vector3{1.3f, 0, 1.2f}, 0.5f, positions), 1);
    EXPECT_EQ(SphereTouchesFace(*top, Vector3{1.6f, 0, 1.2f}, 0.5f, positions), 0);
}

TEST(SphereFaceTest, ACentreMillionthsBeyondTheRadiusStillPassesThePlaneTest) {
    // A slanted face (normal (0, 0.6, 0.8) through the origin), whose corners' box reaches
    // closer to the centre than its plane does, so that the plane test decides.
    const Vector3 positions[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, -0.75f}};
    MeshFace face{};
    face.cornerCount = 3;
    face.corners[1] = 1;
    face.corners[2] = 2;
    face.normal = Vector3{0, 0.6f, 0.8f};
    auto centreAt = [](double planeDistance) {
        return Vector3{0.5f, 0.5f, static_cast<float>((planeDistance - 0.3) / 0.8)};
    };
    EXPECT_EQ(SphereTouchesFace(face, centreAt(0.5 + 0.0000005), 0.5f, positions), 1);
    EXPECT_EQ(SphereTouchesFace(face, centreAt(0.5 + 0.000005), 0.5f, positions), 0);
    EXPECT_EQ(SphereTouchesFace(face, centreAt(-0.4), 0.5f, positions), 0) << "behind a one-sided face";
    face.flags = kFaceTwoSided;
    EXPECT_EQ(SphereTouchesFace(face, centreAt(-0.4), 0.5f, positions), 1);
}

TEST_F(CollisionTest, TheFaceTreeFindsWhatTestingEveryFaceFinds) {
    // A bumpy ground of 40 x 40 quads, many segments through it.
    std::vector<TextFace> faces;
    std::vector<TextVertex> vertices;
    constexpr int kSide = 40;
    auto height = [](int x, int y) { return std::sin(x * 0.7f) * std::cos(y * 0.4f) * 2.0f; };
    for (int y = 0; y <= kSide; ++y)
        for (int x = 0; x <= kSide; ++x)
            vertices.push_back({{static_cast<float>(x), static_cast<float>(y), height(x, y)}});
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int v = y * (kSide + 1) + x;
            faces.push_back({{v, v + 1, v + kSide + 2}, y % 7 == 0 ? "grass" : "stone"});
            faces.push_back({{v, v + kSide + 2, v + kSide + 1}, "stone", x % 5 == 0 ? kFaceTwoSided : 0u});
        }
    OwnedGeometry ground;
    ASSERT_TRUE(Build(mesh_test::GeometrySection(faces, vertices), ground.geometry));
    std::unique_ptr<FaceTree> tree(BuildFaceTree(ground.geometry));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->faceCount, 2u * kSide * kSide);

    std::uint32_t seed = 12345;
    auto next = [&seed](float range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f * range;
    };
    int hits = 0;
    for (int i = 0; i < 500; ++i) {
        const Vector3 start{next(50) - 5, next(50) - 5, next(20) - 5};
        const Vector3 end{next(50) - 5, next(50) - 5, next(20) - 10};
        SegmentHit linear;
        SegmentHit fast;
        const int found = SegmentHitsMesh(ground.geometry, start, end, linear, 0);
        ASSERT_EQ(SegmentHitsFaceTree(*tree, ground.geometry, start, end, fast, 0), found) << i;
        if (found == 0) continue;
        ++hits;
        EXPECT_NEAR(fast.point.x, linear.point.x, 1e-4f) << i;
        EXPECT_NEAR(fast.point.y, linear.point.y, 1e-4f) << i;
        EXPECT_NEAR(fast.point.z, linear.point.z, 1e-4f) << i;
        EXPECT_EQ(fast.side, linear.side) << i;
    }
    EXPECT_GT(hits, 100);
    Geometry empty;
    EXPECT_EQ(BuildFaceTree(empty), nullptr);
}

}  // namespace
