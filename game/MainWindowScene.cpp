// The scene of the main window: the camera's distance, the star backdrop and
// the headlight, and the orbit that moves all three around the globe.

#include "MainWindow.h"
#include "Resources.h"

#include <lxframework/Functions.h>

namespace game {

namespace {

    constexpr double OrbitRadius = 1000.0;
    constexpr double BackdropPictureScale = 1.92;
    constexpr int32_t AppendShape = -1;
    // The backdrop stands this far behind the origin, opposite the camera.
    constexpr double BackdropDistance = 352.0;
    constexpr double BackdropFactor = -BackdropDistance / OrbitRadius;
    constexpr int32_t HeadlightBrightness = 25;
    constexpr int32_t NoAttenuation = 0;
    constexpr double YawPerPixel = -0.008;
    constexpr double PitchPerPixel = 0.016;
    // Half a turn, to this precision.
    constexpr double HalfTurn = 3.14159265;
    constexpr int32_t InitialSize = 85;

}

void MainWindow::View3D1_Open()
{
    lx::Ref<lx::RectControl> view = View3D1();
    QuesaInstalled = static_cast<bool>(Lx3DSpace::Objects(view.Get()));
    if (!QuesaInstalled)
        return;
    InitCamBackdropAndLight();
    CreateCubes();
    SliderSize()->SetValue(InitialSize);
    ScaleCubes(InitialSize);
    PositionCubesInDefaultPositions();
    Lx3DSpace::Update(view.Get());
}

void MainWindow::InitCamBackdropAndLight()
{
    lx::Ref<lx::RectControl> view = View3D1();
    CamRadius = OrbitRadius;
    ObjectRef camera = Lx3DSpace::Camera(view.Get());
    Vector3D::SetZ(Element3D::Position(camera.Get()).Get(), CamRadius);

    SkyBackDropPic = NewObjectOfClass("Object3D");
    Object3D::AddShapePicture(SkyBackDropPic.Get(), stars2().Get(), BackdropPictureScale, AppendShape);
    if (SkyBackDropPic) {
        SetBooleanField(SkyBackDropPic.Get(), "NullShader", true);
        Vector3D::SetZ(Element3D::Position(SkyBackDropPic.Get()).Get(), -BackdropDistance);
        Group3D::Append(Lx3DSpace::Objects(view.Get()).Get(), SkyBackDropPic.Get());
    }

    // The light shares the camera's position vector, so it is a point light at the viewer.
    ObjectRef light = NewObjectOfClass("Light3D");
    Light3D::SetBrightness(light.Get(), HeadlightBrightness);
    Light3D::SetAttenuation(light.Get(), NoAttenuation);
    Light3D::SetLightColor(light.Get(), lx::RGB(255, 255, 255));
    Light3D::SetPosition(light.Get(), Element3D::Position(camera.Get()).Get());
    Lx3DSpace::AddLight(view.Get(), light.Get());
}

void MainWindow::MoveCamera(int32_t dx, int32_t dy)
{
    lx::Ref<lx::RectControl> view = View3D1();
    ObjectRef camera = Lx3DSpace::Camera(view.Get());

    // The turns accumulate on the camera's orientation; only its position is
    // rebuilt, by stepping back from the origin along the new view direction.
    Element3D::SetPosition(camera.Get(), Vector3D::New(0, 0, 0).Get());
    Element3D::Yaw(camera.Get(), dx * YawPerPixel);
    Element3D::Pitch(camera.Get(), dy * PitchPerPixel);
    Element3D::Yaw(camera.Get(), dx * YawPerPixel);
    Element3D::MoveForward(camera.Get(), -CamRadius);

    ObjectRef cameraPosition = Element3D::Position(camera.Get());
    if (SkyBackDropPic) {
        Element3D::SetPosition(SkyBackDropPic.Get(), Vector3D::Times(cameraPosition.Get(), BackdropFactor).Get());
        ObjectRef inverse = Quaternion::Inverse(Element3D::Orientation(camera.Get()).Get());
        Element3D::SetOrientation(SkyBackDropPic.Get(), Quaternion::Inverse(inverse.Get()).Get());
        Element3D::Yaw(SkyBackDropPic.Get(), HalfTurn);
    }
    if (ObjectRef light = Lx3DSpace::Light(view.Get(), 0))
        Light3D::SetPosition(light.Get(), cameraPosition.Get());
}

}
