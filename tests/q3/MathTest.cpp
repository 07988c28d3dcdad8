#include <q3/Q3.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr float Pi = 3.14159265f;
constexpr float Tolerance = 1e-5f;

void ExpectNear(const TQ3Vector3D& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, Tolerance);
    EXPECT_NEAR(v.y, y, Tolerance);
    EXPECT_NEAR(v.z, z, Tolerance);
}

TQ3Quaternion About(TQ3Vector3D axis, float angle)
{
    TQ3Quaternion q;
    Q3Quaternion_SetRotateAboutAxis(&q, &axis, angle);
    return q;
}

TQ3Quaternion Scaled(const TQ3Quaternion& q, float factor)
{
    return { q.w * factor, q.x * factor, q.y * factor, q.z * factor };
}

// Random values of random sign and of any magnitude from 1e-30 to 1e30.
class AnyScale {
public:
    float Value() { return std::uniform_real_distribution<float>(-1, 1)(mRandom) * Scale(); }
    float Scale() { return std::pow(10.0f, float(std::uniform_int_distribution<int>(-30, 30)(mRandom))); }
    int Small(int bound) { return std::uniform_int_distribution<int>(-bound, bound)(mRandom); }

private:
    std::mt19937 mRandom { 11 };
};

using Matrix = std::array<std::array<double, 4>, 4>;

Matrix FromFloats(const TQ3Matrix4x4& m)
{
    Matrix result {};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            result[i][j] = m.value[i][j];
    return result;
}

// The determinant of what is left without row `skipRow` and column `skipColumn`.
double Minor(const Matrix& m, int skipRow, int skipColumn)
{
    double a[3][3];
    for (int i = 0, r = 0; i < 4; ++i) {
        if (i == skipRow)
            continue;
        for (int j = 0, c = 0; j < 4; ++j)
            if (j != skipColumn)
                a[r][c++] = m[i][j];
        ++r;
    }
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
        + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

// The textbook inverse: the adjugate over the determinant.
Matrix Adjugate(const Matrix& m, double& determinant)
{
    Matrix adjugate {};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            adjugate[j][i] = ((i + j) % 2 ? -1 : 1) * Minor(m, i, j);
    determinant = 0;
    for (int j = 0; j < 4; ++j)
        determinant += m[0][j] * adjugate[j][0];
    return adjugate;
}

}

TEST(Rotation, QuarterTurnAboutYTakesXToMinusZ)
{
    const TQ3Quaternion q = About({ 0, 1, 0 }, Pi / 2);
    TQ3Vector3D v { 1, 0, 0 };
    Q3Vector3D_TransformQuaternion(&v, &q, &v);
    ExpectNear(v, 0, 0, -1);
}

TEST(Rotation, MultiplyMeansFirstThenSecond)
{
    // Yaw 90 degrees, then pitch about world X: the pitch acts on the yawed
    // result, so +Z goes to +X (yaw) and then stays +X.
    const TQ3Quaternion yaw = About({ 0, 1, 0 }, Pi / 2);
    const TQ3Quaternion pitch = About({ 1, 0, 0 }, Pi / 2);
    TQ3Quaternion both;
    Q3Quaternion_Multiply(&yaw, &pitch, &both);
    TQ3Vector3D v { 0, 0, 1 };
    Q3Vector3D_TransformQuaternion(&v, &both, &v);
    ExpectNear(v, 1, 0, 0);
    // Y: the yaw leaves it, then the pitch about X takes +Y to +Z.
    TQ3Vector3D up { 0, 1, 0 };
    Q3Vector3D_TransformQuaternion(&up, &both, &up);
    ExpectNear(up, 0, 0, 1);
}

TEST(Rotation, MultiplyMayAliasItsOperands)
{
    TQ3Quaternion a = About({ 0, 0, 1 }, 0.3f);
    const TQ3Quaternion b = About({ 0, 0, 1 }, 0.4f);
    Q3Quaternion_Multiply(&a, &b, &a);
    EXPECT_NEAR(a.w, std::cos(0.35f), Tolerance);
}

TEST(Rotation, PointsTurnAboutTheOrigin)
{
    const TQ3Quaternion q = About({ 0, 0, 1 }, Pi / 2);
    TQ3Point3D p { 2, 0, 5 };
    Q3Point3D_TransformQuaternion(&p, &q, &p);
    EXPECT_NEAR(p.x, 0, Tolerance);
    EXPECT_NEAR(p.y, 2, Tolerance);
    EXPECT_NEAR(p.z, 5, Tolerance);
}

