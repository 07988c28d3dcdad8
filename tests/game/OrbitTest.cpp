// Dragging turns the camera around the globe at its distance, with the star
// backdrop opposite and the headlight at the camera.

#include "GameScene.h"

#include <cmath>

#include <gtest/gtest.h>

TEST(Orbit, DragRightTurnsTheCameraAroundTheGlobe)
{
    RunGame([](game::MainWindow& window) {
        const int before = Renders(window);
        lx::Ref<lx::RectControl> view = window.View3D1();
        lx::test::MousePress(*view, Corner);
        lx::test::MouseMove(*view, Corner + QPoint(50, 0), Qt::LeftButton);
        EXPECT_EQ(ViewCursor(window), "resource 169");
        lx::test::MouseMove(*view, Corner + QPoint(100, 0), Qt::LeftButton);
        EXPECT_EQ(Renders(window) - before, 2);
        lx::test::MouseRelease(*view, Corner + QPoint(100, 0));

        const bindings::Point camera = CameraPosition(window);
        EXPECT_NEAR(camera.X, -999.6, 0.5);
        EXPECT_NEAR(camera.Y, 0, 1e-3);
        EXPECT_NEAR(camera.Z, -29.2, 0.5);
        EXPECT_NEAR(Length(camera), 1000, 1e-2);
        const bindings::Point backdrop = PositionOf(window.SkyBackDropPic.Get());
        EXPECT_NEAR(backdrop.X, -0.352 * camera.X, 1e-2);
        EXPECT_NEAR(backdrop.Z, -0.352 * camera.Z, 1e-2);
        bindings::ObjectRef light = bindings::Lx3DSpace::Light(view, 0);
        EXPECT_EQ(bindings::ObjectField(light, "Position"),
            bindings::Element3D::Position(bindings::Lx3DSpace::Camera(view)));
        EXPECT_EQ(PickedIndex(window, FrontCentre), 4);
    });
}

TEST(Orbit, DragDownLooksAtTheNorthPole)
{
    RunGame([](game::MainWindow& window) {
        Drag(window, Corner, { Corner + QPoint(0, 98) });
        const bindings::Point camera = CameraPosition(window);
        EXPECT_NEAR(camera.X, 0, 1e-3);
        EXPECT_NEAR(camera.Y, 1000, 0.5);
        EXPECT_NEAR(Length(camera), 1000, 1e-2);
        EXPECT_EQ(PickedIndex(window, FrontCentre), 16);
    });
}

TEST(Orbit, FirstDragTurnsByTheDistanceFromThePressPoint)
{
    RunGame([](game::MainWindow& window) {
        Drag(window, Corner, { Corner + QPoint(5, 0) });
        Drag(window, Corner + QPoint(200, 0), { Corner + QPoint(210, 0) });
        // Two drags of 5 and 10 pixels: a yaw of 15 x -0.016 radians in all.
        const bindings::Point camera = CameraPosition(window);
        EXPECT_NEAR(camera.X, -1000 * std::sin(0.24), 0.05);
        EXPECT_NEAR(camera.Z, 1000 * std::cos(0.24), 0.05);
    });
}

TEST(Orbit, BackdropKeepsFacingTheCamera)
{
    RunGame([](game::MainWindow& window) {
        Drag(window, Corner, { Corner + QPoint(70, 30), Corner + QPoint(150, 90), Corner + QPoint(20, 200) });
        EXPECT_NEAR(Length(CameraPosition(window)), 1000, 1e-2);
        EXPECT_NEAR(Length(PositionOf(window.SkyBackDropPic.Get())), 352, 1e-2);
        const QImage frame = lx::test::PresentedFrame(*window.View3D1());
        const QRgb sky = qRgb(0x52, 0x76, 0xA5) & 0xFFFFFF;
        for (QPoint corner : { QPoint(0, 0), QPoint(511, 0), QPoint(0, 511), QPoint(511, 511) })
            EXPECT_NE(frame.pixel(corner) & 0xFFFFFF, sky);
    });
}
