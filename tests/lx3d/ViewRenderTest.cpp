#include "Light3D.h"
#include "Lx3DView.h"

#include <algorithm>
#include <functional>
#include <lxframework/Event.h>
#include <memory>
#include <numbers>
#include <utility>

namespace {

using ViewRender = ViewFixture;

const char* const AddLightName = "Lx3DSpace.AddLight(light as Light3D)";
const char* const RemoveAtName = "Lx3DSpace.RemoveLight(index as Integer)";
const char* const RemoveName = "Lx3DSpace.RemoveLight(light as Light3D)";
const char* const LightName = "Lx3DSpace.Light(index as Integer) As Light3D";

ObjectRef DirectionalLight()
{
    ObjectRef light = NewObject("Light3D");
    SetObject(*light, "Direction", NewVector(0, 0, -1).Get());
    return light;
}

TQ3LightObject LibraryLight(lx::Object& light) { return lx3d::LightOf(lx::ToLx(&light))->light; }

bool InGroup(TQ3GroupObject group, TQ3Object light)
{
    std::vector<TQ3Object> members = LightGroupMembers(group);
    return std::count(members.begin(), members.end(), light) > 0;
}

constexpr uint32_t Sky = 0xC8C8FF;
constexpr uint32_t Black = 0;

// A pixel of the window in the control's coordinates: the control sits at
// (20, 10), 512 pixels square.
uint32_t ControlPixel(const TestWindow& window, int x, int y) { return window.Rgb(20 + x, 10 + y); }
uint32_t CentrePixel(const TestWindow& window) { return ControlPixel(window, 256, 256); }

uint8_t Red(uint32_t rgb) { return uint8_t(rgb >> 16); }
uint8_t Blue(uint32_t rgb) { return uint8_t(rgb); }

}

TEST_F(ViewRender, UpdateBeforeTheFirstRedrawDoesNothing)
{
    Open();
    Invoke("Lx3DSpace.Update", view.Get());
    EXPECT_EQ(Data().mView, nullptr);
    EXPECT_TRUE(window->flushes.empty());
}

TEST_F(ViewRender, FirstRedrawDrawsTheSkyIntoThePaneAndFlushesIt)
{
    Open();
    Redraw();
    ASSERT_EQ(window->flushes.size(), 1u);
    const Rect& flushed = window->flushes[0];
    EXPECT_EQ(flushed.top, 10);
    EXPECT_EQ(flushed.left, 20);
    EXPECT_EQ(flushed.bottom, 522);
    EXPECT_EQ(flushed.right, 532);
    EXPECT_EQ(window->Rgb(20, 10), 0xC8C8FFu);
    EXPECT_EQ(window->Rgb(19, 10), 0u);
    Invoke("Lx3DSpace.Update", view.Get());
    EXPECT_EQ(window->flushes.size(), 2u);
}

TEST_F(ViewRender, EachDrawingSubmitsTheSceneOnce)
{
    Open();
    ObjectRef element = NewObject("Element3D");
    AddToScene(element.Get());
    auto renders = std::make_shared<int>(0);
    lx::InstallEventHandler(*element, "Render",
        lx::EventHandler(std::function<void(lx::Object&, int32_t)>([renders](lx::Object&, int32_t) { ++*renders; })));
    Redraw();
    EXPECT_EQ(*renders, 1);
    Invoke("Lx3DSpace.Update", view.Get());
    EXPECT_EQ(*renders, 2);
}

TEST_F(ViewRender, DrawContextFollowsTheControlsRectangle)
{
    Open();
    Redraw();
    TQ3DrawContextObject first = Data().drawContext;
    Redraw();
    EXPECT_EQ(Data().drawContext, first);
    Place(11, 20, 512, 512);
    Redraw();
    EXPECT_NE(Data().drawContext, first);
    Place(11, 20, 400, 200);
    Redraw();
    TQ3ViewAngleAspectCameraData camera {};
    Q3ViewAngleAspectCamera_GetData(Data().mCamera, &camera);
    EXPECT_EQ(camera.aspectRatioXToY, 2.0f);
    // A rectangle without height is taken as square.
    Place(11, 20, 400, 0);
    Redraw();
    Q3ViewAngleAspectCamera_GetData(Data().mCamera, &camera);
    EXPECT_EQ(camera.aspectRatioXToY, 1.0f);
}

