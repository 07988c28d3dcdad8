#include <q3/Q3.h>

#include <gtest/gtest.h>

namespace {

TQ3ViewAngleAspectCameraData SampleCamera()
{
    TQ3ViewAngleAspectCameraData data {};
    data.cameraData.placement = { { 0, 1, 10 }, { 0, 0, 0 }, { 0, 1, 0 } };
    data.cameraData.range = { 1, 10000 };
    data.cameraData.viewPort = { { -1, 1 }, 2, 2 };
    data.fov = 0.7853982f;
    data.aspectRatioXToY = 1;
    return data;
}

}

TEST(Q3Library, InitializesOnce)
{
    EXPECT_EQ(Q3Initialize(), kQ3Success);
    EXPECT_EQ(Q3IsInitialized(), kQ3True);
    EXPECT_EQ(Q3Initialize(), kQ3Success);
}

TEST(Q3Errors, FirstErrorStaysUntilRead)
{
    Q3Error_Get(nullptr);
    TQ3Object shader = Q3PhongIllumination_New();
    // A shader is not a camera: both calls fail and post an error.
    EXPECT_EQ(Q3Camera_SetRange(shader, nullptr), kQ3Failure);
    EXPECT_EQ(Q3ViewAngleAspectCamera_New(nullptr), nullptr);

    TQ3Error first = kQ3ErrorNone;
    EXPECT_EQ(Q3Error_Get(&first), kQ3ErrorInvalidParameter);
    EXPECT_EQ(first, kQ3ErrorInvalidObjectType);
    EXPECT_EQ(Q3Error_Get(&first), kQ3ErrorNone);
    EXPECT_EQ(first, kQ3ErrorNone);
    Q3Object_Dispose(shader);
}

TEST(Q3Objects, TypeTestsFollowTheChain)
{
    TQ3ViewAngleAspectCameraData data = SampleCamera();
    TQ3CameraObject camera = Q3ViewAngleAspectCamera_New(&data);
    EXPECT_TRUE(Q3Object_IsType(camera, kQ3ShapeTypeCamera));
    EXPECT_TRUE(Q3Object_IsType(camera, kQ3SharedTypeShape));
    EXPECT_FALSE(Q3Object_IsType(camera, kQ3SharedTypeView));
    EXPECT_FALSE(Q3Object_IsType(nullptr, kQ3SharedTypeShape));
    EXPECT_EQ(Q3Object_GetLeafType(camera), kQ3CameraTypeViewAngleAspect);

    TQ3ShaderObject null = Q3NULLIllumination_New();
    EXPECT_TRUE(Q3Object_IsType(null, kQ3IlluminationTypeNULL));
    EXPECT_FALSE(Q3Object_IsType(null, kQ3IlluminationTypePhong));
    Q3Object_Dispose(null);
    Q3Object_Dispose(camera);
}

TEST(Q3Objects, ViewKeepsItsCameraAlive)
{
    const TQ3Uns32 before = Q3Object_LiveCount();
    TQ3ViewAngleAspectCameraData data = SampleCamera();
    TQ3ViewObject view = Q3View_New();
    TQ3CameraObject camera = Q3ViewAngleAspectCamera_New(&data);
    ASSERT_EQ(Q3View_SetCamera(view, camera), kQ3Success);
    Q3Object_Dispose(camera);

    TQ3CameraObject again = nullptr;
    ASSERT_EQ(Q3View_GetCamera(view, &again), kQ3Success);
    EXPECT_EQ(again, camera);
    TQ3CameraPlacement placement {};
    ASSERT_EQ(Q3Camera_GetPlacement(again, &placement), kQ3Success);
    EXPECT_FLOAT_EQ(placement.cameraLocation.z, 10);
    Q3Object_Dispose(again);

    Q3Object_Dispose(view);
    EXPECT_EQ(Q3Object_LiveCount(), before);
}

TEST(Q3Objects, IdsResolveOnlyWhileAlive)
{
    TQ3ViewObject view = Q3View_New();
    const TQ3Uns32 id = Q3Object_GetId(view);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(Q3Object_FromId(id), view);
    Q3Object_Dispose(view);
    EXPECT_EQ(Q3Object_FromId(id), nullptr);
    EXPECT_EQ(Q3Object_FromId(0), nullptr);
    EXPECT_EQ(Q3Object_GetId(nullptr), 0u);
}

TEST(Q3Objects, NullHandlesFailWithoutEffect)
{
    EXPECT_EQ(Q3Object_Dispose(nullptr), kQ3Failure);
    EXPECT_EQ(Q3Shared_GetReference(nullptr), nullptr);
    EXPECT_EQ(Q3View_SetCamera(nullptr, nullptr), kQ3Failure);
    TQ3CameraObject camera = reinterpret_cast<TQ3CameraObject>(1);
    EXPECT_EQ(Q3View_GetCamera(nullptr, &camera), kQ3Failure);
    EXPECT_EQ(camera, nullptr);
    EXPECT_EQ(Q3ViewAngleAspectCamera_SetFOV(nullptr, 1), kQ3Failure);
    Q3Error_Get(nullptr);
}
