#include "GuiInternal.h"

#include <lxframework/Runtime.h>
#include <lxframework/plugin.h>

#include <carbon/Carbon.h>

// The built-in control plug-in: a separator line. It speaks the plug-in
// interface only, as any plug-in would, and draws along its long side into
// its window's port.

namespace lx {

namespace {

    LxResolver gResolver = nullptr;

    template <class Proc> Proc Service(const char* name)
    {
        return gResolver ? reinterpret_cast<Proc>(gResolver(name)) : nullptr;
    }

    constexpr uint16_t LineLevel = 0x8080;
    constexpr uint16_t HighlightLevel = 0xFFFF;
    constexpr uint32_t SeparatorDefaultLength = 100;
    constexpr uint32_t SeparatorThickness = 4;

    void FillLine(const Rect& rect, uint16_t level)
    {
        const RGBColor color { level, level, level };
        RGBForeColor(&color);
        PaintRect(&rect);
    }

    void Redraw(LxObject* self)
    {
        auto bounds = Service<LxGetControlBoundsProc>("GetControlBounds");
        auto windowOf = Service<LxGetControlWindowProc>("getControlWindow");
        auto handleOf = Service<LxGetWindowHandleProc>("VANTGetWindowHandle");
        if (!bounds || !windowOf || !handleOf)
            return;
        LxRect area {};
        bounds(self, &area);
        auto window = static_cast<WindowRef>(handleOf(windowOf(self)));
        if (!window)
            return;
        CGrafPtr saved = nullptr;
        GDHandle device = nullptr;
        GetGWorld(&saved, &device);
        SetGWorld(GetWindowPort(window), nullptr);
        Rect all { area.top, area.left, area.bottom, area.right };
        EraseRect(&all);
        // A grooved line through the middle of the long side.
        const bool vertical = area.bottom - area.top > area.right - area.left;
        const int16_t middleX = static_cast<int16_t>((area.left + area.right) / 2);
        const int16_t middleY = static_cast<int16_t>((area.top + area.bottom) / 2);
        const Rect line = vertical ? Rect { area.top, middleX, area.bottom, static_cast<int16_t>(middleX + 1) }
                                   : Rect { middleY, area.left, static_cast<int16_t>(middleY + 1), area.right };
        const Rect light = vertical
            ? Rect { line.top, line.right, line.bottom, static_cast<int16_t>(line.right + 1) }
            : Rect { line.bottom, line.left, static_cast<int16_t>(line.bottom + 1), line.right };
        FillLine(line, LineLevel);
        FillLine(light, HighlightLevel);
        SetGWorld(saved, device);
        FlushWindowRect(window, &all);
    }

    LxBehaviourTable gBehaviour = { { nullptr, nullptr, reinterpret_cast<LxFunction>(&Redraw) } };

    LxControlRecord gSeparator = { LxRecordVersion, "Separator", 0, 0, 0, 0, SeparatorDefaultLength, SeparatorThickness,
        nullptr, 0, nullptr, 0, nullptr, 0, &gBehaviour, 0 };

    void SeparatorMain(LxResolver resolver)
    {
        gResolver = resolver;
        if (auto registerControl = Service<LxPluginRegisterControlProc>("PluginRegisterControl"))
            registerControl(&gSeparator);
    }

}

void RegisterSeparatorPlugin() { RuntimeRegisterStaticPlugin(&SeparatorMain); }

}
