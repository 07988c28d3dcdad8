#include "Lx3DView.h"

#include <map>

namespace {

constexpr int16_t WindowWidth = 640;
constexpr int16_t WindowHeight = 560;

struct Placement {
    LxRect bounds {};
    TestWindow* window = nullptr;
};

std::map<LxObject*, Placement> gPlacements;
int32_t gInvalidations = 0;
LxInteger gLastPictureFormat = 0;
int32_t gPicturesBuilt = 0;

// The host's own services, for every control and picture the stand-ins do not know.
struct HostControlServices {
    LxGetControlBoundsProc bounds = nullptr;
    LxGetControlWindowProc window = nullptr;
    LxGetWindowHandleProc handle = nullptr;
    LxInvalidateControlProc invalidate = nullptr;
    LxBuildPictureFromBufferProc build = nullptr;
} gHost;

const Placement* PlacementOf(LxObject* control)
{
    auto found = gPlacements.find(control);
    return found == gPlacements.end() ? nullptr : &found->second;
}

void GetBounds(LxObject* control, LxRect* bounds)
{
    if (const Placement* placement = PlacementOf(control))
        *bounds = placement->bounds;
    else
        gHost.bounds(control, bounds);
}

LxObject* ControlWindow(LxObject* control)
{
    const Placement* placement = PlacementOf(control);
    return placement ? lx::ToLx(placement->window) : gHost.window(control);
}

void* WindowHandle(LxObject* window)
{
    auto* found = window ? dynamic_cast<TestWindow*>(lx::FromLx(window)) : nullptr;
    return found ? found->ref : gHost.handle(window);
}

void Invalidate(LxObject* control)
{
    if (PlacementOf(control))
        ++gInvalidations;
    else
        gHost.invalidate(control);
}

LxObject* BuildPicture(LxInteger width, LxInteger height, LxInteger format, const void* base, LxInteger rowBytes)
{
    gLastPictureFormat = format;
    ++gPicturesBuilt;
    return gHost.build(width, height, format, base, rowBytes);
}

void RecordFlush(WindowRef, const Rect* rect, void* context)
{
    static_cast<TestWindow*>(context)->flushes.push_back(*rect);
}

template <class Proc> void StandIn(const char* name, Proc& host, Proc standIn)
{
    host = reinterpret_cast<Proc>(lx::HostResolver(name));
    lx::RegisterHostService(name, reinterpret_cast<LxFunction>(standIn));
}

void RegisterControlStandIns()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    lx::RegisterClass<TestWindow>("TestWindow");
    StandIn<LxGetControlBoundsProc>("GetControlBounds", gHost.bounds, GetBounds);
    StandIn<LxGetControlWindowProc>("getControlWindow", gHost.window, ControlWindow);
    StandIn<LxGetWindowHandleProc>("VANTGetWindowHandle", gHost.handle, WindowHandle);
    StandIn<LxInvalidateControlProc>("VANTInvalidateControl", gHost.invalidate, Invalidate);
    StandIn<LxBuildPictureFromBufferProc>("VANTBuildPictureFromBuffer", gHost.build, BuildPicture);
}

template <class Proc> Proc Slot(lx::Object& view, int slot)
{
    return reinterpret_cast<Proc>(view.ObjectClass().Behaviour(slot));
}

}

TestWindow::TestWindow()
    : ref(NewWindowReference(WindowWidth, WindowHeight))
{
    SetWindowFlushHook(ref, RecordFlush, this);
}

TestWindow::~TestWindow() { DisposeWindowReference(ref); }

uint32_t TestWindow::Rgb(int x, int y) const
{
    const PixMap& map = **GetPortPixMap(GetWindowPort(ref));
    const auto* pixel = reinterpret_cast<const uint8_t*>(map.baseAddr + y * map.rowBytes + x * 4);
    return uint32_t(pixel[1]) << 16 | uint32_t(pixel[2]) << 8 | pixel[3];
}

void ViewFixture::SetUp()
{
    UseHostRegistrations();
    RegisterControlStandIns();
    window = lx::New<TestWindow>();
    view = NewObject("Lx3DSpace");
    Place(10, 20, 512, 512);
}

void ViewFixture::TearDown()
{
    if (!closed)
        Close();
    gPlacements.clear();
    view = nullptr;
}

void ViewFixture::Place(int16_t top, int16_t left, int16_t width, int16_t height)
{
    LxRect bounds { top, left, int16_t(top + height), int16_t(left + width) };
    gPlacements[lx::ToLx(view.Get())] = { bounds, window.Get() };
}

void ViewFixture::Open() { Slot<LxBehaviourProc>(*view, LxBehaviourOpen)(lx::ToLx(view.Get())); }

