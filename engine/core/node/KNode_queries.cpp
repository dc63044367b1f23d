// KNode's spatial queries: the ray test and the overlap collection walk the subtree, the
// point and box queries look at the direct children.
#include <algorithm>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/node/KNode.h"

namespace {

bool PassesMasks(DWORD flags, DWORD exclude, DWORD include) {
    return (flags & exclude) == 0 && (flags & include) == include;
}

// The child's box moved into world space.
AxisBox WorldBox(KNode& node, Matrix34& world) {
    node.GetWorldMatrix(world);
    const NodeBounds& bounds = node.Bounds();
    AxisBox box;
    TransformBounds(world, AxisBox{bounds.boxMin, bounds.boxMax}, box);
    return box;
}

bool BoxHolds(const AxisBox& box, const Vector3& p) {
    return p.x >= box.min.x && p.x <= box.max.x && p.y >= box.min.y && p.y <= box.max.y && p.z >= box.min.z &&
           p.z <= box.max.z;
}

bool BoxesMeet(const AxisBox& a, const AxisBox& b) {
    return a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y && b.min.y <= a.max.y &&
           a.min.z <= b.max.z && b.min.z <= a.max.z;
}

// The sphere in world space: its centre moved, its radius grown by the largest axis scale.
bool SphereHolds(const Matrix34& world, const NodeBounds& bounds, const Vector3& p) {
    Vector3 centre;
    Matrix34TransformPoint(world, bounds.sphereCentre, centre);
    float largest = 0.0f;
    for (int j = 0; j < 3; ++j) {
        const Vector3 column{world.m[0][j], world.m[1][j], world.m[2][j]};
        largest = std::max(largest, Vector3Length(column));
    }
    const float radius = bounds.radius * largest;
    Vector3 offset;
    Vector3Sub(p, centre, offset);
    return Vector3LengthSquared(offset) <= radius * radius;
}

}  // namespace

WalkStep KNode::RayTestOwn(const RayQuery& query, RayHit&) {
    if ((flags_ & kNodeRaySkipSubtree) != 0) return WalkStep::kSkip;
    if ((query.flags & kRaySkipFlagged) != 0 && (flags_ & kNodeRaySkipOnRequest) != 0) return WalkStep::kSkip;
    if ((query.flags & kRayMaterialQuery) != 0 && (flags_ & kNodeRaySkipForMaterials) != 0) return WalkStep::kSkip;
    return WalkStep::kDescend;
}

int KNode::RayTest(const Vector3& start, const Vector3& end, void* userData, KNode** hitNode, float* hitValue,
                   Vector3* hitPoint, DWORD flags) {
    const RayQuery query{start, end, userData, flags};
    RayHit hit;
    WalkSubtree(*this, [&](KNode& node) { return node.RayTestOwn(query, hit); });
    if (hit.hits == 0) return 0;
    if (hitNode != nullptr) *hitNode = hit.node;
    if (hitValue != nullptr) *hitValue = hit.value;
    if (hitPoint != nullptr) *hitPoint = hit.point;
    return 1;
}

int KNode::QueryPoint(const Vector3& point, KNode** found, int capacity, bool useSphere, DWORD exclude,
                      DWORD include) {
    int count = 0;
    if (found == nullptr) return 0;
    for (KNode* child = FirstChild(); child != nullptr && count < capacity; child = child->NextSibling()) {
        if (!PassesMasks(child->flags_, exclude, include)) continue;
        Matrix34 world;
        if (!BoxHolds(WorldBox(*child, world), point)) continue;
        if (useSphere && !SphereHolds(world, child->bounds_, point)) continue;
        found[count++] = child;
    }
    return count;
}

int KNode::QueryBox(const AxisBox& box, KNode** found, int capacity, DWORD exclude, DWORD include) {
    int count = 0;
    if (found == nullptr) return 0;
    for (KNode* child = FirstChild(); child != nullptr && count < capacity; child = child->NextSibling()) {
        if (!PassesMasks(child->flags_, exclude, include)) continue;
        Matrix34 world;
        if (BoxesMeet(WorldBox(*child, world), box)) found[count++] = child;
    }
    return count;
}

WalkStep KNode::CollectOverlappingOwn(const OverlapQuery& query, OverlapRecord*, int, int&) {
    return PassesMasks(flags_, query.exclude, query.include) ? WalkStep::kDescend : WalkStep::kSkip;
}

int KNode::CollectOverlapping(const AxisBox& box, void* tag, OverlapRecord* results, int capacity, DWORD exclude,
                              DWORD include) {
    if (results == nullptr || capacity <= 0) return 0;
    const OverlapQuery query{box, tag, exclude, include};
    int count = 0;
    WalkSubtree(*this, [&](KNode& node) {
        if (count >= capacity) return WalkStep::kStop;
        return node.CollectOverlappingOwn(query, results, capacity, count);
    });
    return count;
}
