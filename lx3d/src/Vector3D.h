#pragma once

#include <lxframework/plugin.h>
#include <q3/Q3.h>
#include <q3/VectorMath.h>

namespace lx3d {

// A Vector3D's instance data is the library's vector: x, y, z as floats.
LxClassRecord& Vector3DRecord();

// The vector inside a Vector3D object; null for nil.
TQ3Vector3D* VectorOf(LxObject* vector);
// The vector's value, or `fallback` for nil.
TQ3Vector3D VectorValue(LxObject* vector, TQ3Vector3D fallback);
// A new Vector3D holding `value`, with the caller's reference; null if none can be made.
LxObject* NewVector3DWith(const TQ3Vector3D& value);

using q3::AsPoint;
using q3::AsVector;

}
