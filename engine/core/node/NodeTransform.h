// NodeTransform: the transform block of every scene node (pivot, scale, rotation, position,
// transform flags, the local matrix and its inverse), its two matrix builders and its saved
// form of 56 bytes.
#pragma once

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class FileStream;

// Transform flags.
constexpr DWORD kTransformDirty = 0x1;            // the matrices must be rebuilt
constexpr DWORD kTransformRotationOnly = 0x2;     // local = T(position) x R(rotation)
constexpr DWORD kTransformGiven = 0x4;            // set with the dirty bit when a transform was given
constexpr DWORD kTransformPositionChanged = kTransformDirty | kTransformGiven;

constexpr DWORD kTransformSavedSize = 56;

struct NodeTransform {
    Vector3 pivot{0, 0, 0};
    Vector3 scale{1, 1, 1};
    Quaternion rotation = kIdentityQuaternion;
    Vector3 position{0, 0, 0};
    DWORD flags = 0;
    Matrix34 local = kIdentityMatrix34;
    Matrix34 inverseLocal = kIdentityMatrix34;
};

// Clears the dirty and given bits; pivot and position 0, rotation identity, scale 1, both
// matrices identity. The builder bit stays.
void ResetTransform(NodeTransform& transform);
// local = T(position) x R(rotation) and its inverse; clears the dirty bit.
void BuildTransformFromRotation(NodeTransform& transform);
// local = T(position) x R(rotation) x S(scale) x T(-pivot) and its inverse; clears the dirty
// bit. A scale component of 0 has no inverse: that axis is dropped from the inverse.
void BuildTransformDefault(NodeTransform& transform);
// The builder the rotation-only bit selects.
void BuildTransform(NodeTransform& transform);
// BuildTransform when the dirty bit is set.
void UpdateTransform(NodeTransform& transform);

// The inverse of an affine matrix; a singular linear part gives the rigid inverse of it.
void Matrix34InverseAffine(const Matrix34& m, Matrix34& out);
// T(position) x R(rotation) x S(scale).
void Matrix34FromPose(const Vector3& position, const Quaternion& rotation, const Vector3& scale, Matrix34& out);

// Rebuilds first when dirty, then writes the 56 bytes (pivot, scale, rotation x y z w,
// position, flags). 0 on success, 1 when the stream took less.
int SaveTransform(NodeTransform& transform, FileStream& stream);
// Reads the 56 bytes and rebuilds with the builder the read flags select. 0 on success; 1
// on a short read, which leaves the transform as it was.
int LoadTransform(NodeTransform& transform, FileStream& stream);
