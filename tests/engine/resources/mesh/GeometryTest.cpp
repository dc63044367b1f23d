// The geometry record's own operations: a deep copy with its new serial, a shared record
// that frees nothing, the merge builder joining moved meshes by material (and splitting at
// the 16-bit limit), and the render queue's view of the sub-meshes.
#include <gtest/gtest.h>

#include <vector>

#include "engine/resources/mesh/MergeBuilder.h"
#include "tests/engine/resources/mesh/MeshTestSupport.h"

namespace {

using mesh_test::OwnedGeometry;

class GeometryTest : public mesh_test::MeshTest {
protected:
    bool BuildQuads(Geometry& geometry) {
        return Build(mesh_test::GeometrySection({{{0, 1, 2, 3}}, {{0, 2, 3}, "grass"}}, mesh_test::UnitQuad()),
                     geometry);
    }
};

TEST_F(GeometryTest, ACopyOwnsItsArraysAndASharedRecordFreesNothing) {
    OwnedGeometry source;
    ASSERT_TRUE(BuildQuads(source.geometry));
    OwnedGeometry copy;
    ASSERT_TRUE(CopyGeometry(source.geometry, copy.geometry));
    EXPECT_NE(copy.geometry.serial, source.geometry.serial);
    ASSERT_EQ(copy.geometry.list->count, 2u);
    const SubMesh& from = source.geometry.list->subMeshes[0];
    const SubMesh& to = copy.geometry.list->subMeshes[0];
    EXPECT_NE(to.positions, from.positions);
    EXPECT_EQ(to.positions[2].x, from.positions[2].x);
    EXPECT_EQ(to.faces[0].normal.z, from.faces[0].normal.z);
    EXPECT_EQ(to.indices[5], from.indices[5]);
    EXPECT_EQ(to.material, from.material);

    const std::size_t blocks = EngineBlockCount();
    Geometry shared = source.geometry;
    shared.flags |= kGeometryShared;
    shared.renderMesh = RenderMesh{};
    ReleaseGeometry(shared);
    EXPECT_EQ(EngineBlockCount(), blocks) << "a shared record leaves the arrays to their owner";
}

TEST_F(GeometryTest, TheMergeBuilderJoinsMovedMeshesByMaterial) {
    OwnedGeometry quads;
    ASSERT_TRUE(BuildQuads(quads.geometry));
    MergeBuilder builder;
    for (int tile = 0; tile < 3; ++tile) {
        const Matrix34 placed{{{0, -1, 0, 10.0f * tile}, {1, 0, 0, 0}, {0, 0, 1, 0}}};  // a quarter turn, moved
        ASSERT_TRUE(MergeBuilderAdd(builder, quads.geometry, placed));
    }
    OwnedGeometry merged;
    ASSERT_EQ(MergeBuilderBuild(merged.geometry, builder), 1);
    ASSERT_EQ(merged.geometry.list->count, 2u);
    const SubMesh& stone = merged.geometry.list->subMeshes[0];
    EXPECT_EQ(stone.material, Material("stone"));
    EXPECT_EQ(stone.faceCount, 3u);
    EXPECT_EQ(stone.vertexCount, 12u);
    EXPECT_EQ(stone.faces[2].corners[0], 8u) << "the third copy's corners follow the first two copies' vertices";
    EXPECT_FLOAT_EQ(stone.positions[9].x, 20.0f);
    EXPECT_FLOAT_EQ(stone.positions[9].y, 1.0f);
    // The planes are those of the moved faces.
    EXPECT_FLOAT_EQ(stone.faces[2].normal.z, 1.0f);
    EXPECT_EQ(stone.indices[3 * 2 * 2], 8u);

    // A material passing 65,536 vertices goes on in a further sub-mesh.
    OwnedGeometry stoneQuad;
    ASSERT_TRUE(Build(mesh_test::GeometrySection({{{0, 1, 2, 3}}}, mesh_test::UnitQuad()), stoneQuad.geometry));
    MergeBuilder big;
    for (int copy = 0; copy < 16385; ++copy) ASSERT_TRUE(MergeBuilderAdd(big, stoneQuad.geometry, kIdentityMatrix34));
    OwnedGeometry large;
    ASSERT_EQ(MergeBuilderBuild(large.geometry, big), 1);
    ASSERT_EQ(large.geometry.list->count, 2u);
    EXPECT_EQ(large.geometry.list->subMeshes[0].vertexCount, 65536u);
    EXPECT_EQ(large.geometry.list->subMeshes[1].material, Material("stone"));
    EXPECT_EQ(large.geometry.list->subMeshes[1].vertexCount, 4u);
    MergeBuilderFree(big);
    EXPECT_EQ(big.groups.Count(), 0u);
    EXPECT_EQ(MergeBuilderBuild(large.geometry, big), 0);
}

TEST_F(GeometryTest, TheRenderViewShowsTheSubMeshesWithTheirMaterials) {
    OwnedGeometry quads;
    ASSERT_TRUE(BuildQuads(quads.geometry));
    RenderMesh* view = GeometryRenderMesh(quads.geometry);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->subMeshCount, 2u);
    EXPECT_EQ(view->subMeshes[0].positions, quads.geometry.list->subMeshes[0].positions);
    EXPECT_EQ(view->subMeshes[0].indexCount, 6u);
    EXPECT_EQ(view->subMeshes[1].material->flags, kMaterialBlended) << "grass is transparent";
    EXPECT_EQ(GeometryRenderMesh(quads.geometry), view);
    Geometry empty;
    EXPECT_EQ(GeometryRenderMesh(empty), nullptr);
}

}  // namespace
