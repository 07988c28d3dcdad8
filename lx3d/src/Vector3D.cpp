#include "Vector3D.h"

#include "HostServices.h"
#include "Records.h"

#include <cmath>

namespace lx3d {

namespace {

    TQ3Vector3D& Self(LxObject* self) { return *VectorOf(self); }

    // The squared length summed in single precision, as every length here is.
    float SquaredLength(const TQ3Vector3D& v) { return q3::Dot(v, v); }
    double Length(const TQ3Vector3D& v) { return std::sqrt(double(SquaredLength(v))); }

    void Scale(TQ3Vector3D& v, float factor) { v = v * factor; }

    // Rescales to `target` unless the vector is zero or already that long.
    void RescaleTo(TQ3Vector3D& v, double target)
    {
        double d = Length(v);
        if (d > 0 && d != target)
            Scale(v, float(target / d));
    }

    void Clear(LxObject* self) { Self(self) = {}; }

    void SetXYZ(LxObject* self, double x, double y, double z) { Self(self) = { float(x), float(y), float(z) }; }

    void CopyFrom(LxObject* self, LxObject* vector) { Self(self) = VectorValue(vector, {}); }

    double GetLength(LxObject* self) { return Length(Self(self)); }
    void SetLength(LxObject* self, double length) { RescaleTo(Self(self), length); }

    double GetLenSquared(LxObject* self) { return SquaredLength(Self(self)); }

    // The root of a negative value is not a number, which differs from every
    // length, so the components become not-a-number too: documented behaviour.
    void SetLenSquared(LxObject* self, double squared)
    {
        if (Length(Self(self)) > 0)
            RescaleTo(Self(self), std::sqrt(squared));
    }

    void Normalize(LxObject* self) { RescaleTo(Self(self), 1.0); }

    LxObject* Cross(LxObject* self, LxObject* vector)
    {
        LxObject* result = NewVector3D();
        if (!result || !vector)
            return result;
        Self(result) = q3::Cross(Self(self), Self(vector));
        return result;
    }

    double Dot(LxObject* self, LxObject* vector) { return vector ? q3::Dot(Self(self), Self(vector)) : 0; }

    LxObject* Plus(LxObject* self, LxObject* vector)
    {
        return NewVector3DWith(vector ? Self(self) + Self(vector) : Self(self));
    }

    LxObject* Minus(LxObject* self, LxObject* vector)
    {
        return NewVector3DWith(vector ? Self(self) - Self(vector) : Self(self));
    }

    LxObject* Times(LxObject* self, double scalar)
    {
        TQ3Vector3D scaled = Self(self);
        Scale(scaled, float(scalar));
        return NewVector3DWith(scaled);
    }

    void Add(LxObject* self, LxObject* vector)
    {
        if (vector)
            Self(self) = Self(self) + Self(vector);
    }

    void Subtract(LxObject* self, LxObject* vector)
    {
        if (vector)
            Self(self) = Self(self) - Self(vector);
    }

    void MultiplyBy(LxObject* self, double scalar) { Scale(Self(self), float(scalar)); }

    LxPropertyRow gProperties[] = {
        FloatProperty<VectorOf>("Z", offsetof(TQ3Vector3D, z)),
        FloatProperty<VectorOf>("Y", offsetof(TQ3Vector3D, y)),
        FloatProperty<VectorOf>("X", offsetof(TQ3Vector3D, x)),
    };

    LxMethodRow gMethods[] = {
        Method(Fn(Clear), "Vector3D()"),
        Method(Fn(SetXYZ), "Vector3D(x As Double, y as Double, z As Double)"),
        Method(Fn(CopyFrom), "Vector3D(vector As Vector3D)"),
        Method(Fn(CopyFrom), "Copy(vector As Vector3D)"),
        Method(Fn(GetLength), "Length() as Double", Fn(SetLength)),
        Method(Fn(GetLenSquared), "LenSquared() as Double", Fn(SetLenSquared)),
        Method(Fn(Normalize), "Normalize()"),
        Method(Fn(Cross), "Cross(vector as Vector3D) as Vector3D"),
        Method(Fn(Dot), "Dot(vector as Vector3D) as Double"),
        Method(Fn(Plus), "Plus(vector as Vector3D) as Vector3D"),
        Method(Fn(Minus), "Minus(vector as Vector3D) as Vector3D"),
        Method(Fn(Times), "Times(scalar as Double) as Vector3D"),
        Method(Fn(Add), "Add(vector as Vector3D)"),
        Method(Fn(Subtract), "Subtract(vector as Vector3D)"),
        Method(Fn(MultiplyBy), "MultiplyBy(scalar as Double)"),
    };

    LxClassRecord gRecord = ClassRecord(
        "Vector3D", nullptr, sizeof(TQ3Vector3D), nullptr, nullptr, { .properties = gProperties, .methods = gMethods });

}

LxClassRecord& Vector3DRecord() { return gRecord; }

TQ3Vector3D* VectorOf(LxObject* vector) { return DataOf<TQ3Vector3D>(vector, gRecord); }

TQ3Vector3D VectorValue(LxObject* vector, TQ3Vector3D fallback) { return vector ? *VectorOf(vector) : fallback; }

LxObject* NewVector3DWith(const TQ3Vector3D& value)
{
    LxObject* result = NewVector3D();
    if (result)
        Self(result) = value;
    return result;
}

}
