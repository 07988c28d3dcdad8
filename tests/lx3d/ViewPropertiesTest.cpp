#include "Lx3DView.h"

#include <cmath>

namespace {

using ViewProperties = ViewFixture;

struct ClampRow {
    const char* name;
    int32_t set;
    int32_t read;
};

TQ3ViewAngleAspectCameraData CameraData(const lx3d::Lx3DSpaceData& data)
{
    TQ3ViewAngleAspectCameraData camera {};
    EXPECT_EQ(Q3ViewAngleAspectCamera_GetData(data.mCamera, &camera), kQ3Success);
    return camera;
}

}

TEST_F(ViewProperties, IntegerSettingsAreHeldInTheirRanges)
{
    const ClampRow rows[] = {
        { "FieldOfView", 4, 5 },
        { "FieldOfView", 5, 5 },
        { "FieldOfView", 160, 160 },
        { "FieldOfView", 161, 160 },
        { "Hither", 0, 0 },
        { "Hither", -3, 0 },
        { "FogStart", 0, 0 },
        { "FogStart", -3, 0 },
        { "AmbientLight", -5, 0 },
        { "AmbientLight", 150, 100 },
        { "FloodLight", 101, 100 },
        { "Yon", 0, 0 },
    };
    for (const ClampRow& row : rows) {
        Set<int32_t>(*view, row.name, row.set);
        EXPECT_EQ(Get<int32_t>(*view, row.name), row.read) << row.name << " " << row.set;
    }
}

TEST_F(ViewProperties, NearPlaneAtOrBehindTheEyeBecomesHalfAUnit)
{
    Set<int32_t>(*view, "Hither", -3);
    Set<int32_t>(*view, "FogStart", 0);
    EXPECT_EQ(Data().Hither, 0.5f);
    EXPECT_EQ(Data().FogStart, 0.5f);
    // Fog starts at the farther of the two.
    Set<int32_t>(*view, "FogStart", 40);
    EXPECT_EQ(Data().fog.fogStart, 40.0f);
    Set<int32_t>(*view, "Hither", 60);
    EXPECT_EQ(Data().fog.fogStart, 60.0f);
}

TEST_F(ViewProperties, NewControlHasTheDefaultsAndNoLights)
{
    EXPECT_EQ(Get<int32_t>(*view, "LightCount"), 0);
    EXPECT_EQ(Get<int32_t>(*view, "Hither"), 5);
    EXPECT_EQ(Get<int32_t>(*view, "Yon"), 5000);
    EXPECT_EQ(Get<lx::Color>(*view, "SkyColor"), lx::Color { 0xC8C8FF });
    EXPECT_EQ(Get<int32_t>(*view, "AmbientLight"), 30);
    EXPECT_EQ(Get<int32_t>(*view, "FloodLight"), 90);
    EXPECT_EQ(Get<ObjectRef>(*view, "Camera"), nullptr);
    EXPECT_EQ(lx::RuntimeLookupPluginEntrypoint("Lx3DSpace.LightCount.Set")->kind, uint32_t(LxEntryUnbound));
}

TEST_F(ViewProperties, OpenMakesTheCameraLookingDownZTheSceneAndTheFloodDirection)
{
    Open();
    ObjectRef camera = Get<ObjectRef>(*view, "Camera");
    ASSERT_NE(camera, nullptr);
    ObjectRef orientation = Get<ObjectRef>(*camera, "Orientation");
    EXPECT_NEAR(Invoke<double>("Quaternion.W.Get", orientation.Get()), -4.37e-8, 1e-9);
    EXPECT_NEAR(Invoke<double>("Quaternion.Y.Get", orientation.Get()), 1.0, 1e-7);
    EXPECT_NE(Get<ObjectRef>(*view, "Objects"), nullptr);
    ExpectNear(Read(Get<ObjectRef>(*view, "FloodDirection").Get()), { 0.18, -0.8, 0.22 });
    EXPECT_EQ(Data().mView, nullptr);
}

