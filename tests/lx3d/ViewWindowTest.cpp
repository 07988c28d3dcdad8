// The view control in a real window of the host: its behaviours called by the
// host's control widget, its frames shown through the window's port.
//
// Set TERRASLIDE_SCREENSHOT to a file name to keep a picture of the scene
// window; under a real display server (Xvfb, say, with QT_QPA_PLATFORM=xcb)
// it is what the window system shows.

#include "../lxframework/gui/WidgetSupport.h"
#include "Lx3DScene.h"
#include "TestHooks.h"

#include <lxframework/Window.h>

#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int ViewLeft = 20;
constexpr int ViewTop = 10;
constexpr int ViewWidth = 320;
constexpr int ViewHeight = 240;
constexpr uint32_t Red = 0xFF0000;

class SceneWindow : public lx::Window {
public:
    std::vector<std::string> events;
    bool trackPresses = true;
    bool objectsAtOpen = false;
    // Runs inside the view's MouseDown handler.
    std::function<void()> whilePressed;

    void Layout() override { SetProperties(*this, { { "Width", 360 }, { "Height", 260 } }); }

    void CreateControls() override
    {
        view = New("Lx3DSpace");
        AddControl("View3D1", view);
        SetProperties(
            *view, { { "Left", ViewLeft }, { "Top", ViewTop }, { "Width", ViewWidth }, { "Height", ViewHeight } });
        view->InstallInstanceEventHandler(
            "Open", [this] { objectsAtOpen = Get<ObjectRef>(*view, "Objects") != nullptr; });
        view->InstallInstanceEventHandler("MouseDown", [this](int32_t x, int32_t y) {
            Note("down", x, y);
            if (whilePressed)
                whilePressed();
            return trackPresses;
        });
        view->InstallInstanceEventHandler("MouseDrag", [this](int32_t x, int32_t y) { Note("drag", x, y); });
        view->InstallInstanceEventHandler("MouseUp", [this](int32_t x, int32_t y) { Note("up", x, y); });
    }

    void Note(const char* name, int32_t x, int32_t y)
    {
        events.push_back(std::string(name) + " " + std::to_string(x) + "," + std::to_string(y));
    }

    lx::Ref<lx::RectControl> view;
};

// What the window system has of the control.
QImage OnScreen(lx::RectControl& control)
{
    QWidget* top = lx::WidgetOf(control)->window();
    const QPoint origin = lx::WidgetOf(control)->mapTo(top, QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(
            top->winId(), origin.x(), origin.y(), lx::BoundsOf(control).width(), lx::BoundsOf(control).height())
        .toImage();
}

uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

class ViewWindow : public testing::Test {
protected:
    void SetUp() override
    {
        LoadLx3D();
        if (!lx::FindClass("SceneWindow") || lx::FindClass("SceneWindow")->ClassKind() == lx::Class::Kind::Stub)
            lx::RegisterClass<SceneWindow>("SceneWindow", "Window");
        window = lx::New<SceneWindow>();
        window->Constructor();
        ProcessEvents();
    }

    void TearDown() override { window->Close(); }

    lx::RectControl& View() { return *window->view; }

    lx::Ref<SceneWindow> window;
};

// A checkerboard of two colors in squares of eight pixels.
lx::Ref<lx::Picture> Checkerboard(int32_t side, uint32_t light, uint32_t dark)
{
    lx::Ref<lx::Picture> picture = NewPicture(side, side, light);
    for (int32_t y = 0; y < side; ++y) {
        for (int32_t x = 0; x < side; ++x) {
            if ((x / 8 + y / 8) % 2)
                SetPixel(*picture, x, y, dark);
        }
    }
    return picture;
}

// A cube whose faces each show the whole texture once.
ObjectRef TexturedCube(double side, lx::Picture& texture)
{
    ObjectRef mesh = CubeMesh(side);
    Set<bool>(*mesh, "HasVertexUVs", true);
    ObjectRef uvs = InvokeObject("Trimesh.VertexUVs() as UVList", mesh.Get());
    for (int32_t i = 0; i < 8; ++i)
        Invoke("UVList.SetUV(index as Integer, u as Double, v as Double)", uvs.Get(), i, double(i & 1),
            double((i >> 1) & 1));
    ObjectRef material = NewObject("Material");
    SetObject(*material, "Texture", &texture);
    SetObject(*mesh, "Material", material.Get());
    return mesh;
}

}

