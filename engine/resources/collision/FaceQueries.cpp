// Segment and sphere tests against faces.
#include "engine/resources/collision/FaceQueries.h"

#include <cmath>

#include "engine/core/math/VectorMath.h"

namespace {

float Component(const Vector3& v, std::uint32_t axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// The crossing-number test of the face's outline around the point, in the two axes other
// than the dominant one.
bool InsideFace(const MeshFace& face, const Vector3* positions, const Vector3& point) {
    const std::uint32_t axis = (face.flags & kFaceAxisMask) % 3;
    const std::uint32_t uAxis = (axis + 1) % 3;
    const std::uint32_t vAxis = (axis + 2) % 3;
    const float pu = Component(point, uAxis);
    const float pv = Component(point, vAxis);
    bool inside = false;
    std::uint32_t previous = face.corners[face.cornerCount - 1];
    for (std::uint32_t c = 0; c < face.cornerCount; ++c) {
        const Vector3& a = positions[previous];
        const Vector3& b = positions[face.corners[c]];
        previous = face.corners[c];
        const float au = Component(a, uAxis);
        const float av = Component(a, vAxis);
        const float bu = Component(b, uAxis);
        const float bv = Component(b, vAxis);
        const float dv = bv - av;
        if (std::fabs(dv) <= kFaceTolerance) continue;
        if (pv < std::fmin(av, bv) - kFaceTolerance || pv > std::fmax(av, bv) + kFaceTolerance) continue;
        const float u = au + (pv - av) * (bu - au) / dv;
        if (u > pu + kFaceTolerance) continue;
        if (u < std::fmin(au, bu) - kFaceTolerance || u > std::fmax(au, bu) + kFaceTolerance) continue;
        inside = !inside;
    }
    return inside;
}

}  // namespace

int SegmentHitsFace(const MeshFace& face, const Vector3* positions, const Vector3& start, const Vector3& end,
                    Vector3& hitPoint) {
    if (face.cornerCount < 3 || face.cornerCount > kMaxFaceCorners) return 0;
    const float d = face.distance;
    const float d0 = Vector3Dot(face.normal, start);
    const float d1 = Vector3Dot(face.normal, end);
    int side = 0;
    if (d0 >= d && d1 <= d)
        side = 1;
    else if (d0 < d && d1 >= d && (face.flags & kFaceTwoSided) != 0)
        side = -1;
    if (side == 0 || d1 == d0) return 0;
    const float t = (d - d0) / (d1 - d0);
    const Vector3 point{start.x + (end.x - start.x) * t, start.y + (end.y - start.y) * t,
                        start.z + (end.z - start.z) * t};
    if (!InsideFace(face, positions, point)) return 0;
    hitPoint = point;
    return side;
}

int SegmentHitsMesh(const Geometry& geometry, const Vector3& start, const Vector3& end, SegmentHit& hit,
                    DWORD faceMask) {
    const SubMeshList* list = geometry.list;
    if (list == nullptr || geometry.kind != kGeometrySubMeshList) return 0;
    Vector3 reach = end;
    int found = 0;
    for (std::uint32_t s = 0; s < list->count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        for (std::uint32_t f = 0; f < subMesh.faceCount; ++f) {
            const MeshFace& face = subMesh.faces[f];
            if ((face.flags & faceMask) != 0) continue;
            Vector3 point;
            const int side = SegmentHitsFace(face, subMesh.positions, start, reach, point);
            if (side == 0) continue;
            reach = point;
            hit = SegmentHit{&subMesh, &face, point, side};
            found = 1;
        }
    }
    return found;
}

int SphereTouchesFace(const MeshFace& face, const Vector3& centre, float radius, const Vector3* positions) {
    if (face.cornerCount == 0 || face.cornerCount > kMaxFaceCorners) return 0;
    const float s = Vector3Dot(face.normal, centre) - face.distance;
    if (s < 0.0f && (face.flags & kFaceTwoSided) == 0) return 0;
    if (std::fabs(s) > radius + kFaceTolerance) return 0;
    Vector3 low = positions[face.corners[0]];
    Vector3 high = low;
    for (std::uint32_t c = 1; c < face.cornerCount; ++c) {
        const Vector3& p = positions[face.corners[c]];
        low = Vector3{std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = Vector3{std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
    }
    auto gap = [](float value, float lowest, float highest) {
        if (value < lowest) return lowest - value;
        if (value > highest) return value - highest;
        return 0.0f;
    };
    const float gx = gap(centre.x, low.x, high.x);
    const float gy = gap(centre.y, low.y, high.y);
    const float gz = gap(centre.z, low.z, high.z);
    return gx * gx + gy * gy + gz * gz <= radius * radius ? 1 : 0;
}
