#include "SceneFixtures.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

class Bounding : public testing::Test {
protected:
    void SetUp() override
    {
        mStart = Q3Object_LiveCount();
        view = Q3View_New();
    }
    void TearDown() override
    {
        Q3Object_Dispose(view);
        EXPECT_EQ(Q3Object_LiveCount(), mStart);
    }

    template <typename Submit> TQ3BoundingBox Box(Submit submit)
    {
        TQ3BoundingBox box {};
        EXPECT_EQ(Q3View_StartBoundingBox(view, kQ3ComputeBoundsExact), kQ3Success);
        do
            submit();
        while (Q3View_EndBoundingBox(view, &box) == kQ3ViewStatusRetraverse);
        return box;
    }

    template <typename Submit> TQ3BoundingSphere Sphere(Submit submit)
    {
        TQ3BoundingSphere sphere {};
        EXPECT_EQ(Q3View_StartBoundingSphere(view, kQ3ComputeBoundsExact), kQ3Success);
        do
            submit();
        while (Q3View_EndBoundingSphere(view, &sphere) == kQ3ViewStatusRetraverse);
        return sphere;
    }

    TQ3ViewObject view { nullptr };

private:
    TQ3Uns32 mStart { 0 };
};

}

TEST_F(Bounding, BoxOfATransformedMeshIsInWorldCoordinates)
{
    fixtures::Quad quad(1);
    const TQ3Vector3D move { 10, 0, 0 }, scale { 2, 3, 1 };
    // Scale first, then translate, as submitted translate-then-scale.
    const TQ3BoundingBox box = Box([&] {
        Q3Push_Submit(view);
        Q3TranslateTransform_Submit(&move, view);
        Q3ScaleTransform_Submit(&scale, view);
        Q3TriMesh_Submit(&quad.data, view);
        Q3Pop_Submit(view);
    });
    EXPECT_EQ(box.isEmpty, kQ3False);
    EXPECT_FLOAT_EQ(box.min.x, 8);
    EXPECT_FLOAT_EQ(box.max.x, 12);
    EXPECT_FLOAT_EQ(box.min.y, -3);
    EXPECT_FLOAT_EQ(box.max.y, 3);
}

TEST_F(Bounding, SphereIsTheSmallestEnclosingOne)
{
    fixtures::Quad quad(3);
    const TQ3Vector3D move { 0, 0, 5 };
    const TQ3BoundingSphere sphere = Sphere([&] {
        Q3TranslateTransform_Submit(&move, view);
        Q3TriMesh_Submit(&quad.data, view);
    });
    EXPECT_EQ(sphere.isEmpty, kQ3False);
    EXPECT_NEAR(sphere.origin.x, 0, 1e-5f);
    EXPECT_NEAR(sphere.origin.z, 5, 1e-5f);
    EXPECT_NEAR(sphere.radius, 3 * std::sqrt(2.0f), 1e-4f);
    // Less than a unit across: a sphere through one point has no size.
    fixtures::Quad small(0.25f);
    const TQ3BoundingSphere tight = Sphere([&] { Q3TriMesh_Submit(&small.data, view); });
    EXPECT_NEAR(tight.radius, 0.25f * std::sqrt(2.0f), 1e-5f);
    // Corners a unit from the centre: the radius is rounded up, not lost.
    fixtures::Quad diamond(1);
    diamond.points = { { { -1, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 0, -1, 0 } } };
    EXPECT_NEAR(Sphere([&] { Q3TriMesh_Submit(&diamond.data, view); }).radius, 1, 1e-5f);
    fixtures::Quad point(0);
    EXPECT_EQ(Sphere([&] { Q3TriMesh_Submit(&point.data, view); }).radius, 0);
}

TEST_F(Bounding, SphereOfATetrahedronTouchesAllFourCorners)
{
    TQ3Point3D points[] = { { 1, 1, 1 }, { 1, -1, -1 }, { -1, 1, -1 }, { -1, -1, 1 }, { 0.1f, 0.2f, 0.3f } };
    TQ3TriMeshTriangleData triangles[] = { { { 0, 1, 2 } } };
    TQ3TriMeshData data {};
    data.numPoints = 5;
    data.points = points;
    data.numTriangles = 1;
    data.triangles = triangles;
    const TQ3BoundingSphere sphere = Sphere([&] { Q3TriMesh_Submit(&data, view); });
    EXPECT_NEAR(sphere.radius, std::sqrt(3.0f), 1e-4f);
    EXPECT_NEAR(sphere.origin.y, 0, 1e-4f);
    // A first point apart from the others, which all coincide, is held as well.
    TQ3Point3D apart[] = { { 4, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 } };
    data.numPoints = 3;
    data.points = apart;
    EXPECT_NEAR(Sphere([&] { Q3TriMesh_Submit(&data, view); }).radius, 2, 1e-4f);
}

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Infinity = std::numeric_limits<float>::infinity();

