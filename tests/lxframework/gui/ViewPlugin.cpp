#include "ViewPlugin.h"

#include <lxframework/Runtime.h>

#include <carbon/Carbon.h>

namespace viewplugin {

namespace {

    LxResolver gResolver = nullptr;
    uint32_t gPaintColor = 0x336699;

    template <class Proc> Proc Service(const char* name) { return reinterpret_cast<Proc>(gResolver(name)); }

    std::string Point(const char* what, LxInteger x, LxInteger y)
    {
        return std::string(what) + " " + std::to_string(x) + "," + std::to_string(y);
    }

    void Paint(LxObject* self)
    {
        LxRect bounds {};
        Service<LxGetControlBoundsProc>("GetControlBounds")(self, &bounds);
        LxObject* window = Service<LxGetControlWindowProc>("getControlWindow")(self);
        auto windowRef = static_cast<WindowRef>(Service<LxGetWindowHandleProc>("VANTGetWindowHandle")(window));
        if (!windowRef)
            return;
        CGrafPtr saved = nullptr;
        GetGWorld(&saved, nullptr);
        SetGWorld(GetWindowPort(windowRef), nullptr);
        const RGBColor color { static_cast<uint16_t>((gPaintColor >> 16 & 0xFF) * 0x101),
            static_cast<uint16_t>((gPaintColor >> 8 & 0xFF) * 0x101),
            static_cast<uint16_t>((gPaintColor & 0xFF) * 0x101) };
        RGBForeColor(&color);
        const Rect rect { bounds.top, bounds.left, bounds.bottom, bounds.right };
        PaintRect(&rect);
        SetGWorld(saved, nullptr);
        FlushWindowRect(windowRef, &rect);
    }

    void Construct(LxObject*) { Calls().push_back("construct"); }
    void Open(LxObject*) { Calls().push_back("open"); }
    void Close(LxObject*) { Calls().push_back("close"); }

    void Redraw(LxObject* self)
    {
        Calls().push_back("redraw");
        Paint(self);
    }

    LxEventRow gEvents[] = {
        { "MouseDown(X As Integer, Y As Integer) As Boolean", 0 },
        { "MouseDrag(X As Integer, Y As Integer)", 0 },
        { "MouseUp(X As Integer, Y As Integer)", 0 },
    };

    LxFunction Handler(LxObject* self, int event)
    {
        return Service<LxGetEventInstanceProc>("GetEventInstance")(self, gEvents[event].hostWord);
    }

    LxBoolean MouseDown(LxObject* self, LxInteger x, LxInteger y)
    {
        Calls().push_back(Point("down", x, y));
        auto handler = reinterpret_cast<LxBehaviourMouseDownProc>(Handler(self, 0));
        return handler ? handler(self, x, y) : 0;
    }

    void MouseDrag(LxObject* self, LxInteger x, LxInteger y)
    {
        Calls().push_back(Point("drag", x, y));
        if (auto handler = reinterpret_cast<LxBehaviourMouseProc>(Handler(self, 1)))
            handler(self, x, y);
    }

    void MouseUp(LxObject* self, LxInteger x, LxInteger y)
    {
        Calls().push_back(Point("up", x, y));
        if (auto handler = reinterpret_cast<LxBehaviourMouseProc>(Handler(self, 2)))
            handler(self, x, y);
    }

    void Update(LxObject* self) { Paint(self); }

    LxMethodRow gMethods[] = { { reinterpret_cast<LxFunction>(&Update), nullptr, "Update", 0 } };

    LxBehaviourTable gBehaviour = [] {
        LxBehaviourTable table {};
        table.slots[LxBehaviourConstruct] = reinterpret_cast<LxFunction>(&Construct);
        table.slots[LxBehaviourRedraw] = reinterpret_cast<LxFunction>(&Redraw);
        table.slots[LxBehaviourMouseDown] = reinterpret_cast<LxFunction>(&MouseDown);
        table.slots[LxBehaviourMouseDrag] = reinterpret_cast<LxFunction>(&MouseDrag);
        table.slots[LxBehaviourMouseUp] = reinterpret_cast<LxFunction>(&MouseUp);
        table.slots[LxBehaviourOpen] = reinterpret_cast<LxFunction>(&Open);
        table.slots[LxBehaviourClose] = reinterpret_cast<LxFunction>(&Close);
        return table;
    }();

    LxControlRecord gRecord = { LxRecordVersion, "TestView", 0, 0, 0, 0, DefaultSide, DefaultSide, nullptr, 0, gMethods,
        1, gEvents, 3, &gBehaviour, 0 };

    void Main(LxResolver resolver)
    {
        gResolver = resolver;
        Service<LxPluginRegisterControlProc>("PluginRegisterControl")(&gRecord);
    }

}

std::vector<std::string>& Calls()
{
    static std::vector<std::string> calls;
    return calls;
}

void SetPaintColor(uint32_t rgb) { gPaintColor = rgb; }

void Register()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    lx::RuntimeInit();
    lx::RuntimeRegisterStaticPlugin(&Main);
    lx::RuntimeInitExternalClasses();
}

}
