#pragma once

#include "ObjectArray.h"

#include <lxframework/plugin.h>
#include <q3/Q3.h>

namespace lx3d {

// A group keeps its children in world coordinates and carries them along
// with its own moves and turns, measured against the placement it last saw.
struct Group3DData {
    ObjectArray children; // Element3D references, one each; nil entries allowed
    TQ3Point3D cachedPosition {};
    TQ3Quaternion cachedOrientation {};
};

LxClassRecord& Group3DRecord();

// Moves and turns the direct children by the group's change of placement
// since the last update, about the group's position.
void GroupUpdate(LxObject* group);
uint32_t GroupCount(LxObject* group);
// Borrowed; may be nil.
LxObject* GroupChild(LxObject* group, uint32_t index);

}
