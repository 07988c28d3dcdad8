#include "Lx3DHost.h"

#include <cmath>

namespace {

ObjectRef Times(lx::Object* vector, double scalar)
{
    return InvokeObject("Vector3D.Times(scalar as Double) as Vector3D", vector, scalar);
}

}

TEST(Vector3D, ComponentsAreStoredAsFloats)
{
    ObjectRef v = NewObject("Vector3D");
    Invoke("Vector3D.X.Set", v.Get(), 0.1);
    EXPECT_EQ(Invoke<double>("Vector3D.X.Get", v.Get()), double(0.1f));
    EXPECT_EQ(Invoke<double>("Vector3D.Y.Get", v.Get()), 0.0);
}

TEST(Vector3D, LengthsAndRescaling)
{
    ObjectRef v = NewVector(3, 4, 0);
    EXPECT_EQ(Invoke<double>("Vector3D.Length() as Double", v.Get()), 5.0);
    EXPECT_EQ(Invoke<double>("Vector3D.LenSquared() as Double", v.Get()), 25.0);

    Invoke("Vector3D.Length() as Double.Set", v.Get(), 10.0);
    ExpectNear(Read(v.Get()), { 6, 8, 0 });

    ObjectRef zero = NewVector(0, 0, 0);
    Invoke("Vector3D.Length() as Double.Set", zero.Get(), 10.0);
    ExpectNear(Read(zero.Get()), { 0, 0, 0 }, 0);

    ObjectRef unit = NewVector(1, 0, 0);
    Invoke("Vector3D.Length() as Double.Set", unit.Get(), -2.0);
    ExpectNear(Read(unit.Get()), { -2, 0, 0 }, 0);

    ObjectRef three = NewVector(3, 0, 0);
    Invoke("Vector3D.LenSquared() as Double.Set", three.Get(), 4.0);
    EXPECT_EQ(Read(three.Get()).x, 2.0);
}

TEST(Vector3D, NegativeSquaredLengthLeavesNotANumber)
{
    ObjectRef v = NewVector(1, 2, 3);
    Invoke("Vector3D.LenSquared() as Double.Set", v.Get(), -1.0);
    EXPECT_TRUE(std::isnan(Read(v.Get()).x));
    EXPECT_TRUE(std::isnan(Read(v.Get()).z));
}

TEST(Vector3D, Normalize)
{
    ObjectRef v = NewVector(0, 0, 5);
    Invoke("Vector3D.Normalize()", v.Get());
    ExpectNear(Read(v.Get()), { 0, 0, 1 }, 0);

    ObjectRef zero = NewVector(0, 0, 0);
    Invoke("Vector3D.Normalize()", zero.Get());
    ExpectNear(Read(zero.Get()), { 0, 0, 0 }, 0);

    // Exactly unit length: not even the last bit moves.
    ObjectRef unit = NewVector(0.6, 0.8, 0);
    Vec before = Read(unit.Get());
    if (Invoke<double>("Vector3D.Length() as Double", unit.Get()) == 1.0) {
        Invoke("Vector3D.Normalize()", unit.Get());
        EXPECT_EQ(Read(unit.Get()).x, before.x);
        EXPECT_EQ(Read(unit.Get()).y, before.y);
    }
}

TEST(Vector3D, ProductsAndNilArguments)
{
    ObjectRef x = NewVector(1, 0, 0);
    ObjectRef y = NewVector(0, 1, 0);
    ExpectNear(Read(InvokeObject("Vector3D.Cross(vector as Vector3D) as Vector3D", x.Get(), y).Get()), { 0, 0, 1 }, 0);
    ObjectRef crossNil = InvokeObject("Vector3D.Cross(vector as Vector3D) as Vector3D", x.Get(), Nil());
    ASSERT_TRUE(crossNil);
    ExpectNear(Read(crossNil.Get()), { 0, 0, 0 }, 0);
    EXPECT_EQ(Invoke<double>("Vector3D.Dot(vector as Vector3D) as Double", x.Get(), Nil()), 0.0);
    EXPECT_EQ(Invoke<double>("Vector3D.Dot(vector as Vector3D) as Double", x.Get(), x), 1.0);

    ObjectRef v = NewVector(1, 2, 3);
    for (const char* name :
        { "Vector3D.Plus(vector as Vector3D) as Vector3D", "Vector3D.Minus(vector as Vector3D) as Vector3D" }) {
        ObjectRef copy = InvokeObject(name, v.Get(), Nil());
        ASSERT_TRUE(copy);
        EXPECT_NE(copy.Get(), v.Get());
        ExpectNear(Read(copy.Get()), { 1, 2, 3 }, 0);
    }
    Invoke("Vector3D.Add(vector as Vector3D)", v.Get(), Nil());
    Invoke("Vector3D.Subtract(vector as Vector3D)", v.Get(), Nil());
    ExpectNear(Read(v.Get()), { 1, 2, 3 }, 0);
    Invoke("Vector3D.Subtract(vector as Vector3D)", v.Get(), x);
    ExpectNear(Read(v.Get()), { 0, 2, 3 }, 0);
}

TEST(Vector3D, ScalarIsRoundedToFloatFirst)
{
    ObjectRef v = NewVector(7, 0, 0);
    EXPECT_EQ(Read(Times(v.Get(), 1.0 / 3).Get()).x, 2.3333334922790527);
    Invoke("Vector3D.MultiplyBy(scalar as Double)", v.Get(), 1.0 / 3);
    EXPECT_EQ(Read(v.Get()).x, 2.3333334922790527);
}

TEST(Vector3D, CopyConstructorAndCopyAgree)
{
    ObjectRef source = NewVector(1.5, -2, 4);
    ObjectRef a = NewObject("Vector3D");
    ObjectRef b = NewObject("Vector3D");
    Invoke("Vector3D.Vector3D(vector As Vector3D)", a.Get(), source);
    Invoke("Vector3D.Copy(vector As Vector3D)", b.Get(), source);
    ExpectNear(Read(a.Get()), { 1.5, -2, 4 }, 0);
    ExpectNear(Read(b.Get()), { 1.5, -2, 4 }, 0);
    Invoke("Vector3D.Copy(vector As Vector3D)", b.Get(), Nil());
    ExpectNear(Read(b.Get()), { 0, 0, 0 }, 0);
}
