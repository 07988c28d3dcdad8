#pragma once

// What the rasteriser hands from its rows to its spans: a triangle's
// set-up, shared by all its rows, and one row's pixels inside it. The
// reference path (Rasterizer.cpp) and the fast paths (FastSpans.h) draw a
// span to the same bytes.

#include "DepthBuffer.h"
#include "RunSteps.h"

#include <optional>

namespace q3::render {

// Where a span's pixels keep their depths and the orders that go with them.
struct DepthRow {
    float* depths { nullptr };
    uint32_t* orders { nullptr };

    DepthRow operator+(int pixels) const { return { depths + pixels, orders + pixels }; }
    void Set(int pixel, float depth, uint32_t order) const
    {
        depths[pixel] = depth;
        orders[pixel] = order;
    }
};

// Whether a pixel at `depth` of a triangle of `order` replaces one at
// `stored` (see Shading).
inline bool Passes(float depth, float stored, uint32_t storedOrder, uint32_t order)
{
    return depth < stored || (depth == stored && depth < DepthBuffer::Far && order < storedOrder);
}

// What every row of a triangle shares: the plane equations of its
// interpolants, from the centre of the top-left pixel of its bounding box,
// its shading, and, for a textured triangle facing the eye, how far its
// texel positions move from pixel to pixel (see FacingRuns).
struct TriangleSpans {
    Interpolants origin {};
    Interpolants stepX {};
    Interpolants stepY {};
    SpanShading shading {};
    std::optional<FacingSteps> facing {};
};

// The pixels of one row inside a triangle, `count` of them from the pixel
// `column` pixels right of and `row` pixels below the triangle's origin.
struct RowSpan {
    float row { 0 };
    float column { 0 };
    int count { 0 };
    DepthRow stored {};
    uint8_t* pixels { nullptr };
};

}