TEST_F(ViewRender, NilCameraBecomesAFreshElementLookingAlongPlusZ)
{
    Open();
    SetObject(*view, "Camera", nullptr);
    Redraw();
    ObjectRef camera = Get<ObjectRef>(*view, "Camera");
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(Invoke<double>("Quaternion.W.Get", Get<ObjectRef>(*camera, "Orientation").Get()), 1.0);
    TQ3CameraPlacement placement {};
    Q3Camera_GetPlacement(Data().mCamera, &placement);
    EXPECT_EQ(placement.pointOfInterest.z, 1.0f);
    EXPECT_EQ(placement.upVector.y, 1.0f);
}

TEST_F(ViewRender, CameraIsPlacedFromItsElementEvenWhenPickedBeforeTheFirstRedraw)
{
    Open();
    MoveTo(*Get<ObjectRef>(*view, "Camera"), { 0, 0, 1000 });
    InvokeObject("Lx3DSpace.FindObject(X as Integer, Y as Integer) as Object3D", view.Get(), 1, 1);
    Redraw();
    TQ3CameraPlacement placement {};
    Q3Camera_GetPlacement(Data().mCamera, &placement);
    EXPECT_EQ(placement.cameraLocation.z, 1000.0f);
    EXPECT_EQ(placement.pointOfInterest.z, 999.0f);
}

TEST_F(ViewRender, BackgroundFollowsTheCamera)
{
    Open();
    ObjectRef background = NewObject("Object3D");
    SetObject(*view, "Background", background.Get());
    Redraw();
    MoveTo(*Get<ObjectRef>(*view, "Camera"), { 3, -4, 250 });
    Invoke("Lx3DSpace.Update", view.Get());
    ExpectNear(PositionOf(*background), { 3, -4, 250 });
}

TEST_F(ViewRender, LightsOutOfRangeAreNilAndRemoveNothing)
{
    Open();
    Invoke(AddLightName, view.Get(), DirectionalLight().Get());
    EXPECT_EQ(InvokeObject(LightName, view.Get(), -1), nullptr);
    EXPECT_EQ(InvokeObject(LightName, view.Get(), 1), nullptr);
    Invoke(RemoveAtName, view.Get(), 1);
    Invoke(RemoveAtName, view.Get(), -1);
    Invoke(LightName + std::string(".Set"), view.Get(), 5, DirectionalLight().Get());
    EXPECT_EQ(Get<int32_t>(*view, "LightCount"), 1);
}

TEST_F(ViewRender, LightsArrayGrowsBySixteenAndShrinksInEights)
{
    Open();
    ObjectRef light = NewObject("Light3D");
    for (int i = 0; i < 17; ++i)
        Invoke(AddLightName, view.Get(), light.Get());
    EXPECT_EQ(Data().lights.capacity, 32u);
    Invoke(RemoveAtName, view.Get(), 0);
    EXPECT_EQ(Data().lights.capacity, 32u);
    Invoke(RemoveAtName, view.Get(), 0);
    EXPECT_EQ(Data().lights.capacity, 16u);
    for (int i = 0; i < 10; ++i)
        Invoke(RemoveAtName, view.Get(), 0);
    EXPECT_EQ(Data().lights.capacity, 16u);
}

TEST_F(ViewRender, LightAddedTwiceHoldsOnePlaceUntilItsLastEntryGoes)
{
    Open();
    Redraw();
    ObjectRef light = DirectionalLight();
    ObjectRef other = DirectionalLight();
    Invoke(AddLightName, view.Get(), light.Get());
    Invoke(AddLightName, view.Get(), other.Get());
    Invoke(AddLightName, view.Get(), light.Get());
    Redraw();
    EXPECT_EQ(LightGroupMembers(Data().lightGroup).size(), 4u);
    const int32_t references = light->ReferenceCount();
    Invoke(RemoveName, view.Get(), light.Get());
    EXPECT_EQ(Get<int32_t>(*view, "LightCount"), 2);
    EXPECT_EQ(InvokeObject(LightName, view.Get(), 0), light);
    EXPECT_EQ(light->ReferenceCount(), references - 1);
    EXPECT_TRUE(InGroup(Data().lightGroup, LibraryLight(*light)));
    Invoke(RemoveName, view.Get(), light.Get());
    EXPECT_FALSE(InGroup(Data().lightGroup, LibraryLight(*light)));
    EXPECT_EQ(LightGroupMembers(Data().lightGroup).size(), 3u);
}