TEST(Rotation, AQuaternionOfAnyLengthTurnsAsItsUnitOne)
{
    // Twice a quarter turn about Y is still a quarter turn: X goes to -Z.
    const TQ3Quaternion twice = Scaled(About({ 0, 1, 0 }, Pi / 2), 2);
    TQ3Vector3D v { 1, 0, 0 };
    Q3Vector3D_TransformQuaternion(&v, &twice, &v);
    ExpectNear(v, 0, 0, -1);
    TQ3Point3D p { 1, 0, 0 };
    Q3Point3D_TransformQuaternion(&p, &twice, &p);
    ExpectNear({ p.x, p.y, p.z }, 0, 0, -1);
    const TQ3Quaternion zero { 0, 0, 0, 0 };
    TQ3Vector3D kept { 1, 2, 3 };
    Q3Vector3D_TransformQuaternion(&kept, &zero, &kept);
    ExpectNear(kept, 1, 2, 3);
}

TEST(Rotation, AgreesWithTheRotationMatrixInDouble)
{
    AnyScale random;
    for (int i = 0; i < 1000; ++i) {
        const TQ3Quaternion q { random.Value(), random.Value(), random.Value(), random.Value() };
        const TQ3Vector3D v { random.Small(100) / 7.0f, random.Small(100) / 7.0f, random.Small(100) / 7.0f };
        const double length = std::sqrt(double(q.w) * q.w + double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z);
        const double w = q.w / length, x = q.x / length, y = q.y / length, z = q.z / length;
        const double expected[3] = {
            (1 - 2 * (y * y + z * z)) * v.x + 2 * (x * y - w * z) * v.y + 2 * (x * z + w * y) * v.z,
            2 * (x * y + w * z) * v.x + (1 - 2 * (x * x + z * z)) * v.y + 2 * (y * z - w * x) * v.z,
            2 * (x * z - w * y) * v.x + 2 * (y * z + w * x) * v.y + (1 - 2 * (x * x + y * y)) * v.z,
        };
        TQ3Vector3D turned;
        Q3Vector3D_TransformQuaternion(&v, &q, &turned);
        const double tolerance = 1e-5 * (1 + std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z));
        EXPECT_NEAR(turned.x, expected[0], tolerance) << i;
        EXPECT_NEAR(turned.y, expected[1], tolerance) << i;
        EXPECT_NEAR(turned.z, expected[2], tolerance) << i;
    }
}

TEST(Quaternions, NormalizeHasNoFloatOverflowOrUnderflow)
{
    for (const float scale : { 1e-30f, 1e30f, 3e38f }) {
        const TQ3Quaternion q { 0, scale, 0, scale };
        TQ3Quaternion unit;
        Q3Quaternion_Normalize(&q, &unit);
        EXPECT_NEAR(unit.x, std::sqrt(0.5f), Tolerance) << scale;
        EXPECT_NEAR(unit.z, std::sqrt(0.5f), Tolerance) << scale;
    }
    // A tiny orientation still turns back.
    const TQ3Quaternion tiny = Scaled(About({ 0, 0, 1 }, Pi / 2), 1e-25f);
    TQ3Quaternion inverse;
    Q3Quaternion_Invert(&tiny, &inverse);
    TQ3Vector3D v { 0, 1, 0 };
    Q3Vector3D_TransformQuaternion(&v, &inverse, &v);
    ExpectNear(v, 1, 0, 0);
}

TEST(Quaternions, InvertUndoesAndZeroStaysZero)
{
    const TQ3Quaternion q = About({ 0, 1, 0 }, 1.1f);
    TQ3Quaternion inverse, product;
    Q3Quaternion_Invert(&q, &inverse);
    Q3Quaternion_Multiply(&q, &inverse, &product);
    EXPECT_NEAR(product.w, 1, Tolerance);
    EXPECT_NEAR(product.y, 0, Tolerance);

    const TQ3Quaternion zero { 0, 0, 0, 0 };
    Q3Quaternion_Invert(&zero, &inverse);
    EXPECT_EQ(inverse.w, 0);
    EXPECT_FALSE(std::isnan(inverse.x));
}

TEST(Quaternions, LinearInterpolationIsNormalised)
{
    const TQ3Quaternion a = About({ 0, 1, 0 }, 0);
    const TQ3Quaternion b = About({ 0, 1, 0 }, Pi / 2);
    TQ3Quaternion middle;
    Q3Quaternion_InterpolateLinear(&a, &b, 0.5f, &middle);
    const float length
        = std::sqrt(middle.w * middle.w + middle.x * middle.x + middle.y * middle.y + middle.z * middle.z);
    EXPECT_NEAR(length, 1, Tolerance);
    EXPECT_NEAR(middle.y, std::sin(Pi / 8), Tolerance);
    Q3Quaternion_InterpolateLinear(&a, &b, 1, &middle);
    EXPECT_NEAR(middle.y, b.y, Tolerance);
}

