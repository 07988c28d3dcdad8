#pragma once

// LX3D as the game meets it: lx3d.so loaded by the real host runtime, its
// members called through their binding names. Where the host cannot serve
// yet (folder items), small stand-ins are registered with it.

#include "../lxframework/RaisedBy.h"

#include <lxframework/Class.h>
#include <lxframework/EntryPoint.h>
#include <lxframework/Exceptions.h>
#include <lxframework/Picture.h>
#include <lxframework/PluginObject.h>
#include <lxframework/Property.h>
#include <lxframework/RGBSurface.h>
#include <lxframework/Runtime.h>

#include <cstdint>
#include <gtest/gtest.h>
#include <q3/Q3.h>
#include <span>
#include <string>
#include <vector>

using ObjectRef = lx::Ref<lx::Object>;

// Loads the plug-in once per test program.
void LoadLx3D();

// The classes LX3D registers.
inline constexpr const char* Lx3DClassNames[] = { "Vector3D", "Quaternion", "Bounds3D", "Material", "Light3D",
    "Element3D", "Group3D", "Object3D", "Trimesh", "VectorList", "UVList", "TriangleList", "ColorList", "Lx3DSpace" };

// The rows a plug-in class's record declares, whether a class or a control record.
std::span<const LxMethodRow> MethodRows(const lx::Class& cls);
std::span<const LxPropertyRow> PropertyRows(const lx::Class& cls);

ObjectRef NewObject(const char* className);

// Calls the member bound under `binding` (the class name and a point in front).
template <class R = void, class... Args> R Invoke(const std::string& binding, lx::Object* self, Args&&... args)
{
    return lx::Call<R>(lx::RuntimeLookupPluginEntrypoint(binding), self, std::forward<Args>(args)...);
}

template <class R = ObjectRef, class... Args>
R InvokeObject(const std::string& binding, lx::Object* self, Args&&... args)
{
    return Invoke<ObjectRef>(binding, self, std::forward<Args>(args)...);
}

// A property by name, read or written the way the host does.
const lx::Property& PropertyOf(const lx::Object& object, const char* name);
template <class T> auto Get(lx::Object& object, const char* name)
{
    return lx::GetProperty<T>(object, PropertyOf(object, name));
}
template <class T> void Set(lx::Object& object, const char* name, const T& value)
{
    lx::SetProperty(object, PropertyOf(object, name), value);
}
inline void SetObject(lx::Object& object, const char* name, lx::Object* value)
{
    lx::SetProperty(object, PropertyOf(object, name), ObjectRef(value));
}

inline lx::Object* Nil() { return nullptr; }

struct Vec {
    double x = 0;
    double y = 0;
    double z = 0;
};

ObjectRef NewVector(double x, double y, double z);
Vec Read(lx::Object* vector);
void ExpectNear(const Vec& actual, const Vec& expected, double tolerance = 1e-5);

// A new picture of the host filled with one color (&hRRGGBB); nil for a size it refuses.
lx::Ref<lx::Picture> NewPicture(int32_t width, int32_t height, uint32_t rgb);
void SetPixel(lx::Picture& picture, int32_t x, int32_t y, uint32_t rgb);
uint32_t PixelOf(lx::Picture& picture, int32_t x, int32_t y);
// 255 minus the mask's level, or 255 without a mask.
uint8_t AlphaOf(lx::Picture& picture, int32_t x, int32_t y);

// An application subclass, as the game declares over the plug-in's classes.
class TestObject3D : public lx::PluginObject {
public:
    int32_t marker = 7;
};

class TestTrimesh : public lx::PluginObject {
public:
    int32_t marker = 9;
};

// How deeply the plug-in's releases of references nested since the last
// call: a release whose destructors release in turn counts one deeper.
int32_t DeepestReleaseNesting();

// Lets this program's own copy of the plug-in's code work on the loaded
// plug-in's objects: the host's resolver and data offsets, so that internal
// operations the game cannot reach by name can be tested.
void UseHostRegistrations();

// A folder item the stand-in converts to its path.
class TestFolderItem : public lx::Object {
public:
    std::string path;
};
