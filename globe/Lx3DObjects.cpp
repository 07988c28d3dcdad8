#include "globe/Lx3DObjects.h"

#include "game/EntryPoints.h"

#include <lxframework/Runtime.h>

namespace globe {

using game::Call;
using game::Slot;

ObjectRef NewObjectOfClass(std::string_view className)
{
    const lx::Class* cls = lx::FindClass(className);
    if (!cls || !cls->IsComplete())
        return nullptr;
    return lx::RuntimeNewObject(*cls);
}

ObjectRef NewVector(double x, double y, double z)
{
    ObjectRef vector = NewObjectOfClass("Vector3D");
    Call(Slot::Vector3DVector3D, vector.Get());
    WriteVector(vector.Get(), { x, y, z });
    return vector;
}

VectorValue ReadVector(lx::Object* vector)
{
    return { Call<double>(Slot::Vector3DXGet, vector), Call<double>(Slot::Vector3DYGet, vector),
        Call<double>(Slot::Vector3DZGet, vector) };
}

void WriteVector(lx::Object* vector, const VectorValue& value)
{
    Call(Slot::Vector3DXSet, vector, value.X);
    Call(Slot::Vector3DYSet, vector, value.Y);
    Call(Slot::Vector3DZSet, vector, value.Z);
}

}
