// The camera node: its view direction, view matrix and culling planes.
#include "engine/resources/scene/Camera.h"

#include <cmath>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/PlaneMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/math/VectorMath.h"

namespace {

CullingPlaneSet cullingPlanes;

}  // namespace

CullingPlaneSet& CullingPlanes() { return cullingPlanes; }

Camera::Camera() { Transform().flags |= kTransformRotationOnly; }

KNode* Camera::CreateInstance(void*) { return new Camera(); }

const char* Camera::GetClassId() const { return "libkel/Camera"; }

Interface* CreateCamera() { return new Camera(); }

void Camera::GetViewDirection(Vector3& out) {
    const Vector3& pivot = Transform().pivot;
    Matrix34 m{{{1, 0, 0, -pivot.x}, {0, 1, 0, -pivot.y}, {0, 0, 1, -pivot.z}}};
    if (Parent() != nullptr && (Flags() & kNodeInheritTransform) != 0) {
        Matrix34 parentWorld;
        Parent()->GetWorldMatrix(parentWorld);
        Matrix34Multiply(parentWorld, m, m);
    }
    Matrix34 rotation;
    QuaternionToMatrix34(Transform().rotation, rotation);
    Matrix34MultiplyRotation(m, rotation, m);
    const Vector3 axis{m.m[0][2], m.m[1][2], m.m[2][2]};
    Vector3Normalized(axis, out);
}

float Camera::SetFov(float fieldOfView) {
    const float halfHeight =
        static_cast<float>(std::tan(double{fieldOfView} * 0.5)) * Aspect();
    Transform().scale.y = halfHeight;
    return halfHeight;
}

void Camera::GetVolumeTransform(Matrix34& out) const {
    const NodeTransform& transform = Transform();
    const Vector3 extent{FarDistance() != 0.0f ? HalfHeight() / FarDistance() : 0.0f, HalfHeight(), Aspect()};
    Matrix34FromPose(transform.position, transform.rotation, extent, out);
}

void Camera::GetViewMatrix(Matrix34& out) { GetInverseWorldMatrix(out); }

CullingPlaneSet& Camera::BuildFrustumPlanes() {
    CullingPlaneSet& set = cullingPlanes;
    set.flags |= kCullingPlanesValid;
    set.planes.count = 0;
    const float d = FarDistance();
    const float h = HalfHeight();
    const float w = h / Aspect();
    const Vector3 eye{0, 0, 0};
    auto add = [&](const Vector3& a, const Vector3& b, const Vector3& c) {
        PlaneFromPoints(a, b, c, set.planes.planes[set.planes.count]);
        ++set.planes.count;
    };
    // The order of the points fixes the side each normal points to: into the view.
    add(eye, {-1, -1, 0}, {1, -1, 0});
    add({0, 0, d}, {1, -1, d}, {-1, -1, d});
    add(eye, {w, -1, d}, {w, 1, d});
    add(eye, {-h, -h, d}, {h, -h, d});
    add(eye, {-w, 1, d}, {-w, -1, d});
    add(eye, {h, h, d}, {-h, h, d});
    Matrix34 world;
    GetWorldMatrix(world);
    PlaneSetTransform(set.planes, world);
    return set;
}
