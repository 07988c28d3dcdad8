#pragma once

// The view control as a window host would drive it: its behaviour slots
// called directly, with stand-ins for the control services (its rectangle
// in the window, the window and its port) in front of the host's own, which
// serve every control the stand-ins were not told about.

#include "Lx3DScene.h"
#include "View3D.h"

#include <carbon/Carbon.h>

#include <functional>
#include <vector>

// A window of the stand-in services: a window reference whose flushes are recorded.
class TestWindow : public lx::Object {
public:
    TestWindow();
    ~TestWindow() override;

    WindowRef ref = nullptr;
    std::vector<Rect> flushes;

    // The bytes X, R, G, B of a pixel of the window's port.
    uint32_t Rgb(int x, int y) const;
};

class ViewFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The control's rectangle in its window.
    void Place(int16_t top, int16_t left, int16_t width, int16_t height);
    void Open();
    void Redraw();
    void Close();
    bool Click(int x, int y);
    void Drag(int x, int y);
    void Release(int x, int y);
    void DrawOffscreen(lx::Object* graphics);

    lx3d::Lx3DSpaceData& Data() { return *lx3d::ViewOf(lx::ToLx(view.Get())); }
    int32_t Invalidations() const;

    // The scene most tests use: the camera at (0, 0, 1000) looking along -z,
    // near plane 500, far plane 1500, a field of view of 40 degrees, the
    // control 512 pixels square with its corner at (20, 10) in the window.
    void OpenGameScene();
    // A square of the given side about its origin, facing +z, at a depth in its own coordinates.
    ObjectRef Quad(double side, Vec at, const char* className = "Trimesh", double depth = 0);
    void AddToScene(lx::Object* element);

    ObjectRef view;
    lx::Ref<TestWindow> window;
    bool closed = false;
};

// The library objects in a light group, in order (borrowed).
std::vector<TQ3Object> LightGroupMembers(TQ3GroupObject group);
TQ3LightData LightDataOf(TQ3Object light);

// The format code of the last picture the plug-in built from its pixels.
LxInteger LastPictureFormat();
// How many pictures the plug-in has built from its pixels: one for every
// picture it rendered.
int32_t PicturesBuilt();

// Installs an application handler of one of the view's events.
void OnMouseDown(lx::Object& view, std::function<bool(int32_t, int32_t)> handler);
void OnMouse(lx::Object& view, const char* event, std::function<void(int32_t, int32_t)> handler);
