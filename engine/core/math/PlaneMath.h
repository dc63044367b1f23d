// Planes from vectors or points, and moving a view's plane set by a matrix.
#pragma once

#include "engine/core/math/MathTypes.h"

// n = normalised(a x b), d = n.a.
void PlaneFromVectors(const Vector3& a, const Vector3& b, Plane& out);
// n = normalised((b - a) x (c - a)), d = n.b.
void PlaneFromPoints(const Vector3& a, const Vector3& b, const Vector3& c, Plane& out);
// Each plane in use (count held to 0..kPlaneSetCapacity) is moved by m: its point n*d is
// transformed, its normal rotated and renormalised, and d recomputed.
void PlaneSetTransform(PlaneSet& planes, const Matrix34& m);