TEST_F(ViewRender, RemovingNilTakesTheLastNilEntry)
{
    Open();
    ObjectRef light = DirectionalLight();
    Invoke(AddLightName, view.Get(), Nil());
    Invoke(AddLightName, view.Get(), light.Get());
    Invoke(AddLightName, view.Get(), Nil());
    Invoke(RemoveName, view.Get(), Nil());
    EXPECT_EQ(Get<int32_t>(*view, "LightCount"), 2);
    EXPECT_EQ(InvokeObject(LightName, view.Get(), 1), light);
}

TEST_F(ViewRender, RemovedLightStopsShining)
{
    Set<int32_t>(*view, "AmbientLight", 0);
    Set<int32_t>(*view, "FloodLight", 0);
    OpenGameScene();
    AddToScene(Quad(200, { 0, 0, 0 }).Get());
    auto centre = [&] {
        Redraw();
        return CentrePixel(*window);
    };
    ASSERT_EQ(centre(), Black);
    ObjectRef light = DirectionalLight();
    // Dim enough that a light counted twice would show brighter.
    Set<int32_t>(*light, "Brightness", 40);
    Invoke(AddLightName, view.Get(), light.Get());
    const uint32_t once = centre();
    ASSERT_NE(once, Black);
    Invoke(RemoveAtName, view.Get(), 0);
    EXPECT_EQ(centre(), Black);
    // Twice in the array, the light shines as once, until its last entry goes.
    Invoke(AddLightName, view.Get(), light.Get());
    Invoke(AddLightName, view.Get(), light.Get());
    EXPECT_EQ(centre(), once);
    Invoke(RemoveAtName, view.Get(), 0);
    EXPECT_EQ(centre(), once);
    Invoke(RemoveName, view.Get(), light.Get());
    EXPECT_EQ(centre(), Black);
}

TEST_F(ViewRender, LightsAddedBeforeTheViewJoinItOnce)
{
    ObjectRef light = DirectionalLight();
    TQ3LightObject made = nullptr;
    ASSERT_TRUE(lx3d::UpdateQuesaLight(lx::ToLx(light.Get()), made));
    Open();
    Invoke(AddLightName, view.Get(), light.Get());
    Invoke(AddLightName, view.Get(), light.Get());
    Redraw();
    std::vector<TQ3Object> members = LightGroupMembers(Data().lightGroup);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[2], made);
}

TEST_F(ViewRender, LightThatStopsGivingLightLeavesTheGroup)
{
    Open();
    Redraw();
    ObjectRef light = DirectionalLight();
    Invoke(AddLightName, view.Get(), light.Get());
    Redraw();
    TQ3LightObject directional = LibraryLight(*light);
    ASSERT_TRUE(InGroup(Data().lightGroup, directional));
    // Both vectors give no light.
    SetObject(*light, "Position", NewVector(0, 0, 0).Get());
    Redraw();
    EXPECT_EQ(LightGroupMembers(Data().lightGroup).size(), 2u);
    // Back to one vector: the new light takes a place of its own, once.
    SetObject(*light, "Direction", nullptr);
    Redraw();
    std::vector<TQ3Object> members = LightGroupMembers(Data().lightGroup);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_TRUE(Q3Object_IsType(members[2], kQ3LightTypePoint));
}

TEST_F(ViewRender, AssigningALightReplacesItsPlaceInTheGroup)
{
    Open();
    Redraw();
    ObjectRef first = DirectionalLight();
    ObjectRef second = DirectionalLight();
    Invoke(AddLightName, view.Get(), first.Get());
    Redraw();
    TQ3LightObject made = nullptr;
    lx3d::UpdateQuesaLight(lx::ToLx(second.Get()), made);
    Invoke(LightName + std::string(".Set"), view.Get(), 0, second.Get());
    EXPECT_FALSE(InGroup(Data().lightGroup, LibraryLight(*first)));
    EXPECT_TRUE(InGroup(Data().lightGroup, made));
    EXPECT_EQ(InvokeObject(LightName, view.Get(), 0), second);
}

TEST_F(ViewRender, LightThatChangesKindInOneViewChangesInEveryView)
{
    Open();
    ObjectRef light = DirectionalLight();
    Invoke(AddLightName, view.Get(), light.Get());
    Redraw();
    // A second view of the light makes its new kind.
    ObjectRef first = std::exchange(view, NewObject("Lx3DSpace"));
    Place(10, 20, 512, 512);
    Open();
    Invoke(AddLightName, view.Get(), light.Get());
    SetObject(*light, "Direction", nullptr);
    SetObject(*light, "Position", NewVector(0, 0, 500).Get());
    Redraw();
    Close();
    closed = false;
    view = first;
    Redraw();
    std::vector<TQ3Object> members = LightGroupMembers(Data().lightGroup);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[2], LibraryLight(*light));
}

