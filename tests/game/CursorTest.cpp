// The cursor over the view tells what a press would do: the arrow slides, the
// open hand orbits; moves and releases never change the game.

#include "GameScene.h"

#include <gtest/gtest.h>

TEST(Cursor, ArrowOverAMovablePieceOpenHandElsewhereAndWithControl)
{
    RunGame([](game::MainWindow& window) {
        const int before = Renders(window);
        Hover(window, FrontCentre);
        EXPECT_EQ(ViewCursor(window), "Arrow");
        Hover(window, TopFrontEdge);
        EXPECT_EQ(ViewCursor(window), "resource 168");
        Hover(window, Corner);
        EXPECT_EQ(ViewCursor(window), "resource 168");

        lx::test::KeyModifiers(Qt::ControlModifier);
        window.View3D1_MouseMove(FrontCentre.x(), FrontCentre.y());
        EXPECT_EQ(ViewCursor(window), "resource 168");
        lx::test::KeyModifiers(Qt::NoModifier);

        EXPECT_EQ(Renders(window), before);
        EXPECT_TRUE(window.IsPositionRestored());
        EXPECT_TRUE(lx::test::AutoWaitCursorEnabled());
    });
}

TEST(Cursor, ControlHeldThroughMovesAndReleasesShowsTheOpenHandOverMovablePieces)
{
    RunGame([](game::MainWindow& window) {
        Hover(window, FrontCentre, Qt::ControlModifier);
        EXPECT_EQ(ViewCursor(window), "resource 168");
        Hover(window, FrontCentre);
        EXPECT_EQ(ViewCursor(window), "Arrow");

        // A press on the backdrop, released over a movable piece with Control down.
        lx::Ref<lx::RectControl> view = window.View3D1();
        lx::test::MousePress(*view, Corner);
        lx::test::MouseRelease(*view, FrontCentre, Qt::LeftButton, Qt::ControlModifier);
        EXPECT_EQ(ViewCursor(window), "resource 168");
        Hover(window, FrontCentre);
        EXPECT_EQ(ViewCursor(window), "Arrow");
        EXPECT_TRUE(window.IsPositionRestored());
    });
}
