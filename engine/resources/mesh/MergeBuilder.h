// The merge builder: joins many geometries, each moved by its own matrix, into one geometry
// of one sub-mesh per material (the level draws its tiles as such merged blocks).
#pragma once

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineArray.h"
#include "engine/resources/mesh/Geometry.h"
#include "engine/resources/mesh/MeshVertex.h"

// The faces and vertices of one material gathered so far; `open` while more may join it.
struct MergeGroup : EngineAllocated {
    KMaterial* material = nullptr;
    bool open = true;
    EngineArray<MeshFace> faces;
    EngineArray<MeshVertex> vertices;
    DWORD geometryFlags = 0;
};

struct MergeBuilder {
    MergeBuilder() = default;
    ~MergeBuilder();
    MergeBuilder(const MergeBuilder&) = delete;
    MergeBuilder& operator=(const MergeBuilder&) = delete;

    EngineArray<MergeGroup*> groups;
};

// Appends the geometry's sub-meshes to the groups of their materials, positions moved by the
// matrix as points and normals, tangents and binormals as vectors. A group that would pass
// 65,536 vertices is closed and the material goes on in a new group. False when memory runs
// out (what was appended stays).
bool MergeBuilderAdd(MergeBuilder& builder, const Geometry& geometry, const Matrix34& matrix);
// One sub-mesh per group, with face planes and texture frames computed for the moved
// faces; replaces the geometry's sub-mesh list. 0 without groups or when memory runs out
// (the geometry is left as it was), else 1.
int MergeBuilderBuild(Geometry& geometry, MergeBuilder& builder);
// Frees every group; the builder is empty afterwards.
void MergeBuilderFree(MergeBuilder& builder);
// Empties a group's faces and vertices.
void ClearMeshLists(MergeGroup& group);
