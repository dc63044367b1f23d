// The demo meshes of data/game/archives/startup/objects, made from their description as the
// data build makes them: every mesh the level asks for by tile type, tile flag and decoration
// bit is there,
// loads with its own materials (none falls back to "default"), and lies where the level
// places it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/resources/mesh/MeshFile.h"
#include "tests/engine/resources/mesh/MeshTestSupport.h"
#include "tools/make_image/ImageDescription.h"
#include "tools/make_mesh/ShapeSource.h"

namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DemoMeshesTest : public mesh_test::MeshTest {
protected:
    void SetUp() override {
        MeshTest::SetUp();
        if (HasFatalFailure()) return;
        const fs::path startup = fs::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup";
        for (const auto& entry : fs::directory_iterator(startup / "materials"))
            WriteText("materials/" + entry.path().filename().string(), FileText(entry.path()));
        for (const auto& entry : fs::directory_iterator(startup / "gfx/textures")) {
            const std::string name = "gfx/textures/" + entry.path().filename().string();
            if (entry.path().extension() == ".ktx") WriteText(name, FileText(entry.path()));
            if (entry.path().extension() != ".image") continue;
            DescribedImage image;
            std::string error;
            ASSERT_TRUE(PaintDescribedImage(FileText(entry.path()), &image, &error)) << name << ": " << error;
            WriteFile("gfx/textures/" + entry.path().stem().string() + ".tga", EncodeTga(image));
        }
        for (const char* description : {"objects/level.shapes", "objects/plants.shapes"}) {
            std::string error;
            std::vector<make_mesh::MeshShape> shapes;
            ASSERT_TRUE(make_mesh::ReadShapes(FileText(startup / description), &shapes, &error)) << error;
            for (const make_mesh::MeshShape& shape : shapes)
                WriteText("objects/" + shape.name + ".fmesh", make_mesh::WriteMeshText(shape));
            shapes_.insert(shapes_.end(), shapes.begin(), shapes.end());
        }
    }

    std::vector<make_mesh::MeshShape> shapes_;
};

TEST_F(DemoMeshesTest, EveryTileAndObjectMeshLoadsWithItsOwnMaterialsWhereTheLevelPutsIt) {
    std::vector<std::string> wanted = {
        "tile0",  "tile4a",       "tile5a",         "tile5b",         "tile12a",         "tile12b",     "tile14a",
        "tilebg", "spikes_01_up", "spikes_01_down", "spikes_01_left", "spikes_01_right", "spikecube_01"};
    for (int type : {1, 2, 3, 6, 7, 8, 9, 10, 11, 13})
        for (char variant : {'a', 'b', 'c', 'd'}) wanted.push_back("tile" + std::to_string(type) + variant);
    for (const char* plant : {"flower1", "plant_01", "lightplant_01", "leaf_01", "bigplant_01", "bigplant_02",
                              "rootplant1", "grass1"})
        for (const char* side : {"_up", "_down", "_left", "_right"}) wanted.push_back(std::string(plant) + side);
    ASSERT_EQ(wanted.size(), 47u + 6u + 32u) << "the 47 tile meshes, six others and the 32 decorations";
    std::set<std::string> made;
    for (const make_mesh::MeshShape& shape : shapes_) made.insert(shape.name);
    for (const std::string& name : wanted) EXPECT_EQ(made.count(name), 1u) << name;

    for (const make_mesh::MeshShape& shape : shapes_) {
        mesh_test::OwnedGeometry owned;
        ASSERT_EQ(LoadObjectGeometry(shape.name.c_str(), owned.geometry), 0) << shape.name;
        std::set<std::string> named;
        for (const make_mesh::Polygon& polygon : shape.polygons) named.insert(polygon.material);
        for (std::uint32_t s = 0; s < owned.geometry.list->count; ++s) {
            const KMaterial* material = owned.geometry.list->subMeshes[s].material;
            ASSERT_NE(material, nullptr);
            EXPECT_EQ(named.count(material->name.Text()), 1u) << shape.name << " draws with " << material->name.Text();
            EXPECT_NE(material->layers[0].stages[0].texture, nullptr) << material->name.Text();
        }
        AxisBox box{};
        ComputeBoundingBox(owned.geometry.list, box);
        if (shape.name == "tilebg") {
            EXPECT_LT(box.max.z, -10.0f) << "the background lies far below the floor";
            continue;
        }
        EXPECT_GE(box.min.x, -0.001f) << shape.name;
        EXPECT_GE(box.min.y, -0.001f) << shape.name;
        EXPECT_LE(box.max.x, 10.001f) << shape.name;
        EXPECT_LE(box.max.y, 10.001f) << shape.name;
        if (shape.name.rfind("tile", 0) == 0 && shape.name != "tile0") {
            EXPECT_NEAR(box.min.z, -3.0f, 0.001f) << shape.name << ": the slab is 3 deep";
            EXPECT_GE(box.max.z, -0.001f) << shape.name << ": the walking surface is at z = 0";
        }
    }
    // Each load wrote its cache.
    EXPECT_FALSE(ReadDataFile("objects/tile2a.kgc").empty());
}

}  // namespace
