// The sphere and frustum gathers over a face tree.
#include "engine/resources/collision/FaceGather.h"

#include <cmath>
#include <vector>

#include "engine/resources/collision/Culling.h"
#include "engine/resources/collision/FaceQueries.h"

namespace {

FaceGatherCounters counters;

// The trees are built by median splits, so they are shallow; a deeper one is cut off there.
constexpr std::uint32_t kWalkStackSize = 256;

float DistanceSquared(const Vector3& a, const Vector3& b) {
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

// The face's plane within the radius and one corner within it, or the full sphere test.
bool FaceMeetsSphere(const MeshFace& face, const SubMesh& subMesh, const Vector3& centre, float radius) {
    const float planeDistance =
        face.normal.x * centre.x + face.normal.y * centre.y + face.normal.z * centre.z - face.distance;
    if (std::fabs(planeDistance) <= radius) {
        const std::uint32_t corners = face.cornerCount < kMaxFaceCorners ? face.cornerCount : kMaxFaceCorners;
        for (std::uint32_t i = 0; i < corners; ++i)
            if (DistanceSquared(subMesh.positions[face.corners[i]], centre) <= radius * radius) return true;
    }
    return SphereTouchesFace(face, centre, radius, subMesh.positions) != 0;
}

// Every corner names a vertex of its sub-mesh.
bool FaceIsWhole(const MeshFace& face, const SubMesh& subMesh) {
    if (face.cornerCount > kMaxFaceCorners || subMesh.positions == nullptr) return false;
    for (std::uint32_t i = 0; i < face.cornerCount; ++i)
        if (face.corners[i] >= subMesh.vertexCount) return false;
    return true;
}

std::uint32_t Gather(const FaceTree* tree, const PlaneSet* planes, const Vector3& centre, float radius,
                     const Geometry& geometry, std::uint32_t* outFaces, std::uint8_t* outSubMeshes) {
    if (tree == nullptr || tree->nodeCount == 0 || geometry.list == nullptr) return 0;
    const SubMeshList& list = *geometry.list;

    // The leaves whose spheres meet the query sphere, in the order the walk reaches them.
    std::vector<std::uint32_t> leaves;
    std::uint32_t stack[kWalkStackSize];
    std::uint32_t depth = 0;
    stack[depth++] = 0;
    // Each node is reached once at most in a tree; a malformed one may not be a tree.
    std::uint64_t steps = 0;
    while (depth > 0 && ++steps <= tree->nodeCount) {
        const std::uint32_t index = stack[--depth];
        if (index >= tree->nodeCount) continue;
        const FaceTreeNode& node = tree->nodes[index];
        ++counters.nodesTested;
        const float reach = node.radius + radius;
        if (DistanceSquared(node.centre, centre) > reach * reach) continue;
        ++counters.nodesPassed;
        if (node.childCount == 0) {
            ++counters.leavesReached;
            leaves.push_back(index);
            continue;
        }
        // The second child is pushed first, so the first is walked first.
        for (std::uint32_t child = node.childCount < 2 ? node.childCount : 2; child-- > 0;)
            if (depth < kWalkStackSize) stack[depth++] = node.children[child];
    }

    std::uint32_t gathered = 0;
    for (std::size_t leaf = leaves.size(); leaf-- > 0;) {
        const FaceTreeNode& node = tree->nodes[leaves[leaf]];
        const std::uint32_t last = node.lastFace < tree->faceCount ? node.lastFace : tree->faceCount;
        for (std::uint32_t position = node.firstFace; position < last; ++position) {
            const std::uint8_t subMeshNumber = tree->subMeshBytes[position];
            if (subMeshNumber >= list.count) continue;
            const SubMesh& subMesh = list.subMeshes[subMeshNumber];
            const std::uint32_t faceNumber = tree->faceNumbers[position];
            if (faceNumber >= subMesh.faceCount) continue;
            const MeshFace& face = subMesh.faces[faceNumber];
            if ((face.flags & kFaceGatherSkipped) != 0 || !FaceIsWhole(face, subMesh)) continue;
            if (!FaceMeetsSphere(face, subMesh, centre, radius)) continue;
            if (planes != nullptr && FaceOutsidePlaneSet(*planes, face, subMesh.positions) != 0) continue;
            outFaces[gathered] = faceNumber;
            outSubMeshes[gathered] = subMeshNumber;
            if (++gathered == kMaxGatheredFaces) return gathered;
        }
    }
    return gathered;
}

}  // namespace

FaceGatherCounters& GatherCounters() { return counters; }

std::uint32_t GatherFacesInSphere(const FaceTree* tree, const Vector3& centre, float radius,
                                  const Geometry& geometry, std::uint32_t* outFaces, std::uint8_t* outSubMeshes) {
    return Gather(tree, nullptr, centre, radius, geometry, outFaces, outSubMeshes);
}

std::uint32_t GatherFacesInSphereAndFrustum(const FaceTree* tree, const PlaneSet& planes, const Vector3& centre,
                                            float radius, const Geometry& geometry, std::uint32_t* outFaces,
                                            std::uint8_t* outSubMeshes) {
    return Gather(tree, &planes, centre, radius, geometry, outFaces, outSubMeshes);
}
