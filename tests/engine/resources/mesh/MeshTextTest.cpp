// The text mesh format and the sub-mesh builder: fans, welding and splitting of vertices,
// grouping by material, the skeleton sections, the 16-bit limit, and every refusal of a
// broken file.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "tests/engine/resources/mesh/MeshTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using mesh_test::GeometrySection;
using mesh_test::OwnedGeometry;
using mesh_test::TextFace;
using mesh_test::TextVertex;

class MeshTextTest : public mesh_test::MeshTest {};

std::vector<int> Indices(const SubMesh& subMesh) {
    return std::vector<int>(subMesh.indices, subMesh.indices + subMesh.indexCount);
}

TEST_F(MeshTextTest, FacesBecomeFansAndEqualCornersShareAVertex) {
    // A quad and a pentagon sharing the edge 1-2 with equal attributes.
    std::vector<TextVertex> vertices = mesh_test::UnitQuad();
    vertices.push_back({{2, 0, 0}, {2, 0}});
    vertices.push_back({{2.5f, 0.5f, 0}, {2.5f, 0.5f}});
    vertices.push_back({{2, 1, 0}, {2, 1}});
    // Vertex 7 repeats vertex 2 exactly, vertex 8 repeats it with another coordinate.
    vertices.push_back(vertices[2]);
    vertices.push_back({{1, 1, 0}, {0.5f, 0.5f}});
    OwnedGeometry owned;
    ASSERT_TRUE(Build(GeometrySection({{{0, 1, 2, 3}}, {{1, 4, 5, 6, 7}}, {{1, 4, 8}}}, vertices), owned.geometry));
    const SubMeshList* list = owned.geometry.list;
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count, 1u);
    const SubMesh& subMesh = list->subMeshes[0];
    EXPECT_EQ(subMesh.faceCount, 3u);
    EXPECT_EQ(subMesh.triangleCount, 2u + 3u + 1u);
    EXPECT_EQ(Indices(subMesh), (std::vector<int>{0, 1, 2, 0, 2, 3, 1, 4, 5, 1, 5, 6, 1, 6, 2, 1, 4, 7}));
    EXPECT_EQ(subMesh.vertexCount, 8u) << "vertex 7 welds onto vertex 2, vertex 8 stays apart by its coordinate";
    EXPECT_EQ(subMesh.faces[1].corners[4], 2u);
    EXPECT_EQ(subMesh.colours[0], 0xFFFFFFFFu) << "a file without colours gives white";
    EXPECT_EQ(owned.geometry.kind, kGeometrySubMeshList);
    EXPECT_EQ(owned.geometry.flags & kGeometryBuiltArrays, kGeometryBuiltArrays);
    EXPECT_NE(owned.geometry.serial, 0u);
    EXPECT_EQ(subMesh.material, Material("stone"));
}

TEST_F(MeshTextTest, FacesGroupByMaterialInOrderOfFirstAppearance) {
    std::vector<TextVertex> vertices = mesh_test::UnitQuad();
    OwnedGeometry owned;
    ASSERT_TRUE(Build(
        GeometrySection({{{0, 1, 2}, "grass"}, {{0, 2, 3}, "stone"}, {{0, 1, 3}, "grass"}, {{1, 2, 3}, "glow", 0x200}},
                        vertices),
        owned.geometry));
    const SubMeshList* list = owned.geometry.list;
    ASSERT_EQ(list->count, 3u);
    EXPECT_EQ(list->subMeshes[0].material, Material("grass"));
    EXPECT_EQ(list->subMeshes[0].faceCount, 2u);
    EXPECT_EQ(list->subMeshes[1].material, Material("stone"));
    EXPECT_EQ(list->subMeshes[2].material, Material("glow"));
    EXPECT_EQ(list->subMeshes[2].faces[0].flags & (kFaceFileMark | kFaceMarked), kFaceFileMark | kFaceMarked);
    EXPECT_NE(owned.geometry.flags & kGeometryTransparentFaces, 0u);
    EXPECT_NE(owned.geometry.flags & kGeometryEmissiveFaces, 0u);
    // Each sub-mesh numbers its own vertices from 0.
    EXPECT_EQ(Indices(list->subMeshes[2]), (std::vector<int>{0, 1, 2}));
}

