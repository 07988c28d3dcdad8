#include "ControlWidgets.h"

#include <lxframework/RectControl.h>
#include <lxframework/Runtime.h>
#include <lxframework/Window.h>

#include <algorithm>
#include <climits>

// The services a plug-in control uses to find its place, its window and the
// window's port. Null or foreign objects get the zero answer.

namespace lx {

namespace {

    RectControl* AsControl(LxObject* object) { return object ? dynamic_cast<RectControl*>(FromLx(object)) : nullptr; }

    int16_t Clamp16(int value) { return static_cast<int16_t>(std::clamp(value, INT16_MIN, INT16_MAX)); }

    void GetControlBounds(LxObject* object, LxRect* bounds) noexcept
    {
        RectControl* control = AsControl(object);
        if (!control || !bounds)
            return;
        const QRect rect = BoundsOf(*control);
        *bounds = { Clamp16(rect.top()), Clamp16(rect.left()), Clamp16(rect.top() + rect.height()),
            Clamp16(rect.left() + rect.width()) };
    }

    // Borrowed: the plug-in never releases it.
    LxObject* GetControlWindow(LxObject* object) noexcept
    {
        RectControl* control = AsControl(object);
        return control ? ToLx(control->ControlWindow()) : nullptr;
    }

    void* GetWindowHandle(LxObject* object) noexcept
    {
        auto* window = object ? dynamic_cast<Window*>(FromLx(object)) : nullptr;
        return window ? window->PlatformWindow() : nullptr;
    }

    void InvalidateControl(LxObject* object) noexcept
    {
        RectControl* control = AsControl(object);
        QWidget* widget = control ? WidgetOf(*control) : nullptr;
        if (widget)
            widget->update();
    }

}

void RegisterControlServices()
{
    RegisterHostService("GetControlBounds", reinterpret_cast<LxFunction>(&GetControlBounds));
    RegisterHostService("getControlWindow", reinterpret_cast<LxFunction>(&GetControlWindow));
    RegisterHostService("VANTGetWindowHandle", reinterpret_cast<LxFunction>(&GetWindowHandle));
    RegisterHostService("VANTInvalidateControl", reinterpret_cast<LxFunction>(&InvalidateControl));
}

}
