#pragma once

#include <q3/Q3.h>

#include <span>

namespace q3 {

// Both leave out points with a coordinate that is infinite or not a number,
// and are empty when no point is left.

// The world-axis-aligned box of the points.
TQ3BoundingBox BoxAround(std::span<const TQ3Point3D> points);

// The smallest sphere that holds every point (Welzl's algorithm over the
// points in a fixed shuffled order, in double precision). Its work is
// bounded: should rounding keep the search from settling, the sphere it
// reached is widened to hold every point, a little larger than the smallest.
TQ3BoundingSphere SphereAround(std::span<const TQ3Point3D> points);

}
