// The 3D math: the edge cases of each operation, then properties checked over seeded random
// angles (Euler matrices against quaternions, products against chained transforms, rigid
// inverses, interpolation end points, planes carried along with their points).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/core/math/ColorMath.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/PlaneMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/math/VectorMath.h"

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectNear(const Vector3& a, const Vector3& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

void ExpectNear(const Matrix34& a, const Matrix34& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << i << "," << j;
}

// The same quaternion rotation: q and -q are equal as rotations.
void ExpectSameRotation(const Quaternion& a, const Quaternion& b, float tolerance = 1e-5f) {
    const float sign = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w < 0 ? -1.0f : 1.0f;
    EXPECT_NEAR(a.x, sign * b.x, tolerance);
    EXPECT_NEAR(a.y, sign * b.y, tolerance);
    EXPECT_NEAR(a.z, sign * b.z, tolerance);
    EXPECT_NEAR(a.w, sign * b.w, tolerance);
}

// The engine's generator, so that every run checks the same angles.
class Angles {
public:
    float Next() {
        seed_ = seed_ * 1664525u + 1013904223u;
        return (static_cast<float>(seed_ >> 5) / static_cast<float>(1u << 27) - 0.5f) * 4.0f * kPi;
    }
    Vector3 NextVector() {
        const float x = Next();
        const float y = Next();
        return {x, y, Next()};
    }

private:
    std::uint32_t seed_ = 0x38549391u;
};

TEST(MathTest, VectorEdgeCases) {
    Vector3 tiny{1e-7f, 0, 0};
    Vector3Normalize(tiny);
    EXPECT_EQ(tiny.x, 1e-7f);
    Vector3 small{1e-5f, 0, 0};
    Vector3Normalize(small);
    EXPECT_FLOAT_EQ(small.x, 1.0f);
    Vector3 zero{0, 0, 0};
    Vector3 out{5, 5, 5};
    Vector3Normalized(zero, out);
    ExpectNear(out, {0, 0, 0}, 0);
    EXPECT_EQ(Vector3NormalizeLength(zero), 0.0f);
    Vector3 v{3, 0, 4};
    EXPECT_FLOAT_EQ(Vector3NormalizeLength(v), 5.0f);
    ExpectNear(v, {0.6f, 0, 0.8f});
    Vector3 c;
    Vector3Cross({1, 0, 0}, {0, 1, 0}, c);
    ExpectNear(c, {0, 0, 1}, 0);
    Vector2 p{1, 0};
    Vector2Rotate(p, kPi / 2);
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 1, 1e-6);
    EXPECT_TRUE(Vector2Equal({1, 2}, {1, 2}));
    EXPECT_FALSE(Vector2Equal({1, 2}, {1, 2.0001f}));
    EXPECT_FLOAT_EQ(Vector2Length({3, 4}), 5.0f);
}

