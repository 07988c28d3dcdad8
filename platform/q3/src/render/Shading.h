#pragma once

// How a triangle's pixels are shaded: what its rows interpolate, its
// shading record, what the rasteriser hands from its rows to its spans,
// and the recipe that shades one pixel, written once for the reference
// path's pixel type (ScalarPixels, Pixels.h) and the fast paths'
// (Sse2Pixels, WidePixels.h).

#include "Clipper.h"
#include "DepthBuffer.h"
#include "Pixels.h"

#include <array>
#include <cstdint>
#include <optional>

namespace q3::render {

// What the triangle loop interpolates: depth, 1/w, then the varyings over w.
constexpr int Depth = 0;
constexpr int InverseW = 1;
constexpr int FirstVarying = 2;
constexpr int InterpolantCount = FirstVarying + VaryingCount;
using Interpolants = std::array<float, InterpolantCount>;

// How a triangle's pixels take their color: the interpolated color alone
// or times a texel, then fog when it is on; and which pixels pass the
// depth test. The interpolated color comes premultiplied by the opacity,
// which scales the texel's alpha too.
//
// A pixel passes where it is nearer than what is there, or as near and
// its triangle comes earlier in `order` (see Passes, DepthBuffer.h).
struct Shading {
    const DecodedTexture* texture { nullptr };
    bool fog { false };
    TQ3ColorRGB fogColor { 0, 0, 0 };
    Boundary uBoundary { Boundary::Wrap };
    Boundary vBoundary { Boundary::Wrap };
    float opacity { 1 };
    uint32_t order { 0 };
};

// What stays the same along every span of a triangle: its shading, with
// the texture's level of detail chosen for the triangle (null without a
// texture) and the fog color in a pixel's channels.
struct SpanShading : Shading {
    const TextureLevel* level { nullptr };
    ScalarPixels::Color fogPixel {};
};

// How far texel positions move from pixel to pixel along a row on a
// textured triangle facing the eye, in their units times 2^FacingFineBits.
struct FacingSteps {
    int64_t s { 0 };
    int64_t t { 0 };
};

// What every row of a triangle shares: the plane equations of its
// interpolants, from the centre of the top-left pixel of its bounding box,
// its shading, and, for a textured triangle facing the eye, how far its
// texel positions move from pixel to pixel (see FacingRuns, RunSteps.h).
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

// The recipe of one pixel that passed the depth test at `depth`, its color
// the texel times the lit color, for either pixel type. A texel with
// nothing of it left changes nothing. The fog, when on, leaves `fogClear`
// of the color, in 1/FactorOne. An opaque pixel is stored with its depth;
// one not quite opaque blends over what is there and leaves the depth, so
// that whatever lies behind still shows through.
//
// Each file that shades pixels keeps a copy of its own, so that the fast
// paths call it directly rather than through the library's exported
// symbols.
template <class Pixels, bool Fogged>
static void ShadePixel(typename Pixels::Color color, uint32_t fogClear, const SpanShading& shading, float depth,
    DepthRow stored, uint8_t* pixel)
{
    const uint32_t alpha = Pixels::Alpha(color);
    if (alpha == 0)
        return;
    if constexpr (Fogged) {
        // The color is premultiplied, so the fog's share is too.
        const uint32_t fogged = (FactorOne - fogClear) * alpha / Opaque;
        const ScalarPixels::Color& fog = shading.fogPixel;
        color = Pixels::Fog(color, fogClear, fogged, Pixels::Make(0, fog.r, fog.g, fog.b));
    }
    if (alpha != Opaque)
        color = Pixels::Over(color, Opaque - alpha, pixel);
    else
        stored.Set(0, depth, shading.order);
    Pixels::Store(color, pixel);
}

}
