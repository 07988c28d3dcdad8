#include "Quaternion.h"

#include "HostServices.h"
#include "Records.h"
#include "Vector3D.h"

#include <cmath>

namespace lx3d {

namespace {

    TQ3Quaternion& Self(LxObject* self) { return *QuaternionOf(self); }

    void Construct(LxObject* self) { Self(self) = IdentityQuaternion; }

    void CopyFrom(LxObject* self, LxObject* quaternion) { Self(self) = QuaternionValue(quaternion); }

    // Like a vector's: summed in single precision, a zero quaternion and one of
    // length exactly 1 are left alone.
    void Normalize(LxObject* self)
    {
        TQ3Quaternion& q = Self(self);
        float s = q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z;
        double d = std::sqrt(double(s));
        if (d > 0 && d != 1) {
            float f = float(1 / d);
            q = { q.w * f, q.x * f, q.y * f, q.z * f };
        }
    }

    void Invert(LxObject* self) { Q3Quaternion_Invert(&Self(self), &Self(self)); }

    LxObject* Inverse(LxObject* self)
    {
        LxObject* result = NewQuaternion();
        if (result)
            Q3Quaternion_Invert(&Self(self), &Self(result));
        return result;
    }

    LxObject* Times(LxObject* self, LxObject* quaternion)
    {
        LxObject* result = NewQuaternion();
        if (!result)
            return nullptr;
        if (quaternion)
            Q3Quaternion_Multiply(&Self(self), &Self(quaternion), &Self(result));
        else
            Self(result) = Self(self);
        return result;
    }

    void MultiplyBy(LxObject* self, LxObject* quaternion)
    {
        if (quaternion)
            Q3Quaternion_Multiply(&Self(self), &Self(quaternion), &Self(self));
    }

    void SetRotateAboutAxis(LxObject* self, double axisX, double axisY, double axisZ, double radians)
    {
        TQ3Vector3D axis { float(axisX), float(axisY), float(axisZ) };
        Q3Vector3D_Normalize(&axis, &axis);
        Q3Quaternion_SetRotateAboutAxis(&Self(self), &axis, float(radians));
    }

    void SetBetween(LxObject* self, LxObject* first, LxObject* second, double position)
    {
        if (!first || !second)
            return;
        TQ3Quaternion matched {};
        Q3Quaternion_MatchReflection(&Self(first), &Self(second), &matched);
        Q3Quaternion_InterpolateLinear(&matched, &Self(second), float(position), &Self(self));
    }

    LxObject* Transform(LxObject* self, LxObject* vector)
    {
        LxObject* result = NewVector3D();
        if (result && vector)
            Q3Vector3D_TransformQuaternion(VectorOf(vector), &Self(self), VectorOf(result));
        return result;
    }

    LxPropertyRow gProperties[] = {
        FloatProperty<QuaternionOf>("Z", offsetof(TQ3Quaternion, z)),
        FloatProperty<QuaternionOf>("Y", offsetof(TQ3Quaternion, y)),
        FloatProperty<QuaternionOf>("X", offsetof(TQ3Quaternion, x)),
        FloatProperty<QuaternionOf>("W", offsetof(TQ3Quaternion, w)),
    };

    LxMethodRow gMethods[] = {
        Method(Fn(Construct), "Quaternion()"),
        Method(Fn(CopyFrom), "Quaternion(quat As Quaternion)"),
        Method(Fn(CopyFrom), "Copy(quat As Quaternion)"),
        Method(Fn(Normalize), "Normalize()"),
        Method(Fn(Invert), "Invert()"),
        Method(Fn(Inverse), "Inverse() as Quaternion"),
        Method(Fn(Times), "Times(quat as Quaternion) as Quaternion"),
        Method(Fn(MultiplyBy), "MultiplyBy(quat as Quaternion)"),
        Method(Fn(SetRotateAboutAxis),
            "SetRotateAboutAxis(axisX as Double, axisY as Double, axisZ as Double, radians as Double)"),
        Method(Fn(SetBetween), "SetBetween(quat1 as Quaternion, quat2 as Quaternion, position as Double)"),
        Method(Fn(Transform), "Transform(vec as Vector3D) as Vector3D"),
    };

    LxClassRecord gRecord = ClassRecord("Quaternion", nullptr, sizeof(TQ3Quaternion), &Construct, nullptr,
        { .properties = gProperties, .methods = gMethods });

}

LxClassRecord& QuaternionRecord() { return gRecord; }

TQ3Quaternion* QuaternionOf(LxObject* quaternion) { return DataOf<TQ3Quaternion>(quaternion, gRecord); }

TQ3Quaternion QuaternionValue(LxObject* quaternion)
{
    return quaternion ? *QuaternionOf(quaternion) : IdentityQuaternion;
}

}
