#include "Bounds3D.h"

#include "HostServices.h"
#include "Records.h"
#include "Vector3D.h"
#include "View3D.h"

#include <cmath>

namespace lx3d {

namespace {

    Bounds3DData& Self(LxObject* self) { return *BoundsOf(self); }

    void DeriveBox(Bounds3DData& bounds)
    {
        if (bounds.type == BoundsTypeBox || !bounds.box.isEmpty)
            return;
        const TQ3Point3D& c = bounds.sphere.origin;
        float r = bounds.sphere.radius;
        bounds.box.min = { c.x - r, c.y - r, c.z - r };
        bounds.box.max = { c.x + r, c.y + r, c.z + r };
        // Derived from an empty sphere the box reads as a real one: the flag
        // can only mean one thing at a time, and here it means "derived".
        bounds.box.isEmpty = kQ3False;
    }

    void DeriveSphere(Bounds3DData& bounds)
    {
        if (bounds.type == BoundsTypeSphere || !bounds.sphere.isEmpty)
            return;
        const TQ3BoundingBox& box = bounds.box;
        TQ3Point3D centre = AsPoint((AsVector(box.min) + AsVector(box.max)) * 0.5f);
        bounds.sphere.origin = centre;
        bounds.sphere.radius = Q3Point3D_Distance(&centre, &box.min);
        bounds.sphere.isEmpty = kQ3False;
    }

    // Touching counts as meeting, as it does for boxes.
    bool SpheresMeet(const TQ3BoundingSphere& a, const TQ3BoundingSphere& b)
    {
        float reach = a.radius + b.radius;
        return Q3Point3D_DistanceSquared(&a.origin, &b.origin) <= reach * reach;
    }

    bool BoxesMeet(const TQ3BoundingBox& a, const TQ3BoundingBox& b)
    {
        return b.max.x >= a.min.x && a.max.x >= b.min.x && b.max.y >= a.min.y && a.max.y >= b.min.y
            && b.max.z >= a.min.z && a.max.z >= b.min.z;
    }

    bool BoxMeetsSphere(Bounds3DData& box, Bounds3DData& sphere)
    {
        DeriveSphere(box);
        if (!SpheresMeet(box.sphere, sphere.sphere))
            return false;
        DeriveBox(sphere);
        return BoxesMeet(box.box, sphere.box);
    }

    LxObject* GetCenter(LxObject* self, intptr_t)
    {
        DeriveSphere(Self(self));
        return NewVector3DWith(AsVector(Self(self).sphere.origin));
    }

    double GetRadius(LxObject* self, intptr_t)
    {
        DeriveSphere(Self(self));
        return Self(self).sphere.radius;
    }

    LxObject* GetMinimum(LxObject* self, intptr_t)
    {
        DeriveBox(Self(self));
        return NewVector3DWith(AsVector(Self(self).box.min));
    }

    LxObject* GetMaximum(LxObject* self, intptr_t)
    {
        DeriveBox(Self(self));
        return NewVector3DWith(AsVector(Self(self).box.max));
    }

    void MakeSphere(LxObject* self, LxObject* center, double radius)
    {
        if (!center)
            return;
        Bounds3DData& bounds = Self(self);
        bounds.type = BoundsTypeSphere;
        bounds.sphere = { AsPoint(*VectorOf(center)), float(radius), kQ3False };
        bounds.box.isEmpty = kQ3True;
    }

    // The corners are kept as given, not sorted.
    void MakeBox(LxObject* self, LxObject* minPoint, LxObject* maxPoint)
    {
        if (!minPoint || !maxPoint)
            return;
        Bounds3DData& bounds = Self(self);
        bounds.type = BoundsTypeBox;
        bounds.box = { AsPoint(*VectorOf(minPoint)), AsPoint(*VectorOf(maxPoint)), kQ3False };
        bounds.sphere.isEmpty = kQ3True;
    }

    LxBoolean Intersects(LxObject* self, LxObject* other)
    {
        if (!other)
            return false;
        Bounds3DData& a = Self(self);
        Bounds3DData& b = Self(other);
        if (a.type == BoundsTypeBox && b.type == BoundsTypeBox)
            return BoxesMeet(a.box, b.box);
        if (a.type == BoundsTypeSphere && b.type == BoundsTypeSphere)
            return SpheresMeet(a.sphere, b.sphere);
        if (a.type == BoundsTypeBox && b.type == BoundsTypeSphere)
            return BoxMeetsSphere(a, b);
        if (a.type == BoundsTypeSphere && b.type == BoundsTypeBox)
            return BoxMeetsSphere(b, a);
        return false;
    }

    LxBoolean InView(LxObject* self, LxObject* view)
    {
        if (!view)
            return false;
        const FrustumPlane* planes = ViewFrustumPlanes(view);
        return planes && BoundsInFrustum(Self(self), FrustumPlanes(planes, FrustumPlaneCount));
    }

    LxBoolean ContainsPoint(LxObject* self, LxObject* point)
    {
        if (!point)
            return false;
        const Bounds3DData& bounds = Self(self);
        TQ3Point3D p = AsPoint(*VectorOf(point));
        if (bounds.type == BoundsTypeSphere) {
            float r = bounds.sphere.radius;
            return r * r > Q3Point3D_DistanceSquared(&bounds.sphere.origin, &p);
        }
        if (bounds.type == BoundsTypeBox) {
            const TQ3BoundingBox& box = bounds.box;
            return box.min.x <= p.x && p.x <= box.max.x && box.min.y <= p.y && p.y <= box.max.y && box.min.z <= p.z
                && p.z <= box.max.z;
        }
        return false;
    }

