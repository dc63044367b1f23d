// Plane-set culling.
#include "engine/resources/collision/Culling.h"

#include "engine/core/math/VectorMath.h"

namespace {

int UsedPlanes(const PlaneSet& planes) {
    if (planes.count < 0) return 0;
    return planes.count > kPlaneSetCapacity ? kPlaneSetCapacity : planes.count;
}

float Side(const Plane& plane, const Vector3& p) { return plane.nx * p.x + plane.ny * p.y + plane.nz * p.z - plane.d; }

}  // namespace

int BoxOutsidePlaneSet(const PlaneSet& planes, const AxisBox& box) {
    const int count = UsedPlanes(planes);
    const Vector3 half{(box.max.x - box.min.x) * 0.5f, (box.max.y - box.min.y) * 0.5f, (box.max.z - box.min.z) * 0.5f};
    const Vector3 centre{box.min.x + half.x, box.min.y + half.y, box.min.z + half.z};
    const float reach = Vector3Length(half);
    // The box's sphere first: most boxes far outside end here.
    for (int i = 0; i < count; ++i)
        if (Side(planes.planes[i], centre) < -reach) return 1;
    for (int i = 0; i < count; ++i) {
        const Plane& plane = planes.planes[i];
        const Vector3 farthest{plane.nx > 0 ? box.max.x : box.min.x, plane.ny > 0 ? box.max.y : box.min.y,
                               plane.nz > 0 ? box.max.z : box.min.z};
        if (Side(plane, farthest) < 0) return 1;
    }
    return 0;
}

int SphereOutsidePlaneSet(const PlaneSet& planes, const Vector3& centre, float radius) {
    const int count = UsedPlanes(planes);
    for (int i = 0; i < count; ++i)
        if (Side(planes.planes[i], centre) <= -radius) return 1;
    return 0;
}

int FaceOutsidePlaneSet(const PlaneSet& planes, const MeshFace& face, const Vector3* positions) {
    const int count = UsedPlanes(planes);
    const std::uint32_t corners = face.cornerCount < kMaxFaceCorners ? face.cornerCount : kMaxFaceCorners;
    for (int i = 0; i < count; ++i) {
        bool allOutside = true;
        for (std::uint32_t c = 0; c < corners && allOutside; ++c)
            allOutside = Side(planes.planes[i], positions[face.corners[c]]) <= 0;
        if (allOutside) return 1;
    }
    return 0;
}
