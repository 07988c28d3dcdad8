#include "Bounds3D.h"
#include "Lx3DScene.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

ObjectRef Sphere(double x, double y, double z, double radius)
{
    ObjectRef bounds = NewObject("Bounds3D");
    Invoke("Bounds3D.Bounds3D(center as Vector3D, radius as Double)", bounds.Get(), NewVector(x, y, z), radius);
    return bounds;
}

ObjectRef Box(Vec min, Vec max)
{
    ObjectRef bounds = NewObject("Bounds3D");
    Invoke("Bounds3D.Bounds3D(minPoint as Vector3D, maxPoint as Vector3D)", bounds.Get(),
        NewVector(min.x, min.y, min.z), NewVector(max.x, max.y, max.z));
    return bounds;
}

Vec Point(lx::Object* bounds, const char* property) { return Read(Get<ObjectRef>(*bounds, property).Get()); }

bool Intersects(lx::Object* a, lx::Object* b)
{
    return Invoke<bool>("Bounds3D.Intersects(other as Bounds3D) as Boolean", a, b);
}

bool Contains(lx::Object* bounds, Vec p)
{
    return Invoke<bool>("Bounds3D.ContainsPoint(pt as Vector3D) as Boolean", bounds, NewVector(p.x, p.y, p.z));
}

ObjectRef Crossing(const char* member, lx::Object* bounds, Vec p1, Vec p2)
{
    return InvokeObject(std::string("Bounds3D.") + member + "(pt1 as Vector3D, pt2 as Vector3D) as Vector3D", bounds,
        NewVector(p1.x, p1.y, p1.z), NewVector(p2.x, p2.y, p2.z));
}

}

TEST(Bounds3D, SphereDerivesItsBoxAndKeepsItself)
{
    ObjectRef sphere = Sphere(1, 2, 3, 2);
    ExpectNear(Point(sphere.Get(), "Minimum"), { -1, 0, 1 }, 0);
    ExpectNear(Point(sphere.Get(), "Maximum"), { 3, 4, 5 }, 0);
    ExpectNear(Point(sphere.Get(), "Center"), { 1, 2, 3 }, 0);
    EXPECT_EQ(Get<double>(*sphere, "Radius"), 2.0);
    EXPECT_EQ(Get<int32_t>(*sphere, "Type"), 1);
}

TEST(Bounds3D, BoxDerivesItsSphere)
{
    ObjectRef box = Box({ 0, 0, 0 }, { 2, 2, 2 });
    ExpectNear(Point(box.Get(), "Center"), { 1, 1, 1 }, 0);
    EXPECT_EQ(Get<double>(*box, "Radius"), double(std::sqrt(3.0f)));
}

TEST(Bounds3D, Intersections)
{
    ObjectRef a = Box({ 0, 0, 0 }, { 1, 1, 1 });
    EXPECT_TRUE(Intersects(a.Get(), Box({ 1, 0, 0 }, { 2, 1, 1 }).Get()));
    EXPECT_FALSE(Intersects(a.Get(), Box({ 1.0001, 0, 0 }, { 2, 1, 1 }).Get()));
    EXPECT_FALSE(Intersects(a.Get(), Nil()));
    // Touching spheres meet, as touching boxes do.
    EXPECT_TRUE(Intersects(Sphere(0, 0, 0, 1).Get(), Sphere(2, 0, 0, 1).Get()));
    EXPECT_FALSE(Intersects(Sphere(0, 0, 0, 1).Get(), Sphere(2.01, 0, 0, 1).Get()));
    // A box and a sphere, either way round.
    EXPECT_TRUE(Intersects(a.Get(), Sphere(1.5, 0.5, 0.5, 0.6).Get()));
    EXPECT_TRUE(Intersects(Sphere(1.5, 0.5, 0.5, 0.6).Get(), a.Get()));
    EXPECT_FALSE(Intersects(a.Get(), Sphere(5, 5, 5, 1).Get()));
}

