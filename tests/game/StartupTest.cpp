// The game as it starts: the window, its controls and texts, the menu bar and
// the scene; and the ways it quits.

#include "GameScene.h"
#include "Widgets.h"

#include "bindings/EntryPoints.h"
#include "bindings/Lx3D.h"
#include "game/Menu.h"
#include "game/Resources.h"

#include "about/AboutWindow.h"

#include <lxframework/AppLife.h>
#include <lxframework/PushButton.h>
#include <lxframework/Runtime.h>
#include <lxframework/Slider.h>
#include <lxframework/StaticText.h>

#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QRect ControlRect(game::MainWindow& window, const char* name)
{
    return lx::BoundsOf(*lx::RuntimeWindowControlByName(&window, name));
}

bool ControlEnabled(game::MainWindow& window, const char* name)
{
    return lx::RuntimeWindowControlByName(&window, name)->Enabled();
}

std::vector<std::string> MenuRows(const lx::MenuItem& menu)
{
    std::vector<std::string> rows;
    for (const lx::Ref<lx::MenuItem>& item : menu.Children())
        rows.push_back(
            item->Name + "|" + item->Text + "|" + item->KeyboardShortcut + "|" + (item->AutoEnable ? "on" : "off"));
    return rows;
}

}

TEST(Startup, OneFixedSizeWindowWithItsControlsLaidOut)
{
    const int status = RunGame([](game::MainWindow& window) {
        EXPECT_EQ(lx::RuntimeWindowList().size(), 1u);
        EXPECT_EQ(window.Title(), "Terraslide");
        EXPECT_EQ(lx::ContentOf(window)->size(), QSize(670, 512));
        const Qt::WindowFlags flags = lx::WidgetOf(window)->windowFlags();
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(lx::WidgetOf(window)->minimumSize(), lx::WidgetOf(window)->maximumSize());

        EXPECT_EQ(ControlRect(window, "View3D1"), QRect(0, 0, 512, 512));
        EXPECT_EQ(ControlRect(window, "butScramble"), QRect(529, 19, 128, 20));
        EXPECT_EQ(ControlRect(window, "butRestore"), QRect(529, 57, 128, 20));
        EXPECT_EQ(ControlRect(window, "SliderSize"), QRect(529, 103, 128, 26));
        EXPECT_EQ(ControlRect(window, "StaticText3"), QRect(529, 143, 128, 328));
        EXPECT_TRUE(ControlEnabled(window, "butScramble"));
        EXPECT_FALSE(ControlEnabled(window, "butRestore"));
        EXPECT_FALSE(lx::RuntimeWindowControlByName(&window, "Separator1")->Visible());
        EXPECT_EQ(window.SliderSize()->Value(), 85);
    });
    EXPECT_EQ(status, 0);
}

TEST(Startup, HelpTextIsTwoParagraphsWithOneEmptyLineBetween)
{
    RunGame([](game::MainWindow& window) {
        auto help = lx::Cast<lx::StaticText>(lx::RuntimeWindowControlByName(&window, "StaticText3"));
        EXPECT_EQ(help->Text(),
            "This is a 3D variation of the sliding \"15 Puzzle\".  After scrambling the puzzle, the goal is to "
            "restore the globe.  Clicking on a globe piece that's adjacent to the empty space will slide the piece "
            "into that space.\n\nClicking and dragging on either the surrounding space or non playable pieces will "
            "allow you to rotate the entire puzzle.");
    });
}

TEST(Startup, MenuBarIsSharedAndHoldsFileEditAndHelp)
{
    RunGame([](game::MainWindow& window) {
        lx::Ref<lx::MenuBar> bar = window.MenuBar();
        ASSERT_TRUE(bar);
        EXPECT_EQ(bar, game::Menu::Instance());
        EXPECT_EQ(bar, lx::getAppObject()->MenuBar);
        EXPECT_EQ(MenuRows(*bar),
            (std::vector<std::string> { "UntitledMenu2|File||off", "UntitledMenu0|Edit||off", "HelpMenu|Help||off" }));
        EXPECT_EQ(MenuRows(*bar->Child("UntitledMenu2")),
            (std::vector<std::string> { "FileClose|Close|Cmd+W|on", "UntitledMenu3|-||on", "FileQuit|Quit|Cmd+Q|on" }));
        EXPECT_EQ(MenuRows(*bar->Child("UntitledMenu0")),
            (std::vector<std::string> { "EditUndo|Undo|Cmd+Z|off", "UntitledMenu1|-||off", "EditCut|Cut|Cmd+X|off",
                "EditCopy|Copy|Cmd+C|off", "EditPaste|Paste|Cmd+V|off", "EditClear|Clear||off" }));
        EXPECT_EQ(MenuRows(*bar->Child("HelpMenu")), (std::vector<std::string> { "HelpAbout|About Terraslide||on" }));
        EXPECT_TRUE(dynamic_cast<lx::QuitMenuItem*>(bar->Lookup("FileQuit").Get()));
        EXPECT_TRUE(dynamic_cast<lx::AppleMenuItem*>(bar->Lookup("HelpAbout").Get()));
    });
}

