#pragma once

// Texture sampling: wrap (repeat) or clamp addressing in u and v, bilinear
// filtering of one level of detail, chosen once per triangle.

#include "DecodedTexture.h"
#include "Device.h"
#include "Tunables.h"

#include <algorithm>
#include <cmath>

namespace q3::render {

// The part of x past the integer below it, in [0, 1). Beyond 2^23 every float
// is a whole number, and NaN and the infinities have no place on the texture,
// so those all land on 0.
inline float WrapToUnit(float x)
{
    constexpr float WholeNumbersOnly = 8388608.0f;
    if (!(std::fabs(x) < WholeNumbersOnly))
        return 0;
    float whole = static_cast<float>(static_cast<int32_t>(x));
    if (whole > x)
        whole -= 1;
    float fraction = x - whole;
    return fraction < 1 ? fraction : 0;
}

// The level whose texels come closest to one per pixel, from how many texels
// of level 0 one pixel covers.
inline int ChooseLevel(const DecodedTexture& texture, float texelsPerPixel)
{
    constexpr float BeyondAnyTexture = 1 << 30;
    if (!(texelsPerPixel > 1))
        return 0;
    if (!(texelsPerPixel < BeyondAnyTexture))
        return texture.LevelCount() - 1;
    int level = static_cast<int>(std::log2(texelsPerPixel) + 0.5f);
    return std::clamp(level, 0, texture.LevelCount() - 1);
}

// A position in texels to fixed point; whatever is out of range, NaN
// included, lands inside [-limit, limit].
inline int32_t ToFixedTexels(float texels, int32_t limit)
{
    float fixed = texels * TexelOne;
    if (!(fixed > float(-limit)))
        return -limit;
    if (!(fixed < float(limit)))
        return limit;
    return static_cast<int32_t>(fixed);
}

// Brings a stepped position back into [0, period) after a step of less
// than a period.
inline int32_t WrapFixed(int32_t position, int32_t period)
{
    if (position < 0)
        return position + period;
    return position >= period ? position - period : position;
}

// True when a position stepped `intervals` times keeps its bilinear pair of
// texels inside the level without wrapping: half a texel back, it stays in
// [0, (size - 1) × TexelOne), so the second texel is always the next one.
inline bool StaysInside(int32_t position, int32_t step, int intervals, uint32_t size)
{
    int64_t first = int64_t(position) - TexelOne / 2;
    int64_t last = first + int64_t(step) * intervals;
    // A level is a texel across at least, so the limit is not negative; as
    // unsigned, a negative value lies past it.
    const auto limit = uint64_t((int64_t(size) - 1) * TexelOne);
    return (uint64_t(first) < limit) & (uint64_t(last) < limit);
}

// How far a position, moved back by half a texel to count from texel
// centres, lies past its texel, in 1/TexelOne: the weight of the second
// texel of a bilinear pair.
inline uint32_t TexelFraction(uint32_t centred) { return centred & uint32_t(TexelOne - 1); }

// The first of the four texels a bilinear look-up reads, top left, at a
// position moved back by half a texel where all four are inside a level
// `width` texels a row.
inline const uint32_t* TopLeftTexel(const uint32_t* texels, size_t width, uint32_t centredS, uint32_t centredT)
{
    return texels + (centredT >> TexelFractionBits) * width + (centredS >> TexelFractionBits);
}

// One axis of a bilinear look-up: the two texels to blend, wrapped, and the
// weight of the second in 1/TexelOne.
struct TexelSpan {
    uint32_t first { 0 };
    uint32_t second { 0 };
    uint32_t weight { 0 };
};

inline TexelSpan Span(int32_t position, uint32_t size)
{
    // Texel centres sit half a texel in from their edges.
    int32_t centred = position - TexelOne / 2;
    int32_t index = centred >> TexelFractionBits;
    TexelSpan span;
    // Anything out of range, which only a step of more than a whole texture
    // per pixel makes, still reads inside the texture.
    span.first = index < 0 ? size - 1 : std::min(uint32_t(index), size - 1);
    span.second = span.first + 1 >= size ? 0 : span.first + 1;
    span.weight = TexelFraction(uint32_t(centred));
    return span;
}

// The four texels a bilinear look-up at a fixed-point position (s across,
// t down) blends, wherever it lies: two columns in two rows, and the
// weights of the second column and the second row.
struct BilinearTexels {
    const uint32_t* top;
    const uint32_t* bottom;
    TexelSpan column;
    uint32_t rowWeight;
};

[[gnu::always_inline]] inline BilinearTexels TexelsAt(const TextureLevel& level, int32_t s, int32_t t)
{
    const TexelSpan column = Span(s, level.width);
    const TexelSpan row = Span(t, level.height);
    const uint32_t* texels = level.texels.data();
    return { texels + size_t(row.first) * level.width, texels + size_t(row.second) * level.width, column, row.weight };
}

// Blends two texels with `weight` / 256 of the second, two channels at a time.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight)
{
    constexpr uint32_t Lanes = 0x00FF00FF;
    uint32_t keep = TexelOne - weight;
    uint32_t redBlue = (((a & Lanes) * keep + (b & Lanes) * weight) >> TexelFractionBits) & Lanes;
    uint32_t alphaGreen = ((((a >> 8) & Lanes) * keep + ((b >> 8) & Lanes) * weight) >> TexelFractionBits) & Lanes;
    return redBlue | (alphaGreen << 8);
}

// Blends the columns `column` names in two rows, then the rows by `rowWeight` / 256.
inline uint32_t BlendRows(const uint32_t* top, const uint32_t* bottom, const TexelSpan& column, uint32_t rowWeight)
{
    uint32_t upper = Blend(top[column.first], top[column.second], column.weight);
    uint32_t lower = Blend(bottom[column.first], bottom[column.second], column.weight);
    return Blend(upper, lower, rowWeight);
}

// The filtered texel at a fixed-point position (s across, t down).
[[gnu::always_inline]] inline uint32_t SampleBilinear(const TextureLevel& level, int32_t s, int32_t t)
{
    const BilinearTexels at = TexelsAt(level, s, t);
    return BlendRows(at.top, at.bottom, at.column, at.rowWeight);
}

// The fixed-point position of a coordinate along an axis of `size` texels,
// 0 at one edge and 1 at the other: wrapped into [0, size × 256), or for
// clamp kept where it is, within reach.
inline int32_t FixedPosition(float coordinate, uint32_t size, Boundary boundary)
{
    if (boundary == Boundary::Clamp)
        return ToFixedTexels(coordinate * float(size), ClampReach);
    int32_t period = int32_t(size) * TexelOne;
    return std::min(ToFixedTexels(WrapToUnit(coordinate) * float(size), period), period - 1);
}

// A clamped position brought onto the texture, no nearer an edge than the
// centre of the edge texel, where the bilinear pair reads that texel alone.
inline int32_t ClampFixed(int32_t position, uint32_t size)
{
    return std::clamp(position, TexelOne / 2, int32_t(size) * TexelOne - TexelOne / 2);
}

// Where a stepped or fixed position reads on the texture.
inline int32_t OnTexture(int32_t position, uint32_t size, Boundary boundary)
{
    return boundary == Boundary::Clamp ? ClampFixed(position, size) : position;
}

// A position moved on by a step of less than a texture across: wrapped
// back into [0, size × TexelOne), or, clamped, moved freely, to be brought
// onto the texture where it is read (OnTexture).
inline int32_t Stepped(int32_t position, int32_t step, uint32_t size, Boundary boundary)
{
    return boundary == Boundary::Clamp ? position + step : WrapFixed(position + step, int32_t(size) * TexelOne);
}

// The fixed-point position of (u, v): u = 0 at the left edge, v = 1 at the
// top. Wrapped, -v and 1 - v are the same place.
inline int32_t FixedS(const TextureLevel& level, float u, Boundary boundary = Boundary::Wrap)
{
    return FixedPosition(u, level.width, boundary);
}

inline int32_t FixedT(const TextureLevel& level, float v, Boundary boundary = Boundary::Wrap)
{
    return FixedPosition(boundary == Boundary::Clamp ? 1 - v : -v, level.height, boundary);
}

inline uint32_t SampleBilinear(const TextureLevel& level, float u, float v, Boundary uBoundary = Boundary::Wrap,
    Boundary vBoundary = Boundary::Wrap)
{
    return SampleBilinear(level, OnTexture(FixedS(level, u, uBoundary), level.width, uBoundary),
        OnTexture(FixedT(level, v, vBoundary), level.height, vBoundary));
}

}
