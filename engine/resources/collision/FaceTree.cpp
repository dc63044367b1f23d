// Building the face tree (top down, median splits on the longest axis, with an explicit
// stack) and walking it for segment queries, nearer children first.
#include "engine/resources/collision/FaceTree.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/math/VectorMath.h"
#include "engine/core/memory/EngineArray.h"
#include "engine/core/memory/EngineStack.h"

namespace {

struct FaceItem {
    Vector3 centroid;
    std::uint32_t face;
    std::uint32_t subMesh;
};

struct BuildTask {
    std::uint32_t node;
    std::uint32_t first;
    std::uint32_t last;
};

const MeshFace& FaceOf(const Geometry& geometry, std::uint32_t subMesh, std::uint32_t face) {
    return geometry.list->subMeshes[subMesh].faces[face];
}

// The sphere around every corner of the items' faces: the middle of their box, and the
// largest distance from it.
void BoundItems(const Geometry& geometry, const FaceItem* items, std::uint32_t count, FaceTreeNode& node) {
    Vector3 low{0, 0, 0};
    Vector3 high{0, 0, 0};
    bool any = false;
    auto corners = [&](auto visit) {
        for (std::uint32_t i = 0; i < count; ++i) {
            const SubMesh& subMesh = geometry.list->subMeshes[items[i].subMesh];
            const MeshFace& face = subMesh.faces[items[i].face];
            for (std::uint32_t c = 0; c < face.cornerCount; ++c) visit(subMesh.positions[face.corners[c]]);
        }
    };
    corners([&](const Vector3& p) {
        if (!any) low = high = p;
        any = true;
        low = Vector3{std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = Vector3{std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
    });
    node.centre = Vector3{(low.x + high.x) * 0.5f, (low.y + high.y) * 0.5f, (low.z + high.z) * 0.5f};
    float largest = 0.0f;
    corners([&](const Vector3& p) {
        Vector3 offset;
        Vector3Sub(p, node.centre, offset);
        largest = std::fmax(largest, Vector3LengthSquared(offset));
    });
    // A little more than the farthest corner, so that rounding never drops a touching face.
    node.radius = static_cast<float>(std::sqrt(double{largest})) * 1.0001f + kFaceTolerance;
}

// The axis along which the items' centroids spread most.
int LongestAxis(const FaceItem* items, std::uint32_t count) {
    Vector3 low = items[0].centroid;
    Vector3 high = low;
    for (std::uint32_t i = 1; i < count; ++i) {
        const Vector3& p = items[i].centroid;
        low = Vector3{std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = Vector3{std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
    }
    const float dx = high.x - low.x;
    const float dy = high.y - low.y;
    const float dz = high.z - low.z;
    if (dx >= dy && dx >= dz) return 0;
    return dy >= dz ? 1 : 2;
}

float Along(const Vector3& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

// The segment from start to end passes within the node's sphere.
bool SegmentMeetsSphere(const Vector3& start, const Vector3& end, const FaceTreeNode& node) {
    Vector3 direction;
    Vector3Sub(end, start, direction);
    Vector3 toCentre;
    Vector3Sub(node.centre, start, toCentre);
    const float length = Vector3LengthSquared(direction);
    float t = length > 0.0f ? Vector3Dot(toCentre, direction) / length : 0.0f;
    t = std::fmin(1.0f, std::fmax(0.0f, t));
    const Vector3 closest{start.x + direction.x * t - node.centre.x, start.y + direction.y * t - node.centre.y,
                          start.z + direction.z * t - node.centre.z};
    return Vector3LengthSquared(closest) <= node.radius * node.radius;
}

}  // namespace

FaceTree::~FaceTree() {
    EngineFree(nodes);
    EngineFree(faceNumbers);
    EngineFree(subMeshBytes);
}

FaceTree* BuildFaceTree(const Geometry& geometry) {
    const SubMeshList* list = geometry.list;
    if (list == nullptr || geometry.kind != kGeometrySubMeshList || list->count > kFaceTreeMaxSubMeshes) return nullptr;
    EngineArray<FaceItem> items;
    for (std::uint32_t s = 0; s < list->count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        for (std::uint32_t f = 0; f < subMesh.faceCount; ++f) {
            const MeshFace& face = subMesh.faces[f];
            if (face.cornerCount < 3 || face.cornerCount > kMaxFaceCorners) continue;
            Vector3 sum{0, 0, 0};
            for (std::uint32_t c = 0; c < face.cornerCount; ++c)
                Vector3AddInPlace(sum, subMesh.positions[face.corners[c]]);
            const float share = 1.0f / static_cast<float>(face.cornerCount);
            if (!items.Append(FaceItem{{sum.x * share, sum.y * share, sum.z * share}, f, s})) return nullptr;
        }
    }
    const std::size_t count = items.Count();
    if (count == 0 || count > 0x7FFFFFFFu) return nullptr;
    auto* tree = new FaceTree;
    if (tree == nullptr) return nullptr;
    // A binary tree with leaves of at least one face has fewer than 2 x count nodes.
    EngineArray<FaceTreeNode> nodes;
    EngineStack<BuildTask> tasks;
    if (!nodes.Reserve(count * 2) || !nodes.Append(FaceTreeNode{}) ||
        !tasks.Push(BuildTask{0, 0, static_cast<std::uint32_t>(count)})) {
        delete tree;
        return nullptr;
    }
    while (!tasks.IsEmpty()) {
        const BuildTask task = tasks.Top();
        tasks.Pop();
        FaceItem* first = items.Data() + task.first;
        const std::uint32_t span = task.last - task.first;
        FaceTreeNode node{};
        BoundItems(geometry, first, span, node);
        if (span <= kFaceTreeLeafFaces) {
            node.firstFace = task.first;
            node.lastFace = task.last;
            nodes[task.node] = node;
            continue;
        }
        const int axis = LongestAxis(first, span);
        const std::uint32_t half = span / 2;
        std::nth_element(first, first + half, first + span, [axis](const FaceItem& a, const FaceItem& b) {
            return Along(a.centroid, axis) < Along(b.centroid, axis);
        });
        node.childCount = 2;
        node.children[0] = static_cast<std::uint32_t>(nodes.Count());
        node.children[1] = node.children[0] + 1;
        nodes[task.node] = node;
        if (!nodes.Append(FaceTreeNode{}) || !nodes.Append(FaceTreeNode{}) ||
            !tasks.Push(BuildTask{node.children[0], task.first, task.first + half}) ||
            !tasks.Push(BuildTask{node.children[1], task.first + half, task.last})) {
            delete tree;
            return nullptr;
        }
    }
    tree->faceNumbers = static_cast<std::uint32_t*>(EngineAlloc(count * sizeof(std::uint32_t)));
    tree->subMeshBytes = static_cast<std::uint8_t*>(EngineAlloc(count));
    if (tree->faceNumbers == nullptr || tree->subMeshBytes == nullptr) {
        delete tree;
        return nullptr;
    }
    for (std::size_t i = 0; i < count; ++i) {
        tree->faceNumbers[i] = items[i].face;
        tree->subMeshBytes[i] = static_cast<std::uint8_t>(items[i].subMesh);
    }
    tree->faceCount = static_cast<std::uint32_t>(count);
    tree->nodeCount = static_cast<std::uint32_t>(nodes.Count());
    tree->nodes = nodes.Take();
    return tree;
}

int SegmentHitsFaceTree(const FaceTree& tree, const Geometry& geometry, const Vector3& start, const Vector3& end,
                        SegmentHit& hit, DWORD faceMask) {
    if (tree.nodeCount == 0 || geometry.list == nullptr) return 0;
    // A tree of n faces is about log2(n / 4) levels deep; the walk holds one sibling per level.
    constexpr int kStackDepth = 64;
    std::uint32_t stack[kStackDepth];
    int depth = 0;
    stack[depth++] = 0;
    Vector3 reach = end;
    int found = 0;
    while (depth > 0) {
        const FaceTreeNode& node = tree.nodes[stack[--depth]];
        if (!SegmentMeetsSphere(start, reach, node)) continue;
        if (node.childCount == 0) {
            for (std::uint32_t at = node.firstFace; at < node.lastFace; ++at) {
                const std::uint32_t s = tree.subMeshBytes[at];
                const SubMesh& subMesh = geometry.list->subMeshes[s];
                const MeshFace& face = FaceOf(geometry, s, tree.faceNumbers[at]);
                if ((face.flags & faceMask) != 0) continue;
                Vector3 point;
                const int side = SegmentHitsFace(face, subMesh.positions, start, reach, point);
                if (side == 0) continue;
                reach = point;
                hit = SegmentHit{&subMesh, &face, point, side};
                found = 1;
            }
            continue;
        }
        if (depth + 2 > kStackDepth) continue;
        // The nearer child goes on top, so that its hits shorten the segment for the other.
        const FaceTreeNode& a = tree.nodes[node.children[0]];
        const FaceTreeNode& b = tree.nodes[node.children[1]];
        Vector3 toA;
        Vector3 toB;
        Vector3Sub(a.centre, start, toA);
        Vector3Sub(b.centre, start, toB);
        const bool aNearer = Vector3LengthSquared(toA) <= Vector3LengthSquared(toB);
        stack[depth++] = aNearer ? node.children[1] : node.children[0];
        stack[depth++] = aNearer ? node.children[0] : node.children[1];
    }
    return found;
}
