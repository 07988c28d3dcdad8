#include "game/MainWindow.h"

#include "game/Menu.h"

#include <lxframework/AppLife.h>
#include <lxframework/Functions.h>
#include <lxframework/Runtime.h>
#include <lxframework/Settings.h>
#include <lxframework/StaticText.h>
#include <lxframework/UserMessages.h>

#include <string>

namespace game {

namespace {

    const char* const HelpText
        = "This is a 3D variation of the sliding \"15 Puzzle\".  After scrambling the puzzle, the goal is to restore "
          "the globe.  Clicking on a globe piece that's adjacent to the empty space will slide the piece into that "
          "space.";
    const char* const RotateHelpText = "Clicking and dragging on either the surrounding space or non playable pieces "
                                       "will allow you to rotate the entire puzzle.";
    const char* const MissingLibraryMessage
        = "The needed Quesa library can not be found.  This application will now quit.";

    // The missing 3D library ends the game as a failure, not a success.
    constexpr int32_t MissingLibraryExitCode = 1;

    template <class T> lx::Ref<T> ControlNamed(const lx::Window* window, std::string_view name)
    {
        lx::Ref<T> control = lx::Cast<T>(lx::RuntimeWindowControlByName(const_cast<lx::Window*>(window), name));
        if (!control)
            lx::Throw<lx::NilObjectException>(std::string(name));
        return control;
    }

