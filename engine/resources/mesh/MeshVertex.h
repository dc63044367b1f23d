// The vertex record the mesh builders collect (72 bytes, the order of a sub-mesh's vertex
// arrays), and the filling of a sub-mesh from collected faces and vertices.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/resources/mesh/Geometry.h"

struct MeshVertex {
    Vector3 position;
    Vector2 texCoord;
    Vector2 secondTexCoord;
    Vector3 normal;
    Vector3 tangent;
    Vector3 binormal;
    std::uint32_t colour;
    std::uint32_t sourceVertex;
};
static_assert(sizeof(MeshVertex) == 72, "a mesh vertex is the 72 bytes of the vertex arrays");

// Allocates the sub-mesh for the faces (corners numbering `vertices`) and fills its arrays,
// its face bytes (0) and its triangle fans. False when memory runs out or the counts do not
// fit.
bool FillSubMesh(SubMesh& subMesh, KMaterial* material, const MeshFace* faces, std::size_t faceCount,
                 const MeshVertex* vertices, std::size_t vertexCount);
// The vertex `index` of a sub-mesh as a record.
MeshVertex SubMeshVertex(const SubMesh& subMesh, std::uint32_t index);