TEST_F(ViewRender, FloodDirectionIsNormalisedForTheLightOnly)
{
    Open();
    Redraw();
    ObjectRef direction = Get<ObjectRef>(*view, "FloodDirection");
    Invoke("Vector3D.Vector3D(x As Double, y as Double, z As Double)", direction.Get(), 0.0, -2.0, 0.0);
    Invoke("Lx3DSpace.Update", view.Get());
    TQ3Vector3D applied {};
    Q3DirectionalLight_GetDirection(LightGroupMembers(Data().lightGroup)[1], &applied);
    EXPECT_EQ(applied.y, -1.0f);
    ExpectNear(Read(direction.Get()), { 0, -2, 0 });
}

TEST_F(ViewRender, DebugCubeSurroundsTheViewer)
{
    // The cube's faces stand 0.3 x Yon from the viewer, beyond the default near plane.
    Open();
    Redraw();
    const uint32_t sky = window->Rgb(276, 266);
    EXPECT_EQ(sky, 0xC8C8FFu);
    Set<bool>(*view, "DebugCube", true);
    Redraw();
    EXPECT_NE(window->Rgb(276, 266), sky);
    EXPECT_NE(Data().debugCubeGroup, nullptr);
    // It is drawn, never picked.
    EXPECT_EQ(
        InvokeObject("Lx3DSpace.FindObject(X as Integer, Y as Integer) as Object3D", view.Get(), 256, 256), nullptr);
    Set<bool>(*view, "DebugCube", false);
    Redraw();
    EXPECT_EQ(window->Rgb(276, 266), sky);
}

TEST_F(ViewRender, DebugCubeFacesStandThreeTenthsOfYonFromTheViewer)
{
    // With Yon 5000 the faces stand 1500 from the viewer, wherever it is:
    // a near plane just short of them shows the cube, one just beyond hides
    // it. A cube left at the origin would stand 500 ahead of this viewer.
    Open();
    MoveTo(*Get<ObjectRef>(*view, "Camera"), { 0, 0, -1000 });
    Set<bool>(*view, "DebugCube", true);
    Set<int32_t>(*view, "Hither", 1490);
    Redraw();
    EXPECT_NE(CentrePixel(*window), Sky);
    Set<int32_t>(*view, "Hither", 1510);
    Redraw();
    EXPECT_EQ(CentrePixel(*window), Sky);
}

TEST_F(ViewRender, BackgroundIsDrawnAroundTheViewer)
{
    // 1200 ahead of the viewer, wider than the view there, from the first
    // frame on; a mesh, which the property's declared class would refuse.
    ObjectRef backdrop = Quad(2000, { 0, 0, 0 }, "Trimesh", -1200);
    backdrop->Lock();
    Data().Background = lx::ToLx(backdrop.Get());
    OpenGameScene();
    EXPECT_NE(ControlPixel(*window, 0, 0), Sky);
    EXPECT_NE(ControlPixel(*window, 511, 511), Sky);
}

TEST_F(ViewRender, ChainOfGroupsOfAnyDepthIsDrawn)
{
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    AddToScene(ChainOfGroups(100000, quad.Get(), BuildOrder::TopDown).top.Get());
    Redraw();
    EXPECT_NE(CentrePixel(*window), Sky);
}

TEST_F(ViewRender, VisibleFogFadesTheSceneIntoTheSky)
{
    // Linear fog from the near plane (500) to the far one (1500): the quad,
    // 1000 from the viewer, shows half its own color and half the sky.
    Set<int32_t>(*view, "AmbientLight", 0);
    OpenGameScene();
    AddToScene(Quad(200, { 0, 0, 0 }).Get());
    Redraw();
    ASSERT_EQ(CentrePixel(*window), Black);
    Set<bool>(*view, "FogVisible", true);
    Redraw();
    const uint32_t fogged = CentrePixel(*window);
    EXPECT_NEAR(Red(fogged), Red(Sky) / 2, 8);
    EXPECT_NEAR(Blue(fogged), Blue(Sky) / 2, 8);
    EXPECT_EQ(ControlPixel(*window, 0, 0), Sky);
}

