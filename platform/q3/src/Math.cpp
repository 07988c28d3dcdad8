#include "Math.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace q3 {

namespace {

    constexpr int Size = 4;

    TQ3Quaternion Hamilton(const TQ3Quaternion& a, const TQ3Quaternion& b)
    {
        return { a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w };
    }

    // In double, where no product of floats overflows or underflows.
    double Dot(const TQ3Quaternion& a, const TQ3Quaternion& b)
    {
        return double(a.w) * b.w + double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
    }

    // Zero stays zero.
    TQ3Quaternion Normalized(const TQ3Quaternion& q)
    {
        const double length = std::sqrt(Dot(q, q));
        if (length == 0)
            return { 0, 0, 0, 0 };
        return { float(q.w / length), float(q.x / length), float(q.y / length), float(q.z / length) };
    }

    // By the rotation q stands for at any length, as the drawing does; a
    // zero quaternion leaves v as it is.
    TQ3Vector3D Rotate(const TQ3Vector3D& v, const TQ3Quaternion& quaternion)
    {
        // v' = v + 2w (u x v) + 2 u x (u x v), with u the vector part of q:
        // the expansion of q v q* for a unit quaternion.
        const TQ3Quaternion q = Normalized(quaternion);
        const TQ3Vector3D u { q.x, q.y, q.z };
        const TQ3Vector3D t = Cross(u, v) * 2.0f;
        return v + t * q.w + Cross(u, t);
    }

}

TQ3Vector3D Normalized(const TQ3Vector3D& v)
{
    // In double: the squared length of a finite float vector neither
    // overflows nor underflows there.
    const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    if (length == 0)
        return { 0, 0, 0 };
    if (!std::isfinite(length))
        return v;
    return { float(v.x / length), float(v.y / length), float(v.z / length) };
}

TQ3Matrix4x4 Identity()
{
    TQ3Matrix4x4 m {};
    for (int i = 0; i < Size; ++i)
        m.value[i][i] = 1;
    return m;
}

TQ3Matrix4x4 Multiply(const TQ3Matrix4x4& a, const TQ3Matrix4x4& b)
{
    TQ3Matrix4x4 m {};
    for (int row = 0; row < Size; ++row)
        for (int column = 0; column < Size; ++column) {
            float sum = 0;
            for (int k = 0; k < Size; ++k)
                sum += a.value[row][k] * b.value[k][column];
            m.value[row][column] = sum;
        }
    return m;
}

TQ3Matrix4x4 Translation(const TQ3Vector3D& offset)
{
    TQ3Matrix4x4 m = Identity();
    m.value[3][0] = offset.x;
    m.value[3][1] = offset.y;
    m.value[3][2] = offset.z;
    return m;
}

TQ3Matrix4x4 Scaling(const TQ3Vector3D& scale)
{
    TQ3Matrix4x4 m = Identity();
    m.value[0][0] = scale.x;
    m.value[1][1] = scale.y;
    m.value[2][2] = scale.z;
    return m;
}

