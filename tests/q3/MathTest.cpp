#include <q3/Q3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
