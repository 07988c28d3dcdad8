#pragma once

// Vector arithmetic for C++ code on the library's types, the library's own
// included. Each operation is written once, for every vector type that opts
// in: the library's vectors in single precision, and a caller's own
// double-precision vector where single precision is not enough. Sums run x,
// then y, then z, so a result is the same bit for bit wherever it is
// computed.

#include <q3/Q3.h>

#include <type_traits>

namespace q3 {

// A type with coordinates x, y and z of one arithmetic type that adds and
// scales as a vector. A caller opts a type of its own in by specialising
// this; points stay out, as a sum of points means nothing.
template <class V> inline constexpr bool IsVector = false;
template <> inline constexpr bool IsVector<TQ3Vector3D> = true;

template <class V>
concept Vector = IsVector<V>;

template <Vector V> using Coordinate = decltype(V::x);

template <Vector V> constexpr Coordinate<V> Dot(const V& a, const V& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

template <Vector V> constexpr V Cross(const V& a, const V& b)
{
    return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
}

constexpr TQ3Point3D AsPoint(const TQ3Vector3D& v) { return { v.x, v.y, v.z }; }
constexpr TQ3Vector3D AsVector(const TQ3Point3D& p) { return { p.x, p.y, p.z }; }

}

// The operators stand beside the library's types, outside the namespace, so
// that argument-dependent lookup finds them from any caller's namespace.

template <q3::Vector V> constexpr V operator+(const V& a, const V& b) { return { a.x + b.x, a.y + b.y, a.z + b.z }; }
template <q3::Vector V> constexpr V operator-(const V& a, const V& b) { return { a.x - b.x, a.y - b.y, a.z - b.z }; }
template <q3::Vector V> constexpr V operator-(const V& v) { return { -v.x, -v.y, -v.z }; }

template <q3::Vector V> constexpr V operator*(const V& v, std::type_identity_t<q3::Coordinate<V>> s)
{
    return { v.x * s, v.y * s, v.z * s };
}

// Each coordinate divided, which a multiplication by the reciprocal would
// not always match to the last bit.
template <q3::Vector V> constexpr V operator/(const V& v, std::type_identity_t<q3::Coordinate<V>> s)
{
    return { v.x / s, v.y / s, v.z / s };
}

// A difference of points is a vector; a point moved by a vector is a point.
constexpr TQ3Vector3D operator-(const TQ3Point3D& a, const TQ3Point3D& b)
{
    return { a.x - b.x, a.y - b.y, a.z - b.z };
}

constexpr TQ3Point3D operator+(const TQ3Point3D& p, const TQ3Vector3D& v)
{
    return { p.x + v.x, p.y + v.y, p.z + v.z };
}
