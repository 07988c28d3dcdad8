// The scene of the main window: the camera's distance, the star backdrop and
// the headlight, and the orbit that moves all three around the globe.

#include "game/MainWindow.h"
#include "game/Resources.h"

#include <lxframework/Functions.h>

namespace game {

using namespace bindings;

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
    QuesaInstalled = static_cast<bool>(Lx3DSpace::Objects(view));
    if (!QuesaInstalled)
        return;
    InitCamBackdropAndLight();
    CreateCubes();
    SliderSize()->SetValue(InitialSize);
    ScaleCubes(InitialSize);
    PositionCubesInDefaultPositions();
    Lx3DSpace::Update(view);
}

void MainWindow::InitCamBackdropAndLight()
{
    lx::Ref<lx::RectControl> view = View3D1();
    CamRadius = OrbitRadius;
    ObjectRef camera = Lx3DSpace::Camera(view);
    Vector3D::SetZ(Element3D::Position(camera), CamRadius);

    SkyBackDropPic = NewObjectOfClass("Object3D");
    Object3D::AddShapePicture(SkyBackDropPic, stars2(), BackdropPictureScale, AppendShape);
    if (SkyBackDropPic) {
        SetBooleanField(SkyBackDropPic, "NullShader", true);
        Vector3D::SetZ(Element3D::Position(SkyBackDropPic), -BackdropDistance);
        Group3D::Append(Lx3DSpace::Objects(view), SkyBackDropPic);
    }

    // The light shares the camera's position vector, so it is a point light at the viewer.
    ObjectRef light = NewObjectOfClass("Light3D");
    Light3D::SetBrightness(light, HeadlightBrightness);
    Light3D::SetAttenuation(light, NoAttenuation);
    Light3D::SetLightColor(light, lx::RGB(255, 255, 255));
    Light3D::SetPosition(light, Element3D::Position(camera));
    Lx3DSpace::AddLight(view, light);
}

void MainWindow::MoveCamera(int32_t dx, int32_t dy)
{
    lx::Ref<lx::RectControl> view = View3D1();
    ObjectRef camera = Lx3DSpace::Camera(view);

    // The turns accumulate on the camera's orientation; only its position is
    // rebuilt, by stepping back from the origin along the new view direction.
    Element3D::SetPosition(camera, NewVector(0, 0, 0));
    Element3D::Yaw(camera, dx * YawPerPixel);
    Element3D::Pitch(camera, dy * PitchPerPixel);
    Element3D::Yaw(camera, dx * YawPerPixel);
    Element3D::MoveForward(camera, -CamRadius);

    ObjectRef cameraPosition = Element3D::Position(camera);
    if (SkyBackDropPic) {
        Element3D::SetPosition(SkyBackDropPic, Vector3D::Times(cameraPosition, BackdropFactor));
        ObjectRef inverse = Quaternion::Inverse(Element3D::Orientation(camera));
        Element3D::SetOrientation(SkyBackDropPic, Quaternion::Inverse(inverse));
        Element3D::Yaw(SkyBackDropPic, HalfTurn);
    }
    if (ObjectRef light = Lx3DSpace::Light(view, 0))
        Light3D::SetPosition(light, cameraPosition);
}

}