TEST(MathTest, RoundingAndAbsoluteValues) {
    EXPECT_EQ(RoundHalfAwayToInt(-2.5f), -3);
    EXPECT_EQ(RoundHalfAwayToInt(2.49f), 2);
    EXPECT_EQ(RoundHalfAwayToInt(2.5f), 3);
    EXPECT_EQ(RoundHalfAway(2.5f), 3.0f);
    EXPECT_EQ(RoundHalfAway(-2.5f), -3.0f);
    EXPECT_EQ(RoundHalfAway(-0.4f), 0.0f);
    // Beyond 32 bits the conversion saturates instead of being undefined.
    EXPECT_EQ(RoundHalfAwayToInt(1e20f), INT32_MAX);
    EXPECT_EQ(RoundHalfAwayToInt(-1e20f), INT32_MIN);
    EXPECT_EQ(RoundHalfAwayToInt(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(FloatAbs(-1.5f), 1.5f);
    EXPECT_TRUE(std::isnan(FloatAbs(std::numeric_limits<float>::quiet_NaN())));
}

TEST(MathTest, MatrixEdgeCases) {
    Matrix34 m;
    Matrix34FromEuler({kPi / 2, 0, 0}, m);
    Vector3 p;
    Matrix34TransformPoint(m, {0, 1, 0}, p);
    ExpectNear(p, {0, 0, 1});
    // 45 degrees about z: the unit box reaches +-sqrt(2) in x and y.
    Matrix34FromEuler({0, 0, kPi / 4}, m);
    AxisBox box;
    TransformBounds(m, {{-1, -1, -1}, {1, 1, 1}}, box);
    ExpectNear(box.min, {-std::sqrt(2.0f), -std::sqrt(2.0f), -1});
    ExpectNear(box.max, {std::sqrt(2.0f), std::sqrt(2.0f), 1});
    // Looking along +x: side, forward and up columns.
    Matrix34FromDirection(m, {2, 0, 0});
    ExpectNear(m, {{{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}}});
    Matrix34 rotation = kIdentityMatrix34;
    rotation.m[0][3] = 7;
    Matrix34 product = kIdentityMatrix34;
    product.m[1][3] = 9;
    Matrix34MultiplyRotation(rotation, product, product);
    EXPECT_EQ(product.m[1][3], 9.0f);  // the translation column stays
    EXPECT_FLOAT_EQ(Matrix34Determinant(m), 1.0f);
}

TEST(MathTest, QuaternionAndColorEdgeCases) {
    const Quaternion q{0.2f, -0.4f, 0.1f, 0.8888194f};
    const Quaternion negated{-q.x, -q.y, -q.z, -q.w};
    Quaternion out;
    QuaternionSlerp(q, negated, 0.7f, out);
    ExpectSameRotation(out, q);
    EXPECT_GT(out.w, 0.0f);  // the first, not its negation
    const Quaternion b{0, 0, 0, 1};
    Quaternion atOne, beyond;
    QuaternionLerp(q, b, 1.0f, atOne);
    QuaternionLerp(q, b, 1.5f, beyond);
    EXPECT_EQ(atOne.w, beyond.w);
    EXPECT_EQ(atOne.x, beyond.x);
    Quaternion axis;
    QuaternionFromAxisAngle({0, 0, 2}, kPi, axis);  // the axis is not normalised
    EXPECT_NEAR(axis.z, 2.0f, 1e-6);

    Color color;
    ColorFromARGB(0x80FF0000u, color);
    EXPECT_FLOAT_EQ(color.r, 1.0f);
    EXPECT_EQ(color.g, 0.0f);
    EXPECT_NEAR(color.a, 0.50196f, 1e-5);
    EXPECT_EQ(ColorToARGB({1, 0.5f, 0, 1}), 0xFFFF7F00u);
    EXPECT_EQ(ColorToARGB(color), 0x80FF0000u);  // the round trip keeps the word
    EXPECT_EQ(ColorToARGB({2, -1, 0.5f, 1}), 0xFFFF007Fu);  // out of range is held to 0..255
    Color scaled;
    ColorScaleRGB({0.5f, 0.5f, 0.5f, 0.3f}, 3, scaled);
    EXPECT_EQ(scaled.r, 1.5f);
    EXPECT_EQ(scaled.a, 0.3f);
}

TEST(MathTest, EulerMatricesAndQuaternionsAgreeOnRandomAngles) {
    Angles angles;
    for (int i = 0; i < 200; ++i) {
        const Vector3 euler = angles.NextVector();
        Matrix34 fromEuler, fromQuaternion;
        Quaternion q, back;
        Matrix34FromEuler(euler, fromEuler);
        QuaternionFromEuler(euler, q);
        QuaternionToMatrix34(q, fromQuaternion);
        ExpectNear(fromEuler, fromQuaternion);
        QuaternionFromMatrix34(fromEuler, back);
        ExpectSameRotation(back, q);
        EXPECT_NEAR(Matrix34Determinant(fromEuler), 1.0f, 1e-5);
        // Composing rotations: matrix products and quaternion products agree.
        const Vector3 euler2 = angles.NextVector();
        Matrix34 m2, product, fromProduct;
        Quaternion q2, qProduct;
        Matrix34FromEuler(euler2, m2);
        QuaternionFromEuler(euler2, q2);
        Matrix34Multiply(fromEuler, m2, product);
        QuaternionMultiply(q, q2, qProduct);
        QuaternionToMatrix34(qProduct, fromProduct);
        ExpectNear(product, fromProduct, 2e-5f);
        Vector3 v{1, 2, 3}, rotated;
        Matrix34TransformVector(fromEuler, v, rotated);
        QuaternionRotateVector(v, q);
        ExpectNear(v, rotated, 2e-5f);
    }
}

TEST(MathTest, ProductsRigidInversesAndPlanesOnRandomTransforms) {
    Angles angles;
    for (int i = 0; i < 200; ++i) {
        Matrix34 a, b, product, inverse, identity;
        Matrix34FromEuler(angles.NextVector(), a);
        Matrix34FromEuler(angles.NextVector(), b);
        a.m[0][3] = angles.Next(), a.m[1][3] = angles.Next(), a.m[2][3] = angles.Next();
        b.m[0][3] = angles.Next(), b.m[1][3] = angles.Next(), b.m[2][3] = angles.Next();
        const Vector3 p = angles.NextVector();
        Vector3 chained, direct;
        Matrix34TransformPoint(b, p, chained);
        Matrix34TransformPoint(a, chained, chained);
        Matrix34Multiply(a, b, product);
        Matrix34TransformPoint(product, p, direct);
        ExpectNear(direct, chained, 1e-4f);
        Matrix34InverseRigid(a, inverse);
        Matrix34Multiply(inverse, a, identity);
        ExpectNear(identity, kIdentityMatrix34, 1e-5f);
        Matrix34Multiply(a, b, a);  // the result may be an operand
        ExpectNear(a, product, 0);

        // A plane through three points, moved by a matrix, still holds the moved points.
        const Vector3 p0 = angles.NextVector(), p1 = angles.NextVector(), p2 = angles.NextVector();
        PlaneSet set{1, {}};
        PlaneFromPoints(p0, p1, p2, set.planes[0]);
        PlaneSetTransform(set, product);
        Vector3 moved;
        for (const Vector3& point : {p0, p1, p2}) {
            Matrix34TransformPoint(product, point, moved);
            const Plane& plane = set.planes[0];
            EXPECT_NEAR(plane.nx * moved.x + plane.ny * moved.y + plane.nz * moved.z, plane.d, 1e-3f);
        }

        // Interpolation ends on its end points and stays on the unit sphere between them.
        Quaternion qa, qb, mid, end;
        QuaternionFromEuler(angles.NextVector(), qa);
        QuaternionFromEuler(angles.NextVector(), qb);
        QuaternionSlerp(qa, qb, 0.0f, end);
        ExpectSameRotation(end, qa);
        QuaternionSlerp(qa, qb, 1.0f, end);
        ExpectSameRotation(end, qb);
        QuaternionSlerp(qa, qb, 0.37f, mid);
        EXPECT_NEAR(mid.x * mid.x + mid.y * mid.y + mid.z * mid.z + mid.w * mid.w, 1.0f, 1e-5f);
    }
}

TEST(MathTest, PlanesFromVectors) {
    Plane plane;
    PlaneFromVectors({2, 0, 0}, {0, 3, 0}, plane);
    EXPECT_FLOAT_EQ(plane.nz, 1.0f);
    EXPECT_EQ(plane.d, 0.0f);
    PlaneFromPoints({0, 0, 5}, {1, 0, 5}, {0, 1, 5}, plane);
    EXPECT_FLOAT_EQ(plane.nz, 1.0f);
    EXPECT_FLOAT_EQ(plane.d, 5.0f);
    PlaneSet none{-3, {}};
    PlaneSetTransform(none, kIdentityMatrix34);  // a bad count touches nothing
    PlaneSet many{99, {}};
    many.planes[5] = {0, 0, 1, 2};
    PlaneSetTransform(many, kIdentityMatrix34);
    EXPECT_FLOAT_EQ(many.planes[5].d, 2.0f);
}

}  // namespace
