// Gathering the faces of a face tree near a point: every face that meets a sphere, and in
// the second form also lies inside a plane set. Marked, hidden and skipped faces (face flags
// 0x40, 0x80, 0x100) are never gathered. At most kMaxGatheredFaces come back.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/resources/collision/FaceTree.h"
#include "engine/resources/mesh/Geometry.h"

constexpr std::uint32_t kMaxGatheredFaces = 8192;
constexpr DWORD kFaceGatherSkipped = 0x40 | 0x80 | 0x100;

// How much of the tree the gathers looked at, for statistics.
struct FaceGatherCounters {
    std::uint64_t nodesTested = 0;
    std::uint64_t nodesPassed = 0;
    std::uint64_t leavesReached = 0;
};
FaceGatherCounters& GatherCounters();

// The face numbers (within their sub-mesh) and sub-mesh numbers of the faces that meet the
// sphere, into arrays of kMaxGatheredFaces entries; the count. A tree or geometry that does
// not match (a sub-mesh or face out of range) gathers nothing of the mismatched faces.
std::uint32_t GatherFacesInSphere(const FaceTree* tree, const Vector3& centre, float radius,
                                  const Geometry& geometry, std::uint32_t* outFaces, std::uint8_t* outSubMeshes);
// The same, keeping only faces that no plane of the set has wholly behind it.
std::uint32_t GatherFacesInSphereAndFrustum(const FaceTree* tree, const PlaneSet& planes, const Vector3& centre,
                                            float radius, const Geometry& geometry, std::uint32_t* outFaces,
                                            std::uint8_t* outSubMeshes);