// A mesh of the given points, with one triangle over the first three.
struct Cloud {
    std::vector<TQ3Point3D> points;
    TQ3TriMeshTriangleData triangle { { 0, 1, 2 } };
    TQ3TriMeshData data {};

    explicit Cloud(std::vector<TQ3Point3D> all)
        : points(std::move(all))
    {
        data.numPoints = static_cast<TQ3Uns32>(points.size());
        data.points = points.data();
        data.numTriangles = 1;
        data.triangles = &triangle;
    }
};

// Points in the cube from -1 to 1 with its corners, so the smallest sphere
// is centred on the origin with radius sqrt(3).
std::vector<TQ3Point3D> FilledCube(size_t count)
{
    std::vector<TQ3Point3D> points;
    for (int i = 0; i < 8; ++i)
        points.push_back({ i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f });
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-1, 1);
    while (points.size() < count)
        points.push_back({ coordinate(random), coordinate(random), coordinate(random) });
    std::shuffle(points.begin(), points.end(), random);
    return points;
}

}

TEST_F(Bounding, NonFinitePointsAreLeftOutOfBoxAndSphere)
{
    // Before, one such point sent the sphere search through every triple
    // of points: minutes for a few thousand.
    std::vector<TQ3Point3D> points = FilledCube(100000);
    points[500] = { NaN, 0, 0 };
    points[50000] = { 0, Infinity, 0 };
    points[99999] = { 0, 0, -Infinity };
    Cloud cloud(points);
    const TQ3BoundingSphere sphere = Sphere([&] { Q3TriMesh_Submit(&cloud.data, view); });
    EXPECT_EQ(sphere.isEmpty, kQ3False);
    EXPECT_NEAR(sphere.radius, std::sqrt(3.0f), 1e-5f);
    EXPECT_NEAR(sphere.origin.x, 0, 1e-5f);
    EXPECT_NEAR(sphere.origin.y, 0, 1e-5f);
    EXPECT_NEAR(sphere.origin.z, 0, 1e-5f);
    const TQ3BoundingBox box = Box([&] { Q3TriMesh_Submit(&cloud.data, view); });
    EXPECT_EQ(box.isEmpty, kQ3False);
    EXPECT_EQ(box.min.x, -1);
    EXPECT_EQ(box.max.y, 1);
    EXPECT_EQ(box.min.z, -1);
}

namespace {

// Points on the unit sphere about (1000, 1000, 1000), as floats: nearly
// co-spherical, off the sphere by the rounding of their coordinates, so
// that the search meets many points within a hair of its spheres.
std::vector<TQ3Point3D> NearlyCospherical(size_t count)
{
    constexpr double Offset = 1000;
    std::mt19937 random(11);
    std::normal_distribution<double> normal;
    std::vector<TQ3Point3D> points;
    while (points.size() < count) {
        const double x = normal(random), y = normal(random), z = normal(random);
        const double length = std::sqrt(x * x + y * y + z * z);
        points.push_back({ float(Offset + x / length), float(Offset + y / length), float(Offset + z / length) });
    }
    return points;
}

// How many points lie outside the sphere as it is stored, in floats.
size_t Outside(const TQ3BoundingSphere& sphere, const std::vector<TQ3Point3D>& points)
{
    size_t outside = 0;
    const double radius = sphere.radius;
    for (const TQ3Point3D& p : points) {
        const double x = double(p.x) - sphere.origin.x, y = double(p.y) - sphere.origin.y,
                     z = double(p.z) - sphere.origin.z;
        outside += x * x + y * y + z * z > radius * radius;
    }
    return outside;
}

}

TEST_F(Bounding, SphereHoldsEveryPointWhenItsSearchRunsOutOfBudget)
{
    constexpr size_t Count = 20000, TestsAtLeast = 10000;
    Cloud cloud(NearlyCospherical(Count));
    const TQ3BoundingSphere sphere = Sphere([&] { Q3TriMesh_Submit(&cloud.data, view); });
    EXPECT_EQ(Outside(sphere, cloud.points), 0u);
    EXPECT_NEAR(sphere.radius, 1, 1e-4f);
    const TQ3Uns32 settled = Q3Debug_LastSphereTests();

    // With one test a point the search stops far short of settling, and
    // the sphere it reached is widened to hold every point all the same.
    Q3Debug_SetSphereTestsPerPoint(1);
    const TQ3BoundingSphere widened = Sphere([&] { Q3TriMesh_Submit(&cloud.data, view); });
    Q3Debug_SetSphereTestsPerPoint(0);
    EXPECT_GT(settled, Count + TestsAtLeast);
    EXPECT_LE(Q3Debug_LastSphereTests(), Count + TestsAtLeast);
    EXPECT_EQ(Outside(widened, cloud.points), 0u);
    EXPECT_EQ(widened.isEmpty, kQ3False);
}

