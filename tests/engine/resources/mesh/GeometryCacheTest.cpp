// The ".kgc" geometry cache: a text mesh written, read back and written again gives the same
// bytes; its pad bytes; every count, index and name of a broken file refused; materials
// found again by name (with "default" in place of a missing one); and mesh files by object
// name, the cache written beside the text and read in its place.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/resources/mesh/GeometryCache.h"
#include "engine/resources/mesh/MeshFile.h"
#include "tests/engine/resources/mesh/MeshTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

using mesh_test::OwnedGeometry;
using mesh_test::TextVertex;

// Offsets in the cache of the two-sub-mesh fixture (no identifier).
constexpr std::size_t kFirstHeader = 12;
constexpr std::size_t kFirstName = kFirstHeader + 28;
constexpr std::size_t kFirstFaces = kFirstName + 256;

void PutWordAt(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

class GeometryCacheTest : public mesh_test::MeshTest {
protected:
    // Two sub-meshes: "stone" with a quad and a triangle (9 indices: odd), "grass" with a
    // triangle.
    std::string FixtureText() {
        std::vector<TextVertex> vertices = mesh_test::UnitQuad();
        vertices.push_back({{2, 0, 0}, {1, 0}, {0, 0, 1}});
        return mesh_test::GeometrySection({{{0, 1, 2, 3}}, {{1, 4, 2}}, {{0, 1, 2}, "grass"}}, vertices);
    }
    std::string Write(const Geometry& geometry, const char* name) {
        FileStream out;
        EXPECT_EQ(out.Open(name, kStreamWrite | kStreamBinary), 1);
        EXPECT_EQ(WriteGeometry(geometry, out), 0);
        out.Close();
        return ReadDataFile(name);
    }
    int Read(const std::string& bytes, Geometry& geometry) {
        FileStream in;
        resource_test::AttachBytes(in, bytes, kStreamBinary);
        return ReadGeometry(geometry, in);
    }
};

TEST_F(GeometryCacheTest, TextToCacheToGeometryToCacheGivesTheSameBytes) {
    OwnedGeometry built;
    ASSERT_TRUE(Build(FixtureText(), built.geometry));
    built.geometry.reserved = 0x1234;
    built.geometry.identifier = 0xCAFE;
    built.geometry.flags |= kGeometryIdentifier;
    const std::string first = Write(built.geometry, "first.kgc");
    // Header 20, per sub-mesh 284 + faces x 105 + vertices x 72 + indices x 2 (+ 2 when odd).
    EXPECT_EQ(first.size(), 20u + (284 + 2 * 105 + 5 * 72 + 9 * 2 + 2) + (284 + 105 + 3 * 72 + 3 * 2 + 2));

    OwnedGeometry read;
    ASSERT_EQ(Read(first, read.geometry), 0);
    EXPECT_EQ(read.geometry.identifier, 0xCAFEu);
    EXPECT_EQ(read.geometry.reserved, 0x1234u);
    EXPECT_NE(read.geometry.serial, built.geometry.serial);
    ASSERT_EQ(read.geometry.list->count, 2u);
    const SubMesh& stone = read.geometry.list->subMeshes[0];
    EXPECT_EQ(stone.material, Material("stone"));
    EXPECT_EQ(read.geometry.list->subMeshes[1].material, Material("grass"));
    EXPECT_EQ(stone.indexCount, 9u);
    EXPECT_EQ(std::memcmp(stone.faces, built.geometry.list->subMeshes[0].faces, 2 * sizeof(MeshFace)), 0);
    EXPECT_EQ(std::memcmp(stone.positions, built.geometry.list->subMeshes[0].positions, 5 * sizeof(Vector3)), 0);
    EXPECT_EQ(Write(read.geometry, "second.kgc"), first);

    // Without an identifier the two words are not written.
    read.geometry.flags &= ~kGeometryIdentifier;
    EXPECT_EQ(Write(read.geometry, "third.kgc").size(), first.size() - 8);
}

TEST_F(GeometryCacheTest, ABrokenCacheIsRefusedAndTheGeometryKeepsWhatItHad) {
    OwnedGeometry built;
    ASSERT_TRUE(Build(FixtureText(), built.geometry));
    const std::string good = Write(built.geometry, "good.kgc");
    const std::size_t faceBytesAt = kFirstFaces + 2 * 104;
    const std::size_t indicesAt = faceBytesAt + 2 + 5 * 72;
    struct Case {
        const char* what;
        std::function<void(std::string&)> mutate;
    };
    const Case cases[] = {
        {"kind 2", [](std::string& b) { PutWordAt(b, 0, 2); }},
        {"cut in the header", [](std::string& b) { b.resize(6); }},
        {"cut in the count", [](std::string& b) { b.resize(10); }},
        {"cut in the arrays", [](std::string& b) { b.resize(b.size() - 1); }},
        {"more sub-meshes than the file holds", [](std::string& b) { PutWordAt(b, 8, 3); }},
        {"a huge sub-mesh count", [](std::string& b) { PutWordAt(b, 8, 0xFFFFFFFF); }},
        {"index count not 3 x triangles", [](std::string& b) { PutWordAt(b, kFirstHeader + 4, 10); }},
        {"more faces than the file holds", [](std::string& b) { PutWordAt(b, kFirstHeader + 12, 0x01000000); }},
        {"more vertices than 16-bit indices reach", [](std::string& b) { PutWordAt(b, kFirstHeader + 16, 65537); }},
        {"a material name without its end", [](std::string& b) { std::memset(&b[kFirstName], 'x', 256); }},
        {"a face of 9 corners", [](std::string& b) { PutWordAt(b, kFirstFaces + 28, 9); }},
        {"a face of 1 corner", [](std::string& b) { PutWordAt(b, kFirstFaces + 28, 1); }},
        {"a corner past the vertices", [](std::string& b) { PutWordAt(b, kFirstFaces + 104 + 32 + 8, 5); }},
        {"an index past the vertices", [](std::string& b) { b[indicesAt + 4] = 5; }},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        c.mutate(bytes);
        OwnedGeometry kept;
        ASSERT_TRUE(Build(FixtureText(), kept.geometry));
        const SubMeshList* before = kept.geometry.list;
        engine_test::CapturedLog log;
        EXPECT_EQ(Read(bytes, kept.geometry), 1) << c.what;
        EXPECT_EQ(kept.geometry.list, before) << c.what;
        EXPECT_GT(log.Text().size(), 0u) << c.what;
    }
}

TEST_F(GeometryCacheTest, AMissingMaterialComesBackAsDefaultAndWithoutItTheReadFails) {
    OwnedGeometry built;
    ASSERT_TRUE(Build(FixtureText(), built.geometry));
    std::string bytes = Write(built.geometry, "fixture.kgc");
    std::memcpy(&bytes[kFirstName], "gone\0", 5);
    OwnedGeometry read;
    ASSERT_EQ(Read(bytes, read.geometry), 0);
    EXPECT_STREQ(read.geometry.list->subMeshes[0].material->name.Text(), "default");

    std::remove((root_.Path() + "/fs/data/materials/default.kml").c_str());
    MaterialList fresh;
    SetCurrentMaterialList(&fresh);
    OwnedGeometry without;
    engine_test::CapturedLog log;
    EXPECT_EQ(Read(bytes, without.geometry), 1);
    EXPECT_TRUE(log.Contains("names a material that cannot be had")) << log.Text();
    SetCurrentMaterialList(list_);
}

TEST_F(GeometryCacheTest, AnObjectsTextWritesItsCacheWhichTheNextLoadReadsInstead) {
    WriteText("objects/block.fmesh", FixtureText());
    OwnedGeometry first;
    ASSERT_EQ(LoadObjectGeometry("block", first.geometry), 0);
    EXPECT_NE(first.geometry.flags & kGeometryIdentifier, 0u);
    const std::string cache = ReadDataFile("objects/block.kgc");
    ASSERT_FALSE(cache.empty()) << "the first load wrote the cache beside the text";

    std::remove((root_.Path() + "/fs/data/objects/block.fmesh").c_str());
    OwnedGeometry second;
    ASSERT_EQ(LoadObjectGeometry("block", second.geometry), 0);
    EXPECT_EQ(second.geometry.identifier, first.geometry.identifier);
    EXPECT_EQ(second.geometry.list->count, 2u);

    // A cache cut short gives way to the text, which writes it anew.
    WriteText("objects/block.fmesh", FixtureText());
    WriteText("objects/block.kgc", cache.substr(0, 100));
    engine_test::CapturedLog log;
    OwnedGeometry third;
    ASSERT_EQ(LoadObjectGeometry("block", third.geometry), 0);
    EXPECT_EQ(ReadDataFile("objects/block.kgc").size(), cache.size());
    EXPECT_EQ(LoadObjectGeometry("nothing", third.geometry), 1);
}

}  // namespace