TEST(Quaternions, MatchReflectionFlipsToTheSameHemisphere)
{
    const TQ3Quaternion q1 { 0.5f, 0.5f, 0.5f, 0.5f };
    const TQ3Quaternion q2 { -0.5f, -0.5f, -0.5f, -0.5f };
    TQ3Quaternion result;
    Q3Quaternion_MatchReflection(&q1, &q2, &result);
    EXPECT_EQ(result.w, -0.5f);
    Q3Quaternion_MatchReflection(&q1, &q1, &result);
    EXPECT_EQ(result.w, 0.5f);
}

TEST(Vectors, NormalizingZeroGivesZero)
{
    TQ3Vector3D v { 0, 0, 0 };
    Q3Vector3D_Normalize(&v, &v);
    ExpectNear(v, 0, 0, 0);
    TQ3Vector3D w { 3, 0, 4 };
    Q3Vector3D_Normalize(&w, &w);
    ExpectNear(w, 0.6f, 0, 0.8f);
    EXPECT_FLOAT_EQ(Q3Vector3D_Length(&w), 1);
}

TEST(Vectors, NormalizingAnyFiniteVectorGivesLengthOne)
{
    // Once, a squared length that overflowed float left the vector as it
    // was, and one that underflowed made it zero.
    TQ3Vector3D big { 3e19f, 0, 0 }, tiny { 1e-30f, 0, 0 }, largest { 3e38f, -3e38f, 3e38f };
    Q3Vector3D_Normalize(&big, &big);
    ExpectNear(big, 1, 0, 0);
    Q3Vector3D_Normalize(&tiny, &tiny);
    ExpectNear(tiny, 1, 0, 0);
    Q3Vector3D_Normalize(&largest, &largest);
    const float third = 1 / std::sqrt(3.0f);
    ExpectNear(largest, third, -third, third);
    AnyScale random;
    for (int i = 0; i < 1000; ++i) {
        const TQ3Vector3D v { random.Value(), random.Value(), random.Value() };
        const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
        TQ3Vector3D unit;
        Q3Vector3D_Normalize(&v, &unit);
        EXPECT_NEAR(unit.x, v.x / length, 1e-6) << i;
        EXPECT_NEAR(unit.y, v.y / length, 1e-6) << i;
        EXPECT_NEAR(unit.z, v.z / length, 1e-6) << i;
    }
}

TEST(Points, CrossProductTriIsBMinusATimesCMinusA)
{
    const TQ3Point3D a { 1, 1, 1 }, b { 2, 1, 1 }, c { 1, 2, 1 };
    TQ3Vector3D n;
    Q3Point3D_CrossProductTri(&a, &b, &c, &n);
    ExpectNear(n, 0, 0, 1);
    EXPECT_FLOAT_EQ(Q3Point3D_DistanceSquared(&a, &b), 1);
    EXPECT_FLOAT_EQ(Q3Point3D_Distance(&b, &c), std::sqrt(2.0f));
}

TEST(Matrices, TransformDividesByW)
{
    TQ3Matrix4x4 m {};
    m.value[0][0] = m.value[1][1] = m.value[2][2] = 1;
    m.value[3][3] = 2; // w = 2 for every point
    const TQ3Point3D p { 2, 4, 6 };
    TQ3Point3D r;
    Q3Point3D_Transform(&p, &m, &r);
    EXPECT_FLOAT_EQ(r.x, 1);
    EXPECT_FLOAT_EQ(r.z, 3);
}

TEST(Matrices, InvertRoundTripsAndRefusesSingular)
{
    TQ3Matrix4x4 m {};
    const float values[4][4] = { { 2, 0, 0, 0 }, { 0, 0, 3, 0 }, { 0, 1, 0, -1 }, { 5, 6, 7, 0 } };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m.value[i][j] = values[i][j];
    TQ3Matrix4x4 inverse;
    ASSERT_NE(Q3Matrix4x4_Invert(&m, &inverse), nullptr);
    const TQ3Point3D p { 1, 2, 3 };
    TQ3Point3D there, back;
    Q3Point3D_Transform(&p, &m, &there);
    Q3Point3D_Transform(&there, &inverse, &back);
    EXPECT_NEAR(back.x, 1, 1e-4f);
    EXPECT_NEAR(back.y, 2, 1e-4f);
    EXPECT_NEAR(back.z, 3, 1e-4f);

    TQ3Matrix4x4 singular {};
    TQ3Matrix4x4 untouched = m;
    EXPECT_EQ(Q3Matrix4x4_Invert(&singular, &untouched), nullptr);
    EXPECT_EQ(untouched.value[3][0], 5);
}