TEST_F(Bounding, MeshWithoutAFinitePointIsEmpty)
{
    Cloud cloud({ { NaN, 0, 0 }, { 0, Infinity, 0 }, { 0, 0, -Infinity } });
    EXPECT_EQ(Sphere([&] { Q3TriMesh_Submit(&cloud.data, view); }).isEmpty, kQ3True);
    EXPECT_EQ(Box([&] { Q3TriMesh_Submit(&cloud.data, view); }).isEmpty, kQ3True);
}

TEST_F(Bounding, NothingSubmittedIsEmpty)
{
    const TQ3BoundingBox box = Box([] {});
    EXPECT_EQ(box.isEmpty, kQ3True);
    const TQ3BoundingSphere sphere = Sphere([] {});
    EXPECT_EQ(sphere.isEmpty, kQ3True);
    EXPECT_EQ(sphere.radius, 0);
}

TEST_F(Bounding, NestedGroupsCountWithTheTransformInForce)
{
    fixtures::Quad quad(1);
    TQ3GeometryObject mesh = Q3TriMesh_New(&quad.data);
    TQ3GroupObject group = Q3DisplayGroup_New();
    TQ3GroupObject inner = Q3DisplayGroup_New();
    Q3Group_AddObject(inner, mesh);
    Q3Group_AddObject(group, inner);
    const TQ3Vector3D far { 100, 0, 0 };
    const TQ3BoundingBox box = Box([&] {
        Q3TranslateTransform_Submit(&far, view);
        Q3DisplayGroup_Submit(group, view);
        // The group's own push and pop are balanced: the loop's state stays.
        EXPECT_EQ(Q3Pop_Submit(view), kQ3Failure);
    });
    EXPECT_FLOAT_EQ(box.min.x, 99);
    EXPECT_FLOAT_EQ(box.max.x, 101);
    Q3Object_Dispose(inner);
    Q3Object_Dispose(group);
    Q3Object_Dispose(mesh);
}

namespace {

// Runs `work` on a thread of its own, whose stack holds `bytes`.
void OnStackOf(size_t bytes, const std::function<void()>& work)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, bytes);
    pthread_t thread;
    const auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

}

TEST_F(Bounding, DeepChainOfGroupsIsBoundedAndReleasedOnASmallStack)
{
    // A frame of the stack for each level would take many times the stack
    // the thread has.
    constexpr int Levels = 50000;
    constexpr size_t StackBytes = 1 << 20;
    fixtures::Quad quad(1);
    TQ3BoundingBox box {};
    OnStackOf(StackBytes, [&] {
        TQ3Object chain = Q3TriMesh_New(&quad.data);
        for (int level = 0; level < Levels; ++level) {
            TQ3GroupObject group = Q3DisplayGroup_New();
            Q3Group_AddObject(group, chain);
            Q3Object_Dispose(chain);
            chain = group;
        }
        box = Box([&] { Q3Object_Submit(chain, view); });
        Q3Debug_DeepestDeletion();
        Q3Object_Dispose(chain);
    });
    EXPECT_FLOAT_EQ(box.max.x, 1);
    // Each group was deleted after the one that freed it, not inside it.
    EXPECT_EQ(Q3Debug_DeepestDeletion(), 1u);
}

TEST_F(Bounding, SubmittingOutsideALoopFails)
{
    fixtures::Quad quad(1);
    EXPECT_EQ(Q3TriMesh_Submit(&quad.data, view), kQ3Failure);
    EXPECT_EQ(Q3Push_Submit(view), kQ3Failure);
    EXPECT_EQ(Q3View_EndBoundingBox(view, nullptr), kQ3ViewStatusError);
    EXPECT_EQ(Q3InterpolationStyle_Submit(kQ3InterpolationStyleVertex, view), kQ3Failure);
    // Inside one, every interpolation style is taken and one past the last refused.
    Box([&] {
        EXPECT_EQ(Q3InterpolationStyle_Submit(kQ3InterpolationStylePixel, view), kQ3Success);
        EXPECT_EQ(Q3InterpolationStyle_Submit(TQ3InterpolationStyle(kQ3InterpolationStylePixel + 1), view), kQ3Failure);
    });
    Q3Error_Get(nullptr);
}
