#include "GuiTestSupport.h"

#include <lxframework/Slider.h>
#include <lxframework/StaticText.h>

#include <gtest/gtest.h>

#include <QScreen>

#include <algorithm>

using namespace lx;

namespace {

// The construction protocol as the game's main window uses it: a plug-in view
// whose Open handler looks for a control made after it, a button, a window
// Open that sets the title and shows a message.
class OrderWindow : public Window {
public:
    std::string TitleAtMessage;

    void Layout() override { SetProperties(*this, { { "Width", 200 }, { "Height", 120 }, { "Title", "" } }); }

    void CreateControls() override
    {
        Ref<RectControl> view = New("TestView");
        AddControl("View", view);
        SetProperties(*view, { { "Left", 10 }, { "Top", 20 }, { "Width", 64 }, { "Height", 48 } });
        view->InstallInstanceEventHandler("Open", [this] {
            Journal().push_back("view Open, plug-in calls: " + std::to_string(viewplugin::Calls().size()));
            Journal().push_back(RuntimeWindowControlByName(this, "Label") ? "label exists" : "label missing");
        });
        Ref<RectControl> label = New("StaticText");
        AddControl("Label", label);
        label->InstallInstanceEventHandler("Open", [] { Journal().push_back("label Open"); });
    }

    void Event_Open() override
    {
        Journal().push_back("window Open");
        SetTitle("Terraslide");
        MsgBox("message");
    }
};

class RangeWindow : public Window {
public:
    void CreateControls() override
    {
        Ref<RectControl> slider = New("Slider");
        AddControl("Slider", slider);
        // The value comes first in the list, outside the default range.
        SetProperties(
            *slider, { { "Value", 190 }, { "Minimum", 125 }, { "Maximum", 200 }, { "Width", 128 }, { "Height", 26 } });
    }
};

class MissingControlWindow : public Window {
public:
    void CreateControls() override
    {
        Ref<RectControl> view = New("MissingSpace");
        AddControl("View3D1", view);
        SetProperties(*view, { { "Hither", 500 }, { "SkyColor", Color { 0x5276A5 } }, { "Left", 0 } });
        view->InstallInstanceEventHandler("MouseDown", [](int32_t, int32_t) { return true; });
        view->InstallInstanceEventHandler("Open", [] { Journal().push_back("placeholder Open"); });
        AddControl("NotAControl", New("MenuItem"));
    }
    void Event_Open() override { Journal().push_back("window Open"); }
};

class AboutTestWindow : public Window {
public:
    void Layout() override { SetProperties(*this, { { "Width", 100 }, { "Height", 80 }, { "Placement", 2 } }); }
};

Ref<Window> AboutTestAccessor()
{
    if (Ref<Window> existing = RuntimeImplicitInstance("AboutTestWindow.AboutTestWindow"))
        return existing;
    RegisterTestClass<AboutTestWindow>("AboutTestWindow.AboutTestWindow");
    Ref<Window> window = New<AboutTestWindow>();
    RuntimeRegisterImplicitInstance(window);
    window->Constructor();
    return window;
}

}

TEST(Construction, EveryControlExistsBeforeAnyOpenAndControlsOpenBeforeTheWindow)
{
    Journal().clear();
    viewplugin::Calls().clear();
    MessageCapture capture;
    Ref<OrderWindow> window = OpenWindow<OrderWindow>("OrderWindow");
    const std::vector<std::string> expected { "view Open, plug-in calls: 2", "label exists", "label Open",
        "window Open" };
    EXPECT_EQ(Journal(), expected);
    // The plug-in's construct and open behaviours ran before the view's Open event.
    ASSERT_GE(viewplugin::Calls().size(), 2u);
    EXPECT_EQ(viewplugin::Calls()[0], "construct");
    EXPECT_EQ(viewplugin::Calls()[1], "open");
    EXPECT_EQ(capture.Messages, std::vector<std::string> { "message" });
    EXPECT_EQ(WidgetOf(*window)->windowTitle(), "Terraslide");
    EXPECT_TRUE(WidgetOf(*window)->isVisible());
    window->Close();
}

TEST(Construction, TitleIsInPlaceWhenTheMessageShows)
{
    std::string titleSeen;
    Ref<OrderWindow> window;
    test::CaptureMessageBoxes([&](std::string_view) {
        Ref<Window> open = test::FindWindow("OrderWindow");
        titleSeen = open ? WidgetOf(*open)->windowTitle().toStdString() : "no window";
    });
    window = OpenWindow<OrderWindow>("OrderWindow");
    test::CaptureMessageBoxes(nullptr);
    EXPECT_EQ(titleSeen, "Terraslide");
    window->Close();
}

TEST(Construction, SliderRangeIsAppliedBeforeItsValue)
{
    Ref<RangeWindow> window = OpenWindow<RangeWindow>("RangeWindow");
    auto slider = Cast<Slider>(RuntimeWindowControlByName(window.Get(), "Slider"));
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->Value(), 190);
    window->Close();
}