TQ3Matrix4x4 Rotation(const TQ3Quaternion& quaternion)
{
    // Each row is the image of a unit axis, since points are row vectors.
    TQ3Matrix4x4 m = Identity();
    const TQ3Vector3D axes[3] = { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
    for (int row = 0; row < 3; ++row) {
        const TQ3Vector3D image = Rotate(axes[row], quaternion);
        m.value[row][0] = image.x;
        m.value[row][1] = image.y;
        m.value[row][2] = image.z;
    }
    return m;
}

bool Invert(const TQ3Matrix4x4& matrix, TQ3Matrix4x4& inverse)
{
    // Gauss-Jordan elimination with partial pivoting, in double precision, of
    // the matrix scaled by powers of two (which round nothing) so that every
    // column and then every row peaks between 1 and 2. A pivot is then small
    // against 1 only if the matrix is singular, whatever its scale or the
    // scale of its rows and columns: exactly singular ones leave rounding
    // residue far below the bound, and float data has nothing that fine.
    constexpr double SmallestPivot = 1e-12;
    for (const auto& row : matrix.value)
        for (const float value : row)
            if (!std::isfinite(value))
                return false;
    int columnExponent[Size] {}, rowExponent[Size] {};
    for (int column = 0; column < Size; ++column) {
        double largest = 0;
        for (int row = 0; row < Size; ++row)
            largest = std::max(largest, std::fabs(double(matrix.value[row][column])));
        if (largest == 0)
            return false;
        columnExponent[column] = -std::ilogb(largest);
    }
    double a[Size][2 * Size] {};
    for (int row = 0; row < Size; ++row) {
        double largest = 0;
        for (int column = 0; column < Size; ++column) {
            a[row][column] = std::ldexp(double(matrix.value[row][column]), columnExponent[column]);
            largest = std::max(largest, std::fabs(a[row][column]));
        }
        if (largest == 0)
            return false;
        rowExponent[row] = -std::ilogb(largest);
        for (int column = 0; column < Size; ++column)
            a[row][column] = std::ldexp(a[row][column], rowExponent[row]);
        a[row][Size + row] = 1;
    }
    for (int column = 0; column < Size; ++column) {
        int pivot = column;
        for (int row = column + 1; row < Size; ++row)
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column]))
                pivot = row;
        if (!(std::fabs(a[pivot][column]) > SmallestPivot))
            return false;
        std::swap(a[pivot], a[column]);
        const double scale = 1 / a[column][column];
        for (double& value : a[column])
            value *= scale;
        for (int row = 0; row < Size; ++row) {
            if (row == column)
                continue;
            const double factor = a[row][column];
            for (int k = 0; k < 2 * Size; ++k)
                a[row][k] -= factor * a[column][k];
        }
    }
    // The scaled matrix is Dr M Dc, so M's inverse is Dc (its inverse) Dr.
    TQ3Matrix4x4 result {};
    for (int row = 0; row < Size; ++row)
        for (int column = 0; column < Size; ++column) {
            const double value = std::ldexp(a[row][Size + column], columnExponent[row] + rowExponent[column]);
            if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
                return false;
            result.value[row][column] = static_cast<float>(value);
        }
    inverse = result;
    return true;
}

void ExtendBox(TQ3BoundingBox& box, const TQ3Point3D& p)
{
    if (!IsFinite(p))
        return;
    if (box.isEmpty) {
        box.min = box.max = p;
        box.isEmpty = kQ3False;
        return;
    }
    box.min = { std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z) };
    box.max = { std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z) };
}

}

using namespace q3;

TQ3Vector3D* Q3Vector3D_Normalize(const TQ3Vector3D* vector, TQ3Vector3D* result)
{
    if (!vector || !result)
        return nullptr;
    *result = Normalized(*vector);
    return result;
}

float Q3Vector3D_Length(const TQ3Vector3D* vector) { return vector ? std::sqrt(Dot(*vector, *vector)) : 0; }

TQ3Vector3D* Q3Vector3D_TransformQuaternion(
    const TQ3Vector3D* vector, const TQ3Quaternion* quaternion, TQ3Vector3D* result)
{
    if (!vector || !quaternion || !result)
        return nullptr;
    *result = Rotate(*vector, *quaternion);
    return result;
}

TQ3Point3D* Q3Point3D_TransformQuaternion(const TQ3Point3D* point, const TQ3Quaternion* quaternion, TQ3Point3D* result)
{
    if (!point || !quaternion || !result)
        return nullptr;
    *result = AsPoint(Rotate(AsVector(*point), *quaternion));
    return result;
}

TQ3Vector3D* Q3Point3D_Subtract(const TQ3Point3D* p1, const TQ3Point3D* p2, TQ3Vector3D* result)
{
    if (!p1 || !p2 || !result)
        return nullptr;
    *result = *p1 - *p2;
    return result;
}

TQ3Point3D* Q3Point3D_Vector3D_Add(const TQ3Point3D* point, const TQ3Vector3D* vector, TQ3Point3D* result)
{
    if (!point || !vector || !result)
        return nullptr;
    *result = *point + *vector;
    return result;
}

float Q3Point3D_Distance(const TQ3Point3D* p1, const TQ3Point3D* p2)
{
    return std::sqrt(Q3Point3D_DistanceSquared(p1, p2));
}

float Q3Point3D_DistanceSquared(const TQ3Point3D* p1, const TQ3Point3D* p2)
{
    if (!p1 || !p2)
        return 0;
    const TQ3Vector3D d = *p1 - *p2;
    return Dot(d, d);
}

TQ3Vector3D* Q3Point3D_CrossProductTri(
    const TQ3Point3D* a, const TQ3Point3D* b, const TQ3Point3D* c, TQ3Vector3D* result)
{
    if (!a || !b || !c || !result)
        return nullptr;
    *result = Cross(*b - *a, *c - *a);
    return result;
}

