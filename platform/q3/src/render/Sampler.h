#pragma once

// Texture sampling: wrap (repeat) addressing in u and v, bilinear filtering
// of one level of detail, chosen once per triangle.

#include "Texture.h"

#include <algorithm>
#include <cmath>

namespace Q3::Render {

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
inline int ChooseLevel(const Texture& texture, float texelsPerPixel)
{
    constexpr float BeyondAnyTexture = 1 << 30;
    if (!(texelsPerPixel > 1))
        return 0;
    if (!(texelsPerPixel < BeyondAnyTexture))
        return texture.LevelCount() - 1;
    int level = static_cast<int>(std::log2(texelsPerPixel) + 0.5f);
    return std::clamp(level, 0, texture.LevelCount() - 1);
}

// One axis of a bilinear look-up: the two texels to blend, wrapped, and the
// weight of the second in 1/256.
struct TexelSpan {
    uint32_t first { 0 };
    uint32_t second { 0 };
    uint32_t weight { 0 };
};

inline TexelSpan Span(float unit, uint32_t size)
{
    constexpr float WeightScale = 256;
    // Texel centres sit half a texel in from their edges.
    float position = unit * static_cast<float>(size) - 0.5f;
    int32_t index = static_cast<int32_t>(position + 1) - 1;
    float fraction = position - static_cast<float>(index);
    TexelSpan span;
    span.first = index < 0 ? size - 1 : std::min(uint32_t(index), size - 1);
    span.second = span.first + 1 >= size ? 0 : span.first + 1;
    span.weight = std::min(static_cast<uint32_t>(fraction * WeightScale), uint32_t(WeightScale));
    return span;
}

// Blends two texels with `weight` / 256 of the second, two channels at a time.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight)
{
    constexpr uint32_t Lanes = 0x00FF00FF;
    uint32_t keep = 256 - weight;
    uint32_t redBlue = (((a & Lanes) * keep + (b & Lanes) * weight) >> 8) & Lanes;
    uint32_t alphaGreen = ((((a >> 8) & Lanes) * keep + ((b >> 8) & Lanes) * weight) >> 8) & Lanes;
    return redBlue | (alphaGreen << 8);
}

// The filtered texel at (u, v): u = 0 at the left edge, v = 1 at the top.
inline uint32_t SampleBilinear(const TextureLevel& level, float u, float v)
{
    TexelSpan column = Span(WrapToUnit(u), level.width);
    TexelSpan row = Span(WrapToUnit(-v), level.height);
    const uint32_t* top = level.texels.data() + size_t(row.first) * level.width;
    const uint32_t* bottom = level.texels.data() + size_t(row.second) * level.width;
    uint32_t upper = Blend(top[column.first], top[column.second], column.weight);
    uint32_t lower = Blend(bottom[column.first], bottom[column.second], column.weight);
    return Blend(upper, lower, row.weight);
}

}
