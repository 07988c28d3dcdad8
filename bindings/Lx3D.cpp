#include "bindings/Lx3D.h"

#include "bindings/EntryPoints.h"

#include <lxframework/Class.h>
#include <lxframework/Property.h>
#include <lxframework/Runtime.h>

#include <string>

namespace bindings {

namespace {

    // The property, or null when the object's class has none of that name.
    const lx::Property* FindProperty(const ObjectRef& object, std::string_view name)
    {
        if (!object)
            lx::Throw<lx::NilObjectException>(std::string(name));
        return object->ObjectClass().FindProperty(name);
    }

    const lx::Property& RequireProperty(const ObjectRef& object, std::string_view name)
    {
        const lx::Property* property = FindProperty(object, name);
        if (!property)
            lx::Throw<lx::RuntimeException>(object->ObjectClass().Name() + " has no property " + std::string(name));
        return *property;
    }

    // Calls the member of `slot` on `self`.
    template <class R = void, class... Args> R CallOn(Slot slot, const ObjectRef& self, Args&&... args)
    {
        return Call<R>(slot, self.Get(), std::forward<Args>(args)...);
    }

}

ObjectRef NewObjectOfClass(std::string_view className)
{
    const lx::Class* cls = lx::FindClass(className);
    if (!cls || !cls->IsComplete())
        lx::Throw<lx::NilObjectException>("no class " + std::string(className));
    return lx::RuntimeNewObject(*cls);
}

ObjectRef ObjectField(const ObjectRef& object, std::string_view name)
{
    const lx::Property* property = FindProperty(object, name);
    if (!property)
        return nullptr;
    return lx::GetProperty<ObjectRef>(*object, *property);
}

void SetObjectField(const ObjectRef& object, std::string_view name, const ObjectRef& value)
{
    lx::SetProperty(*object, RequireProperty(object, name), value);
}

void SetBooleanField(const ObjectRef& object, std::string_view name, bool value)
{
    lx::SetProperty(*object, RequireProperty(object, name), value);
}

ObjectRef NewVector(double x, double y, double z)
{
    ObjectRef vector = NewObjectOfClass("Vector3D");
    CallOn(Slot::Vector3DVector3D, vector);
    WriteVector(vector, { x, y, z });
    return vector;
}

Point ReadVector(const ObjectRef& vector) { return { Vector3D::X(vector), Vector3D::Y(vector), Vector3D::Z(vector) }; }

void WriteVector(const ObjectRef& vector, const Point& value)
{
    Vector3D::SetX(vector, value.X);
    Vector3D::SetY(vector, value.Y);
    Vector3D::SetZ(vector, value.Z);
}

namespace Vector3D {
    double X(const ObjectRef& vector) { return CallOn<double>(Slot::Vector3DXGet, vector); }
    double Y(const ObjectRef& vector) { return CallOn<double>(Slot::Vector3DYGet, vector); }
    double Z(const ObjectRef& vector) { return CallOn<double>(Slot::Vector3DZGet, vector); }
    void SetX(const ObjectRef& vector, double value) { CallOn(Slot::Vector3DXSet, vector, value); }
    void SetY(const ObjectRef& vector, double value) { CallOn(Slot::Vector3DYSet, vector, value); }
    void SetZ(const ObjectRef& vector, double value) { CallOn(Slot::Vector3DZSet, vector, value); }
    void Copy(const ObjectRef& vector, const ObjectRef& from) { CallOn(Slot::Vector3DCopy, vector, from.Get()); }
    double Length(const ObjectRef& vector) { return CallOn<double>(Slot::Vector3DLength, vector); }
    ObjectRef Times(const ObjectRef& vector, double scalar)
    {
        return CallOn<ObjectRef>(Slot::Vector3DTimes, vector, scalar);
    }
    ObjectRef Minus(const ObjectRef& vector, const ObjectRef& other)
    {
        return CallOn<ObjectRef>(Slot::Vector3DMinus, vector, other);
    }
}

namespace Quaternion {
    ObjectRef Inverse(const ObjectRef& quaternion) { return CallOn<ObjectRef>(Slot::QuaternionInverse, quaternion); }
}

namespace Material {
    void SetTexture(const ObjectRef& material, const lx::Ref<lx::Picture>& texture)
    {
        CallOn(Slot::MaterialTextureSet, material, texture);
    }
}

namespace Element3D {
    ObjectRef Position(const ObjectRef& element) { return ObjectField(element, "Position"); }
    void SetPosition(const ObjectRef& element, const ObjectRef& vector) { SetObjectField(element, "Position", vector); }
    ObjectRef Orientation(const ObjectRef& element) { return ObjectField(element, "Orientation"); }
    void SetOrientation(const ObjectRef& element, const ObjectRef& quaternion)
    {
        SetObjectField(element, "Orientation", quaternion);
    }
    void Yaw(const ObjectRef& element, double radians) { CallOn(Slot::Element3DYaw, element, radians); }
    void Pitch(const ObjectRef& element, double radians) { CallOn(Slot::Element3DPitch, element, radians); }
    void MoveForward(const ObjectRef& element, double distance)
    {
        CallOn(Slot::Element3DMoveForward, element, distance);
    }
    void SetScale(const ObjectRef& element, double scale) { CallOn(Slot::Element3DScaleSet, element, scale); }
}

namespace Object3D {
    void AddShapePicture(
        const ObjectRef& object, const lx::Ref<lx::Picture>& image, double scale, int32_t insertPosition)
    {
        CallOn(Slot::Object3DAddShapePicture, object, static_cast<lx::Object*>(image.Get()), scale, insertPosition);
    }
}

namespace Group3D {
    int32_t Count(const ObjectRef& group) { return CallOn<int32_t>(Slot::Group3DCount, group); }
    ObjectRef Item(const ObjectRef& group, int32_t index) { return CallOn<ObjectRef>(Slot::Group3DItem, group, index); }
    void Append(const ObjectRef& group, const ObjectRef& element)
    {
        CallOn(Slot::Group3DAppend, group, element.Get());
    }
}

namespace VectorList {
    void SetVector(const ObjectRef& list, int32_t index, const ObjectRef& vector)
    {
        CallOn(Slot::VectorListSetVector, list, index, vector);
    }
}

namespace UVList {
    void SetUV(const ObjectRef& list, int32_t index, double u, double v)
    {
        CallOn(Slot::UVListSetUV, list, index, u, v);
    }
}

namespace TriangleList {
    void SetABC(const ObjectRef& list, int32_t index, int32_t a, int32_t b, int32_t c)
    {
        CallOn(Slot::TriangleListSetABC, list, index, a, b, c);
    }
}

namespace Trimesh {
    ObjectRef VertexPositions(const ObjectRef& mesh) { return CallOn<ObjectRef>(Slot::TrimeshVertexPositions, mesh); }
    ObjectRef VertexNormals(const ObjectRef& mesh) { return CallOn<ObjectRef>(Slot::TrimeshVertexNormals, mesh); }
    ObjectRef VertexUVs(const ObjectRef& mesh) { return CallOn<ObjectRef>(Slot::TrimeshVertexUVs, mesh); }
    ObjectRef Triangles(const ObjectRef& mesh) { return CallOn<ObjectRef>(Slot::TrimeshTriangles, mesh); }
    void SetVertexCount(const ObjectRef& mesh, int32_t count) { CallOn(Slot::TrimeshVertexCountSet, mesh, count); }
    void SetTriangleCount(const ObjectRef& mesh, int32_t count)
    {
        CallOn(Slot::TrimeshTriangleCountSet, mesh, count);
    }
    void SetMaterial(const ObjectRef& mesh, const ObjectRef& material)
    {
        CallOn(Slot::TrimeshMaterialSet, mesh, material);
    }
    void SetHasVertexUVs(const ObjectRef& mesh, bool value) { CallOn(Slot::TrimeshHasVertexUVsSet, mesh, value); }
    void SetHasVertexNormals(const ObjectRef& mesh, bool value)
    {
        CallOn(Slot::TrimeshHasVertexNormalsSet, mesh, value);
    }
}

namespace Light3D {
    void SetBrightness(const ObjectRef& light, int32_t brightness)
    {
        CallOn(Slot::Light3DBrightnessSet, light, brightness);
    }
    void SetAttenuation(const ObjectRef& light, int32_t attenuation)
    {
        CallOn(Slot::Light3DAttenuationSet, light, attenuation);
    }
    void SetLightColor(const ObjectRef& light, lx::Color color) { CallOn(Slot::Light3DLightColorSet, light, color); }
    void SetPosition(const ObjectRef& light, const ObjectRef& vector)
    {
        CallOn(Slot::Light3DPositionSet, light, vector.Get());
    }
}

namespace Lx3DSpace {
    ObjectRef Objects(const ObjectRef& view) { return ObjectField(view, "Objects"); }
    ObjectRef Camera(const ObjectRef& view) { return ObjectField(view, "Camera"); }
    void AddLight(const ObjectRef& view, const ObjectRef& light) { CallOn(Slot::Lx3DSpaceAddLight, view, light.Get()); }
    ObjectRef Light(const ObjectRef& view, int32_t index) { return CallOn<ObjectRef>(Slot::Lx3DSpaceLight, view, index); }
    void Update(const ObjectRef& view) { CallOn(Slot::Lx3DSpaceUpdate, view); }
    ObjectRef FindObject(const ObjectRef& view, int32_t x, int32_t y)
    {
        return CallOn<ObjectRef>(Slot::Lx3DSpaceFindObject, view, x, y);
    }
}

}
