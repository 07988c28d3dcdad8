#include "GuiInternal.h"
#include "Internal.h"
#include "PlaceholderControl.h"

#include <lxframework/Application.h>
#include <lxframework/Canvas.h>
#include <lxframework/EditField.h>
#include <lxframework/Graphics.h>
#include <lxframework/MenuItem.h>
#include <lxframework/MouseCursor.h>
#include <lxframework/Picture.h>
#include <lxframework/PushButton.h>
#include <lxframework/RGBSurface.h>
#include <lxframework/ResourceFork.h>
#include <lxframework/Runtime.h>
#include <lxframework/Slider.h>
#include <lxframework/StaticText.h>
#include <lxframework/Window.h>

namespace lx {

namespace {

    // The framework's own classes, registered by RuntimeInit before any plug-in
    // loads, so that plug-in controls derive from RectControl.
    void InitGuiRuntime()
    {
        RegisterClass<Application>("Application");
        RegisterClass<Window>("Window");
        RegisterClass<RectControl>("RectControl");
        RegisterClass<PushButton>("PushButton", "RectControl");
        RegisterClass<Slider>("Slider", "RectControl");
        RegisterClass<StaticText>("StaticText", "RectControl");
        RegisterClass<EditField>("EditField", "RectControl");
        RegisterClass<Canvas>("Canvas", "RectControl");
        RegisterClass<PlaceholderControl>("PlaceholderControl", "RectControl");
        RegisterClass<MenuItem>("MenuItem");
        RegisterClass<MenuBar>("MenuBar", "MenuItem");
        RegisterClass<QuitMenuItem>("QuitMenuItem", "MenuItem");
        RegisterClass<AppleMenuItem>("AppleMenuItem", "MenuItem");
        Class& picture = RegisterClass<Picture>("Picture");
        picture.AddIntegerProperty(
            "Transparent", [](Object& object) { return static_cast<Picture&>(object).Transparent; });
        RegisterClass<Graphics>("Graphics");
        RegisterClass<RGBSurface>("RGBSurface");
        RegisterClass<MouseCursor>("MouseCursor");
        RegisterClass<ResourceFork>("ResourceFork");
        SetPluginControlBase("RectControl");
        RegisterPictureServices();
        RegisterControlServices();
        RegisterSeparatorPlugin();
    }

    // Set while the library loads, before anything can call RuntimeInit.
    const bool gExtendsRuntime = (SetRuntimeExtension(&InitGuiRuntime), true);

}

}
