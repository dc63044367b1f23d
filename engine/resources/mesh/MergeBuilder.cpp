// The merge builder: sub-meshes of many geometries gathered by material and moved into one
// frame.
#include "engine/resources/mesh/MergeBuilder.h"

#include "engine/core/math/MatrixMath.h"
#include "engine/resources/mesh/MeshBuild.h"

namespace {

MergeGroup* GroupFor(MergeBuilder& builder, KMaterial* material, std::uint32_t vertexCount) {
    for (std::size_t i = 0; i < builder.groups.Count(); ++i) {
        MergeGroup* group = builder.groups[i];
        if (group->material != material || !group->open) continue;
        if (group->vertices.Count() + vertexCount <= kMaxSubMeshVertices) return group;
        group->open = false;
    }
    auto* group = new MergeGroup;
    if (group == nullptr) return nullptr;
    if (!builder.groups.Append(group)) {
        delete group;
        return nullptr;
    }
    group->material = material;
    return group;
}

}  // namespace

MergeBuilder::~MergeBuilder() { MergeBuilderFree(*this); }

bool MergeBuilderAdd(MergeBuilder& builder, const Geometry& geometry, const Matrix34& matrix) {
    const SubMeshList* list = geometry.list;
    if (list == nullptr || geometry.kind != kGeometrySubMeshList) return true;
    for (std::uint32_t s = 0; s < list->count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        MergeGroup* group = GroupFor(builder, subMesh.material, subMesh.vertexCount);
        if (group == nullptr || !group->vertices.ReserveMore(subMesh.vertexCount) ||
            !group->faces.ReserveMore(subMesh.faceCount))
            return false;
        const auto base = static_cast<std::uint32_t>(group->vertices.Count());
        for (std::uint32_t v = 0; v < subMesh.vertexCount; ++v) {
            MeshVertex vertex = SubMeshVertex(subMesh, v);
            Matrix34TransformPoint(matrix, subMesh.positions[v], vertex.position);
            Matrix34TransformVector(matrix, subMesh.normals[v], vertex.normal);
            Matrix34TransformVector(matrix, subMesh.tangents[v], vertex.tangent);
            Matrix34TransformVector(matrix, subMesh.binormals[v], vertex.binormal);
            group->vertices.Append(vertex);
        }
        for (std::uint32_t f = 0; f < subMesh.faceCount; ++f) {
            MeshFace face = subMesh.faces[f];
            for (std::uint32_t c = 0; c < face.cornerCount && c < kMaxFaceCorners; ++c) face.corners[c] += base;
            group->faces.Append(face);
        }
        group->geometryFlags |= geometry.flags;
    }
    return true;
}

int MergeBuilderBuild(Geometry& geometry, MergeBuilder& builder) {
    const std::size_t count = builder.groups.Count();
    if (count == 0) return 0;
    SubMeshList* list = NewSubMeshList(static_cast<std::uint32_t>(count));
    if (list == nullptr) return 0;
    DWORD flags = 0;
    for (std::size_t g = 0; g < count; ++g) {
        MergeGroup& group = *builder.groups[g];
        if (!FillSubMesh(list->subMeshes[g], group.material, group.faces.Data(), group.faces.Count(),
                         group.vertices.Data(), group.vertices.Count())) {
            FreeSubMeshList(list);
            return 0;
        }
        flags |= group.geometryFlags;
    }
    SetSubMeshList(geometry, list);
    geometry.flags = (flags & (kGeometryEmissiveFaces | kGeometryTransparentFaces)) | kGeometryBuiltArrays;
    // The faces' planes and texture frames were those of their sources' frames.
    ComputeFacePlanes(geometry.list);
    ComputeFaceTextureFrames(geometry);
    return 1;
}

void MergeBuilderFree(MergeBuilder& builder) {
    for (std::size_t i = 0; i < builder.groups.Count(); ++i) delete builder.groups[i];
    builder.groups.Clear();
}

void ClearMeshLists(MergeGroup& group) {
    group.faces.Clear();
    group.vertices.Clear();
}
