// Mesh descriptions (".shapes"): what reads is written as text meshes, as make_mesh does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/make_mesh/ShapeSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<make_mesh::MeshShape> meshes;
    std::string error;
    if (!make_mesh::ReadShapes(std::string(reinterpret_cast<const char*>(data), size), &meshes, &error)) return 0;
    std::vector<std::size_t> vertexPolygons;
    for (const make_mesh::MeshShape& mesh : meshes) make_mesh::WriteMeshText(mesh, &vertexPolygons);
    return 0;
}
