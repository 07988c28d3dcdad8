#pragma once

// The LX3D members the game uses, typed. Every call goes through the
// entry-point table; object properties that LX3D keeps as fields are read and
// written by the framework at their offsets. A nil receiver raises
// NilObjectException, an unbound slot UnboundEntryPointException.
//
// Object results are plain framework objects: the view's FindObject and
// Camera are declared with narrower types than they really hold, so the game
// treats them as the Element3D they are.

#include <lxframework/Object.h>
#include <lxframework/Picture.h>
#include <lxframework/Ref.h>
#include <lxframework/Value.h>

#include <cstdint>
#include <string_view>

namespace game {

using ObjectRef = lx::Ref<lx::Object>;

// A new object of the class a plug-in registered under that name, its
// constructors run; RuntimeException when no plug-in registered it.
ObjectRef NewObjectOfClass(std::string_view className);

// An object property by name. A class without that property reads as nil,
// which is how a view without the 3D library shows.
ObjectRef ObjectField(lx::Object* object, std::string_view name);
void SetObjectField(lx::Object* object, std::string_view name, lx::Object* value);
void SetBooleanField(lx::Object* object, std::string_view name, bool value);

namespace Vector3D {
    ObjectRef New(double x, double y, double z);
    double X(lx::Object* vector);
    double Y(lx::Object* vector);
    double Z(lx::Object* vector);
    void SetX(lx::Object* vector, double value);
    void SetY(lx::Object* vector, double value);
    void SetZ(lx::Object* vector, double value);
    void Copy(lx::Object* vector, lx::Object* from);
    ObjectRef Times(lx::Object* vector, double scalar);
}

namespace Quaternion {
    ObjectRef Inverse(lx::Object* quaternion);
}

namespace Element3D {
    ObjectRef Position(lx::Object* element);
    void SetPosition(lx::Object* element, lx::Object* vector);
    ObjectRef Orientation(lx::Object* element);
    void SetOrientation(lx::Object* element, lx::Object* quaternion);
    void Yaw(lx::Object* element, double radians);
    void Pitch(lx::Object* element, double radians);
    void MoveForward(lx::Object* element, double distance);
    void SetScale(lx::Object* element, double scale);
}

namespace Object3D {
    void AddShapePicture(lx::Object* object, lx::Picture* image, double scale, int32_t insertPosition);
}

namespace Group3D {
    int32_t Count(lx::Object* group);
    ObjectRef Item(lx::Object* group, int32_t index);
    void Append(lx::Object* group, lx::Object* element);
}

namespace Light3D {
    void SetBrightness(lx::Object* light, int32_t brightness);
    void SetAttenuation(lx::Object* light, int32_t attenuation);
    void SetLightColor(lx::Object* light, lx::Color color);
    void SetPosition(lx::Object* light, lx::Object* vector);
}

namespace Lx3DSpace {
    ObjectRef Objects(lx::Object* view);
    ObjectRef Camera(lx::Object* view);
    void AddLight(lx::Object* view, lx::Object* light);
    // The light at the index, or nil.
    ObjectRef Light(lx::Object* view, int32_t index);
    // One synchronous render of the scene.
    void Update(lx::Object* view);
    // The innermost element under the view-local point, or nil.
    ObjectRef FindObject(lx::Object* view, int32_t x, int32_t y);
}

}
