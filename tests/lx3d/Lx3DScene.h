#pragma once

// Scene helpers shared by the element, mesh and object tests.

#include "Lx3DHost.h"

inline Vec PositionOf(lx::Object& element) { return Read(Get<ObjectRef>(element, "Position").Get()); }

inline void MoveTo(lx::Object& element, Vec p)
{
    Invoke("Vector3D.Vector3D(x As Double, y as Double, z As Double)", Get<ObjectRef>(element, "Position").Get(), p.x,
        p.y, p.z);
}

inline ObjectRef ElementAt(const char* className, Vec p)
{
    ObjectRef element = NewObject(className);
    MoveTo(*element, p);
    return element;
}

inline void Append(lx::Object* group, lx::Object* element)
{
    Invoke("Group3D.Append(elem as Element3D)", group, element);
}

inline int32_t Count(lx::Object* group) { return Invoke<int32_t>("Group3D.Count() as Integer", group); }

// An axis-aligned cube mesh of the given side about the element's origin.
ObjectRef CubeMesh(double side);

// A chain of groups, each holding the next, the last holding `leaf`, built
// from the leaf up or from the top down, as a script may build one.
enum class BuildOrder { BottomUp, TopDown };
struct GroupChain {
    ObjectRef top;
    ObjectRef bottom;
};
GroupChain ChainOfGroups(int levels, lx::Object* leaf, BuildOrder order);
