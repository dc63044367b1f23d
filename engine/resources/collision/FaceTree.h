// The face tree of a collision record: a bounding-sphere tree over a geometry's faces, so
// that a segment query visits the few faces near the segment instead of all of them. Inner
// nodes hold their children, leaves a range of face positions; the record holds the face
// numbers and sub-mesh bytes that the leaves' ranges point into.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/resources/collision/FaceQueries.h"
#include "engine/resources/mesh/Geometry.h"

// Faces a leaf holds at most.
constexpr std::uint32_t kFaceTreeLeafFaces = 4;
// Sub-meshes a tree can tell apart (one byte each).
constexpr std::uint32_t kFaceTreeMaxSubMeshes = 256;

struct FaceTreeNode {
    Vector3 centre;
    float radius;
    std::uint32_t childCount;  // 0 for a leaf
    std::uint32_t children[2];
    std::uint32_t firstFace;  // a leaf's face positions [firstFace, lastFace)
    std::uint32_t lastFace;
};

struct FaceTree : EngineAllocated {
    FaceTree() = default;
    ~FaceTree();
    FaceTree(const FaceTree&) = delete;
    FaceTree& operator=(const FaceTree&) = delete;

    std::uint32_t nodeCount = 0;
    FaceTreeNode* nodes = nullptr;  // nodes[0] is the root
    std::uint32_t faceCount = 0;
    std::uint32_t* faceNumbers = nullptr;  // the face within its sub-mesh
    std::uint8_t* subMeshBytes = nullptr;  // the sub-mesh of each face position
};

// The tree over every face of three or more corners; null for a geometry without such
// faces, with more than 256 sub-meshes, or when memory runs out. The tree reads the
// geometry's arrays when queried: it lives no longer than they do.
FaceTree* BuildFaceTree(const Geometry& geometry);

// SegmentHitsMesh through the tree: the nearest face hit whose flags share no bit with the
// mask; 1 when any was hit.
int SegmentHitsFaceTree(const FaceTree& tree, const Geometry& geometry, const Vector3& start, const Vector3& end,
                        SegmentHit& hit, DWORD faceMask);
