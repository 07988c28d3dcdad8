#pragma once

#include "ObjectArray.h"

#include <lxframework/plugin.h>

namespace lx3d {

// An element drawn as one of its library shapes, the one `Shape` names.
struct Object3DData {
    LxInteger Shape = 0;
    ObjectArray shapes; // library objects, one reference each
};

LxClassRecord& Object3DRecord();

}
