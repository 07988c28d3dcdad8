#pragma once

#include <q3/Q3.h>

#include <span>

namespace q3 {

// The world-axis-aligned box of the points; empty for none.
TQ3BoundingBox BoxAround(std::span<const TQ3Point3D> points);

// The smallest sphere that holds every point (Welzl's algorithm over the
// points in a fixed shuffled order, in double precision); empty for none.
TQ3BoundingSphere SphereAround(std::span<const TQ3Point3D> points);

}
