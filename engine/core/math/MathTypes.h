// The engine's single-precision math records: vectors, 3x4 affine matrices, quaternions,
// colours, planes and boxes. Plain records; the operations live in the *Math headers.
#pragma once

#include <cstdint>

struct Vector2 {
    float x, y;
};

struct Vector3 {
    float x, y, z;
};

// Row i is (m[i][0], m[i][1], m[i][2], t[i]) with the translation t[i] kept in m[i][3]; a point
// is transformed as M*p with column vectors, the implied fourth row being (0, 0, 0, 1).
struct Matrix34 {
    float m[3][4];
};

// The rotation part is (x, y, z); identity (0, 0, 0, 1).
struct Quaternion {
    float x, y, z, w;
};

// Channels in 0..1; packed form 0xAARRGGBB.
struct Color {
    float r, g, b, a;
};

// Unit normal and distance: p lies on the plane when n.p = d.
struct Plane {
    float nx, ny, nz, d;
};

// A view's culling planes: the first `count` entries are in use.
constexpr int kPlaneSetCapacity = 6;
struct PlaneSet {
    std::int32_t count;
    Plane planes[kPlaneSetCapacity];
};

struct AxisBox {
    Vector3 min, max;
};

constexpr Vector3 kWorldUp{0.0f, 0.0f, 1.0f};
constexpr Matrix34 kIdentityMatrix34{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
constexpr Quaternion kIdentityQuaternion{0, 0, 0, 1};
