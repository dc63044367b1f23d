// Quaternion operations.
#include "engine/core/math/QuaternionMath.h"

#include <cmath>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"

namespace {

float Clamp01(float t) {
    if (t < 0.0f) return 0.0f;
    if (t > 1.0f) return 1.0f;
    return t;
}

float Dot4(const Quaternion& a, const Quaternion& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

float Sqrt(float value) { return static_cast<float>(std::sqrt(double{value})); }

}  // namespace

void QuaternionFromAxisAngle(const Vector3& axis, float angle, Quaternion& out) {
    float sine, cosine;
    SinCos(angle * 0.5f, sine, cosine);
    out = {axis.x * sine, axis.y * sine, axis.z * sine, cosine};
}

void QuaternionFromEuler(const Vector3& angles, Quaternion& out) {
    float sx, cx, sy, cy, sz, cz;
    SinCos(angles.x * 0.5f, sx, cx);
    SinCos(angles.y * 0.5f, sy, cy);
    SinCos(angles.z * 0.5f, sz, cz);
    out = {sx * cy * cz - cx * sy * sz, cx * sy * cz + sx * cy * sz, cx * cy * sz - sx * sy * cz,
           cx * cy * cz + sx * sy * sz};
}

void QuaternionMultiply(const Quaternion& a, const Quaternion& b, Quaternion& out) {
    out = {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z,
           a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

void QuaternionToMatrix34(const Quaternion& q, Matrix34& out) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    out = {{{1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y - w * z), 2.0f * (x * z + w * y), 0.0f},
            {2.0f * (x * y + w * z), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z - w * x), 0.0f},
            {2.0f * (x * z - w * y), 2.0f * (y * z + w * x), 1.0f - 2.0f * (x * x + y * y), 0.0f}}};
}

void QuaternionFromMatrix34(const Matrix34& m, Quaternion& out) {
    // The largest of w, x, y, z is found from the diagonal first, so the one square root
    // is never taken of a small number.
    const float m00 = m.m[0][0], m11 = m.m[1][1], m22 = m.m[2][2];
    const float trace = m00 + m11 + m22;
    Quaternion q;
    if (trace > 0.0f) {
        const float s = Sqrt(trace + 1.0f) * 2.0f;  // 4w
        q = {(m.m[2][1] - m.m[1][2]) / s, (m.m[0][2] - m.m[2][0]) / s, (m.m[1][0] - m.m[0][1]) / s, 0.25f * s};
    } else if (m00 > m11 && m00 > m22) {
        const float s = Sqrt(1.0f + m00 - m11 - m22) * 2.0f;  // 4x
        q = {0.25f * s, (m.m[0][1] + m.m[1][0]) / s, (m.m[0][2] + m.m[2][0]) / s, (m.m[2][1] - m.m[1][2]) / s};
    } else if (m11 > m22) {
        const float s = Sqrt(1.0f + m11 - m00 - m22) * 2.0f;  // 4y
        q = {(m.m[0][1] + m.m[1][0]) / s, 0.25f * s, (m.m[1][2] + m.m[2][1]) / s, (m.m[0][2] - m.m[2][0]) / s};
    } else {
        const float s = Sqrt(1.0f + m22 - m00 - m11) * 2.0f;  // 4z
        q = {(m.m[0][2] + m.m[2][0]) / s, (m.m[1][2] + m.m[2][1]) / s, 0.25f * s, (m.m[1][0] - m.m[0][1]) / s};
    }
    out = q;
}

void QuaternionRotateVector(Vector3& v, const Quaternion& q) {
    Matrix34 rotation;
    QuaternionToMatrix34(q, rotation);
    Matrix34TransformVector(rotation, v, v);
}

void QuaternionLerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out) {
    t = Clamp01(t);
    Quaternion other = b;
    if (Dot4(a, b) < 0.0f) other = {-b.x, -b.y, -b.z, -b.w};
    const float keep = 1.0f - t;
    out = {a.x * keep + other.x * t, a.y * keep + other.y * t, a.z * keep + other.z * t, a.w * keep + other.w * t};
}

void QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out) {
    t = Clamp01(t);
    Quaternion other = b;
    float cosine = Dot4(a, b);
    if (cosine < 0.0f) {
        other = {-b.x, -b.y, -b.z, -b.w};
        cosine = -cosine;
    }
    float weightA = 1.0f - t;
    float weightB = t;
    if (1.0f - cosine > 0.0001f) {
        const float angle = static_cast<float>(std::acos(double{cosine}));
        const float sine = static_cast<float>(std::sin(double{angle}));
        weightA = static_cast<float>(std::sin(double{(1.0f - t) * angle})) / sine;
        weightB = static_cast<float>(std::sin(double{t * angle})) / sine;
    }
    out = {a.x * weightA + other.x * weightB, a.y * weightA + other.y * weightB, a.z * weightA + other.z * weightB,
           a.w * weightA + other.w * weightB};
}