TEST_F(MeshTextTest, PlanesTakeTheDominantAxisWithYWinningATieWithX) {
    std::vector<TextVertex> vertices = {{{0, 0, 0}}, {{1, -1, 0}}, {{1, -1, 1}},  // normal (1, 1, 0)/sqrt(2)
                                        {{0, 0, 0}}, {{1, 0, 0}},  {{0, 1, 0}}};  // normal (0, 0, 1)
    OwnedGeometry owned;
    ASSERT_TRUE(Build(GeometrySection({{{0, 1, 2}}, {{3, 4, 5}}}, vertices), owned.geometry));
    const SubMesh& subMesh = owned.geometry.list->subMeshes[0];
    EXPECT_EQ(subMesh.faces[0].flags & kFaceAxisMask, 1u);
    EXPECT_NEAR(std::fabs(subMesh.faces[0].normal.x), 0.7071068f, 1e-6f);
    EXPECT_NEAR(subMesh.faces[0].distance, 0.0f, 1e-6f);
    EXPECT_EQ(subMesh.faces[1].flags & kFaceAxisMask, 2u);
    EXPECT_FLOAT_EQ(subMesh.faces[1].normal.z, 1.0f);
    // The quad's texture runs along x and y: its frame's rows say so, and so do the tangents.
    EXPECT_NEAR(subMesh.faces[1].tangentRow.x, 1.0f, 1e-6f);
    EXPECT_NEAR(subMesh.tangents[3].x, 1.0f, 1e-5f);
}

TEST_F(MeshTextTest, AFlatMeshGetsABoxOfHeightOneThousandth) {
    std::vector<TextVertex> vertices = {{{-2, 0, -1}}, {{3, 0, -1}}, {{3, 0, 4}}, {{-2, 0, 4}}};
    OwnedGeometry owned;
    ASSERT_TRUE(Build(GeometrySection({{{0, 1, 2, 3}}}, vertices), owned.geometry));
    AxisBox box{};
    ComputeBoundingBox(owned.geometry.list, box);
    EXPECT_FLOAT_EQ(box.min.x, -2.0f);
    EXPECT_FLOAT_EQ(box.max.z, 4.0f);
    EXPECT_FLOAT_EQ(box.min.y, -0.0005f);
    EXPECT_FLOAT_EQ(box.max.y, 0.0005f);
    Vector3 centre{};
    float radius = 0;
    ComputeBoundingSphere(owned.geometry.list, centre, radius);
    EXPECT_FLOAT_EQ(centre.x, 0.5f);
    EXPECT_FLOAT_EQ(centre.y, 0.0f);
    EXPECT_FLOAT_EQ(radius, std::sqrt(2.5f * 2.5f + 2.5f * 2.5f));
}

TEST_F(MeshTextTest, MoreThan65536VerticesOfOneMaterialGoOnInAFurtherSubMesh) {
    // 16,500 separate quads: 66,000 vertices that weld onto nothing.
    constexpr int kQuads = 16500;
    std::string text = "Geometry\n{\n1 " + std::to_string(kQuads) + " " + std::to_string(kQuads * 4) + " 0\n";
    for (int q = 0; q < kQuads; ++q) {
        const int v = q * 4;
        text += "4 [" + std::to_string(v) + " " + std::to_string(v + 1) + " " + std::to_string(v + 2) + " " +
                std::to_string(v + 3) + "] 0 stone\n";
    }
    for (int q = 0; q < kQuads; ++q) {
        const std::string x = std::to_string(q);
        text += x + " 0 0\n" + x + " 1 0\n" + x + " 1 1\n" + x + " 0 1\n";
    }
    text += "}\n";
    OwnedGeometry owned;
    ASSERT_TRUE(Build(text, owned.geometry));
    const SubMeshList* list = owned.geometry.list;
    ASSERT_EQ(list->count, 2u);
    EXPECT_EQ(list->subMeshes[0].vertexCount, 65536u);
    EXPECT_EQ(list->subMeshes[1].vertexCount, 66000u - 65536u);
    EXPECT_EQ(list->subMeshes[1].material, list->subMeshes[0].material);
    // Every triangle still joins the corners of its own quad: nothing wrapped.
    for (std::uint32_t s = 0; s < list->count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        for (std::uint32_t i = 0; i < subMesh.indexCount; i += 3) {
            const float x = subMesh.positions[subMesh.indices[i]].x;
            ASSERT_EQ(subMesh.positions[subMesh.indices[i + 1]].x, x);
            ASSERT_EQ(subMesh.positions[subMesh.indices[i + 2]].x, x);
        }
    }
    EXPECT_EQ(GetVertexCount(list), 66000u);
    EXPECT_EQ(GetVertexPosition(list, 65536).x, 16384.0f);
    EXPECT_EQ(GetVertexPosition(list, 66000).x, 0.0f) << "past the end: the first position";
}