TEST_F(ViewProperties, CloseDropsEveryReferenceAndLibraryObject)
{
    const TQ3Uns32 libraryObjects = Q3Object_LiveCount();
    Open();
    ObjectRef background = NewObject("Object3D");
    SetObject(*view, "Background", background.Get());
    ObjectRef light = NewObject("Light3D");
    SetObject(*light, "Direction", NewVector(0, 0, -1).Get());
    Invoke("Lx3DSpace.AddLight(light as Light3D)", view.Get(), light.Get());
    Set<bool>(*view, "DebugCube", true);
    Redraw();
    Set<int32_t>(*view, "AmbientLight", 50);
    const int32_t backgroundRefs = background->ReferenceCount();
    const int32_t lightRefs = light->ReferenceCount();
    Close();
    EXPECT_EQ(background->ReferenceCount(), backgroundRefs - 1);
    EXPECT_EQ(light->ReferenceCount(), lightRefs - 1);
    EXPECT_EQ(Get<ObjectRef>(*view, "Objects"), nullptr);
    EXPECT_EQ(Get<ObjectRef>(*view, "FloodDirection"), nullptr);
    EXPECT_EQ(Data().mView, nullptr);
    // The light still holds its own library light.
    EXPECT_EQ(Q3Object_LiveCount(), libraryObjects + 1);
}

TEST_F(ViewProperties, SettingsMadeBeforeTheFirstRedrawReachTheLibrary)
{
    Set<int32_t>(*view, "Hither", 500);
    Set<int32_t>(*view, "Yon", 1500);
    Set<int32_t>(*view, "FieldOfView", 40);
    Set<lx::Color>(*view, "AmbientColor", lx::Color { 0xFF0000 });
    Set<lx::Color>(*view, "FloodColor", lx::Color { 0xFFC7EE });
    Set<int32_t>(*view, "FloodLight", 0);
    Open();
    Redraw();
    TQ3ViewAngleAspectCameraData camera = CameraData(Data());
    EXPECT_EQ(camera.cameraData.range.hither, 500.0f);
    EXPECT_EQ(camera.cameraData.range.yon, 1500.0f);
    EXPECT_NEAR(camera.fov, 40 * 0.0174532925, 1e-6);
    std::vector<TQ3Object> lights = LightGroupMembers(Data().lightGroup);
    ASSERT_EQ(lights.size(), 2u);
    EXPECT_TRUE(Q3Object_IsType(lights[0], kQ3LightTypeAmbient));
    EXPECT_EQ(LightDataOf(lights[0]).color.g, 0.0f);
    TQ3LightData flood = LightDataOf(lights[1]);
    EXPECT_NEAR(flood.color.g, 0xC7 / 255.0, 1e-6);
    EXPECT_EQ(flood.brightness, 0.0f);
    EXPECT_EQ(flood.isOn, kQ3True);
}

TEST_F(ViewProperties, LightSettingsChangeTheViewLightsAtOnce)
{
    Open();
    Redraw();
    std::vector<TQ3Object> lights = LightGroupMembers(Data().lightGroup);
    Set<int32_t>(*view, "AmbientLight", -5);
    EXPECT_EQ(LightDataOf(lights[0]).isOn, kQ3False);
    Set<int32_t>(*view, "FloodLight", 40);
    EXPECT_EQ(LightDataOf(lights[1]).brightness, 0.4f);
    Set<lx::Color>(*view, "FloodColor", lx::Color { 0x0000FF });
    EXPECT_EQ(LightDataOf(lights[1]).color.r, 0.0f);
    EXPECT_EQ(LightDataOf(lights[1]).color.b, 1.0f);
}

