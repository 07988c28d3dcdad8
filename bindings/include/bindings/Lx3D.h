#pragma once

// The LX3D members the game and the globe use, typed. Every call goes through
// the entry-point table; object properties that LX3D keeps as fields are read
// and written by the framework at their offsets. A nil receiver raises
// NilObjectException, an unbound slot UnboundEntryPointException.
//
// Object results are plain framework objects: the view's FindObject and
// Camera are declared with narrower types than they really hold, so callers
// treat them as the Element3D they are.

#include "bindings/Point.h"

#include <lxframework/Object.h>
#include <lxframework/Picture.h>
#include <lxframework/Ref.h>
#include <lxframework/Value.h>

#include <cstdint>
#include <string_view>

namespace bindings {

using ObjectRef = lx::Ref<lx::Object>;

// A new object of the class a plug-in registered under that name, its
// constructors run. NilObjectException when no plug-in registered it: the new
// object is nil then, and this is where its caller meets it.
ObjectRef NewObjectOfClass(std::string_view className);

// An object property by name. A class without that property reads as nil,
// which is how a view without the 3D library shows.
ObjectRef ObjectField(const ObjectRef& object, std::string_view name);
void SetObjectField(const ObjectRef& object, std::string_view name, const ObjectRef& value);
void SetBooleanField(const ObjectRef& object, std::string_view name, bool value);

// A new Vector3D: made, zeroed with Vector3D(), then X, Y and Z set in that
// order, each rounded to single precision by the vector.
ObjectRef NewVector(double x, double y, double z);
// The vector's coordinates, widened from single precision.
Point ReadVector(const ObjectRef& vector);
// Sets X, Y and Z in that order.
void WriteVector(const ObjectRef& vector, const Point& value);

namespace Vector3D {
    double X(const ObjectRef& vector);
    double Y(const ObjectRef& vector);
    double Z(const ObjectRef& vector);
    void SetX(const ObjectRef& vector, double value);
    void SetY(const ObjectRef& vector, double value);
    void SetZ(const ObjectRef& vector, double value);
    void Copy(const ObjectRef& vector, const ObjectRef& from);
    double Length(const ObjectRef& vector);
    ObjectRef Times(const ObjectRef& vector, double scalar);
    ObjectRef Minus(const ObjectRef& vector, const ObjectRef& other);
}

namespace Quaternion {
    ObjectRef Inverse(const ObjectRef& quaternion);
}

namespace Material {
    void SetTexture(const ObjectRef& material, const lx::Ref<lx::Picture>& texture);
}

namespace Element3D {
    ObjectRef Position(const ObjectRef& element);
    void SetPosition(const ObjectRef& element, const ObjectRef& vector);
    ObjectRef Orientation(const ObjectRef& element);
    void SetOrientation(const ObjectRef& element, const ObjectRef& quaternion);
    void Yaw(const ObjectRef& element, double radians);
    void Pitch(const ObjectRef& element, double radians);
    void MoveForward(const ObjectRef& element, double distance);
    void SetScale(const ObjectRef& element, double scale);
}

namespace Object3D {
    void AddShapePicture(
        const ObjectRef& object, const lx::Ref<lx::Picture>& image, double scale, int32_t insertPosition);
}

namespace Group3D {
    int32_t Count(const ObjectRef& group);
    ObjectRef Item(const ObjectRef& group, int32_t index);
    void Append(const ObjectRef& group, const ObjectRef& element);
}

namespace VectorList {
    void SetVector(const ObjectRef& list, int32_t index, const ObjectRef& vector);
}

namespace UVList {
    void SetUV(const ObjectRef& list, int32_t index, double u, double v);
}

namespace TriangleList {
    void SetABC(const ObjectRef& list, int32_t index, int32_t a, int32_t b, int32_t c);
}

namespace Trimesh {
    ObjectRef VertexPositions(const ObjectRef& mesh);
    ObjectRef VertexNormals(const ObjectRef& mesh);
    ObjectRef VertexUVs(const ObjectRef& mesh);
    ObjectRef Triangles(const ObjectRef& mesh);
    void SetVertexCount(const ObjectRef& mesh, int32_t count);
    void SetTriangleCount(const ObjectRef& mesh, int32_t count);
    void SetMaterial(const ObjectRef& mesh, const ObjectRef& material);
    void SetHasVertexUVs(const ObjectRef& mesh, bool value);
    void SetHasVertexNormals(const ObjectRef& mesh, bool value);
}

namespace Light3D {
    void SetBrightness(const ObjectRef& light, int32_t brightness);
    void SetAttenuation(const ObjectRef& light, int32_t attenuation);
    void SetLightColor(const ObjectRef& light, lx::Color color);
    void SetPosition(const ObjectRef& light, const ObjectRef& vector);
}

namespace Lx3DSpace {
    ObjectRef Objects(const ObjectRef& view);
    ObjectRef Camera(const ObjectRef& view);
    void AddLight(const ObjectRef& view, const ObjectRef& light);
    // The light at the index, or nil.
    ObjectRef Light(const ObjectRef& view, int32_t index);
    // One synchronous render of the scene.
    void Update(const ObjectRef& view);
    // The innermost element under the view-local point, or nil.
    ObjectRef FindObject(const ObjectRef& view, int32_t x, int32_t y);
}

}