TEST_F(MeshTextTest, TheSkeletonSectionsGiveBonesChildrenAndSourceVertices) {
    const std::string text = GeometrySection({{{0, 1, 2, 3}}}, mesh_test::UnitQuad()) +
                             "BindInfo\n{\n"
                             "1 1 0 0 0 0 0 0 0\n2 0.5 0 0.5 1 0 0 0 0\n1 1 1 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0\n}\n"
                             "Billboards\n{\n2 1 0\n1 2 3 4 5 0.25 grass\n}\n"
                             "Skeleton\n{\n2\n"
                             "[0 0 0] [0 0 0 1] [1 1 1] [0 0 0] [0 0 0 1] 1 0  root bone\n"
                             "[0 0 1] [0 0 0 1] [1 1 1] [0 0 1] [0 0 0 1] 0 7 \tchild\n"
                             "1\n}\n"
                             "Anything\n{\n}\n";
    mesh_test::OwnedGeometry owned;
    MeshText mesh;
    ASSERT_EQ(ReadText(text, mesh), 1);
    ASSERT_EQ(mesh.boneCount, 2u);
    EXPECT_STREQ(mesh.bones[0].name, "root bone");
    EXPECT_STREQ(mesh.bones[1].name, "child");
    EXPECT_EQ(mesh.bones[1].word, 7);
    EXPECT_FLOAT_EQ(mesh.bones[1].localPosition.z, 1.0f);
    EXPECT_EQ(mesh.childIndices[0], 1);
    ASSERT_NE(mesh.bindRecords, nullptr);
    EXPECT_EQ(mesh.bindRecords[1].influenceCount, 2);
    EXPECT_EQ(mesh.bindRecords[1].bones[1], 1);
    ASSERT_EQ(mesh.billboardCount, 1u);
    EXPECT_FLOAT_EQ(mesh.billboards[0].width, 8.0f);
    EXPECT_FLOAT_EQ(mesh.billboards[0].rotation, 0.25f * 6.2831855f);
    ASSERT_NE(mesh.sourceVertices, nullptr);
    EXPECT_EQ(mesh.sourceVertices[3], 3u);
    ASSERT_EQ(BuildGeometryFromText(owned.geometry, mesh), 1);
    EXPECT_EQ(owned.geometry.list->subMeshes[0].sourceVertices[2], 2u);
    FreeMeshText(mesh);
}

TEST_F(MeshTextTest, BrokenFilesAreRefusedWithoutLeavingAnythingBehind) {
    const std::string quad = GeometrySection({{{0, 1, 2, 3}}}, mesh_test::UnitQuad());
    auto withFace = [](const std::string& face, int vertices = 4) {
        std::string text = "Geometry\n{\n1 1 " + std::to_string(vertices) + " 0\n" + face + "\n";
        for (int v = 0; v < vertices; ++v) text += std::to_string(v) + " " + std::to_string(v * v) + " 0\n";
        return text + "}\n";
    };
    // Blanks after the end, so that the counts' own check against the file's length passes.
    const std::string padding(256, ' ');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Portals\n{\n}\n" + quad, "Portals section"},
        {quad + "Portals\n{\n}\n", "Portals section"},
        {"Geometry\n{\n1 1 4 2\n" + padding, "vertex format 0x2"},
        {"Geometry\n{\n1 0 4 0\n}\n", "face count 0"},
        {"Geometry\n{\n1 1 0 0\n}\n" + padding, "vertex count 0"},
        {"Geometry\n{\n1 1 -4 0\n}\n" + padding, "vertex count -4"},
        {"Geometry\n{\n1 1 999999999 0\n}\n", "more than the rest of the file"},
        {withFace("9 [0 1 2 3 0 1 2 3 0] 0 stone", 9), "has 9 corners"},
        {withFace("1 [0] 0 stone"), "has 1 corners"},
        {withFace("3 [0 1 4] 0 stone"), "names vertex 4 of 4"},
        {withFace("3 [0 -1 2] 0 stone"), "names vertex -1"},
        {withFace("3 [0 1 2] 0 nothing"), "material 'nothing' cannot be had"},
        {"Geometry\n1 1 4 0\n", "not followed by '{'"},
        {quad.substr(0, quad.size() - 3), "ends before its '}'"},
        {"BindInfo\n{\n1 1 0 0 0 0 0 0 0\n}\n" + quad, "BindInfo comes before any Geometry"},
        {quad + "BindInfo\n{\n5 1 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0\n0 0 0 0 0 0 0 0 0\n}\n",
         "5 bone influences"},
        {quad + "Billboards\n{\n1 0 0\n}\n", "billboard count 0"},
        {quad + "Skeleton\n{\n0\n}\n", "bone count 0"},
        {quad + "Skeleton\n{\n2\n[0 0 0] [0 0 0 1] [1 1 1] [0 0 0] [0 0 0 1] 1 0 a\n"
                "[0 0 0] [0 0 0 1] [1 1 1] [0 0 0] [0 0 0 1] 0 0 b\n2\n}\n",
         "child index 0 names bone 2 of 2"},
        {quad + "Skeleton\n{\n1\n[0 0 0] [0 0 0 1] [1 1 1]", "bone count 1 is more than the rest of the file"},
        {quad + "Skeleton\n{\n2\n[0 0 0] [0 0 0 1] [1 1 1] [0 0 0] [0 0 0 1] 1 0 a\n[0 0 0]" + padding,
         "ends inside bone 1"},
    };
    ASSERT_NE(Material("stone"), nullptr);
    const std::size_t blocks = EngineBlockCount();
    for (const auto& [text, message] : cases) {
        engine_test::CapturedLog log;
        MeshText mesh;
        EXPECT_EQ(ReadText(text, mesh), 0) << message;
        EXPECT_TRUE(log.Contains("test.fmesh: ")) << log.Text();
        EXPECT_TRUE(log.Contains(message)) << message << " / " << log.Text();
        EXPECT_EQ(mesh.faces, nullptr);
        EXPECT_EQ(mesh.positions, nullptr);
    }
    EXPECT_EQ(EngineBlockCount(), blocks) << "a refused file leaves nothing behind";

    // Missing materials are made only when asked for.
    SetCreateMissingMaterials(true);
    MeshText mesh;
    ASSERT_EQ(ReadText(withFace("3 [0 1 2] 0 nothing"), mesh), 1);
    EXPECT_STREQ(mesh.faceMaterials[0]->name.Text(), "nothing");
    FreeMeshText(mesh);
    SetCreateMissingMaterials(false);
    // An empty file is a mesh of nothing; the end of the data at a section ends the read.
    EXPECT_EQ(ReadText("", mesh), 1);
    EXPECT_EQ(mesh.faceCount, 0u);
}

