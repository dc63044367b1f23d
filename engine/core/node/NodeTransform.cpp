// The node transform's builders, its inverse and its saved form.
#include "engine/core/node/NodeTransform.h"

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/StreamFields.h"

namespace {

Matrix34 Translation(const Vector3& t) { return {{{1, 0, 0, t.x}, {0, 1, 0, t.y}, {0, 0, 1, t.z}}}; }

float Reciprocal(float value) { return value != 0.0f ? 1.0f / value : 0.0f; }

}  // namespace

void ResetTransform(NodeTransform& transform) {
    transform.flags &= ~(kTransformDirty | kTransformGiven);
    transform.pivot = {0, 0, 0};
    transform.position = {0, 0, 0};
    transform.rotation = kIdentityQuaternion;
    transform.scale = {1, 1, 1};
    transform.local = kIdentityMatrix34;
    transform.inverseLocal = kIdentityMatrix34;
}

void Matrix34FromPose(const Vector3& position, const Quaternion& rotation, const Vector3& scale, Matrix34& out) {
    QuaternionToMatrix34(rotation, out);
    const float s[3] = {scale.x, scale.y, scale.z};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out.m[i][j] *= s[j];
    out.m[0][3] = position.x;
    out.m[1][3] = position.y;
    out.m[2][3] = position.z;
}

void BuildTransformFromRotation(NodeTransform& transform) {
    Matrix34FromPose(transform.position, transform.rotation, Vector3{1, 1, 1}, transform.local);
    Matrix34InverseRigid(transform.local, transform.inverseLocal);
    transform.flags &= ~kTransformDirty;
}

void BuildTransformDefault(NodeTransform& transform) {
    const Vector3 negatedPivot{-transform.pivot.x, -transform.pivot.y, -transform.pivot.z};
    Matrix34 scaled;
    Matrix34FromPose(transform.position, transform.rotation, transform.scale, scaled);
    Matrix34Multiply(scaled, Translation(negatedPivot), transform.local);

    // The inverse is built from its factors, T(pivot) x S(1/scale) x R^T x T(-position), so a
    // scaled node gets its true inverse rather than the rigid one.
    Matrix34 rotation;
    QuaternionToMatrix34(transform.rotation, rotation);
    Matrix34 inverseRotation;
    Matrix34InverseRigid(rotation, inverseRotation);
    const float s[3] = {Reciprocal(transform.scale.x), Reciprocal(transform.scale.y), Reciprocal(transform.scale.z)};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) inverseRotation.m[i][j] *= s[i];
    const Vector3 negatedPosition{-transform.position.x, -transform.position.y, -transform.position.z};
    Matrix34 inverse;
    Matrix34Multiply(inverseRotation, Translation(negatedPosition), inverse);
    Matrix34Multiply(Translation(transform.pivot), inverse, transform.inverseLocal);
    transform.flags &= ~kTransformDirty;
}

void BuildTransform(NodeTransform& transform) {
    if ((transform.flags & kTransformRotationOnly) != 0) {
        BuildTransformFromRotation(transform);
    } else {
        BuildTransformDefault(transform);
    }
}

void UpdateTransform(NodeTransform& transform) {
    if ((transform.flags & kTransformDirty) != 0) BuildTransform(transform);
}

void Matrix34InverseAffine(const Matrix34& m, Matrix34& out) {
    const float determinant = Matrix34Determinant(m);
    if (determinant == 0.0f) {
        Matrix34InverseRigid(m, out);
        return;
    }
    const float (&a)[3][4] = m.m;
    const float f = 1.0f / determinant;
    Matrix34 result;
    result.m[0][0] = (a[1][1] * a[2][2] - a[1][2] * a[2][1]) * f;
    result.m[0][1] = (a[0][2] * a[2][1] - a[0][1] * a[2][2]) * f;
    result.m[0][2] = (a[0][1] * a[1][2] - a[0][2] * a[1][1]) * f;
    result.m[1][0] = (a[1][2] * a[2][0] - a[1][0] * a[2][2]) * f;
    result.m[1][1] = (a[0][0] * a[2][2] - a[0][2] * a[2][0]) * f;
    result.m[1][2] = (a[0][2] * a[1][0] - a[0][0] * a[1][2]) * f;
    result.m[2][0] = (a[1][0] * a[2][1] - a[1][1] * a[2][0]) * f;
    result.m[2][1] = (a[0][1] * a[2][0] - a[0][0] * a[2][1]) * f;
    result.m[2][2] = (a[0][0] * a[1][1] - a[0][1] * a[1][0]) * f;
    for (int i = 0; i < 3; ++i)
        result.m[i][3] = -(result.m[i][0] * a[0][3] + result.m[i][1] * a[1][3] + result.m[i][2] * a[2][3]);
    out = result;
}

int SaveTransform(NodeTransform& transform, FileStream& stream) {
    UpdateTransform(transform);
    DWORD words[14];
    std::size_t at = PutVector3(words, 0, transform.pivot);
    at = PutVector3(words, at, transform.scale);
    words[at++] = FloatBits(transform.rotation.x);
    words[at++] = FloatBits(transform.rotation.y);
    words[at++] = FloatBits(transform.rotation.z);
    words[at++] = FloatBits(transform.rotation.w);
    at = PutVector3(words, at, transform.position);
    words[at++] = transform.flags;
    return WriteWords(stream, words, at) ? 0 : 1;
}

int LoadTransform(NodeTransform& transform, FileStream& stream) {
    DWORD words[14];
    if (!ReadWords(stream, words, 14)) return 1;
    std::size_t at = GetVector3(words, 0, transform.pivot);
    at = GetVector3(words, at, transform.scale);
    transform.rotation = {BitsFloat(words[at]), BitsFloat(words[at + 1]), BitsFloat(words[at + 2]),
                          BitsFloat(words[at + 3])};
    at = GetVector3(words, at + 4, transform.position);
    transform.flags = words[at];
    BuildTransform(transform);
    return 0;
}
