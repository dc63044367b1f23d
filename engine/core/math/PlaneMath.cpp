// Plane operations.
#include "engine/core/math/PlaneMath.h"

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"

void PlaneFromVectors(const Vector3& a, const Vector3& b, Plane& out) {
    Vector3 normal;
    Vector3Cross(a, b, normal);
    Vector3Normalized(normal, normal);
    out = {normal.x, normal.y, normal.z, Vector3Dot(normal, a)};
}

void PlaneFromPoints(const Vector3& a, const Vector3& b, const Vector3& c, Plane& out) {
    Vector3 ab, ac, normal;
    Vector3Sub(b, a, ab);
    Vector3Sub(c, a, ac);
    Vector3Cross(ab, ac, normal);
    Vector3Normalized(normal, normal);
    out = {normal.x, normal.y, normal.z, Vector3Dot(normal, b)};
}

void PlaneSetTransform(PlaneSet& planes, const Matrix34& m) {
    int count = planes.count;
    if (count < 0) count = 0;
    if (count > kPlaneSetCapacity) count = kPlaneSetCapacity;
    for (int i = 0; i < count; ++i) {
        Plane& plane = planes.planes[i];
        Vector3 normal{plane.nx, plane.ny, plane.nz};
        Vector3 point;
        Vector3Scale(normal, plane.d, point);
        Matrix34TransformVector(m, normal, normal);
        Vector3Normalize(normal);
        Matrix34TransformPoint(m, point, point);
        plane = {normal.x, normal.y, normal.z, Vector3Dot(normal, point)};
    }
}
