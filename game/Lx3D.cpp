#include "Lx3D.h"

#include "EntryPoints.h"

#include <lxframework/Class.h>
#include <lxframework/Property.h>
#include <lxframework/Runtime.h>

#include <string>

namespace game {

namespace {

    // The property, or null when the object's class has none of that name.
    const lx::Property* FindProperty(lx::Object* object, std::string_view name)
    {
        if (!object)
            lx::Throw<lx::NilObjectException>(std::string(name));
        return object->ObjectClass().FindProperty(name);
    }

    const lx::Property& RequireProperty(lx::Object* object, std::string_view name)
    {
        const lx::Property* property = FindProperty(object, name);
        if (!property)
            lx::Throw<lx::RuntimeException>(object->ObjectClass().Name() + " has no property " + std::string(name));
        return *property;
    }

}

ObjectRef NewObjectOfClass(std::string_view className)
{
    const lx::Class* cls = lx::FindClass(className);
    if (!cls || !cls->IsComplete())
        lx::Throw<lx::RuntimeException>("no class " + std::string(className));
    return lx::RuntimeNewObject(*cls);
}

ObjectRef ObjectField(lx::Object* object, std::string_view name)
{
    const lx::Property* property = FindProperty(object, name);
    if (!property)
        return nullptr;
    return lx::GetProperty<ObjectRef>(*object, *property);
}

void SetObjectField(lx::Object* object, std::string_view name, lx::Object* value)
{
    lx::SetProperty(*object, RequireProperty(object, name), ObjectRef(value));
}

void SetBooleanField(lx::Object* object, std::string_view name, bool value)
{
    lx::SetProperty(*object, RequireProperty(object, name), value);
}

namespace Vector3D {
    ObjectRef New(double x, double y, double z)
    {
        ObjectRef vector = NewObjectOfClass("Vector3D");
        Call(Slot::Vector3DVector3DWithXYZ, vector.Get(), x, y, z);
        return vector;
    }
    double X(lx::Object* vector) { return Call<double>(Slot::Vector3DXGet, vector); }
    double Y(lx::Object* vector) { return Call<double>(Slot::Vector3DYGet, vector); }
    double Z(lx::Object* vector) { return Call<double>(Slot::Vector3DZGet, vector); }
    void SetX(lx::Object* vector, double value) { Call(Slot::Vector3DXSet, vector, value); }
    void SetY(lx::Object* vector, double value) { Call(Slot::Vector3DYSet, vector, value); }
    void SetZ(lx::Object* vector, double value) { Call(Slot::Vector3DZSet, vector, value); }
    void Copy(lx::Object* vector, lx::Object* from) { Call(Slot::Vector3DCopy, vector, from); }
    ObjectRef Times(lx::Object* vector, double scalar) { return Call<ObjectRef>(Slot::Vector3DTimes, vector, scalar); }
}

namespace Quaternion {
    ObjectRef Inverse(lx::Object* quaternion) { return Call<ObjectRef>(Slot::QuaternionInverse, quaternion); }
}

namespace Element3D {
    ObjectRef Position(lx::Object* element) { return ObjectField(element, "Position"); }
    void SetPosition(lx::Object* element, lx::Object* vector) { SetObjectField(element, "Position", vector); }
    ObjectRef Orientation(lx::Object* element) { return ObjectField(element, "Orientation"); }
    void SetOrientation(lx::Object* element, lx::Object* quaternion)
    {
        SetObjectField(element, "Orientation", quaternion);
    }
    void Yaw(lx::Object* element, double radians) { Call(Slot::Element3DYaw, element, radians); }
    void Pitch(lx::Object* element, double radians) { Call(Slot::Element3DPitch, element, radians); }
    void MoveForward(lx::Object* element, double distance) { Call(Slot::Element3DMoveForward, element, distance); }
    void SetScale(lx::Object* element, double scale) { Call(Slot::Element3DScaleSet, element, scale); }
}

namespace Object3D {
    void AddShapePicture(lx::Object* object, lx::Picture* image, double scale, int32_t insertPosition)
    {
        Call(Slot::Object3DAddShapePicture, object, static_cast<lx::Object*>(image), scale, insertPosition);
    }
}

namespace Group3D {
    int32_t Count(lx::Object* group) { return Call<int32_t>(Slot::Group3DCount, group); }
    ObjectRef Item(lx::Object* group, int32_t index) { return Call<ObjectRef>(Slot::Group3DItem, group, index); }
    void Append(lx::Object* group, lx::Object* element) { Call(Slot::Group3DAppend, group, element); }
}

namespace Light3D {
    void SetBrightness(lx::Object* light, int32_t brightness) { Call(Slot::Light3DBrightnessSet, light, brightness); }
    void SetAttenuation(lx::Object* light, int32_t attenuation)
    {
        Call(Slot::Light3DAttenuationSet, light, attenuation);
    }
    void SetLightColor(lx::Object* light, lx::Color color) { Call(Slot::Light3DLightColorSet, light, color); }
    void SetPosition(lx::Object* light, lx::Object* vector) { Call(Slot::Light3DPositionSet, light, vector); }
}

namespace Lx3DSpace {
    ObjectRef Objects(lx::Object* view) { return ObjectField(view, "Objects"); }
    ObjectRef Camera(lx::Object* view) { return ObjectField(view, "Camera"); }
    void AddLight(lx::Object* view, lx::Object* light) { Call(Slot::Lx3DSpaceAddLight, view, light); }
    ObjectRef Light(lx::Object* view, int32_t index) { return Call<ObjectRef>(Slot::Lx3DSpaceLight, view, index); }
    void Update(lx::Object* view) { Call(Slot::Lx3DSpaceUpdate, view); }
    ObjectRef FindObject(lx::Object* view, int32_t x, int32_t y)
    {
        return Call<ObjectRef>(Slot::Lx3DSpaceFindObject, view, x, y);
    }
}

}
