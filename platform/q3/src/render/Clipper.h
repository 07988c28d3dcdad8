#pragma once

// Clipping in homogeneous space, before the divide by w, so that geometry
// behind the eye never reaches the projection.

#include <array>
#include <cstdint>

namespace q3::render {

// What is interpolated across a primitive besides its position.
enum Varying { Red, Green, Blue, U, V, FogFactor, VaryingCount };

// A vertex in frustum space before the divide, with its varyings.
struct ClipVertex {
    float x { 0 };
    float y { 0 };
    float z { 0 };
    float w { 1 };
    std::array<float, VaryingCount> varyings {};
};

// One bit per plane a vertex lies outside of; the sides count the guard band.
using Outcode = uint32_t;

// The outcode of a position; non-finite coordinates give `Unusable`.
Outcode ComputeOutcode(const ClipVertex& vertex);
static constexpr Outcode Unusable = 1u << 31;

class Clipper {
public:
    static constexpr int MaximumVertices = 16;
    using Polygon = std::array<ClipVertex, MaximumVertices>;

    // Clips the closed polygon in place against every plane the outcodes
    // name and returns the vertex count left, 0 when nothing is visible.
    static int ClipPolygon(Polygon& polygon, int count, Outcode planes);

    // Clips the segment in place; false when none of it is visible.
    static bool ClipSegment(ClipVertex& a, ClipVertex& b, Outcode planes);
};

}
