// The assembled globe drawn by the project's own renderer: the 26 pieces at
// home, each mesh at 85 percent, in a view control of a real window, taken
// with the view's GetPicture. Set TERRASLIDE_GLOBE_PICTURES to a folder to
// keep the pictures (front.png, back.png, north.png, south.png).

#include "GlobeTestSupport.h"
#include "PictureImage.h"

#include "bindings/EntryPoints.h"
#include "game/Resources.h"
#include "globe/CellIndex.h"
#include "globe/GlobeBitCreation.h"
#include "globe/PuzzleGroup3D.h"

#include <lxframework/Property.h>
#include <lxframework/Window.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace bindings;
using namespace globe;
using bindings::Call;
using bindings::Slot;

namespace {

// The game's view: 512 pixels square, the camera 1000 from the globe's centre.
constexpr int32_t ViewSide = 512;
constexpr double CameraDistance = 1000;
constexpr double PieceScale = 0.85;
constexpr uint32_t Sky = 0x5276A5;
constexpr int32_t HeadlightBrightness = 25;

class GlobeWindow : public lx::Window {
public:
    void Layout() override { SetProperties(*this, { { "Width", ViewSide }, { "Height", ViewSide } }); }

    void CreateControls() override
    {
        view = New("Lx3DSpace");
        AddControl("View3D1", view);
        SetProperties(*view,
            { { "Left", 0 }, { "Top", 0 }, { "Width", ViewSide }, { "Height", ViewSide }, { "Hither", 500 },
                { "Yon", 1500 }, { "FieldOfView", 40 }, { "SkyColor", lx::Color { Sky } }, { "AmbientLight", 80 },
                { "FloodLight", 0 } });
    }

    lx::Ref<lx::RectControl> view;
};

ObjectRef Field(lx::Object& object, const char* name)
{
    return lx::GetProperty<ObjectRef>(object, *object.ObjectClass().FindProperty(name));
}

class GlobeRender : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartGlobeRuntime();
        lx::RegisterClass<GlobeWindow>("GlobeWindow", "Window");
        sWindow = lx::New<GlobeWindow>();
        sWindow->Constructor();
        // The view makes its 3D library view at its first redraw.
        QApplication::processEvents();
        GlobeBitCreation::Create();
        ObjectRef objects = Field(View(), "Objects");
        ASSERT_TRUE(objects);
        for (int32_t i = 0; i < CellCount; ++i) {
            if (i == CentreCell)
                continue;
            lx::Ref<PuzzleGroup3D> piece = lx::New<PuzzleGroup3D>();
            piece->Constructor(i);
            for (lx::Object* mesh : { GlobeBitCreation::GlobeBits[i].Get(), GlobeBitCreation::BoxBits[i].Get() }) {
                Call(Slot::Group3DAppend, piece.Get(), ObjectRef(mesh));
                Call(Slot::Element3DScaleSet, mesh, PieceScale);
            }
            const Point home = HomePosition(i);
            WriteVector(Field(*piece, "Position"), { home.X, home.Y, home.Z });
            Call(Slot::Group3DAppend, objects.Get(), ObjectRef(piece.Get()));
        }
        AddHeadlight();
    }

    // A white point light at the camera, moved along with it.
    static void AddHeadlight()
    {
        sHeadlight = NewObjectOfClass("Light3D");
        SetProperties(*sHeadlight,
            { { "Brightness", HeadlightBrightness }, { "Attenuation", 0 }, { "LightColor", lx::Color { 0xFFFFFF } } });
        Call(Slot::Lx3DSpaceAddLight, &View(), sHeadlight);
    }

    static void TearDownTestSuite()
    {
        sWindow->Close();
        sWindow.Reset();
        sHeadlight.Reset();
        GlobeBitCreation::Release();
        game::ReleasePictures();
    }

    static lx::RectControl& View() { return *sWindow->view; }

    // The camera at the given distance from the origin after turning it, from
    // looking along -Z, by yaw and then pitch about its own axes.
    static QImage Shot(double yaw, double pitch, const char* name)
    {
        ObjectRef camera = Field(View(), "Camera");
        WriteVector(Field(*camera, "Position"), {});
        Call(Slot::Element3DYaw, camera.Get(), yaw);
        Call(Slot::Element3DPitch, camera.Get(), pitch);
        Call(Slot::Element3DMoveForward, camera.Get(), -CameraDistance);
        Call(Slot::Light3DPositionSet, sHeadlight.Get(), Field(*camera, "Position"));
        // The picture is taken with the camera the last render applied.
        Call(Slot::Lx3DSpaceUpdate, &View());
        auto picture = lx::Cast<lx::Picture>(Call<ObjectRef>(Slot::Lx3DSpaceGetPicture, &View()));
        // Turn back, so each shot starts from the same orientation.
        Call(Slot::Element3DPitch, camera.Get(), -pitch);
        Call(Slot::Element3DYaw, camera.Get(), -yaw);
        if (!picture)
            return {};
        QImage image = lx::ToImage(*picture);
        if (const char* folder = std::getenv("TERRASLIDE_GLOBE_PICTURES"))
            image.save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
        return image;
    }

    static inline lx::Ref<GlobeWindow> sWindow;
    static inline ObjectRef sHeadlight;
};

uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
int Red(uint32_t rgb) { return int(rgb >> 16); }
int Green(uint32_t rgb) { return int(rgb >> 8 & 0xFF); }
int Blue(uint32_t rgb) { return int(rgb & 0xFF); }

}

TEST_F(GlobeRender, FrontShowsThePacificAtTheCentreAndSkyAtTheCorners)
{
    const QImage front = Shot(0, 0, "front");
    ASSERT_FALSE(front.isNull());
    EXPECT_EQ(Rgb(front, 2, 2), Sky);
    // u = 0 faces +Z, the map's left edge: the date line on the equator, open ocean.
    const uint32_t centre = Rgb(front, ViewSide / 2, ViewSide / 2);
    EXPECT_NE(centre, Sky);
    EXPECT_GT(Blue(centre), Red(centre));
}

TEST_F(GlobeRender, PolesAreCappedWithIce)
{
    // Looking down on the north pole (the Arctic sea ice) and up at the south
    // pole (the Antarctic ice sheet): both bright.
    for (auto [pitch, name] : { std::pair { M_PI / 2, "north" }, std::pair { -M_PI / 2, "south" } }) {
        const QImage cap = Shot(0, pitch, name);
        ASSERT_FALSE(cap.isNull());
        const uint32_t centre = Rgb(cap, ViewSide / 2, ViewSide / 2);
        EXPECT_NE(centre, Sky) << name;
        EXPECT_GT(Red(centre) + Green(centre) + Blue(centre), 3 * 100) << name;
    }
}

TEST_F(GlobeRender, BackShowsAfricaAcrossTheSeam)
{
    // The back meridian (u = 0.5, the map's middle column: Greenwich) runs
    // down the middle of cell 12. Longitude 0 on the equator is the Gulf of
    // Guinea, ocean; some 15 degrees north of it lies the Sahara's sand.
    const QImage back = Shot(M_PI, 0, "back");
    ASSERT_FALSE(back.isNull());
    const uint32_t gulf = Rgb(back, ViewSide / 2, ViewSide / 2);
    EXPECT_GT(Blue(gulf), Red(gulf));
    const int sahara = ViewSide / 2 - 40;
    const uint32_t sand = Rgb(back, ViewSide / 2, sahara);
    EXPECT_GT(Red(sand), Blue(sand));
    EXPECT_GT(Green(sand), 150);
}