TEST(Bounds3D, ContainsPoint)
{
    ObjectRef unitSphere = Sphere(0, 0, 0, 1);
    EXPECT_TRUE(Contains(unitSphere.Get(), { 0.5, 0, 0 }));
    EXPECT_FALSE(Contains(unitSphere.Get(), { 1, 0, 0 }));
    EXPECT_TRUE(Contains(Box({ 0, 0, 0 }, { 1, 1, 1 }).Get(), { 1, 1, 1 }));
    // Corners are kept as given: a box with min above max holds nothing.
    EXPECT_FALSE(Contains(Box({ 1, 1, 1 }, { 0, 0, 0 }).Get(), { 0.5, 0.5, 0.5 }));
}

TEST(Bounds3D, LineIntersections)
{
    ObjectRef unit = Sphere(0, 0, 0, 1);
    ExpectNear(Read(Crossing("LineIntersection", unit.Get(), { -5, 0, 0 }, { 5, 0, 0 }).Get()), { -1, 0, 0 });
    ExpectNear(Read(Crossing("LineIntersection", unit.Get(), { 5, 0, 0 }, { -5, 0, 0 }).Get()), { 1, 0, 0 });
    EXPECT_FALSE(Crossing("LineIntersection", unit.Get(), { -5, 2, 0 }, { 5, 2, 0 }));
    EXPECT_FALSE(Crossing("LineSegmentIntersection", unit.Get(), { 0, 0, 0 }, { 5, 0, 0 }));
    // A sphere much smaller than the line's length is crossed all the same.
    ObjectRef small = Sphere(0, 0, 0, 0.2);
    ExpectNear(Read(Crossing("LineIntersection", small.Get(), { -1, 0, 0 }, { 1, 0, 0 }).Get()), { -0.2, 0, 0 });
    ExpectNear(Read(Crossing("LineSegmentIntersection", small.Get(), { -1, 0, 0 }, { 1, 0, 0 }).Get()), { -0.2, 0, 0 });
    ObjectRef box = Box({ -1, -1, -1 }, { 1, 1, 1 });
    ExpectNear(
        Read(Crossing("LineIntersection", box.Get(), { -5, 0, 0 }, { 5, 0, 0 }).Get()), { -std::sqrt(3.0), 0, 0 });
}

TEST(Bounds3D, LineThroughOnePointCrossesNothing)
{
    EXPECT_FALSE(Crossing("LineIntersection", Sphere(0, 0, 0, 1).Get(), { 0, 0, 0 }, { 0, 0, 0 }));
}

TEST(Bounds3D, FreshVolumeHasNoShape)
{
    ObjectRef fresh = NewObject("Bounds3D");
    EXPECT_FALSE(Intersects(fresh.Get(), fresh.Get()));
    EXPECT_FALSE(Contains(fresh.Get(), { 0, 0, 0 }));
    ExpectNear(Point(fresh.Get(), "Center"), { 0, 0, 0 }, 0);
    ExpectNear(Point(fresh.Get(), "Minimum"), { 0, 0, 0 }, 0);
    ExpectNear(Point(fresh.Get(), "Maximum"), { 0, 0, 0 }, 0);
}

TEST(Bounds3D, BuildersIgnoreNil)
{
    ObjectRef sphere = Sphere(1, 2, 3, 2);
    Invoke("Bounds3D.Bounds3D(minPoint as Vector3D, maxPoint as Vector3D)", sphere.Get(), NewVector(0, 0, 0), Nil());
    Invoke("Bounds3D.Bounds3D(center as Vector3D, radius as Double)", sphere.Get(), Nil(), 9.0);
    EXPECT_EQ(Get<int32_t>(*sphere, "Type"), 1);
    EXPECT_EQ(Get<double>(*sphere, "Radius"), 2.0);
}

