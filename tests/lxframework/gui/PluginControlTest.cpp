#include "GuiTestSupport.h"
#include "PresentPacer.h"

#include <lxframework/AppLife.h>
#include <lxframework/EntryPoint.h>
#include <lxframework/Keyboard.h>
#include <lxframework/MouseCursor.h>
#include <lxframework/WaitCursor.h>

#include <gtest/gtest.h>

#include <QScreen>

#include <algorithm>
#include <chrono>

using namespace lx;

namespace {

constexpr QPoint ViewOrigin(10, 20);

class ViewWindow : public Window {
public:
    bool TrackPresses = true;
    std::vector<std::string> Events;

    void Layout() override { SetProperties(*this, { { "Width", 120 }, { "Height", 100 } }); }
    void CreateControls() override
    {
        Ref<RectControl> view = New("TestView");
        AddControl("View", view);
        SetProperties(
            *view, { { "Left", ViewOrigin.x() }, { "Top", ViewOrigin.y() }, { "Width", 64 }, { "Height", 48 } });
        view->InstallInstanceEventHandler("MouseDown", [this](int32_t x, int32_t y) {
            Events.push_back("MouseDown " + std::to_string(x) + "," + std::to_string(y)
                + (IsContextualClick() ? " contextual" : ""));
            return TrackPresses;
        });
        view->InstallInstanceEventHandler("MouseDrag", [this](int32_t x, int32_t y) {
            Events.push_back("MouseDrag " + std::to_string(x) + "," + std::to_string(y));
        });
        view->InstallInstanceEventHandler("MouseUp", [this](int32_t x, int32_t y) {
            Events.push_back("MouseUp " + std::to_string(x) + "," + std::to_string(y));
        });
        view->InstallInstanceEventHandler("MouseMove", [this](int32_t x, int32_t y) {
            Events.push_back("MouseMove " + std::to_string(x) + "," + std::to_string(y));
        });
        // The framework's own control plug-in, lying and standing.
        Ref<RectControl> across = New("Separator");
        AddControl("Across", across);
        SetProperties(*across, { { "Left", 10 }, { "Top", 80 }, { "Width", 100 }, { "Height", 4 } });
        Ref<RectControl> down = New("Separator");
        AddControl("Down", down);
        SetProperties(*down, { { "Left", 100 }, { "Top", 10 }, { "Width", 4 }, { "Height", 60 } });
    }
};

struct ViewFixture : ::testing::Test {
    void SetUp() override
    {
        viewplugin::Calls().clear();
        window = OpenWindow<ViewWindow>("ViewWindow");
        view = RuntimeWindowControlByName(window.Get(), "View");
        ProcessEvents();
    }
    void TearDown() override { window->Close(); }

