#include <q3/Q3.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TQ3CameraObject MakeCamera(float hither, float yon, float aspect = 1)
{
    TQ3ViewAngleAspectCameraData data {};
    data.cameraData.placement = { { 0, 0, 10 }, { 0, 0, 0 }, { 0, 1, 0 } };
    data.cameraData.range = { hither, yon };
    data.cameraData.viewPort = { { -1, 1 }, 2, 2 };
    data.fov = 3.14159265f / 2;
    data.aspectRatioXToY = aspect;
    return Q3ViewAngleAspectCamera_New(&data);
}

TQ3Point3D ToFrustum(TQ3CameraObject camera, TQ3Point3D p)
{
    TQ3Matrix4x4 m;
    EXPECT_EQ(Q3Camera_GetWorldToFrustum(camera, &m), kQ3Success);
    TQ3Point3D r;
    Q3Point3D_Transform(&p, &m, &r);
    return r;
}

}

TEST(Frustum, HitherMapsToZeroAndYonToMinusOne)
{
    TQ3CameraObject camera = MakeCamera(1, 100);
    EXPECT_NEAR(ToFrustum(camera, { 0, 0, 9 }).z, 0, 1e-5f);
    EXPECT_NEAR(ToFrustum(camera, { 0, 0, -90 }).z, -1, 1e-5f);
    const float middle = ToFrustum(camera, { 0, 0, 0 }).z;
    EXPECT_LT(middle, 0);
    EXPECT_GT(middle, -1);
    Q3Object_Dispose(camera);
}

TEST(Frustum, CornersAreRightAndUp)
{
    // A quarter-turn field of view: at distance d the frustum is 2d wide.
    TQ3CameraObject camera = MakeCamera(1, 100);
    const TQ3Point3D corner = ToFrustum(camera, { 5, 5, 5 });
    EXPECT_NEAR(corner.x, 1, 1e-5f);
    EXPECT_NEAR(corner.y, 1, 1e-5f);
    const TQ3Point3D lower = ToFrustum(camera, { -5, -5, 5 });
    EXPECT_NEAR(lower.x, -1, 1e-5f);
    EXPECT_NEAR(lower.y, -1, 1e-5f);
    Q3Object_Dispose(camera);
}

TEST(Frustum, FieldOfViewSpansTheSmallerSide)
{
    TQ3CameraObject wide = MakeCamera(1, 100, 2);
    const TQ3Point3D p = ToFrustum(wide, { 5, 5, 5 });
    EXPECT_NEAR(p.y, 1, 1e-5f);
    EXPECT_NEAR(p.x, 0.5f, 1e-5f);
    Q3Object_Dispose(wide);
}

TEST(Frustum, InverseCornersComeBack)
{
    TQ3CameraObject camera = MakeCamera(2, 50);
    TQ3Matrix4x4 m, inverse;
    Q3Camera_GetWorldToFrustum(camera, &m);
    ASSERT_NE(Q3Matrix4x4_Invert(&m, &inverse), nullptr);
    const TQ3Point3D farCorner { 1, 1, -1 };
    TQ3Point3D world;
    Q3Point3D_Transform(&farCorner, &inverse, &world);
    EXPECT_NEAR(world.z, 10 - 50, 1e-3f);
    EXPECT_NEAR(world.x, 50, 1e-3f);
    Q3Object_Dispose(camera);
}

TEST(Frustum, DegenerateRangeSeesNothingAndMakesNoNaN)
{
    for (const auto& range : { TQ3CameraRange { 5, 5 }, TQ3CameraRange { 5, 0 }, TQ3CameraRange { 0, 10 } }) {
        TQ3CameraObject camera = MakeCamera(range.hither, range.yon);
        const TQ3Point3D p = ToFrustum(camera, { 0, 0, 0 });
        EXPECT_FALSE(std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z));
        EXPECT_GT(std::fabs(p.x), 1);
        Q3Object_Dispose(camera);
    }
}
