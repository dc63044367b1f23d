// Filling a sub-mesh from the records the mesh builders collect.
#include "engine/resources/mesh/MeshVertex.h"

#include <cstring>

bool FillSubMesh(SubMesh& subMesh, KMaterial* material, const MeshFace* faces, std::size_t faceCount,
                 const MeshVertex* vertices, std::size_t vertexCount) {
    std::uint64_t triangles = 0;
    for (std::size_t f = 0; f < faceCount; ++f)
        if (faces[f].cornerCount > 2) triangles += faces[f].cornerCount - 2;
    if (faceCount > 0xFFFFFFFFu || vertexCount > kMaxSubMeshVertices || triangles * 3 > 0xFFFFFFFFu ||
        !AllocateSubMesh(subMesh, static_cast<std::uint32_t>(faceCount), static_cast<std::uint32_t>(vertexCount),
                         static_cast<std::uint32_t>(triangles * 3)))
        return false;
    subMesh.material = material;
    if (faceCount > 0) std::memcpy(static_cast<void*>(subMesh.faces), faces, faceCount * sizeof(MeshFace));
    for (std::size_t v = 0; v < vertexCount; ++v) {
        const MeshVertex& vertex = vertices[v];
        subMesh.positions[v] = vertex.position;
        subMesh.texCoords[v] = vertex.texCoord;
        subMesh.secondTexCoords[v] = vertex.secondTexCoord;
        subMesh.normals[v] = vertex.normal;
        subMesh.tangents[v] = vertex.tangent;
        subMesh.binormals[v] = vertex.binormal;
        subMesh.colours[v] = vertex.colour;
        subMesh.sourceVertices[v] = vertex.sourceVertex;
    }
    std::uint16_t* index = subMesh.indices;
    for (std::size_t f = 0; f < faceCount; ++f) {
        const MeshFace& face = faces[f];
        for (std::uint32_t k = 0; k + 2 < face.cornerCount; ++k) {
            *index++ = static_cast<std::uint16_t>(face.corners[0]);
            *index++ = static_cast<std::uint16_t>(face.corners[k + 1]);
            *index++ = static_cast<std::uint16_t>(face.corners[k + 2]);
        }
    }
    return true;
}

MeshVertex SubMeshVertex(const SubMesh& subMesh, std::uint32_t index) {
    return MeshVertex{subMesh.positions[index], subMesh.texCoords[index],     subMesh.secondTexCoords[index],
                      subMesh.normals[index],   subMesh.tangents[index],      subMesh.binormals[index],
                      subMesh.colours[index],   subMesh.sourceVertices[index]};
}
