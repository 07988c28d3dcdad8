#pragma once

// The reference path's pixel type: a filtered texel scaled by the lit
// color, fogged, blended over what is there and stored, in plain integers,
// as the pixel recipe (ShadePixel, Shading.h) asks; and the fixed-point
// factors stepped across a run. The fast paths' pixel types (WidePixels.h)
// have the same interface and give the same bytes.

#include "Sampler.h"
#include "Tunables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace q3::render {

// A factor stepped linearly across a run in fixed point (FactorBits),
// never below 0.
class Stepper {
public:
    // `intervals` from 1 to SubspanLength - 1.
    Stepper(float from, float to, int intervals)
        : mValue(ToFixed(from))
        , mStep(DivideByInterval(ToFixed(to) - mValue, intervals))
    {
    }

    // A factor already in fixed point.
    static Stepper Fixed(int32_t value, int32_t step) { return Stepper(value, step); }

    void Step() { mValue += mStep; }
    // A channel times the factor, clamped to the channel's range.
    uint32_t Scale(uint32_t channel) const { return std::min(Opaque, (channel * uint32_t(mValue)) >> FactorBits); }
    // The factor clamped to [0, 1], in 1/FactorOne.
    uint32_t Fraction() const { return uint32_t(std::clamp(mValue, 0, FactorOne)); }
    // True when the factor is 1 at every step, so that it changes nothing.
    bool IsConstantOne() const { return mValue == FactorOne && mStep == 0; }

    int32_t Value() const { return mValue; }
    int32_t StepSize() const { return mStep; }

private:
    Stepper(int32_t value, int32_t step)
        : mValue(value)
        , mStep(step)
    {
    }

    // The quotient rounded towards zero, as the division operator gives it,
    // from a multiplication by 2^32 / intervals rounded up: for a numerator
    // below 2^20 in size the error stays below 2^-12, too little to reach
    // the next whole number, which lies at least 1 / intervals away.
    static int32_t DivideByInterval(int32_t numerator, int intervals)
    {
        static constexpr auto Reciprocals = [] {
            std::array<uint64_t, SubspanLength> reciprocals {};
            for (int divisor = 1; divisor < SubspanLength; ++divisor)
                reciprocals[divisor] = ((uint64_t(1) << 32) + uint64_t(divisor) - 1) / uint64_t(divisor);
            return reciprocals;
        }();
        uint64_t size = uint64_t(numerator < 0 ? -int64_t(numerator) : numerator);
        auto quotient = int32_t((size * Reciprocals[intervals]) >> 32);
        return numerator < 0 ? -quotient : quotient;
    }

    static int32_t ToFixed(float value)
    {
        if (!(value > 0))
            return 0;
        return int32_t(std::min(value, FactorLargest) * FactorOne + 0.5f);
    }

    int32_t mValue { 0 };
    int32_t mStep { 0 };
};

// Pixels are stored as bytes A, R, G, B in memory order, whatever the host.
inline uint32_t PackPixel(uint32_t r, uint32_t g, uint32_t b)
{
    if constexpr (std::endian::native == std::endian::little)
        return (b << 24) | (g << 16) | (r << 8) | Opaque;
    else
        return (Opaque << 24) | (r << 16) | (g << 8) | b;
}

struct ScalarPixels {
    struct Color {
        uint32_t a { 0 };
        uint32_t r { 0 };
        uint32_t g { 0 };
        uint32_t b { 0 };
    };

    static Color Make(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return { a, r, g, b }; }

    static Color Sample(const TextureLevel& level, int32_t s, int32_t t)
    {
        return Unpacked(SampleBilinear(level, s, t));
    }

    static Color SampleInside(const uint32_t* texels, size_t width, uint32_t centredS, uint32_t centredT)
    {
        const uint32_t* top = TopLeftTexel(texels, width, centredS, centredT);
        return Unpacked(BlendRows(top, top + width, { 0, 1, TexelFraction(centredS) }, TexelFraction(centredT)));
    }

    static uint32_t Alpha(const Color& color) { return color.a; }

    // The lit color's three factors, stepped together, and the surface's
    // opacity, the same across the run, for alpha: Stepper values and steps
    // in the order blue, green, red, opacity.
    class Factors {
    public:
        Factors(const std::array<int32_t, 4>& values, const std::array<int32_t, 4>& steps)
            : mRed(Stepper::Fixed(values[2], steps[2]))
            , mGreen(Stepper::Fixed(values[1], steps[1]))
            , mBlue(Stepper::Fixed(values[0], steps[0]))
            , mOpacity(Stepper::Fixed(values[3], 0))
        {
        }

        void Step()
        {
            mRed.Step();
            mGreen.Step();
            mBlue.Step();
        }

        Color Apply(const Color& color) const
        {
            return { mOpacity.Scale(color.a), mRed.Scale(color.r), mGreen.Scale(color.g), mBlue.Scale(color.b) };
        }

    private:
        Stepper mRed;
        Stepper mGreen;
        Stepper mBlue;
        Stepper mOpacity;
    };

    // `clear` and `fogged` in 1/FactorOne; colors are premultiplied, so
    // `fogged` already carries the alpha.
    static Color Fog(const Color& color, uint32_t clear, uint32_t fogged, const Color& fog)
    {
        auto mix = [&](uint32_t channel, uint32_t fogChannel) {
            return (channel * clear + fogChannel * fogged) >> FactorBits;
        };
        return { color.a, mix(color.r, fog.r), mix(color.g, fog.g), mix(color.b, fog.b) };
    }

    // The color plus `through` / 255 of the stored pixel behind it.
    static Color Over(const Color& color, uint32_t through, const uint8_t* pixel)
    {
        auto add = [&](uint32_t channel, uint32_t behind) {
            return std::min(Opaque, channel + (behind * through + Opaque / 2) / Opaque);
        };
        return { color.a, add(color.r, pixel[1]), add(color.g, pixel[2]), add(color.b, pixel[3]) };
    }

    static void Store(const Color& color, uint8_t* pixel)
    {
        uint32_t packed = PackPixel(color.r, color.g, color.b);
        std::memcpy(pixel, &packed, sizeof packed);
    }

private:
    static Color Unpacked(uint32_t texel)
    {
        return { texel >> 24, (texel >> 16) & 0xFF, (texel >> 8) & 0xFF, texel & 0xFF };
    }
};

}