TEST_F(ViewRender, NullShadedElementShowsItsColorUnlitAndAlone)
{
    Set<int32_t>(*view, "AmbientLight", 0);
    Set<int32_t>(*view, "FloodLight", 0);
    OpenGameScene();
    // 150 units either side of the centre, 105 pixels at this distance.
    ObjectRef unlit = Quad(200, { -150, 0, 0 });
    Set<bool>(*unlit, "NullShader", true);
    ObjectRef lit = Quad(200, { 150, 0, 0 });
    AddToScene(unlit.Get());
    AddToScene(lit.Get());
    Redraw();
    EXPECT_EQ(ControlPixel(*window, 256 - 105, 256), 0xFFFFFFu);
    EXPECT_EQ(ControlPixel(*window, 256 + 105, 256), Black);
}

TEST_F(ViewRender, BackFacesAreDrawnOnlyWhenAsked)
{
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    Invoke("Element3D.Yaw(radians as Double)", quad.Get(), std::numbers::pi);
    AddToScene(quad.Get());
    Redraw();
    EXPECT_EQ(CentrePixel(*window), Sky);
    Set<bool>(*quad, "RenderBackFaces", true);
    Redraw();
    EXPECT_NE(CentrePixel(*window), Sky);
}

TEST_F(ViewRender, ClosingTheLastUserFreesWhatTheLibraryShared)
{
    // The shared bounds view and null illumination shader last only while
    // elements or open views use the library.
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    Set<bool>(*quad, "NullShader", true);
    AddToScene(quad.Get());
    SetObject(
        *quad, "Bounds", InvokeObject("Element3D.ComputeBounds(type as Integer) as Bounds3D", quad.Get(), 2).Get());
    Redraw();
    ASSERT_EQ(Q3Object_LiveCountOfType(kQ3IlluminationTypeNULL), 1u);
    // The control's view and the bounds view.
    ASSERT_EQ(Q3Object_LiveCountOfType(kQ3SharedTypeView), 2u);
    quad = nullptr;
    Close();
    EXPECT_EQ(Q3Object_LiveCountOfType(kQ3IlluminationTypeNULL), 0u);
    EXPECT_EQ(Q3Object_LiveCountOfType(kQ3SharedTypeView), 0u);
}

TEST_F(ViewRender, UpdateBringsTheScenesBoundsUpToDate)
{
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    SetObject(
        *quad, "Bounds", InvokeObject("Element3D.ComputeBounds(type as Integer) as Bounds3D", quad.Get(), 2).Get());
    AddToScene(quad.Get());
    MoveTo(*quad, { 50, 0, 0 });
    Invoke("Lx3DSpace.Update", view.Get());
    ExpectNear(
        Read(Invoke<ObjectRef>("Bounds3D.Minimum.Get", Get<ObjectRef>(*quad, "Bounds").Get()).Get()), { -50, -100, 0 });
}

using ViewRenderDeathTest = ViewFixture;

TEST_F(ViewRenderDeathTest, SceneGroupThatCannotBeMadeStopsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            static LxPluginNewInstanceProc make
                = reinterpret_cast<LxPluginNewInstanceProc>(lx::HostResolver("PluginNewInstance"));
            lx::RegisterHostService(
                "PluginNewInstance", reinterpret_cast<LxFunction>(+[](const char* name) -> LxObject* {
                    return std::string_view(name) == "Group3D" ? nullptr : make(name);
                }));
            Open();
        },
        "View3D:[0-9]+: failed assertion `me->mObjects'");
}

TEST_F(ViewRenderDeathTest, ViewPartThatCannotBeMadeStopsTheFirstRedraw)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::pair<TQ3ObjectType, const char*> parts[] = {
        { kQ3SharedTypeView, "me->mView" },
        { kQ3CameraTypeViewAngleAspect, "me->mCamera" },
        { kQ3SharedTypeRenderer, "me->mRenderer" },
        { kQ3IlluminationTypePhong, "me->mShader" },
    };
    Open();
    for (const auto& [type, expression] : parts) {
        EXPECT_DEATH(
            {
                Q3Debug_RefuseNew(type);
                Redraw();
            },
            std::string("View3D:[0-9]+: failed assertion `") + expression + "'")
            << expression;
    }
}

TEST_F(ViewRenderDeathTest, RedrawAfterAMoveWithoutALibraryCameraStopsTheProcess)
{
    // View creation stops first when the camera cannot be made, so only a
    // camera lost afterwards reaches this check.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Open();
    Redraw();
    EXPECT_DEATH(
        {
            Q3Object_Dispose(Data().mCamera);
            Data().mCamera = nullptr;
            Place(11, 20, 512, 512);
            Redraw();
        },
        "View3D:[0-9]+: failed assertion `mCamera'");
}
