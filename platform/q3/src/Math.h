#pragma once

// The library's own vector and matrix helpers; the vector arithmetic that
// callers share is public, in VectorMath.h. Matrices take row vectors:
// p' = p * M, so M = A * B applies A first, then B.

#include <q3/Q3.h>
#include <q3/VectorMath.h>

#include <cmath>

namespace q3 {

inline bool IsFinite(const TQ3Point3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Grows the box to hold the point; a point that is not finite is left out,
// as no box holds it.
void ExtendBox(TQ3BoundingBox& box, const TQ3Point3D& p);

// A unit vector, or zero for a zero vector.
TQ3Vector3D Normalized(const TQ3Vector3D& v);

TQ3Matrix4x4 Identity();
TQ3Matrix4x4 Multiply(const TQ3Matrix4x4& a, const TQ3Matrix4x4& b);
TQ3Matrix4x4 Translation(const TQ3Vector3D& offset);
TQ3Matrix4x4 Scaling(const TQ3Vector3D& scale);
TQ3Matrix4x4 Rotation(const TQ3Quaternion& quaternion);
bool Invert(const TQ3Matrix4x4& matrix, TQ3Matrix4x4& inverse);

// p * M without the divide: the matrix is affine wherever this is used.
// Inline, as picking and bounding call it for every point.
inline TQ3Point3D TransformAffine(const TQ3Point3D& p, const TQ3Matrix4x4& m)
{
    return { p.x * m.value[0][0] + p.y * m.value[1][0] + p.z * m.value[2][0] + m.value[3][0],
        p.x * m.value[0][1] + p.y * m.value[1][1] + p.z * m.value[2][1] + m.value[3][1],
        p.x * m.value[0][2] + p.y * m.value[1][2] + p.z * m.value[2][2] + m.value[3][2] };
}

}
