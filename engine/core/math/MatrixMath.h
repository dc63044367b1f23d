// Operations on 3x4 affine matrices and axis-aligned boxes. Every result may be written
// over an operand.
#pragma once

#include "engine/core/math/MathTypes.h"

// out applied to p equals a applied to (b applied to p).
void Matrix34Multiply(const Matrix34& a, const Matrix34& b, Matrix34& out);
// The 3x3 product only; out's translation column keeps its values.
void Matrix34MultiplyRotation(const Matrix34& a, const Matrix34& b, Matrix34& out);
void Matrix34TransformPoint(const Matrix34& m, const Vector3& p, Vector3& out);
// The 3x3 part only.
void Matrix34TransformVector(const Matrix34& m, const Vector3& v, Vector3& out);
// The inverse of a rotation with translation: transposed rotation, translation -(R^T t).
void Matrix34InverseRigid(const Matrix34& m, Matrix34& out);
// Rz(z) * Ry(y) * Rx(x), angles in radians; zero translation.
void Matrix34FromEuler(const Vector3& angles, Matrix34& out);
// Columns side = normalised(up x direction), up x side and up, with up = (0, 0, 1); zero
// translation.
void Matrix34FromDirection(Matrix34& out, const Vector3& direction);
float Matrix34Determinant(const Matrix34& m);
// The axis-aligned box that encloses the transformed box.
void TransformBounds(const Matrix34& m, const AxisBox& box, AxisBox& out);