TEST(Startup, SceneStartsSolvedAtEightyFivePercentWithTheCameraBackdropAndLightInLine)
{
    RunGame([](game::MainWindow& window) {
        bindings::ObjectRef view = window.View3D1();
        bindings::ObjectRef objects = bindings::Lx3DSpace::Objects(view);
        ASSERT_EQ(bindings::Group3D::Count(objects), 28);
        EXPECT_EQ(bindings::Group3D::Item(objects, 0), window.SkyBackDropPic);
        for (int32_t i = 0; i < globe::CellCount; ++i) {
            EXPECT_EQ(bindings::Group3D::Item(objects, i + 1), window.myCubes[i]);
            const bindings::Point at = PositionOf(window.myCubes[i].Get());
            EXPECT_EQ(at.X, Home(i).X);
            EXPECT_EQ(at.Y, Home(i).Y);
            EXPECT_EQ(at.Z, Home(i).Z);
        }
        EXPECT_FALSE(VisibleOf(window.myCubes[13].Get()));
        EXPECT_TRUE(VisibleOf(window.myCubes[14].Get()));
        for (double scale : MeshScales(window))
            EXPECT_NEAR(scale, 0.85, 1e-6);
        EXPECT_NEAR(bindings::Call<double>(bindings::Slot::Element3DScaleGet, window.myCubes[0].Get()), 1.0, 1e-6);

        const bindings::Point camera = CameraPosition(window);
        EXPECT_EQ(camera.Z, 1000);
        EXPECT_EQ(PositionOf(window.SkyBackDropPic.Get()).Z, -352);
        bindings::ObjectRef light = bindings::Lx3DSpace::Light(view, 0);
        EXPECT_EQ(
            bindings::ObjectField(light, "Position"), bindings::Element3D::Position(bindings::Lx3DSpace::Camera(view)));
        EXPECT_FALSE(window.OfficialGame);
        EXPECT_TRUE(window.IsPositionRestored());
    });
}

TEST(Startup, FirstFrameShowsTheStarsAtTheCornersAndTheGlobeInTheMiddle)
{
    RunGame([](game::MainWindow& window) {
        const QImage frame = lx::test::PresentedFrame(*window.View3D1());
        ASSERT_EQ(frame.size(), QSize(512, 512));
        const QRgb sky = qRgb(0x52, 0x76, 0xA5);
        for (QPoint corner : { QPoint(0, 0), QPoint(511, 0), QPoint(0, 511), QPoint(511, 511) })
            EXPECT_NE(frame.pixel(corner) & 0xFFFFFF, sky & 0xFFFFFF);
        EXPECT_EQ(PickedIndex(window, Corner), -1);
        EXPECT_EQ(window.FindObjectCorrected(window.View3D1(), Corner.x(), Corner.y()), window.SkyBackDropPic);
        EXPECT_EQ(PickedIndex(window, FrontCentre), 14);
    });
}

TEST(Resources, PicturesAreKeptAndCursorsFetchedAnew)
{
    RunGame([](game::MainWindow&) {
        EXPECT_EQ(game::land_ocean_ice_512(), game::land_ocean_ice_512());
        lx::Ref<lx::MouseCursor> hand = game::HandCursor();
        ASSERT_TRUE(hand);
        EXPECT_NE(hand, game::HandCursor());
        EXPECT_EQ(hand->Identity(), "resource 168");
        EXPECT_EQ(game::HandClosedCursor()->Identity(), "resource 169");
        for (auto picture : { game::GlobeMask(), game::GlobeIcon(), game::Sunset(), game::test1(), game::test2() })
            EXPECT_TRUE(picture);
    });
}

TEST(Quitting, FileCloseQuitsWithStatusZeroAndReleasesWhatStartUpKept)
{
    const int status = RunGame([](game::MainWindow& window) {
        EXPECT_TRUE(game::stars2());
        lx::test::ChooseMenuItem(window, "FileClose");
        EXPECT_TRUE(lx::test::QuitRequested());
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(lx::RuntimeWindowList().empty());
}

TEST(Quitting, TheCloseBoxQuits)
{
    const int status = RunGame([](game::MainWindow& window) {
        lx::WidgetOf(window)->close();
        EXPECT_TRUE(lx::test::QuitRequested());
        EXPECT_EQ(lx::test::QuitCode(), 0);
    });
    EXPECT_EQ(status, 0);
}

TEST(Quitting, FileQuitQuitsOnceThoughTheWindowsCloseEventAsksAgain)
{
    const int status = RunGame([](game::MainWindow& window) { lx::test::ChooseMenuItem(window, "FileQuit"); });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(lx::RuntimeWindowList().empty());
}

TEST(About, HelpAboutOpensOneAboutWindowFromAnyWindow)
{
    RunGame([](game::MainWindow& window) {
        lx::test::ChooseMenuItem(window, "HelpAbout");
        lx::Ref<lx::Window> about = lx::test::FindWindow(about::AboutWindow::ClassName);
        ASSERT_TRUE(about);
        EXPECT_TRUE(about->IsOpen());
        lx::test::ChooseMenuItem(*about, "HelpAbout");
        EXPECT_EQ(lx::RuntimeWindowList().size(), 2u);
        EXPECT_FALSE(lx::test::QuitRequested());
    });
}

TEST(Startup, AQtApplicationMadeBeforeTheGameGetsTheFrameworksSettings)
{
    // The harness makes its Qt application before the game starts; the game
    // must still decide for itself when to quit, as it does when it makes one.
    bool quitsOnLastWindow = true;
    RunGame([&](game::MainWindow&) { quitsOnLastWindow = QGuiApplication::quitOnLastWindowClosed(); });
    EXPECT_FALSE(quitsOnLastWindow);
}