TEST(Matrices, InvertAgreesWithTheAdjugateInDouble)
{
    AnyScale random;
    for (int i = 0; i < 1000; ++i) {
        // Diagonally dominant, so well conditioned, at any scale.
        const float scale = random.Scale();
        TQ3Matrix4x4 m {};
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                m.value[row][column] = (random.Small(1000) / 1000.0f + (row == column ? 4 : 0)) * scale;
        double determinant = 0;
        const Matrix expected = Adjugate(FromFloats(m), determinant);
        TQ3Matrix4x4 inverse;
        ASSERT_NE(Q3Matrix4x4_Invert(&m, &inverse), nullptr) << i;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                EXPECT_NEAR(inverse.value[row][column] * scale, expected[row][column] / determinant * scale, 1e-5)
                    << i;
    }
}

TEST(Matrices, InvertRefusesExactlySingularMatricesAtEveryScale)
{
    // Once, more than a quarter of these came back with entries up to 1e31.
    AnyScale random;
    for (int i = 0; i < 10000; ++i) {
        // Scaled by a power of two, so it stays exactly singular.
        const float scale = std::ldexp(1.0f, random.Small(90));
        TQ3Matrix4x4 m {};
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column)
                m.value[row][column] = float(random.Small(3)) * scale;
        // The last row a combination of two others, then rows swapped about.
        const int a = random.Small(2), b = random.Small(2);
        for (int column = 0; column < 4; ++column)
            m.value[3][column] = a * m.value[0][column] + b * m.value[1][column];
        std::swap(m.value[3], m.value[(i % 4)]);
        TQ3Matrix4x4 inverse;
        EXPECT_EQ(Q3Matrix4x4_Invert(&m, &inverse), nullptr) << i;
    }
    // A small matrix is not a singular one.
    TQ3Matrix4x4 small {};
    for (int i = 0; i < 4; ++i)
        small.value[i][i] = 1e-20f;
    TQ3Matrix4x4 inverse;
    ASSERT_NE(Q3Matrix4x4_Invert(&small, &inverse), nullptr);
    EXPECT_FLOAT_EQ(inverse.value[2][2], 1e20f);
    EXPECT_EQ(inverse.value[0][1], 0);
    // Nor is one with a row small against every column.
    TQ3Matrix4x4 smallRow {};
    smallRow.value[0][0] = smallRow.value[0][1] = 1;
    smallRow.value[1][0] = 1e-15f;
    smallRow.value[1][1] = -1e-15f;
    smallRow.value[2][2] = smallRow.value[3][3] = 1;
    ASSERT_NE(Q3Matrix4x4_Invert(&smallRow, &inverse), nullptr);
    EXPECT_FLOAT_EQ(inverse.value[1][0], 0.5f);
}

TEST(BoundingBoxes, FromPointsHonoursStrideAndEmpty)
{
    const float data[] = { 1, 2, 3, 99, -1, 5, 0, 99 };
    TQ3BoundingBox box;
    Q3BoundingBox_SetFromPoints3D(&box, reinterpret_cast<const TQ3Point3D*>(data), 2, 16);
    EXPECT_EQ(box.isEmpty, kQ3False);
    EXPECT_EQ(box.min.x, -1);
    EXPECT_EQ(box.max.y, 5);
    EXPECT_EQ(box.min.z, 0);
    Q3BoundingBox_SetFromPoints3D(&box, nullptr, 0, 12);
    EXPECT_EQ(box.isEmpty, kQ3True);
    EXPECT_EQ(box.max.x, 0);
}

TEST(BoundingBoxes, FromPointsLeavesOutNonFinitePoints)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), infinity = std::numeric_limits<float>::infinity();
    // First, last and between: a NaN first would otherwise poison every minimum.
    const TQ3Point3D points[] = { { nan, 0, 0 }, { 1, 2, 3 }, { 0, -infinity, 0 }, { -1, 5, 0 }, { 0, 0, infinity } };
    TQ3BoundingBox box;
    Q3BoundingBox_SetFromPoints3D(&box, points, 5, 0);
    EXPECT_EQ(box.isEmpty, kQ3False);
    EXPECT_EQ(box.min.x, -1);
    EXPECT_EQ(box.min.y, 2);
    EXPECT_EQ(box.max.z, 3);
    Q3BoundingBox_SetFromPoints3D(&box, points + 4, 1, 0);
    EXPECT_EQ(box.isEmpty, kQ3True);
}
