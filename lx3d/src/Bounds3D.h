#pragma once

#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <cstdint>
#include <span>

namespace lx3d {

enum BoundsType : int32_t { BoundsTypeSphere = 1, BoundsTypeBox = 2 };

// The type names the primary form. The empty flag of the other form also
// means "not derived yet"; it is derived from the primary on first read.
struct Bounds3DData {
    int32_t type = 0;
    TQ3BoundingBox box {};
    TQ3BoundingSphere sphere {};
};

// One side of the view's frustum: a point p is inside when
// a * p.x + b * p.y + c * p.z + d >= 0; (a, b, c) has unit length.
struct FrustumPlane {
    float a = 0;
    float b = 0;
    float c = 0;
    float d = 0;
};

constexpr std::size_t FrustumPlaneCount = 6;
using FrustumPlanes = std::span<const FrustumPlane, FrustumPlaneCount>;

LxClassRecord& Bounds3DRecord();
Bounds3DData* BoundsOf(LxObject* bounds);

// Whether the volume can be seen between the six planes. A sphere is out only
// when it lies wholly outside one plane; a box only when all eight corners
// lie outside the same plane. Empty and untyped volumes are never in view.
bool BoundsInFrustum(const Bounds3DData& bounds, FrustumPlanes planes);

}