    // Settings every control shares unless its own list says otherwise.
    void ApplyCommonSettings(lx::RectControl& control)
    {
        lx::SetProperties(control,
            { { "Visible", true }, { "Enabled", true }, { "AutoDeactivate", true }, { "LockLeft", false },
                { "LockTop", false }, { "LockRight", false }, { "LockBottom", false }, { "HelpTag", "" },
                { "InitialParent", "" }, { "TabPanelIndex", 0 }, { "Index", lx::NoControlIndex } });
    }

}

void MainWindow::Layout()
{
    SetMenuBar(Menu::Instance());
    lx::SetProperties(*this,
        { { "Width", 670 }, { "Height", 512 }, { "MinWidth", 384 }, { "MinHeight", 384 }, { "MaxWidth", 768 },
            { "MaxHeight", 768 }, { "Resizeable", false }, { "Frame", 0 }, { "Placement", 0 }, { "Title", "" },
            { "Visible", true }, { "CloseButton", true }, { "MinimizeButton", true }, { "MaximizeButton", false },
            { "FullScreen", false }, { "MenuBarVisible", true }, { "Composite", true }, { "LiveResize", false },
            { "HasBackColor", true }, { "BackColor", lx::Color { 0xD4D0C8 } }, { "BalloonHelp", "" },
            { "MacProcId", 0 } });
}

void MainWindow::CreateControls() { CreateControls0(); }

void MainWindow::CreateControls0()
{
    auto make = [this](const char* className, const char* name) {
        AddControl(name, New(className));
        lx::Ref<lx::RectControl> control = ControlNamed<lx::RectControl>(this, name);
        ApplyCommonSettings(*control);
        return control;
    };

    lx::Ref<lx::RectControl> view = make("Lx3DSpace", "View3D1");
    lx::SetProperties(*view,
        { { "Left", 0 }, { "Top", 0 }, { "Width", 512 }, { "Height", 512 }, { "Hither", 500 }, { "Yon", 1500 },
            { "FieldOfView", 40 }, { "SkyColor", lx::Color { 0x5276A5 } }, { "AmbientLight", 80 },
            { "AmbientColor", lx::Color { 0xFFFFFF } }, { "FloodLight", 0 }, { "FloodColor", lx::Color { 0xFFC7EE } },
            { "FogVisible", false }, { "FogStart", 0 }, { "Wireframe", false }, { "DebugCube", false } });
    view->InstallInstanceEventHandler("MouseDrag", [this](int32_t x, int32_t y) { View3D1_MouseDrag(x, y); });
    view->InstallInstanceEventHandler("MouseDown", [this](int32_t x, int32_t y) { return View3D1_MouseDown(x, y); });
    view->InstallInstanceEventHandler("MouseMove", [this](int32_t x, int32_t y) { View3D1_MouseMove(x, y); });
    view->InstallInstanceEventHandler("Open", [this] { View3D1_Open(); });
    view->InstallInstanceEventHandler("MouseUp", [this](int32_t x, int32_t y) { View3D1_MouseUp(x, y); });

    lx::Ref<lx::RectControl> scramble = make("PushButton", "butScramble");
    lx::SetProperties(*scramble,
        { { "Left", 529 }, { "Top", 19 }, { "Width", 128 }, { "Height", 20 }, { "Caption", "Scramble" },
            { "Default", false }, { "Cancel", false }, { "TextFont", "System" }, { "TextSize", 12 }, { "Bold", false },
            { "Italic", false }, { "Underline", false }, { "LockLeft", true } });
    scramble->InstallInstanceEventHandler("Action", [this] { butScramble_Action(); });
    scramble->InstallInstanceEventHandler("Open", [this] { butScramble_Open(); });

    lx::Ref<lx::RectControl> restore = make("PushButton", "butRestore");
    lx::SetProperties(*restore,
        { { "Left", 529 }, { "Top", 57 }, { "Width", 128 }, { "Height", 20 }, { "Caption", "Restore" },
            { "Default", false }, { "Cancel", false }, { "TextFont", "System" }, { "TextSize", 12 }, { "Bold", false },
            { "Italic", false }, { "Underline", false }, { "Enabled", false } });
    restore->InstallInstanceEventHandler("Action", [this] { butRestore_Action(); });
    restore->InstallInstanceEventHandler("Open", [this] { butRestore_Open(); });

    lx::Ref<lx::RectControl> slider = make("Slider", "SliderSize");
    lx::SetProperties(*slider,
        { { "Left", 529 }, { "Top", 103 }, { "Width", 128 }, { "Height", 26 }, { "Minimum", 25 }, { "Value", 90 },
            { "Maximum", 100 }, { "LineStep", 1 }, { "PageStep", 20 }, { "LiveScroll", true } });
    slider->InstallInstanceEventHandler("ValueChanged", [this] { SliderSize_ValueChanged(); });

    lx::Ref<lx::RectControl> separator = make("Separator", "Separator1");
    lx::SetProperties(
        *separator, { { "Left", 512 }, { "Top", 0 }, { "Width", 4 }, { "Height", 512 }, { "Visible", false } });

    lx::Ref<lx::RectControl> help = make("StaticText", "StaticText3");
    lx::SetProperties(*help,
        { { "Left", 529 }, { "Top", 143 }, { "Width", 128 }, { "Height", 328 }, { "MultiLine", true },
            { "TextFont", "System" }, { "TextSize", 11 }, { "TextAlign", 0 }, { "TextColor", lx::Color { 0x000000 } },
            { "Bold", false }, { "Italic", false }, { "Underline", false }, { "DataSource", "" },
            { "DataField", "" } });
    help->InstallInstanceEventHandler("Open", [this] { StaticText3_Open(); });
}

void MainWindow::AddMenuHandlers()
{
    AddMenuHandler("FileClose", [this] { return FileClose_Action(); });
}

void MainWindow::StaticText3_Open()
{
    const std::string lineEnd(lx::EndOfLine);
    ControlNamed<lx::StaticText>(this, "StaticText3")->SetText(HelpText + lineEnd + lineEnd + RotateHelpText);
}

void MainWindow::Event_Open()
{
    SetTitle("Terraslide");
    if (!QuesaInstalled) {
        lx::MsgBox(MissingLibraryMessage);
        lx::Quit(MissingLibraryExitCode);
    }
}

void MainWindow::Event_Close() { lx::Quit(0); }

bool MainWindow::FileClose_Action()
{
    lx::Quit(0);
    return false;
}

lx::Ref<lx::RectControl> MainWindow::View3D1() const { return ControlNamed<lx::RectControl>(this, "View3D1"); }

lx::Ref<lx::RectControl> MainWindow::butRestore() const { return ControlNamed<lx::RectControl>(this, "butRestore"); }

lx::Ref<lx::Slider> MainWindow::SliderSize() const { return ControlNamed<lx::Slider>(this, "SliderSize"); }

}
