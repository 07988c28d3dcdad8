#pragma once

#include <lxframework/plugin.h>
#include <q3/Q3.h>

namespace lx3d {

// A Quaternion's instance data is the library's quaternion: w, x, y, z as floats.
LxClassRecord& QuaternionRecord();

// The quaternion inside a Quaternion object; null for nil.
TQ3Quaternion* QuaternionOf(LxObject* quaternion);
// Its value, or the identity for nil.
TQ3Quaternion QuaternionValue(LxObject* quaternion);

constexpr TQ3Quaternion IdentityQuaternion { 1, 0, 0, 0 };

}
