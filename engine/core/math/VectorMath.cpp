// Vector operations and scalar helpers.
#include "engine/core/math/VectorMath.h"

#include <cmath>

namespace {
constexpr float kNoDirection = 1e-12f;
}

void Vector3AddInPlace(Vector3& a, const Vector3& b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
}

void Vector3Add(const Vector3& a, const Vector3& b, Vector3& out) { out = {a.x + b.x, a.y + b.y, a.z + b.z}; }

void Vector3Sub(const Vector3& a, const Vector3& b, Vector3& out) { out = {a.x - b.x, a.y - b.y, a.z - b.z}; }

void Vector3Scale(const Vector3& a, float s, Vector3& out) { out = {a.x * s, a.y * s, a.z * s}; }

void Vector3Cross(const Vector3& a, const Vector3& b, Vector3& out) {
    out = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Vector3Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float Vector3LengthSquared(const Vector3& a) { return a.x * a.x + a.y * a.y + a.z * a.z; }

float Vector3Length(const Vector3& a) { return static_cast<float>(std::sqrt(double{Vector3LengthSquared(a)})); }

void Vector3Normalize(Vector3& a) { Vector3NormalizeLength(a); }

float Vector3NormalizeLength(Vector3& a) {
    const float squared = Vector3LengthSquared(a);
    if (!(squared > kNoDirection)) return 0.0f;
    const float length = static_cast<float>(std::sqrt(double{squared}));
    const float inverse = 1.0f / length;
    a = {a.x * inverse, a.y * inverse, a.z * inverse};
    return length;
}

void Vector3Normalized(const Vector3& a, Vector3& out) {
    Vector3 copy = a;
    if (Vector3NormalizeLength(copy) == 0.0f) copy = {0.0f, 0.0f, 0.0f};
    out = copy;
}

float Vector2Length(const Vector2& a) { return static_cast<float>(std::sqrt(double{a.x * a.x + a.y * a.y})); }

bool Vector2Equal(const Vector2& a, const Vector2& b) { return a.x == b.x && a.y == b.y; }

void Vector2Rotate(Vector2& a, float angle) {
    float sine = 0.0f;
    float cosine = 0.0f;
    SinCos(angle, sine, cosine);
    a = {a.x * cosine - a.y * sine, a.x * sine + a.y * cosine};
}

void SinCos(float angle, float& sine, float& cosine) {
    sine = static_cast<float>(std::sin(double{angle}));
    cosine = static_cast<float>(std::cos(double{angle}));
}

float RoundHalfAway(float x) {
    if (x >= 0.0f) return static_cast<float>(std::floor(double{x + 0.5f}));
    return static_cast<float>(std::ceil(double{x - 0.5f}));
}

std::int32_t RoundHalfAwayToInt(float x) {
    // Out of range (and NaN) the conversion would be undefined: those saturate (NaN gives 0).
    const float shifted = x >= 0.0f ? x + 0.5f : x - 0.5f;
    if (std::isnan(shifted)) return 0;
    if (shifted >= 2147483648.0f) return INT32_MAX;
    if (shifted <= -2147483648.0f) return INT32_MIN;
    return static_cast<std::int32_t>(shifted);
}

float FloatAbs(float x) { return std::isnan(x) ? x : std::fabs(x); }
