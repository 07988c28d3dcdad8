#pragma once

// The view control's operations shared between its source files: the
// record's members, view creation, the frame's steps and the lights' place
// in the view's light group.

#include "Lx3DUtil.h"
#include "View3D.h"

#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <unordered_map>

// The view's fatal assertions name the source file and expression they always have.
#define VIEW3D_ASSERT(condition, expression)                                                                           \
    ((condition) ? static_cast<void>(0) : lx3d::FailedAssertion("View3D", __LINE__, expression))

namespace lx3d {

enum class ViewEvent { MouseDown, MouseDrag, MouseUp };

// A light of the lights array keeps one place in the light group however
// often it stands in the array; the place goes with its last entry.
struct LightPlace {
    uint32_t entries = 0;
    TQ3GroupPosition position = nullptr; // null while the group holds none of the light's library lights
    TQ3LightObject held = nullptr; // the library light at that position, kept by the group
};

struct LightPlaces {
    std::unordered_map<LxObject*, LightPlace> byLight;
};
// The host word of the event's row, for GetEventInstance.
uintptr_t ViewEventWord(ViewEvent event);

// Makes the library view, its draw context on the control's window, camera,
// renderer, light group with the ambient and flood lights, and shader.
void CreateView(Lx3DSpaceData* me, const LxRect& bounds, LxObject* control);
// The object at a light-group position, with a reference for the caller; null if none.
TQ3Object GetLightGroupItem(Lx3DSpaceData* me, uint32_t position);
// The control's rectangle as a pane, and its width over its height (1 for
// a rectangle without height).
TQ3Area PaneOf(const LxRect& bounds);
float AspectRatio(const LxRect& bounds);
TQ3ColorARGB SkyClearColor(const Lx3DSpaceData* me);
TQ3RendererObject NewRenderer(const Lx3DSpaceData* me);
// Black frame, sky-colored inside, into the current port.
void DrawPlaceholder(const LxRect& bounds, const Lx3DSpaceData* me);

// The frame's steps.
void UpdateCamera(Lx3DSpaceData* me);
void RenderScene(Lx3DSpaceData* me);

// Members of the record.
void OnRedraw(LxObject* control);
void Update(LxObject* control);
void AddLight(LxObject* control, LxObject* light);
void RemoveLightAt(LxObject* control, LxInteger index);
void RemoveLight(LxObject* control, LxObject* light);
LxObject* Light(LxObject* control, LxInteger index);
void SetLight(LxObject* control, LxInteger index, LxObject* light);
// Frees the places when the lights go at close.
void ForgetLightPlaces(Lx3DSpaceData* me);

LxBoolean OnClick(LxObject* control, LxInteger x, LxInteger y);
void OnMouseDrag(LxObject* control, LxInteger x, LxInteger y);
void OnMouseUp(LxObject* control, LxInteger x, LxInteger y);
void OnDrawOffscreen(LxObject* control, LxObject* graphics);
LxObject* FindObject(LxObject* control, LxInteger x, LxInteger y);
LxObject* FindPoint(LxObject* control, LxInteger x, LxInteger y);
LxInteger ViewHandle(LxObject* control);
LxObject* GetPicture(LxObject* control);
LxObject* GetPictureSized(LxObject* control, LxInteger width, LxInteger height, LxInteger depth);

}
