#include "Lx3DHost.h"

#include <numbers>

namespace {

struct Quat {
    double w, x, y, z;
};

Quat ReadQuaternion(lx::Object* q)
{
    return { Invoke<double>("Quaternion.W.Get", q), Invoke<double>("Quaternion.X.Get", q),
        Invoke<double>("Quaternion.Y.Get", q), Invoke<double>("Quaternion.Z.Get", q) };
}

void ExpectNear(const Quat& actual, const Quat& expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.w, expected.w, tolerance);
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

ObjectRef Rotation(double x, double y, double z, double radians)
{
    ObjectRef q = NewObject("Quaternion");
    Invoke("Quaternion.SetRotateAboutAxis(axisX as Double, axisY as Double, axisZ as Double, radians as Double)",
        q.Get(), x, y, z, radians);
    return q;
}

Vec Transform(lx::Object* q, lx::Object* v)
{
    return Read(InvokeObject("Quaternion.Transform(vec as Vector3D) as Vector3D", q, v).Get());
}

void SetQuaternion(lx::Object* q, const Quat& value)
{
    Invoke("Quaternion.W.Set", q, value.w);
    Invoke("Quaternion.X.Set", q, value.x);
    Invoke("Quaternion.Y.Set", q, value.y);
    Invoke("Quaternion.Z.Set", q, value.z);
}

constexpr double Pi = std::numbers::pi;

}

TEST(Quaternion, StartsAsTheIdentity)
{
    ObjectRef q = NewObject("Quaternion");
    ExpectNear(ReadQuaternion(q.Get()), { 1, 0, 0, 0 }, 0);
}

TEST(Quaternion, Normalize)
{
    ObjectRef q = NewObject("Quaternion");
    SetQuaternion(q.Get(), { 0, 0, 0, 0 });
    Invoke("Quaternion.Normalize()", q.Get());
    ExpectNear(ReadQuaternion(q.Get()), { 0, 0, 0, 0 }, 0);
    SetQuaternion(q.Get(), { 2, 0, 0, 0 });
    Invoke("Quaternion.Normalize()", q.Get());
    ExpectNear(ReadQuaternion(q.Get()), { 1, 0, 0, 0 }, 0);
}

TEST(Quaternion, AxisIsNormalisedAndAngleHalved)
{
    ObjectRef q = Rotation(0, 2, 0, Pi);
    ExpectNear(ReadQuaternion(q.Get()), { -4.37e-8, 0, 1, 0 });
}

TEST(Quaternion, RotationsAreRightHanded)
{
    ObjectRef quarterY = Rotation(0, 1, 0, Pi / 2);
    ObjectRef x = NewVector(1, 0, 0);
    ::ExpectNear(Transform(quarterY.Get(), x.Get()), { 0, 0, -1 });
    ExpectNear(Read(x.Get()), { 1, 0, 0 }, 0);
    ObjectRef up = NewVector(0, 1, 0);
    ::ExpectNear(Transform(Rotation(0, 1, 0, 1.234).Get(), up.Get()), { 0, 1, 0 });
    ::ExpectNear(Transform(quarterY.Get(), Nil()), { 0, 0, 0 }, 0);
}

TEST(Quaternion, InverseAndInvert)
{
    ObjectRef q = Rotation(1, 2, 3, 0.7);
    Quat before = ReadQuaternion(q.Get());
    ObjectRef inverse = InvokeObject("Quaternion.Inverse() as Quaternion", q.Get());
    ExpectNear(ReadQuaternion(inverse.Get()), ReadQuaternion(Rotation(1, 2, 3, -0.7).Get()));
    ExpectNear(ReadQuaternion(q.Get()), before, 0);
    Invoke("Quaternion.Invert()", q.Get());
    ExpectNear(ReadQuaternion(q.Get()), ReadQuaternion(inverse.Get()), 0);
}

// The product applies self first, then the argument.
TEST(Quaternion, TimesComposesSelfThenArgument)
{
    ObjectRef a = Rotation(1, 0, 0, Pi / 2);
    ObjectRef b = Rotation(0, 1, 0, Pi / 2);
    ObjectRef v = NewVector(0, 0, 1);
    ObjectRef product = InvokeObject("Quaternion.Times(quat as Quaternion) as Quaternion", a.Get(), b);
    ::ExpectNear(Transform(product.Get(), v.Get()), { 0, -1, 0 });

    Invoke("Quaternion.MultiplyBy(quat as Quaternion)", a.Get(), b);
    ExpectNear(ReadQuaternion(a.Get()), ReadQuaternion(product.Get()), 0);

    ObjectRef copy = InvokeObject("Quaternion.Times(quat as Quaternion) as Quaternion", a.Get(), Nil());
    EXPECT_NE(copy.Get(), a.Get());
    ExpectNear(ReadQuaternion(copy.Get()), ReadQuaternion(a.Get()), 0);
    Invoke("Quaternion.MultiplyBy(quat as Quaternion)", a.Get(), Nil());
    ExpectNear(ReadQuaternion(a.Get()), ReadQuaternion(copy.Get()), 0);
}

TEST(Quaternion, SetBetween)
{
    const char* between = "Quaternion.SetBetween(quat1 as Quaternion, quat2 as Quaternion, position as Double)";
    ObjectRef q = Rotation(0, 0, 1, 1.0);
    Quat value = ReadQuaternion(q.Get());
    ObjectRef negated = NewObject("Quaternion");
    SetQuaternion(negated.Get(), { -value.w, -value.x, -value.y, -value.z });
    ObjectRef result = NewObject("Quaternion");
    for (double t : { 0.0, 0.3, 1.0 }) {
        Invoke(between, result.Get(), q, q, t);
        ExpectNear(ReadQuaternion(result.Get()), value);
        Invoke(between, result.Get(), q, negated, t);
        ExpectNear(ReadQuaternion(result.Get()), ReadQuaternion(negated.Get()));
    }
    Quat before = ReadQuaternion(result.Get());
    Invoke(between, result.Get(), q, Nil(), 0.5);
    ExpectNear(ReadQuaternion(result.Get()), before, 0);
}

TEST(Quaternion, TurnsByItsRotationAtAnyLength)
{
    // Twice a quarter turn about Y: X goes to -Z, not to (-3, 0, -4).
    ObjectRef q = Rotation(0, 1, 0, Pi / 2);
    const Quat unit = ReadQuaternion(q.Get());
    SetQuaternion(q.Get(), { 2 * unit.w, 2 * unit.x, 2 * unit.y, 2 * unit.z });
    ExpectNear(Transform(q.Get(), NewVector(1, 0, 0).Get()), { 0, 0, -1 });
}

TEST(Quaternion, AHugeOrTinyAxisIsNormalisedToo)
{
    for (double length : { 1e20, 1e-30 }) {
        ObjectRef q = Rotation(length, 0, 0, Pi);
        ExpectNear(ReadQuaternion(q.Get()), { 0, 1, 0, 0 }, 1e-6);
    }
}
