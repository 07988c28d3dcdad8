#pragma once

// The rasteriser's fast paths, behind one call: a span is drawn to the
// bytes the reference path (Rasterizer.cpp) gives it, but with SSE2, four
// channels or two pixels at a time, depths eight at a time, texels of a
// row read four at a time where a run steps one texel along the row, and
// runs set up in two halves of their interpolants. Where the fast paths
// are not built (TERRASLIDE_REFERENCE_RASTER, or a processor without
// SSE2), every span is handed back.

#include "Shading.h"
#include "WidePixels.h"

#include <optional>

namespace q3::render {

class FastSpans {
public:
    // Works out once what every span of the triangle shares.
    explicit FastSpans(const TriangleSpans& triangle);

    // Draws the span and returns how many of its pixels it shaded (see
    // Rasterizer::ShadedPixels), or returns nothing, leaving the span to
    // the reference path.
    std::optional<uint64_t> Shade(const RowSpan& span) const;

private:
    const TriangleSpans& mTriangle;
#if defined(__SSE2__)
    Sse2RunSetUp mRunSetUp;
#endif
};

}