TEST(Bounds3D, MeshBoundsLeaveOutNonFinitePoints)
{
    // A ring of points of radius 10 about (5, 0, 0), with one NaN and one
    // infinite point among them.
    constexpr int32_t Count = 3000;
    ObjectRef mesh = NewObject("Trimesh");
    Set<int32_t>(*mesh, "VertexCount", Count);
    Set<int32_t>(*mesh, "TriangleCount", 1);
    ObjectRef points = InvokeObject("Trimesh.VertexPositions() as VectorList", mesh.Get());
    const char* setXYZ = "VectorList.SetXYZ(index as Integer, x as Double, y as Double, z as Double)";
    for (int32_t i = 0; i < Count; ++i) {
        const double angle = 2 * std::numbers::pi * i / Count;
        Invoke(setXYZ, points.Get(), i, 5 + 10 * std::cos(angle), 10 * std::sin(angle), 0.0);
    }
    Invoke(setXYZ, points.Get(), 100, std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0);
    Invoke(setXYZ, points.Get(), 2000, 0.0, 0.0, -std::numeric_limits<double>::infinity());
    const char* computeBounds = "Element3D.ComputeBounds(type as Integer) as Bounds3D";
    ObjectRef sphere = InvokeObject(computeBounds, mesh.Get(), 1);
    EXPECT_NEAR(Get<double>(*sphere, "Radius"), 10, 1e-4);
    ExpectNear(Point(sphere.Get(), "Center"), { 5, 0, 0 }, 1e-4);
    ObjectRef box = InvokeObject(computeBounds, mesh.Get(), 2);
    ExpectNear(Point(box.Get(), "Minimum"), { -5, -10, 0 }, 1e-4);
    ExpectNear(Point(box.Get(), "Maximum"), { 15, 10, 0 }, 1e-4);
}

TEST(Bounds3D, NothingIsInViewBeforeTheViewHasACamera)
{
    const char* inView = "Bounds3D.InView(lx3d as Lx3DSpace) as Boolean";
    ObjectRef sphere = Sphere(0, 0, 0, 1);
    EXPECT_FALSE(Invoke<bool>(inView, sphere.Get(), Nil()));
    ObjectRef view = NewObject("Lx3DSpace");
    EXPECT_FALSE(Invoke<bool>(inView, sphere.Get(), view));
}

namespace {

// The planes of the cube from -10 to 10 on every axis, normals inward.
constexpr lx3d::FrustumPlane CubePlanes[] = {
    { 1, 0, 0, 10 },
    { -1, 0, 0, 10 },
    { 0, 1, 0, 10 },
    { 0, -1, 0, 10 },
    { 0, 0, 1, 10 },
    { 0, 0, -1, 10 },
};

lx3d::Bounds3DData SphereData(float x, float radius, TQ3Boolean empty = kQ3False)
{
    lx3d::Bounds3DData data;
    data.type = lx3d::BoundsTypeSphere;
    data.sphere = { { x, 0, 0 }, radius, empty };
    return data;
}

lx3d::Bounds3DData BoxData(TQ3Point3D min, TQ3Point3D max, TQ3Boolean empty = kQ3False)
{
    lx3d::Bounds3DData data;
    data.type = lx3d::BoundsTypeBox;
    data.box = { min, max, empty };
    return data;
}

}

TEST(Bounds3D, FrustumTests)
{
    lx3d::FrustumPlanes planes(CubePlanes);
    EXPECT_TRUE(lx3d::BoundsInFrustum(SphereData(0, 1), planes));
    EXPECT_FALSE(lx3d::BoundsInFrustum(SphereData(15, 4.9f), planes));
    EXPECT_TRUE(lx3d::BoundsInFrustum(SphereData(15, 5.1f), planes));
    EXPECT_FALSE(lx3d::BoundsInFrustum(SphereData(0, 1, kQ3True), planes));
    EXPECT_TRUE(lx3d::BoundsInFrustum(BoxData({ -1, -1, -1 }, { 1, 1, 1 }), planes));
    // No corner inside, but the box straddles the frustum: in view.
    EXPECT_TRUE(lx3d::BoundsInFrustum(BoxData({ -50, -1, -50 }, { 50, 1, 50 }), planes));
    EXPECT_FALSE(lx3d::BoundsInFrustum(BoxData({ 11, -1, -1 }, { 12, 1, 1 }), planes));
    EXPECT_FALSE(lx3d::BoundsInFrustum(BoxData({ -1, -1, -1 }, { 1, 1, 1 }, kQ3True), planes));
    EXPECT_FALSE(lx3d::BoundsInFrustum(lx3d::Bounds3DData {}, planes));
}
