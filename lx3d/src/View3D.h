#pragma once

#include <lxframework/plugin.h>

namespace lx3d {

// The view control's record, registered as "Lx3DSpace".
LxControlRecord& Lx3DSpaceRecord();

}