    int Count(const std::string& call) const
    {
        const auto& calls = viewplugin::Calls();
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    Ref<ViewWindow> window;
    Ref<RectControl> view;
};

// What the window system has of the control (not a fresh rendering of it).
QImage OnScreen(RectControl& control)
{
    QWidget* top = WidgetOf(control)->window();
    const QPoint origin = WidgetOf(control)->mapTo(top, QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(top->winId(), origin.x(), origin.y(), BoundsOf(control).width(), BoundsOf(control).height())
        .toImage();
}

QRgb Centre(const QImage& image) { return image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFF; }

}

TEST_F(ViewFixture, PressesGoToTheBehavioursInWindowCoordinates)
{
    test::MousePress(*view, QPoint(5, 6));
    test::MouseMove(*view, QPoint(7, 8), Qt::LeftButton);
    // The drag goes on outside the control.
    test::MouseMove(*view, QPoint(-4, 90), Qt::LeftButton);
    test::MouseRelease(*view, QPoint(-4, 90));
    const std::vector<std::string> expected { "MouseDown 15,26", "MouseDrag 17,28", "MouseDrag 6,110",
        "MouseUp 6,110" };
    EXPECT_EQ(window->Events, expected);
}

TEST_F(ViewFixture, RefusedPressGetsNoDragOrUp)
{
    window->TrackPresses = false;
    test::MousePress(*view, QPoint(5, 6));
    test::MouseMove(*view, QPoint(7, 8), Qt::LeftButton);
    test::MouseRelease(*view, QPoint(7, 8));
    EXPECT_EQ(window->Events, std::vector<std::string> { "MouseDown 15,26" });
    EXPECT_EQ(Count("drag 17,28"), 0);
}

TEST_F(ViewFixture, MouseMoveIsLocalAndOnlyWhileNoButtonIsDown)
{
    test::MouseMove(*view, QPoint(3, 4));
    test::MousePress(*view, QPoint(3, 4));
    test::MouseMove(*view, QPoint(9, 9), Qt::LeftButton);
    test::MouseRelease(*view, QPoint(9, 9));
    const std::vector<std::string> expected { "MouseMove 3,4", "MouseDown 13,24", "MouseDrag 19,29", "MouseUp 19,29" };
    EXPECT_EQ(window->Events, expected);
}

TEST_F(ViewFixture, ContextualClickIsTheRightButtonOrControlLeft)
{
    window->TrackPresses = false;
    test::MousePress(*view, QPoint(1, 1), Qt::RightButton);
    test::MousePress(*view, QPoint(1, 1), Qt::LeftButton, Qt::ControlModifier);
    test::MousePress(*view, QPoint(1, 1), Qt::LeftButton);
    const std::vector<std::string> expected { "MouseDown 11,21 contextual", "MouseDown 11,21 contextual",
        "MouseDown 11,21" };
    EXPECT_EQ(window->Events, expected);
}

TEST_F(ViewFixture, RedrawRunsOnlyBetweenOpenAndClose)
{
    const auto& calls = viewplugin::Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "construct");
    EXPECT_EQ(calls[1], "open");
    EXPECT_GE(Count("redraw"), 1);
    // The plug-in's own request for a redraw is met.
    const int redraws = Count("redraw");
    reinterpret_cast<LxInvalidateControlProc>(HostResolver("VANTInvalidateControl"))(ToLx(view.Get()));
    ProcessEvents();
    EXPECT_GT(Count("redraw"), redraws);
    window->Close();
    EXPECT_EQ(calls.back(), "close");
    const std::size_t afterClose = calls.size();
    test::MousePress(*view, QPoint(5, 6));
    WidgetOf(*view)->repaint();
    ProcessEvents();
    EXPECT_EQ(calls.size(), afterClose);
    EXPECT_EQ(Count("close"), 1);
}

TEST_F(ViewFixture, UpdateInsideAHandlerIsOnScreenBeforeItReturns)
{
    const LxEntryPoint* update = RuntimeLookupPluginEntrypoint(viewplugin::UpdateBinding);
    std::vector<QRgb> seen;
    std::vector<int> counts;
    const int redraws = Count("redraw");
    view->InstallInstanceEventHandler("MouseDown", [&](int32_t, int32_t) {
        // Four steps of a slide, each visible at once.
        for (QRgb color : { 0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFF00u }) {
            viewplugin::SetPaintColor(color);
            Call(update, view.Get());
            counts.push_back(test::PresentCount(*view));
            seen.push_back(Centre(OnScreen(*view)));
        }
        return false;
    });
    const int before = test::PresentCount(*view);
    test::MousePress(*view, QPoint(5, 6));
    const std::vector<int> expectedCounts { before + 1, before + 2, before + 3, before + 4 };
    EXPECT_EQ(counts, expectedCounts);
    const std::vector<QRgb> expectedColors { 0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFF00u };
    EXPECT_EQ(seen, expectedColors);
    EXPECT_EQ(Centre(test::PresentedFrame(*view)), 0xFFFF00u);
    // Showing the flushed pixels did not ask the plug-in to draw again.
    EXPECT_EQ(Count("redraw"), redraws);
    viewplugin::SetPaintColor(0x336699);
}

TEST_F(ViewFixture, AFlushShowsOnlyItsRectangle)
{
    const LxEntryPoint* update = RuntimeLookupPluginEntrypoint(viewplugin::UpdateBinding);
    viewplugin::SetPaintColor(0xFF0000);
    Call(update, view.Get());
    // Blue everywhere in the port, but only a strip at the view's left flushed.
    CGrafPtr saved = nullptr;
    GetGWorld(&saved, nullptr);
    SetGWorld(GetWindowPort(window->PlatformWindow()), nullptr);
    const RGBColor blue { 0, 0, 0xFFFF };
    RGBForeColor(&blue);
    const Rect everything { 0, 0, 100, 120 };
    PaintRect(&everything);
    SetGWorld(saved, nullptr);
    const Rect strip { 0, 0, 100, static_cast<int16_t>(ViewOrigin.x() + 8) };
    FlushWindowRect(window->PlatformWindow(), &strip);
    const QImage screen = OnScreen(*view);
    EXPECT_EQ(screen.pixel(2, 30) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(screen.pixel(20, 30) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(test::PresentedFrame(*view), screen.convertToFormat(QImage::Format_RGB32));
    viewplugin::SetPaintColor(0x336699);
}

TEST_F(ViewFixture, ASeparatorDrawsItsGrooveAlongItsLongSide)
{
    const QImage across = test::PresentedFrame(*RuntimeWindowControlByName(window.Get(), "Across"));
    const QImage down = test::PresentedFrame(*RuntimeWindowControlByName(window.Get(), "Down"));
    ASSERT_EQ(across.size(), QSize(100, 4));
    ASSERT_EQ(down.size(), QSize(4, 60));
    // A dark line through the middle of the short side; the rest, its light line included, is white.
    const std::vector<QRgb> groove { 0xFFFFFFu, 0xFFFFFFu, 0x808080u, 0xFFFFFFu };
    for (int x : { 0, 50, 99 }) {
        std::vector<QRgb> column;
        for (int y = 0; y < 4; ++y)
            column.push_back(across.pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(column, groove) << "column " << x;
    }
    for (int y : { 0, 30, 59 }) {
        std::vector<QRgb> row;
        for (int x = 0; x < 4; ++x)
            row.push_back(down.pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(row, groove) << "row " << y;
    }
}

TEST_F(ViewFixture, APresentWithinARefreshPeriodWaitsForTheRestOfIt)
{
    using namespace std::chrono_literals;
    std::chrono::nanoseconds now = 100s;
    std::vector<std::chrono::nanoseconds> waits;
    // Every sleep wakes a millisecond late.
    test::SetPacingClock([&] { return now; },
        [&](std::chrono::nanoseconds wait) {
            waits.push_back(wait);
            now += wait + 1ms;
        });
    test::SetPresentPacing(true);
    const double rate = WidgetOf(*view)->screen()->refreshRate();
    const auto period = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(1.0 / (rate >= 1.0 ? rate : FallbackRefreshRate)));
    const LxEntryPoint* update = RuntimeLookupPluginEntrypoint(viewplugin::UpdateBinding);
    Call(update, view.Get());
    waits.clear();
    now += 5ms;
    Call(update, view.Get());
    EXPECT_EQ(waits, std::vector { period - 5ms });
    // Back to back, as a slide's steps: the periods follow on without the lateness.
    Call(update, view.Get());
    EXPECT_EQ(waits, (std::vector { period - 5ms, period - 1ms }));
    now += period;
    Call(update, view.Get());
    EXPECT_EQ(waits.size(), 2u) << "a present a whole period later goes at once";
    test::SetPresentPacing(false);
    test::SetPacingClock(nullptr, nullptr);
}

TEST_F(ViewFixture, ControlServicesDescribeThePlaceAndTheWindow)
{
    LxRect bounds {};
    reinterpret_cast<LxGetControlBoundsProc>(HostResolver("GetControlBounds"))(ToLx(view.Get()), &bounds);
    EXPECT_EQ(bounds.top, 20);
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.bottom, 68);
    EXPECT_EQ(bounds.right, 74);
    const int32_t references = window->ReferenceCount();
    LxObject* owner = reinterpret_cast<LxGetControlWindowProc>(HostResolver("getControlWindow"))(ToLx(view.Get()));
    EXPECT_EQ(owner, ToLx(window.Get()));
    EXPECT_EQ(window->ReferenceCount(), references) << "the window is borrowed";
    EXPECT_EQ(reinterpret_cast<LxGetWindowHandleProc>(HostResolver("VANTGetWindowHandle"))(owner),
        static_cast<void*>(window->PlatformWindow()));
}

TEST_F(ViewFixture, WaitCursorShowsInLongHandlersUnlessDisabled)
{
    test::SetWaitCursorDelay(0);
    std::vector<bool> shown;
    view->InstallInstanceEventHandler("MouseDown", [&](int32_t, int32_t) {
        RuntimeYield();
        shown.push_back(test::WaitCursorShown());
        DisableAutoWaitCursor();
        shown.push_back(test::WaitCursorShown());
        RuntimeYield();
        shown.push_back(test::WaitCursorShown());
        EnableAutoWaitCursor();
        return false;
    });
    test::MousePress(*view, QPoint(5, 6));
    EXPECT_EQ(shown, (std::vector<bool> { true, false, false }));
    EXPECT_FALSE(test::WaitCursorShown());
    test::SetWaitCursorDelay(1000);
}

TEST_F(ViewFixture, ApplicationCursorWinsAndNilRemovesIt)
{
    Ref<Application> app = New<Application>();
    RuntimeRegisterAppObject(app);
    view->SetMouseCursor(ArrowCursor());
    EXPECT_EQ(WidgetOf(*view)->cursor().shape(), Qt::ArrowCursor);
    app->SetMouseCursor(System::Cursors::FingerPointer());
    EXPECT_EQ(test::ApplicationCursorIdentity(), "FingerPointer");
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    app->SetMouseCursor(nullptr);
    EXPECT_EQ(test::ApplicationCursorIdentity(), "");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    RuntimeRegisterAppObject(nullptr);
}

TEST(CarbonWindowAttributes, ClearingTheCollapseBoxRemovesTheMinimiseButton)
{
    class AttributesWindow : public Window { };
    Ref<AttributesWindow> window = OpenWindow<AttributesWindow>("AttributesWindow");
    ASSERT_TRUE(WidgetOf(*window)->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    ChangeWindowAttributes(window->PlatformWindow(), 0, 0x3E8);
    EXPECT_FALSE(WidgetOf(*window)->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(WidgetOf(*window)->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(WidgetOf(*window)->isVisible());
    window->Close();
}