TEST_F(MeshTextTest, BakedLightFadesFromTheNearToTheFarRadius) {
    std::vector<TextVertex> vertices;
    for (int i = 0; i < 6; ++i) vertices.push_back({{static_cast<float>(i), 0, 0}, {0, 0}, {0, 0, 1}});
    OwnedGeometry owned;
    ASSERT_TRUE(Build(GeometrySection({{{0, 1, 2}}, {{3, 4, 5}}}, vertices), owned.geometry));
    RenderLightSet lights{};
    lights.ambient = Color{0.1f, 0.1f, 0.1f, 0.5f};
    lights.count = 2;
    // A point light straight above vertex 0: near radius 2, far radius 4 along the line.
    lights.lights[0].kind = 0;
    lights.lights[0].position = Vector3{0, 0, 2};
    lights.lights[0].diffuse = Color{0.8f, 0.4f, 0.0f, 0.0f};
    lights.lights[0].nearRange = 2.0f;
    lights.lights[0].farRange = 4.0f;
    lights.lights[1].kind = 7;  // not a light the baking knows
    lights.lights[1].diffuse = Color{1, 1, 1, 1};
    LightVertices(owned.geometry.list, lights, kIdentityMatrix34);
    const SubMesh& subMesh = owned.geometry.list->subMeshes[0];
    // A, R, G, B of a vertex's colour, each within 1 of the expected (floats are cut).
    auto expectColour = [&](int v, std::vector<int> expected) {
        const std::uint32_t c = subMesh.colours[v];
        const std::vector<int> actual = {static_cast<int>(c >> 24), static_cast<int>((c >> 16) & 0xFF),
                                         static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)};
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1) << "vertex " << v << " channel " << i;
    };
    // Exactly at the near radius: full light (0.1 + 0.8, 0.1 + 0.4, 0.1).
    expectColour(0, {127, 229, 127, 25});
    // Vertex 5 lies sqrt(29) > 4 away: the ambient colour only.
    expectColour(5, {127, 25, 25, 25});
    // Vertex 2: d = sqrt(8), cosine 2 / sqrt(8), fading (4 - d) / 2.
    const float d = std::sqrt(8.0f);
    const float factor = (2.0f / d) * (4.0f - d) / 2.0f;
    expectColour(2, {127, static_cast<int>((0.1f + 0.8f * factor) * 255.0f),
                     static_cast<int>((0.1f + 0.4f * factor) * 255.0f), 25});

    // A directional light from above, and channels cut at 1.0.
    lights.count = 1;
    lights.lights[0] = RenderLight{};
    lights.lights[0].kind = 2;
    lights.lights[0].direction = Vector3{0, 0, -1};
    lights.lights[0].diffuse = Color{2, 0.5f, 0, 1};
    LightVertices(owned.geometry.list, lights, kIdentityMatrix34);
    expectColour(4, {255, 255, 153, 25});
}

}  // namespace
