// Operations on 3x4 affine matrices.
#include "engine/core/math/MatrixMath.h"

#include "engine/core/math/VectorMath.h"

void Matrix34Multiply(const Matrix34& a, const Matrix34& b, Matrix34& out) {
    Matrix34 result;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
            if (j == 3) sum += a.m[i][3];
            result.m[i][j] = sum;
        }
    }
    out = result;
}

void Matrix34MultiplyRotation(const Matrix34& a, const Matrix34& b, Matrix34& out) {
    float rotation[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            rotation[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out.m[i][j] = rotation[i][j];
}

void Matrix34TransformPoint(const Matrix34& m, const Vector3& p, Vector3& out) {
    out = {m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2] * p.z + m.m[0][3],
           m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2] * p.z + m.m[1][3],
           m.m[2][0] * p.x + m.m[2][1] * p.y + m.m[2][2] * p.z + m.m[2][3]};
}

void Matrix34TransformVector(const Matrix34& m, const Vector3& v, Vector3& out) {
    out = {m.m[0][0] * v.x + m.m[0][1] * v.y + m.m[0][2] * v.z,
           m.m[1][0] * v.x + m.m[1][1] * v.y + m.m[1][2] * v.z,
           m.m[2][0] * v.x + m.m[2][1] * v.y + m.m[2][2] * v.z};
}

void Matrix34InverseRigid(const Matrix34& m, Matrix34& out) {
    Matrix34 result;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) result.m[i][j] = m.m[j][i];
    for (int i = 0; i < 3; ++i)
        result.m[i][3] = -(result.m[i][0] * m.m[0][3] + result.m[i][1] * m.m[1][3] + result.m[i][2] * m.m[2][3]);
    out = result;
}

void Matrix34FromEuler(const Vector3& angles, Matrix34& out) {
    float sx, cx, sy, cy, sz, cz;
    SinCos(angles.x, sx, cx);
    SinCos(angles.y, sy, cy);
    SinCos(angles.z, sz, cz);
    out = {{{cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx, 0.0f},
            {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx, 0.0f},
            {-sy, cy * sx, cy * cx, 0.0f}}};
}

void Matrix34FromDirection(Matrix34& out, const Vector3& direction) {
    Vector3 side;
    Vector3Cross(kWorldUp, direction, side);
    Vector3Normalized(side, side);
    Vector3 forward;
    Vector3Cross(kWorldUp, side, forward);
    out = {{{side.x, forward.x, kWorldUp.x, 0.0f},
            {side.y, forward.y, kWorldUp.y, 0.0f},
            {side.z, forward.z, kWorldUp.z, 0.0f}}};
}

float Matrix34Determinant(const Matrix34& m) {
    return m.m[0][0] * (m.m[1][1] * m.m[2][2] - m.m[1][2] * m.m[2][1]) -
           m.m[0][1] * (m.m[1][0] * m.m[2][2] - m.m[1][2] * m.m[2][0]) +
           m.m[0][2] * (m.m[1][0] * m.m[2][1] - m.m[1][1] * m.m[2][0]);
}

void TransformBounds(const Matrix34& m, const AxisBox& box, AxisBox& out) {
    const float low[3] = {box.min.x, box.min.y, box.min.z};
    const float high[3] = {box.max.x, box.max.y, box.max.z};
    float outLow[3];
    float outHigh[3];
    for (int i = 0; i < 3; ++i) {
        outLow[i] = outHigh[i] = m.m[i][3];
        for (int j = 0; j < 3; ++j) {
            const float a = m.m[i][j] * low[j];
            const float b = m.m[i][j] * high[j];
            outLow[i] += a < b ? a : b;
            outHigh[i] += a < b ? b : a;
        }
    }
    out = {{outLow[0], outLow[1], outLow[2]}, {outHigh[0], outHigh[1], outHigh[2]}};
}
