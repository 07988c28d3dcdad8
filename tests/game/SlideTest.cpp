// Clicking pieces: a face neighbour of the slot slides in; anything else,
// and a contextual click, starts an orbit instead.

#include "GameScene.h"
#include "Widgets.h"

#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Records a piece's Z each time the view shows a new frame.
class FrameRecorder : public QObject {
public:
    FrameRecorder(game::MainWindow& window, int32_t piece)
        : mPiece(window.myCubes[piece])
        , mView(lx::WidgetOf(*window.View3D1()))
    {
        mView->installEventFilter(this);
    }
    ~FrameRecorder() override { mView->removeEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            Z.push_back(PositionOf(mPiece.Get()).Z);
        return false;
    }

    std::vector<double> Z;

private:
    bindings::ObjectRef mPiece;
    QWidget* mView = nullptr;
};

}

TEST(Slide, FaceNeighbourSlidesInFourRendersOfThirtyTwoUnits)
{
    RunGame([](game::MainWindow& window) {
        const int before = Renders(window);
        FrameRecorder recorder(window, 14);
        lx::test::MousePress(*window.View3D1(), FrontCentre);

        EXPECT_EQ(recorder.Z, (std::vector<double> { 96, 64, 32, 0 }));
        EXPECT_EQ(Renders(window) - before, 4);
        const bindings::Point slot = PositionOf(window.myCubes[13].Get());
        EXPECT_EQ(slot.Z, 128);
        EXPECT_TRUE(window.butRestore()->Enabled());
        EXPECT_FALSE(window.OfficialGame);
        EXPECT_TRUE(window.ignoredrag);
        EXPECT_TRUE(lx::test::AutoWaitCursorEnabled());
    });
}

TEST(Slide, SlidingBackSolvesWithoutCloseUpOutsideAnOfficialGame)
{
    RunGame([](game::MainWindow& window) {
        Click(window, FrontCentre);
        const int before = Renders(window);
        Click(window, FrontCentre);
        EXPECT_TRUE(window.IsPositionRestored());
        EXPECT_FALSE(window.butRestore()->Enabled());
        EXPECT_EQ(Renders(window) - before, 4);
        for (double scale : MeshScales(window))
            EXPECT_NEAR(scale, 0.85, 1e-6);
    });
}

TEST(Slide, PieceThatCannotMoveStartsAnOrbitFromThePressPoint)
{
    RunGame([](game::MainWindow& window) {
        ASSERT_EQ(PickedIndex(window, TopFrontEdge), 17);
        lx::Ref<lx::RectControl> view = window.View3D1();
        lx::test::MousePress(*view, TopFrontEdge);
        EXPECT_TRUE(window.IsPositionRestored());
        EXPECT_EQ(window.LastX, TopFrontEdge.x());
        EXPECT_EQ(window.LastY, TopFrontEdge.y());
        lx::test::MouseMove(*view, TopFrontEdge + QPoint(30, 0), Qt::LeftButton);
        lx::test::MouseRelease(*view, TopFrontEdge + QPoint(30, 0));
        EXPECT_LT(CameraPosition(window).X, -100);
    });
}

TEST(Slide, ContextualClickOnAMovablePieceOrbitsInstead)
{
    for (auto [button, modifiers] : { std::pair { Qt::RightButton, Qt::KeyboardModifiers(Qt::NoModifier) },
             std::pair { Qt::LeftButton, Qt::KeyboardModifiers(Qt::ControlModifier) } }) {
        RunGame([button, modifiers](game::MainWindow& window) {
            lx::Ref<lx::RectControl> view = window.View3D1();
            lx::test::MousePress(*view, FrontCentre, button, modifiers);
            EXPECT_TRUE(window.IsPositionRestored());
            EXPECT_FALSE(window.ignoredrag);
            lx::test::MouseMove(*view, FrontCentre + QPoint(0, 20), button);
            lx::test::MouseRelease(*view, FrontCentre + QPoint(0, 20), button);
            EXPECT_GT(CameraPosition(window).Y, 100);
        });
    }
}

TEST(Slide, DragAfterASlideNeitherTurnsNorChangesTheCursorAndTheReleaseChoosesIt)
{
    RunGame([](game::MainWindow& window) {
        lx::Ref<lx::RectControl> view = window.View3D1();
        Hover(window, Corner);
        ASSERT_EQ(ViewCursor(window), "resource 168");
        lx::test::MousePress(*view, FrontCentre);
        const int before = Renders(window);
        lx::test::MouseMove(*view, FrontCentre + QPoint(40, 0), Qt::LeftButton);
        EXPECT_EQ(CameraPosition(window).Z, 1000);
        EXPECT_EQ(ViewCursor(window), "resource 168");
        EXPECT_EQ(Renders(window), before);
        // The piece that just moved stands next to the slot it left.
        lx::test::MouseRelease(*view, FrontCentre);
        EXPECT_EQ(ViewCursor(window), "Arrow");
    });
}