void ViewFixture::Redraw() { Slot<LxBehaviourProc>(*view, LxBehaviourRedraw)(lx::ToLx(view.Get())); }

void ViewFixture::Close()
{
    Slot<LxBehaviourProc>(*view, LxBehaviourClose)(lx::ToLx(view.Get()));
    closed = true;
}

bool ViewFixture::Click(int x, int y)
{
    return Slot<LxBehaviourMouseDownProc>(*view, LxBehaviourMouseDown)(lx::ToLx(view.Get()), x, y) != 0;
}

void ViewFixture::Drag(int x, int y)
{
    Slot<LxBehaviourMouseProc>(*view, LxBehaviourMouseDrag)(lx::ToLx(view.Get()), x, y);
}

void ViewFixture::Release(int x, int y)
{
    Slot<LxBehaviourMouseProc>(*view, LxBehaviourMouseUp)(lx::ToLx(view.Get()), x, y);
}

void ViewFixture::DrawOffscreen(lx::Object* graphics)
{
    Slot<LxBehaviourDrawOffscreenProc>(*view, LxBehaviourDrawOffscreen)(lx::ToLx(view.Get()), lx::ToLx(graphics));
}

int32_t ViewFixture::Invalidations() const { return gInvalidations; }

void ViewFixture::OpenGameScene()
{
    Set<int32_t>(*view, "Hither", 500);
    Set<int32_t>(*view, "Yon", 1500);
    Set<int32_t>(*view, "FieldOfView", 40);
    Open();
    MoveTo(*Get<ObjectRef>(*view, "Camera"), { 0, 0, 1000 });
    Redraw();
}

ObjectRef ViewFixture::Quad(double side, Vec at, const char* className, double depth)
{
    ObjectRef mesh = NewObject(className);
    Set<int32_t>(*mesh, "VertexCount", 4);
    Set<int32_t>(*mesh, "TriangleCount", 2);
    ObjectRef points = InvokeObject("Trimesh.VertexPositions() as VectorList", mesh.Get());
    const double h = side / 2;
    const double corners[4][2] = { { -h, -h }, { h, -h }, { h, h }, { -h, h } };
    for (int32_t i = 0; i < 4; ++i)
        Invoke("VectorList.SetXYZ(index as Integer, x as Double, y as Double, z as Double)", points.Get(), i,
            corners[i][0], corners[i][1], depth);
    ObjectRef triangles = InvokeObject("Trimesh.Triangles() as TriangleList", mesh.Get());
    // Counter-clockwise seen from +z, so the quad faces the default scene's camera.
    Invoke(
        "TriangleList.SetABC(index as Integer, a as Integer, b as Integer, c as Integer)", triangles.Get(), 0, 0, 1, 2);
    Invoke(
        "TriangleList.SetABC(index as Integer, a as Integer, b as Integer, c as Integer)", triangles.Get(), 1, 0, 2, 3);
    MoveTo(*mesh, at);
    return mesh;
}

void ViewFixture::AddToScene(lx::Object* element) { Append(Get<ObjectRef>(*view, "Objects").Get(), element); }

std::vector<TQ3Object> LightGroupMembers(TQ3GroupObject group)
{
    std::vector<TQ3Object> members;
    TQ3GroupPosition position = nullptr;
    for (Q3Group_GetFirstPosition(group, &position); position; Q3Group_GetNextPosition(group, &position)) {
        TQ3Object member = nullptr;
        Q3Group_GetPositionObject(group, position, &member);
        members.push_back(member);
        Q3Object_Dispose(member);
    }
    return members;
}

TQ3LightData LightDataOf(TQ3Object light)
{
    TQ3LightData data {};
    EXPECT_EQ(Q3Light_GetData(light, &data), kQ3Success);
    return data;
}

LxInteger LastPictureFormat() { return gLastPictureFormat; }

int32_t PicturesBuilt() { return gPicturesBuilt; }

void OnMouseDown(lx::Object& view, std::function<bool(int32_t, int32_t)> handler)
{
    lx::InstallEventHandler(view, "MouseDown",
        lx::EventHandler(std::function<bool(lx::Object&, int32_t, int32_t)>(
            [handler](lx::Object&, int32_t x, int32_t y) { return handler(x, y); })));
}

void OnMouse(lx::Object& view, const char* event, std::function<void(int32_t, int32_t)> handler)
{
    lx::InstallEventHandler(view, event,
        lx::EventHandler(std::function<void(lx::Object&, int32_t, int32_t)>(
            [handler](lx::Object&, int32_t x, int32_t y) { handler(x, y); })));
}
