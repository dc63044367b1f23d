// Vector operations and the scalar helpers (sine and cosine, rounding, absolute value). All
// arithmetic is 32-bit float; sin, cos, sqrt, floor and ceil are evaluated in double and
// converted to float. Results go to a record the caller supplies, which may be an operand.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"

void Vector3AddInPlace(Vector3& a, const Vector3& b);
void Vector3Add(const Vector3& a, const Vector3& b, Vector3& out);
void Vector3Sub(const Vector3& a, const Vector3& b, Vector3& out);
void Vector3Scale(const Vector3& a, float s, Vector3& out);
void Vector3Cross(const Vector3& a, const Vector3& b, Vector3& out);
float Vector3Dot(const Vector3& a, const Vector3& b);
float Vector3LengthSquared(const Vector3& a);
float Vector3Length(const Vector3& a);
// Vectors whose squared length is at most 1e-12 have no direction: Normalize leaves them,
// NormalizeLength leaves them and gives 0, Normalized gives (0, 0, 0).
void Vector3Normalize(Vector3& a);
float Vector3NormalizeLength(Vector3& a);
void Vector3Normalized(const Vector3& a, Vector3& out);

float Vector2Length(const Vector2& a);
bool Vector2Equal(const Vector2& a, const Vector2& b);
// Counter-clockwise by `angle` radians, in place.
void Vector2Rotate(Vector2& a, float angle);

void SinCos(float angle, float& sine, float& cosine);

// Halves round away from zero: 2.5 gives 3, -2.5 gives -3.
float RoundHalfAway(float x);
std::int32_t RoundHalfAwayToInt(float x);
// NaN passes through unchanged.
float FloatAbs(float x);