TQ3Point3D* Q3Point3D_Transform(const TQ3Point3D* point, const TQ3Matrix4x4* matrix, TQ3Point3D* result)
{
    if (!point || !matrix || !result)
        return nullptr;
    const auto& m = matrix->value;
    const TQ3Point3D p = TransformAffine(*point, *matrix);
    const float w = point->x * m[0][3] + point->y * m[1][3] + point->z * m[2][3] + m[3][3];
    // A point on the plane w = 0 has no finite image; it stays undivided
    // rather than turning into infinities.
    const float scale = w == 0 ? 1 : 1 / w;
    *result = { p.x * scale, p.y * scale, p.z * scale };
    return result;
}

TQ3Matrix4x4* Q3Matrix4x4_Invert(const TQ3Matrix4x4* matrix, TQ3Matrix4x4* result)
{
    if (!matrix || !result)
        return nullptr;
    TQ3Matrix4x4 inverse {};
    if (!Invert(*matrix, inverse))
        return nullptr;
    *result = inverse;
    return result;
}

TQ3Quaternion* Q3Quaternion_SetRotateAboutAxis(TQ3Quaternion* result, const TQ3Vector3D* axis, float angle)
{
    if (!result || !axis)
        return nullptr;
    const float s = std::sin(angle / 2);
    *result = { std::cos(angle / 2), axis->x * s, axis->y * s, axis->z * s };
    return result;
}

TQ3Quaternion* Q3Quaternion_Multiply(const TQ3Quaternion* first, const TQ3Quaternion* second, TQ3Quaternion* result)
{
    if (!first || !second || !result)
        return nullptr;
    // Rotating by `first` and then by `second` is second * first.
    *result = Hamilton(*second, *first);
    return result;
}

TQ3Quaternion* Q3Quaternion_Normalize(const TQ3Quaternion* quaternion, TQ3Quaternion* result)
{
    if (!quaternion || !result)
        return nullptr;
    *result = Normalized(*quaternion);
    return result;
}

TQ3Quaternion* Q3Quaternion_Invert(const TQ3Quaternion* quaternion, TQ3Quaternion* result)
{
    if (!quaternion || !result)
        return nullptr;
    const TQ3Quaternion& q = *quaternion;
    const double norm = Dot(q, q);
    if (norm == 0) {
        *result = { 0, 0, 0, 0 };
        return result;
    }
    *result = { float(q.w / norm), float(-q.x / norm), float(-q.y / norm), float(-q.z / norm) };
    return result;
}

TQ3Quaternion* Q3Quaternion_MatchReflection(const TQ3Quaternion* q1, const TQ3Quaternion* q2, TQ3Quaternion* result)
{
    if (!q1 || !q2 || !result)
        return nullptr;
    const TQ3Quaternion q = *q1;
    *result = Dot(q, *q2) < 0 ? TQ3Quaternion { -q.w, -q.x, -q.y, -q.z } : q;
    return result;
}

TQ3Quaternion* Q3Quaternion_InterpolateLinear(
    const TQ3Quaternion* q1, const TQ3Quaternion* q2, float t, TQ3Quaternion* result)
{
    if (!q1 || !q2 || !result)
        return nullptr;
    const float s = 1 - t;
    const TQ3Quaternion blend { s * q1->w + t * q2->w, s * q1->x + t * q2->x, s * q1->y + t * q2->y,
        s * q1->z + t * q2->z };
    return Q3Quaternion_Normalize(&blend, result);
}

TQ3BoundingBox* Q3BoundingBox_SetFromPoints3D(
    TQ3BoundingBox* box, const TQ3Point3D* points, TQ3Uns32 count, TQ3Uns32 stride)
{
    if (!box)
        return nullptr;
    *box = {};
    box->isEmpty = kQ3True;
    if (!points)
        return box;
    if (stride == 0)
        stride = sizeof(TQ3Point3D);
    const auto* bytes = reinterpret_cast<const unsigned char*>(points);
    for (TQ3Uns32 i = 0; i < count; ++i) {
        TQ3Point3D p;
        std::memcpy(&p, bytes + static_cast<size_t>(i) * stride, sizeof p);
        ExtendBox(*box, p);
    }
    return box;
}