TEST(Construction, MissingPluginControlClassGivesAnInertPlaceholder)
{
    Journal().clear();
    std::vector<std::string> log;
    DebugLogSink previous = SetDebugLogSink([&](std::string_view line) { log.emplace_back(line); });
    Ref<MissingControlWindow> window = OpenWindow<MissingControlWindow>("MissingControlWindow");
    SetDebugLogSink(std::move(previous));
    Ref<RectControl> view = RuntimeWindowControlByName(window.Get(), "View3D1");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->ObjectClass().Name(), "PlaceholderControl");
    // A class that is no control stands in the same way; the log names both.
    Ref<RectControl> notAControl = RuntimeWindowControlByName(window.Get(), "NotAControl");
    ASSERT_TRUE(notAControl);
    EXPECT_EQ(notAControl->ObjectClass().Name(), "PlaceholderControl");
    for (const char* name : { "MissingSpace", "MenuItem" }) {
        EXPECT_TRUE(std::ranges::any_of(log, [&](const std::string& line) {
            return line.find(name) != std::string::npos;
        })) << name;
    }
    // The window still opened; the placeholder raises nothing.
    EXPECT_EQ(Journal(), std::vector<std::string> { "window Open" });
    EXPECT_TRUE(window->IsOpen());
    window->Close();
}

TEST(Construction, UnknownEventNameIsRefusedAtInstallTime)
{
    Ref<RangeWindow> window = OpenWindow<RangeWindow>("RangeWindow");
    Ref<RectControl> slider = RuntimeWindowControlByName(window.Get(), "Slider");
    EXPECT_THROW(slider->InstallInstanceEventHandler("Action", [] {}), Exception);
    // ValueChanged takes no arguments.
    EXPECT_THROW(slider->InstallInstanceEventHandler("ValueChanged", [](int32_t) {}), Exception);
    window->Close();
}

TEST(Construction, ImplicitInstanceIsFoundWhileOpenAndMadeFreshAfterClose)
{
    Ref<Window> first = AboutTestAccessor();
    EXPECT_EQ(AboutTestAccessor(), first);
    first->Close();
    EXPECT_FALSE(RuntimeImplicitInstance("AboutTestWindow.AboutTestWindow"));
    Ref<Window> second = AboutTestAccessor();
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->IsOpen());
    second->Close();
}

TEST(Construction, ClosingRemovesTheWindowFromTheWindowList)
{
    Ref<RangeWindow> window = OpenWindow<RangeWindow>("RangeWindow");
    auto listed = [&] {
        auto windows = RuntimeWindowList();
        return std::find(windows.begin(), windows.end(), window) != windows.end();
    };
    EXPECT_TRUE(listed());
    window->Close();
    EXPECT_FALSE(listed());
    ProcessEvents();
    EXPECT_FALSE(WidgetOf(*window));
}

TEST(Construction, OnlyAResizeableWindowOffersMaximising)
{
    class FrameWindow : public Window { };
    Ref<FrameWindow> window = OpenWindow<FrameWindow>("FrameWindow");
    SetProperties(*window, { { "Resizeable", false }, { "MaximizeButton", true } });
    EXPECT_FALSE(WidgetOf(*window)->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    SetProperties(*window, { { "Resizeable", true } });
    EXPECT_TRUE(WidgetOf(*window)->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    window->Close();
}

TEST(Construction, SettingsMadeOnAnOpenWindowTakeEffectAtOnce)
{
    Ref<RangeWindow> window = OpenWindow<RangeWindow>("RangeWindow");
    Ref<RectControl> slider = RuntimeWindowControlByName(window.Get(), "Slider");
    SetProperties(*slider, { { "HelpTag", "Size" } });
    EXPECT_EQ(WidgetOf(*slider)->toolTip(), "Size");
    ProcessEvents();
    SetProperties(*window, { { "HasBackColor", true }, { "BackColor", Color { 0x336699 } } });
    ProcessEvents();
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(WidgetOf(*window)->winId()).toImage();
    EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1) & 0xFFFFFF, 0x336699u);
    window->Close();
}

TEST(Construction, LabelsBreakLinesOnEveryLineEnd)
{
    class LabelWindow : public Window {
    public:
        void CreateControls() override
        {
            Ref<RectControl> label = New("StaticText");
            AddControl("Label", label);
            SetProperties(*label, { { "Text", "one\rtwo\r\nthree\nfour" }, { "MultiLine", true } });
        }
    };
    Ref<LabelWindow> window = OpenWindow<LabelWindow>("LabelWindow");
    auto label = Cast<StaticText>(RuntimeWindowControlByName(window.Get(), "Label"));
    EXPECT_EQ(label->Text(), "one\ntwo\nthree\nfour");
    window->Close();
}
