// Quaternion operations: construction from axis and angle or Euler angles, products,
// conversion to and from matrices, and interpolation. Results may be written over operands.
#pragma once

#include "engine/core/math/MathTypes.h"

// (axis * sin(angle/2), cos(angle/2)); the axis is taken as given, not normalised.
void QuaternionFromAxisAngle(const Vector3& axis, float angle, Quaternion& out);
// The rotation Rz * Ry * Rx of Matrix34FromEuler.
void QuaternionFromEuler(const Vector3& angles, Quaternion& out);
// The Hamilton product a*b.
void QuaternionMultiply(const Quaternion& a, const Quaternion& b, Quaternion& out);
// Zero translation.
void QuaternionToMatrix34(const Quaternion& q, Matrix34& out);
// The rotation part of a matrix.
void QuaternionFromMatrix34(const Matrix34& m, Quaternion& out);
// v in place = QuaternionToMatrix34(q) applied to v.
void QuaternionRotateVector(Vector3& v, const Quaternion& q);
// t is clamped to 0..1 and b taken on a's side of the sphere; the result is not renormalised.
void QuaternionLerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out);
void QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out);