TEST_F(ViewWindow, OpenBehaviourRunsBeforeTheApplicationsOpenHandler) { EXPECT_TRUE(window->objectsAtOpen); }

TEST_F(ViewWindow, PressesArriveInViewCoordinatesAndOnlyTrackedOnesGoOn)
{
    lx::test::MousePress(View(), QPoint(5, 6));
    lx::test::MouseMove(View(), QPoint(7, 8), Qt::LeftButton);
    lx::test::MouseMove(View(), QPoint(-4, 300), Qt::LeftButton);
    lx::test::MouseRelease(View(), QPoint(-4, 300));
    window->trackPresses = false;
    lx::test::MousePress(View(), QPoint(0, 0));
    lx::test::MouseMove(View(), QPoint(2, 2), Qt::LeftButton);
    lx::test::MouseRelease(View(), QPoint(2, 2));
    const std::vector<std::string> expected { "down 5,6", "drag 7,8", "drag -4,300", "up -4,300", "down 0,0" };
    EXPECT_EQ(window->events, expected);
}

TEST_F(ViewWindow, UpdatesInsideAHandlerAreOnScreenBeforeItReturns)
{
    ASSERT_EQ(Rgb(OnScreen(View()), ViewWidth / 2, ViewHeight / 2), 0xC8C8FFu);
    std::vector<uint32_t> seen;
    const int presentsBefore = lx::test::PresentCount(View());
    window->whilePressed = [&] {
        Set<lx::Color>(View(), "SkyColor", lx::Color { Red });
        // The slide animation: four frames inside one press.
        for (int step = 0; step < 4; ++step)
            Invoke("Lx3DSpace.Update", &View());
        seen.push_back(Rgb(OnScreen(View()), ViewWidth / 2, ViewHeight / 2));
    };
    lx::test::MousePress(View(), QPoint(10, 10));
    lx::test::MouseRelease(View(), QPoint(10, 10));
    EXPECT_EQ(seen, std::vector<uint32_t> { Red });
    EXPECT_EQ(lx::test::PresentCount(View()), presentsBefore + 4);
}

TEST_F(ViewWindow, LitTexturedMeshStandsInFrontOfAPictureBackdrop)
{
    ObjectRef objects = Get<ObjectRef>(View(), "Objects");
    ObjectRef backdrop = NewObject("Object3D");
    Invoke("Object3D.AddShapePicture(image as Picture, scale as Double, insertPos as Integer=-1)", backdrop.Get(),
        ObjectRef(Checkerboard(64, 0x2050A0, 0x103060)), 30.0, -1);
    MoveTo(*backdrop, { 0, 0, -800 });
    Append(objects.Get(), backdrop.Get());

    lx::Ref<lx::Picture> texture = Checkerboard(64, 0xF0C020, 0xC03010);
    ObjectRef cube = TexturedCube(160, *texture);
    Invoke("Element3D.Yaw(radians as Double)", cube.Get(), 0.6);
    Invoke("Element3D.Pitch(radians as Double)", cube.Get(), 0.5);
    Append(objects.Get(), cube.Get());
    MoveTo(*Get<ObjectRef>(View(), "Camera"), { 0, 0, 600 });
    Invoke("Lx3DSpace.Update", &View());
    ProcessEvents();

    QImage shot = OnScreen(View());
    if (const char* path = std::getenv("TERRASLIDE_SCREENSHOT"))
        QGuiApplication::primaryScreen()
            ->grabWindow(lx::WidgetOf(View())->window()->winId())
            .save(QString::fromLocal8Bit(path));
    const uint32_t corner = Rgb(shot, 4, 4);
    const uint32_t centre = Rgb(shot, ViewWidth / 2, ViewHeight / 2);
    EXPECT_NE(corner, 0xC8C8FFu); // the backdrop covers the sky
    EXPECT_NE(centre, corner);
    // The backdrop's blue dominates it; the cube's texture is warm.
    EXPECT_GT(corner & 0xFF, corner >> 16);
    EXPECT_GT(centre >> 16, centre & 0xFF);
}
