#pragma once

#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <cstdint>

namespace lx3d {

// The host reads and writes the four references and the three switches
// itself, at these fields' offsets.
struct Element3DData {
    LxObject* Position = nullptr; // Vector3D, world coordinates
    LxObject* Orientation = nullptr; // Quaternion
    LxObject* Bounds = nullptr; // Bounds3D or nil
    LxObject* ScaleVector = nullptr; // Vector3D
    LxBoolean Visible = 0;
    LxBoolean NullShader = 0;
    LxBoolean RenderBackFaces = 0;
    LxBoolean isGroup = 0; // set by Group3D's constructor
    uint32_t pickId = 0; // this element's id in the registry of live elements
};

LxClassRecord& Element3DRecord();
Element3DData* ElementOf(LxObject* element);
bool IsGroup(LxObject* element);

// The element whose pick ID this is, borrowed; null for an id no live element has.
LxObject* ElementFromPickId(uint32_t pickId);

// Submits an element into a view inside a rendering, picking or bounding
// loop: a group's children (after its Update), otherwise the element's own
// transform, pick ID, styles and Render event between a push and a pop.
void SubmitElement(LxObject* element, TQ3ViewObject view);

// One bounding pass over a visible element into an existing Bounds3D, of
// the type that object already has; in world coordinates.
void ComputeBoundsInto(LxObject* element, LxObject* bounds);

// Brings the Bounds of a visible element, and of all its visible
// descendants, up to date; updates every group on the way.
void UpdateElementBounds(LxObject* element);

// Placement, with a nil Position read as the origin and a nil Orientation
// as no rotation; writes into a nil object do nothing.
TQ3Point3D ElementPosition(LxObject* element);
TQ3Quaternion ElementOrientation(LxObject* element);
void SetPosition(LxObject* element, const TQ3Point3D& point);
void OffsetPosition(LxObject* element, const TQ3Vector3D& offset);
void SetOrientation(LxObject* element, const TQ3Quaternion& orientation);
TQ3Vector3D RotateVectorByOrientation(LxObject* element, const TQ3Vector3D& vector);
TQ3Point3D RotatePointByOrientation(LxObject* element, const TQ3Point3D& point);

}
