#pragma once

#include "Bounds3D.h"

#include <lxframework/plugin.h>

namespace lx3d {

// The view control's record, registered as "Lx3DSpace".
LxControlRecord& Lx3DSpaceRecord();

// The six planes of the view's frustum in world coordinates, brought up to
// date with its camera element, for Bounds3D.InView; null for a nil control
// and while the view has no library camera (before its first redraw).
const FrustumPlane* ViewFrustumPlanes(LxObject* control);

}