TEST_F(ViewProperties, CameraSettingsChangeTheLibraryCameraAtOnce)
{
    Open();
    Redraw();
    Set<int32_t>(*view, "Yon", 0);
    EXPECT_EQ(CameraData(Data()).cameraData.range.yon, 0.0f);
    // An empty range draws nothing and finds nothing, but never fails.
    Invoke("Lx3DSpace.Update", view.Get());
    EXPECT_EQ(
        InvokeObject("Lx3DSpace.FindObject(X as Integer, Y as Integer) as Object3D", view.Get(), 256, 256), nullptr);
    Set<int32_t>(*view, "FieldOfView", 90);
    EXPECT_NEAR(CameraData(Data()).fov, 90 * 0.0174532925, 1e-6);
}

TEST_F(ViewProperties, WireframeSwapsTheRenderer)
{
    Open();
    Redraw();
    Set<bool>(*view, "Wireframe", true);
    EXPECT_TRUE(Q3Object_IsType(Data().mRenderer, kQ3RendererTypeWireFrame));
    Set<bool>(*view, "Wireframe", false);
    EXPECT_TRUE(Q3Object_IsType(Data().mRenderer, kQ3RendererTypeInteractive));
}

TEST_F(ViewProperties, SkyColorReachesTheClearColorAndTheFog)
{
    Open();
    Redraw();
    Set<lx::Color>(*view, "SkyColor", lx::Color { 0x5276A5 });
    EXPECT_NEAR(Data().fog.color.b, 0xA5 / 255.0, 1e-6);
    EXPECT_NEAR(Data().drawContextData.drawContextData.clearImageColor.r, 0x52 / 255.0, 1e-6);
    Redraw();
    EXPECT_EQ(window->Rgb(21, 11), 0x5276A5u);
    EXPECT_EQ(Invalidations(), 0);
}

TEST_F(ViewProperties, ClosedViewKeepsNothingNew)
{
    Open();
    Invoke("Lx3DSpace.AddLight(light as Light3D)", view.Get(), NewObject("Light3D").Get());
    Redraw();
    Close();
    ObjectRef light = NewObject("Light3D");
    const int32_t lightRefs = light->ReferenceCount();
    Invoke("Lx3DSpace.AddLight(light as Light3D)", view.Get(), light.Get());
    Invoke("Lx3DSpace.Light(index as Integer) As Light3D.Set", view.Get(), 0, light.Get());
    EXPECT_EQ(light->ReferenceCount(), lightRefs);
    EXPECT_EQ(Get<int32_t>(*view, "LightCount"), 0);
    EXPECT_EQ(Data().lights.items, nullptr);
    EXPECT_EQ(InvokeObject("Lx3DSpace.Light(index as Integer) As Light3D", view.Get(), 0), nullptr);
    EXPECT_EQ(InvokeObject("Lx3DSpace.GetPicture as Picture", view.Get()), nullptr);
    EXPECT_EQ(
        InvokeObject("Lx3DSpace.FindObject(X as Integer, Y as Integer) as Object3D", view.Get(), 256, 256), nullptr);
    EXPECT_EQ(
        InvokeObject("Lx3DSpace.FindPoint(X as Integer, Y as Integer) as Vector3D", view.Get(), 256, 256), nullptr);
    EXPECT_EQ(Invoke<int32_t>("Lx3DSpace.ViewHandle() As Integer", view.Get()), 0);
    Invoke("Lx3DSpace.Update", view.Get());
    EXPECT_EQ(Data().mView, nullptr);
}

TEST_F(ViewProperties, SceneGivenToAClosedViewGoesWithIt)
{
    Open();
    Close();
    ObjectRef group = NewObject("Group3D");
    ObjectRef direction = NewVector(0, -1, 0);
    SetObject(*view, "Objects", group.Get());
    SetObject(*view, "FloodDirection", direction.Get());
    view = nullptr;
    EXPECT_EQ(group->ReferenceCount(), 1);
    EXPECT_EQ(direction->ReferenceCount(), 1);
}