    enum class LineExtent { Line, Segment };

    // The first crossing of the line from pt1 through pt2 with the sphere (a
    // box is tested through its bounding sphere), as a new vector, or nil.
    LxObject* FirstCrossing(LxObject* self, LxObject* pt1, LxObject* pt2, LineExtent extent)
    {
        if (!pt1 || !pt2)
            return nullptr;
        Bounds3DData& bounds = Self(self);
        DeriveSphere(bounds);
        const TQ3Point3D& c = bounds.sphere.origin;
        float r = bounds.sphere.radius;
        TQ3Vector3D p = *VectorOf(pt1);
        TQ3Vector3D d = *VectorOf(pt2) - p;
        TQ3Vector3D e = p - AsVector(c);
        float a = q3::Dot(d, d);
        // A line through one point has no direction to cross the sphere in.
        if (a == 0)
            return nullptr;
        float b = 2 * q3::Dot(d, e);
        float cc = c.x * c.x + c.y * c.y + c.z * c.z + p.x * p.x + p.y * p.y + p.z * p.z;
        cc = cc - 2 * q3::Dot(p, AsVector(c)) - r * r;
        float discriminant = cc * (-4 * a) + b * b;
        if (discriminant < 0)
            return nullptr;
        float t = float((-double(b) - std::sqrt(double(discriminant))) / (2 * double(a)));
        if (extent == LineExtent::Segment && (t < 0 || t > 1))
            return nullptr;
        return NewVector3DWith(p + d * t);
    }

    LxObject* LineIntersection(LxObject* self, LxObject* pt1, LxObject* pt2)
    {
        return FirstCrossing(self, pt1, pt2, LineExtent::Line);
    }

    LxObject* LineSegmentIntersection(LxObject* self, LxObject* pt1, LxObject* pt2)
    {
        return FirstCrossing(self, pt1, pt2, LineExtent::Segment);
    }

    float PlaneValue(const FrustumPlane& plane, const TQ3Point3D& p)
    {
        return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
    }

    bool SphereInFrustum(const TQ3BoundingSphere& sphere, FrustumPlanes planes)
    {
        if (sphere.isEmpty)
            return false;
        for (const FrustumPlane& plane : planes) {
            if (-sphere.radius > PlaneValue(plane, sphere.origin))
                return false;
        }
        return true;
    }

    bool BoxInFrustum(const TQ3BoundingBox& box, FrustumPlanes planes)
    {
        if (box.isEmpty)
            return false;
        bool reached[FrustumPlaneCount] = {};
        for (int corner = 0; corner < 8; ++corner) {
            TQ3Point3D p { corner & 4 ? box.max.x : box.min.x, corner & 2 ? box.max.y : box.min.y,
                corner & 1 ? box.max.z : box.min.z };
            bool inside = true;
            for (std::size_t i = 0; i < FrustumPlaneCount; ++i) {
                bool onInnerSide = PlaneValue(planes[i], p) >= 0;
                reached[i] = reached[i] || onInnerSide;
                inside = inside && onInnerSide;
            }
            if (inside)
                return true;
        }
        for (bool planeReached : reached) {
            if (!planeReached)
                return false;
        }
        return true;
    }

    LxPropertyRow gProperties[] = {
        FieldProperty("Type", "Integer", offsetof(Bounds3DData, type)),
        AccessorProperty("Center", "Vector3D", Fn(GetCenter), nullptr),
        AccessorProperty("Radius", "Double", Fn(GetRadius), nullptr),
        AccessorProperty("Minimum", "Vector3D", Fn(GetMinimum), nullptr),
        AccessorProperty("Maximum", "Vector3D", Fn(GetMaximum), nullptr),
    };

    LxMethodRow gMethods[] = {
        Method(Fn(MakeSphere), "Bounds3D(center as Vector3D, radius as Double)"),
        Method(Fn(MakeBox), "Bounds3D(minPoint as Vector3D, maxPoint as Vector3D)"),
        Method(Fn(Intersects), "Intersects(other as Bounds3D) as Boolean"),
        Method(Fn(InView), "InView(lx3d as Lx3DSpace) as Boolean"),
        Method(Fn(ContainsPoint), "ContainsPoint(pt as Vector3D) as Boolean"),
        Method(Fn(LineIntersection), "LineIntersection(pt1 as Vector3D, pt2 as Vector3D) as Vector3D"),
        Method(Fn(LineSegmentIntersection), "LineSegmentIntersection(pt1 as Vector3D, pt2 as Vector3D) as Vector3D"),
    };

    LxClassRecord gRecord = ClassRecord("Bounds3D", nullptr, sizeof(Bounds3DData), nullptr, nullptr,
        { .properties = gProperties, .methods = gMethods });

}

LxClassRecord& Bounds3DRecord() { return gRecord; }

Bounds3DData* BoundsOf(LxObject* bounds) { return DataOf<Bounds3DData>(bounds, gRecord); }

bool BoundsInFrustum(const Bounds3DData& bounds, FrustumPlanes planes)
{
    if (bounds.type == BoundsTypeSphere)
        return SphereInFrustum(bounds.sphere, planes);
    if (bounds.type == BoundsTypeBox)
        return BoxInFrustum(bounds.box, planes);
    return false;
}

}
