#include "about/AboutWindow.h"
#include "about/AboutWinSetup.h"
#include "about/EditfieldWithLinks.h"

#include <lxframework/Canvas.h>
#include <lxframework/Functions.h>
#include <lxframework/Runtime.h>
#include <lxframework/StaticText.h>
#include <lxframework/UserMessages.h>

namespace about {

namespace {

    constexpr int32_t PlacementCentred = 2;
    constexpr int32_t AlignCentre = 1;
    constexpr lx::Color Black { 0x000000 };
    constexpr lx::Color White { 0xFFFFFF };

    constexpr const char* ProductName = "Terraslide";
    constexpr const char* CopyrightLine = "Copyright 2026 the Terraslide developers.";
    constexpr const char* ImageryLine = "Earth imagery: NASA Visible Earth.";

    template <class T> lx::Ref<T> Control(const lx::Window& window, std::string_view name)
    {
        return lx::Cast<T>(window.ControlByName(name));
    }

    // Settings every control of the window shares.
    void ApplyCommonSettings(lx::RectControl& control)
    {
        lx::SetProperties(control,
            { { "Visible", true }, { "Enabled", true }, { "Index", lx::NoControlIndex }, { "TabPanelIndex", 0 },
                { "HelpTag", "" }, { "InitialParent", "" } });
    }

