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
    const TQ3Uns32 before = Q3Debug_InitializeCount();
    EXPECT_EQ(Q3Initialize(), kQ3Success);
    EXPECT_EQ(Q3IsInitialized(), kQ3True);
    EXPECT_EQ(Q3Initialize(), kQ3Success);
    EXPECT_EQ(Q3Debug_InitializeCount(), before + 2);
}

TEST(Q3Library, RefusedTypesAreNotMadeAsIfMemoryRanOut)
{
    Q3Error_Get(nullptr);
    const TQ3Uns32 live = Q3Object_LiveCount();
    Q3Debug_RefuseNew(kQ3SharedTypeRenderer);
    EXPECT_EQ(Q3Renderer_NewFromType(kQ3RendererTypeInteractive), nullptr);
    EXPECT_EQ(Q3Renderer_NewFromType(kQ3RendererTypeWireFrame), nullptr);
    EXPECT_EQ(Q3Error_Get(nullptr), kQ3ErrorOutOfMemory);
    EXPECT_EQ(Q3Object_LiveCount(), live);
    // Other types are made as ever.
    TQ3ViewObject view = Q3View_New();
    EXPECT_NE(view, nullptr);
    Q3Object_Dispose(view);
    Q3Debug_RefuseNew(0);
    TQ3RendererObject renderer = Q3Renderer_NewFromType(kQ3RendererTypeInteractive);
    EXPECT_NE(renderer, nullptr);
    Q3Object_Dispose(renderer);
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

TEST(Q3Objects, LiveObjectsAreCountedByType)
{
    const TQ3Uns32 shaders = Q3Object_LiveCountOfType(kQ3ShaderTypeIllumination);
    TQ3ShaderObject phong = Q3PhongIllumination_New();
    TQ3ShaderObject null = Q3NULLIllumination_New();
    EXPECT_EQ(Q3Object_LiveCountOfType(kQ3ShaderTypeIllumination), shaders + 2);
    EXPECT_EQ(Q3Object_LiveCountOfType(kQ3IlluminationTypeNULL), 1u);
    Q3Object_Dispose(null);
    EXPECT_EQ(Q3Object_LiveCountOfType(kQ3IlluminationTypeNULL), 0u);
    Q3Object_Dispose(phong);
    EXPECT_EQ(Q3Object_LiveCountOfType(kQ3ShaderTypeIllumination), shaders);
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
