// Shared pieces of the mesh tests: a fixture with a material list (materials "stone",
// "grass" and "default" on file), text meshes built from faces and vertices, and reading a
// text into a geometry.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/files/FileStream.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/mesh/Geometry.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshText.h"
#include "tests/engine/resources/support/ResourceTestSupport.h"

namespace mesh_test {

struct TextFace {
    std::vector<int> corners;
    std::string material = "stone";
    std::uint32_t flags = 0;
};

struct TextVertex {
    Vector3 position;
    Vector2 uv{0, 0};
    Vector3 normal{0, 0, 1};
};

// A Geometry section with texture coordinates and normals (format 5).
inline std::string GeometrySection(const std::vector<TextFace>& faces, const std::vector<TextVertex>& vertices,
                                   float scale = 1.0f) {
    std::ostringstream out;
    out << "Geometry\n{\n" << scale << " " << faces.size() << " " << vertices.size() << " 5\n";
    for (const TextFace& face : faces) {
        out << face.corners.size() << " [";
        for (std::size_t i = 0; i < face.corners.size(); ++i) out << (i == 0 ? "" : " ") << face.corners[i];
        out << "] " << std::hex << face.flags << std::dec << " " << face.material << "\n";
    }
    for (const TextVertex& v : vertices) out << v.position.x << " " << v.position.y << " " << v.position.z << "\n";
    for (const TextVertex& v : vertices) out << v.uv.x << " " << v.uv.y << "\n";
    for (const TextVertex& v : vertices) out << v.normal.x << " " << v.normal.y << " " << v.normal.z << "\n";
    out << "}\n";
    return out.str();
}

// The unit quad in the plane z = 0 as vertices 0 to 3, counter-clockwise from the origin.
inline std::vector<TextVertex> UnitQuad() {
    return {{{0, 0, 0}, {0, 0}}, {{1, 0, 0}, {1, 0}}, {{1, 1, 0}, {1, 1}}, {{0, 1, 0}, {0, 1}}};
}

class MeshTest : public resource_test::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        if (HasFatalFailure()) return;
        WriteTga("gfx/textures/default.tga", 2, 2, 255, 255, 255);
        WriteText("materials/stone.kml", "KML1 Material \"stone\"\n{\nDiffuse [0.5 0.5 0.5 1]\n}\n");
        WriteText("materials/grass.kml", "KML1 Material \"grass\"\n{\nFlags < TRANSPARENT >\n}\n");
        WriteText("materials/glow.kml", "KML1 Material \"glow\"\n{\nEmittance [1 1 0 1]\n}\n");
        WriteText("materials/default.kml", "KML1 Material \"default\"\n{\n}\n");
        list_ = new MaterialList;
        SetCurrentMaterialList(list_);
    }
    void TearDown() override {
        SetCurrentMaterialList(nullptr);
        delete list_;
        ResourceTest::TearDown();
    }

    // ReadMeshText over the text; 1 on success.
    int ReadText(const std::string& text, MeshText& out) {
        FileStream stream;
        resource_test::AttachBytes(stream, text, kStreamText);
        return ReadMeshText(stream, "test.fmesh", out);
    }
    // The text read and built (planes, frames, tangents included); false when either fails.
    bool Build(const std::string& text, Geometry& geometry) {
        MeshText mesh;
        if (ReadText(text, mesh) != 1) return false;
        const int built = BuildGeometryFromText(geometry, mesh);
        FreeMeshText(mesh);
        return built == 1;
    }
    KMaterial* Material(const char* name) { return list_->FindOrLoad(name); }

    MaterialList* list_ = nullptr;
};

// A geometry that is released when the test ends.
struct OwnedGeometry {
    Geometry geometry;
    ~OwnedGeometry() { ReleaseGeometry(geometry); }
};

}  // namespace mesh_test
