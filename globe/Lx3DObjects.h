#pragma once

// Small helpers over the entry-point table for the LX3D objects the globe
// code makes and reads.

#include <lxframework/Object.h>
#include <lxframework/Ref.h>

#include <string_view>

namespace globe {

using ObjectRef = lx::Ref<lx::Object>;

// A new object of an LX3D class, made by name through the framework (which
// runs the plug-in's constructors); nil while the plug-in has not registered it.
ObjectRef NewObjectOfClass(std::string_view className);

// A new Vector3D: made, zeroed with Vector3D(), then X, Y and Z set in that
// order, each rounded to single precision by the vector.
ObjectRef NewVector(double x, double y, double z);

struct VectorValue {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

// The vector's coordinates, widened from single precision; a nil vector raises NilObjectException.
VectorValue ReadVector(lx::Object* vector);
void WriteVector(lx::Object* vector, const VectorValue& value);

}