    // A centred black single-line label; the caller sets what differs.
    void ApplyLabelSettings(lx::RectControl& label, const char* text)
    {
        lx::SetProperties(label,
            { { "LockLeft", false }, { "LockTop", false }, { "LockRight", false }, { "LockBottom", false },
                { "Text", text }, { "TextAlign", AlignCentre }, { "TextColor", Black }, { "MultiLine", false },
                { "AutoDeactivate", false }, { "TextFont", "System" }, { "TextSize", 14 }, { "Bold", true },
                { "Italic", false }, { "Underline", false }, { "DataSource", "" }, { "DataField", "" } });
    }

}

void AboutWindow::Layout()
{
    lx::SetProperties(*this,
        { { "Width", 300 }, { "Height", 400 }, { "MinWidth", 64 }, { "MinHeight", 64 }, { "MaxWidth", 32000 },
            { "MaxHeight", 32000 }, { "Placement", PlacementCentred }, { "Frame", 0 }, { "Composite", true },
            { "HasBackColor", false }, { "BackColor", White }, { "Title", "" }, { "Visible", true },
            { "FullScreen", false }, { "MenuBarVisible", true }, { "CloseButton", true }, { "Resizeable", false },
            { "LiveResize", false }, { "MaximizeButton", false }, { "MinimizeButton", true }, { "BalloonHelp", "" },
            { "MacProcId", 0 } });
}

void AboutWindow::CreateControls() { CreateControls0(); }

void AboutWindow::CreateControls0()
{
    AddControl("AppIconCanvas", New("Canvas"));
    auto canvas = Control<lx::Canvas>(*this, "AppIconCanvas");
    ApplyCommonSettings(*canvas);
    lx::SetProperties(*canvas,
        { { "Left", 84 }, { "Top", 14 }, { "Width", 128 }, { "Height", 128 }, { "LockLeft", false },
            { "LockTop", false }, { "LockRight", false }, { "LockBottom", false }, { "AutoDeactivate", true },
            { "UseFocusRing", true }, { "AcceptFocus", false }, { "AcceptTabs", false }, { "EraseBackground", true } });
    canvas->InstallInstanceEventHandler("Paint", [this](lx::Graphics& g) { AppIconCanvas_Paint(g); });

    AddControl("StatAppName", New("StaticText"));
    auto name = Control<lx::StaticText>(*this, "StatAppName");
    ApplyCommonSettings(*name);
    ApplyLabelSettings(*name, "kAppName");
    lx::SetProperties(*name, { { "Left", 20 }, { "Top", 154 }, { "Width", 260 }, { "Height", 20 } });

    AddControl("StatAppVersion", New("StaticText"));
    auto version = Control<lx::StaticText>(*this, "StatAppVersion");
    ApplyCommonSettings(*version);
    ApplyLabelSettings(*version, "kAppVersion");
    lx::SetProperties(*version,
        { { "Left", 20 }, { "Top", 182 }, { "Width", 260 }, { "Height", 16 }, { "TextFont", "SmallSystem" },
            { "TextSize", 0 }, { "Bold", false } });

    AddControl("EditAppCredits", New(EditfieldWithLinks::ClassName));
    auto credits = Control<EditfieldWithLinks>(*this, "EditAppCredits");
    ApplyCommonSettings(*credits);
    lx::SetProperties(*credits,
        { { "Left", -1 }, { "Top", 210 }, { "Width", 302 }, { "Height", 139 }, { "LockLeft", true },
            { "LockTop", true }, { "LockRight", true }, { "LockBottom", true }, { "Border", true },
            { "MultiLine", true }, { "ScrollBarHorizontal", false }, { "ScrollBarVertical", true }, { "Styled", true },
            { "ReadOnly", true }, { "Password", false }, { "UseFocusRing", false }, { "AcceptTabs", false },
            { "TextColor", Black }, { "BackColor", White }, { "TextFont", "System" }, { "TextSize", 0 },
            { "Bold", false }, { "Italic", false }, { "Underline", false }, { "Text", "" }, { "Alignment", 0 },
            { "LimitText", 0 }, { "Format", "" }, { "Mask", "" }, { "DataSource", "" }, { "DataField", "" },
            { "AutoDeactivate", false } });
    EditfieldWithLinks* field = credits.Get();
    credits->AddMenuHandler("EditSelectAll", [field] { return field->EditSelectAll_Action(); });
    credits->InstallInstanceEventHandler("Open", [this] { EditAppCredits_Open(); });
    credits->InstallInstanceEventHandler(
        "LinkClicked", [this](std::string target) { EditAppCredits_LinkClicked(target); });

    AddControl("StatAppCopyright", New("StaticText"));
    auto copyright = Control<lx::StaticText>(*this, "StatAppCopyright");
    ApplyCommonSettings(*copyright);
    ApplyLabelSettings(*copyright, "kAppCopyright");
    lx::SetProperties(*copyright,
        { { "Left", 0 }, { "Top", 361 }, { "Width", 300 }, { "Height", 39 }, { "MultiLine", true },
            { "TextFont", "SmallSystem" }, { "TextSize", 10 }, { "Bold", false } });
}

void AboutWindow::AddMenuHandlers()
{
    AddMenuHandler("FileClose", [this] { return FileClose_Action(); });
    AddMenuHandler("FileCloseWindow", [this] { return FileCloseWindow_Action(); });
}

void AboutWindow::Show()
{
    SetupWindow();
    lx::Window::Show();
}

void AboutWindow::SetupWindow()
{
    // The window is built with a minimise button; every show takes it away again.
    SetMinimizeButton(false);
    Control<lx::StaticText>(*this, "StatAppName")->SetText(ProductName);
    Control<lx::StaticText>(*this, "StatAppVersion")->SetText(AboutWinSetup::AppVersion());
    Control<lx::StaticText>(*this, "StatAppCopyright")
        ->SetText(std::string(CopyrightLine) + lx::Chr(13) + std::string(ImageryLine));
}

void AboutWindow::AppIconCanvas_Paint(lx::Graphics& g)
{
    lx::Ref<lx::Picture> icon = AboutWinSetup::AppIcon();
    lx::Ref<lx::Picture> mask = AboutWinSetup::AppIconMask();
    // A missing picture leaves the canvas blank rather than failing the paint.
    if (!icon || !mask)
        return;
    icon->Mask()->Graphics()->DrawPicture(mask.Get(), 0, 0);
    g.DrawPicture(icon.Get(), 0, 0, g.Width(), g.Height(), 0, 0, icon->Width(), icon->Height());
}

void AboutWindow::EditAppCredits_Open()
{
    AboutWinSetup::AddInitialtext(*Control<EditfieldWithLinks>(*this, "EditAppCredits"));
}

// Whether the browser could open the address is not ours to report.
void AboutWindow::EditAppCredits_LinkClicked(const std::string& target) { lx::ShowURL(target); }

bool AboutWindow::FileClose_Action()
{
    Close();
    return false;
}

bool AboutWindow::FileCloseWindow_Action()
{
    Close();
    return false;
}

lx::Ref<AboutWindow> AboutWindow::Instance()
{
    if (lx::Ref<lx::Window> open = lx::RuntimeImplicitInstance(AboutWindow::ClassName))
        return lx::Cast<AboutWindow>(open);
    lx::Ref<AboutWindow> window = lx::New<AboutWindow>();
    lx::RuntimeRegisterImplicitInstance(window);
    window->Constructor();
    return window;
}

void RegisterAboutClasses()
{
    lx::RuntimeInit();
    const lx::Class* registered = lx::FindClass(AboutWindow::ClassName);
    if (registered && registered->ClassKind() != lx::Class::Kind::Stub)
        return;
    lx::RegisterClass<EditfieldWithLinks>(EditfieldWithLinks::ClassName, "EditField");
    lx::RegisterClass<AboutWindow>(AboutWindow::ClassName, "Window");
}

}
