#pragma once

// What the span loop does to one pixel: fetch a filtered texel, scale it by
// the lit color, fog it, blend it over what is there and store it. Two
// implementations give the same bytes: plain integers, which run anywhere,
// and SSE2, the baseline of every x86-64 processor, which works on the four
// channels of a pixel at once.

#include "Sampler.h"
#include "Tunables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace q3::render {

constexpr uint32_t Opaque = 255;

// A factor stepped linearly across a run in fixed point, never below 0.
class Stepper {
public:
    static constexpr int Bits = 12;
    static constexpr int32_t One = 1 << Bits;
    // Factors beyond this all saturate any texel but the faintest.
    static constexpr float Largest = 64;

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
    uint32_t Scale(uint32_t channel) const { return std::min(Opaque, (channel * uint32_t(mValue)) >> Bits); }
    // The factor clamped to [0, 1], in 1/One.
    uint32_t Fraction() const { return uint32_t(std::clamp(mValue, 0, One)); }
    // True when the factor is 1 at every step, so that it changes nothing.
    bool IsConstantOne() const { return mValue == One && mStep == 0; }

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
        return int32_t(std::min(value, Largest) * One + 0.5f);
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
        constexpr uint32_t FractionMask = TexelOne - 1;
        const uint32_t* top = texels + (centredT >> TexelFractionBits) * width;
        uint32_t first = centredS >> TexelFractionBits;
        return Unpacked(
            BlendRows(top, top + width, { first, first + 1, centredS & FractionMask }, centredT & FractionMask));
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

    // `clear` and `fogged` in 1/Stepper::One; colors are premultiplied, so
    // `fogged` already carries the alpha.
    static Color Fog(const Color& color, uint32_t clear, uint32_t fogged, const Color& fog)
    {
        auto mix = [&](uint32_t channel, uint32_t fogChannel) {
            return (channel * clear + fogChannel * fogged) >> Stepper::Bits;
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

#if defined(__SSE2__)

// Channels in the low four 16-bit lanes, blue first, as in a texel's bytes
// on a little-endian host.
struct Sse2Pixels {
    using Color = __m128i;

    static Color Make(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
    {
        return _mm_setr_epi16(short(b), short(g), short(r), short(a), 0, 0, 0, 0);
    }

    static Color Sample(const TextureLevel& level, int32_t s, int32_t t)
    {
        TexelSpan column = Span(s, level.width);
        TexelSpan row = Span(t, level.height);
        const uint32_t* top = level.texels.data() + size_t(row.first) * level.width;
        const uint32_t* bottom = level.texels.data() + size_t(row.second) * level.width;
        auto pair = [&](const uint32_t* texels) {
            __m128i first = _mm_cvtsi32_si128(int(texels[column.first]));
            __m128i second = _mm_cvtsi32_si128(int(texels[column.second]));
            return _mm_unpacklo_epi8(first, second);
        };
        return Filter(pair(top), pair(bottom), column.weight, row.weight);
    }

    // The same where the four texels are neighbours inside a level of
    // `width` texels a row, at positions already moved back by half a texel.
    static Color SampleInside(const uint32_t* texels, size_t width, uint32_t centredS, uint32_t centredT)
    {
        const uint32_t* top = texels + (centredT >> TexelFractionBits) * width + (centredS >> TexelFractionBits);
        auto pair = [](const uint32_t* texels) {
            __m128i both = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels));
            return _mm_unpacklo_epi8(both, _mm_srli_si128(both, 4));
        };
        constexpr uint32_t FractionMask = TexelOne - 1;
        return Filter(pair(top), pair(top + width), centredS & FractionMask, centredT & FractionMask);
    }

    static uint32_t Alpha(Color color) { return uint32_t(_mm_extract_epi16(color, 3)); }

    // The three factors in 32-bit lanes beside the opacity for alpha.
    class Factors {
    public:
        Factors(const std::array<int32_t, 4>& values, const std::array<int32_t, 4>& steps)
            : mValue(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values.data())))
            , mStep(_mm_setr_epi32(steps[0], steps[1], steps[2], 0))
        {
        }

        void Step() { mValue = _mm_add_epi32(mValue, mStep); }

        Color Apply(Color color) const
        {
            // A factor reaches 2^18, past 16 bits, so both sides are split
            // for the 16-bit multiply-add: c × f = c × (f mod 128) + 128c × (f / 128).
            constexpr int Split = 7;
            __m128i low = _mm_and_si128(mValue, _mm_set1_epi32((1 << Split) - 1));
            __m128i high = _mm_slli_epi32(_mm_srli_epi32(mValue, Split), 16);
            __m128i channels = _mm_unpacklo_epi16(color, _mm_slli_epi16(color, Split));
            __m128i scaled = _mm_srai_epi32(_mm_madd_epi16(channels, _mm_or_si128(low, high)), Stepper::Bits);
            return _mm_min_epi16(_mm_packs_epi32(scaled, scaled), _mm_set1_epi16(short(Opaque)));
        }

    private:
        __m128i mValue;
        __m128i mStep;
    };

    static Color Fog(Color color, uint32_t clear, uint32_t fogged, Color fog)
    {
        int32_t mix = int32_t(clear | (fogged << 16));
        __m128i weights = _mm_setr_epi32(mix, mix, mix, Stepper::One);
        __m128i mixed = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(color, fog), weights), Stepper::Bits);
        return _mm_packs_epi32(mixed, mixed);
    }

    static Color Over(Color color, uint32_t through, const uint8_t* pixel)
    {
        // (x + 127) / 255 as (x + 127) × 0x8081 / 2^23, exact for 16-bit x.
        constexpr short Reciprocal = short(0x8081);
        constexpr int Shift = 7;
        __m128i behind = Reversed(_mm_unpacklo_epi8(_mm_cvtsi32_si128(Load(pixel)), _mm_setzero_si128()));
        __m128i weighted
            = _mm_add_epi16(_mm_mullo_epi16(behind, _mm_set1_epi16(short(through))), _mm_set1_epi16(short(Opaque / 2)));
        __m128i part = _mm_srli_epi16(_mm_mulhi_epu16(weighted, _mm_set1_epi16(Reciprocal)), Shift);
        return _mm_min_epi16(_mm_add_epi16(color, part), _mm_set1_epi16(short(Opaque)));
    }

    static void Store(Color color, uint8_t* pixel)
    {
        // Bytes A, R, G, B, alpha always opaque in the target.
        int32_t packed = _mm_cvtsi128_si32(_mm_packus_epi16(Reversed(color), color)) | int32_t(Opaque);
        std::memcpy(pixel, &packed, sizeof packed);
    }

private:
    // Blends two pairs of texels, each interleaved byte by byte (the first's
    // blue, the second's blue, and so on), across by `weightS` / 256 and then
    // down by `weightT` / 256, one multiply-add for each blend.
    static Color Filter(__m128i upperPair, __m128i lowerPair, uint32_t weightS, uint32_t weightT)
    {
        __m128i zero = _mm_setzero_si128();
        __m128i across = Weights(weightS);
        __m128i upper = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(upperPair, zero), across), TexelFractionBits);
        __m128i lower = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(lowerPair, zero), across), TexelFractionBits);
        __m128i down = _mm_madd_epi16(_mm_or_si128(upper, _mm_slli_epi32(lower, 16)), Weights(weightT));
        __m128i blended = _mm_srli_epi32(down, TexelFractionBits);
        return _mm_packs_epi32(blended, blended);
    }

    // (256 - weight, weight) in every pair of 16-bit lanes.
    static __m128i Weights(uint32_t weight) { return _mm_set1_epi32(int32_t((TexelOne - weight) | (weight << 16))); }

    static Color Reversed(Color color) { return _mm_shufflelo_epi16(color, _MM_SHUFFLE(0, 1, 2, 3)); }

    static int Load(const uint8_t* pixel)
    {
        int value;
        std::memcpy(&value, pixel, sizeof value);
        return value;
    }
};

// Two pixels side by side, channels in 16-bit lanes, blue first: the
// first pixel in the low four lanes, the second in the high four. Each
// step gives the bytes Sse2Pixels gives one pixel at a time.
struct Sse2PixelPairs {
    using Pair = __m128i;

    // The filtered texels at two positions inside a level, as
    // Sse2Pixels::SampleInside gives them.
    static Pair SampleInside(
        const uint32_t* texels, size_t width, uint32_t firstS, uint32_t firstT, uint32_t secondS, uint32_t secondT)
    {
        const uint32_t* first = texels + (firstT >> TexelFractionBits) * width + (firstS >> TexelFractionBits);
        const uint32_t* second = texels + (secondT >> TexelFractionBits) * width + (secondS >> TexelFractionBits);
        // Each row's texels as first pixel's left, second's left, first's
        // right, second's right.
        __m128i upper = _mm_unpacklo_epi32(LoadTwo(first), LoadTwo(second));
        __m128i lower = _mm_unpacklo_epi32(LoadTwo(first + width), LoadTwo(second + width));
        constexpr uint32_t FractionMask = TexelOne - 1;
        __m128i across = Weights(firstS & FractionMask, secondS & FractionMask);
        __m128i down = Weights(firstT & FractionMask, secondT & FractionMask);
        __m128i zero = _mm_setzero_si128();
        __m128i upperBlend = Blend(_mm_unpacklo_epi8(upper, zero), _mm_unpackhi_epi8(upper, zero), across);
        __m128i lowerBlend = Blend(_mm_unpacklo_epi8(lower, zero), _mm_unpackhi_epi8(lower, zero), across);
        return Blend(upperBlend, lowerBlend, down);
    }

    // The filtered texels of SubspanLength pixels one texel apart along a
    // row, from the same place within a texel, as SampleInside gives them
    // pixel by pixel: `texels` is the first pixel's top left texel, and the
    // row's next SubspanLength texels, and those below them, are inside the
    // level. Neighbours are read four at a time.
    struct RowOfPairs {
        Pair pairs[SubspanLength / 2];
    };
    static RowOfPairs SampleAlongRow(const uint32_t* texels, size_t width, uint32_t fractionS, uint32_t fractionT)
    {
        static_assert(SubspanLength == 8);
        const __m128i across = Weights(fractionS, fractionS), down = Weights(fractionT, fractionT);
        const __m128i zero = _mm_setzero_si128();
        auto load = [](const uint32_t* from) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)); };
        RowOfPairs row;
        Pair* pairs = row.pairs;
        for (int quad = 0; quad < 2; ++quad) {
            const uint32_t* top = texels + quad * 4;
            // Four pixels' left texels and right ones, above and below.
            const __m128i upperLeft = load(top), upperRight = load(top + 1);
            const __m128i lowerLeft = load(top + width), lowerRight = load(top + width + 1);
            auto blendPair = [&](auto unpack) {
                __m128i upper = Blend(unpack(upperLeft, zero), unpack(upperRight, zero), across);
                __m128i lower = Blend(unpack(lowerLeft, zero), unpack(lowerRight, zero), across);
                return Blend(upper, lower, down);
            };
            pairs[quad * 2] = blendPair([](__m128i a, __m128i b) { return _mm_unpacklo_epi8(a, b); });
            pairs[quad * 2 + 1] = blendPair([](__m128i a, __m128i b) { return _mm_unpackhi_epi8(a, b); });
        }
        return row;
    }

    // The factors of both pixels in 16-bit lanes, which hold them while
    // every factor of the run stays below FactorLimit.
    class Factors {
    public:
        static constexpr int32_t FactorLimit = 1 << 16;

        Factors(const std::array<int32_t, 4>& values, const std::array<int32_t, 4>& steps)
        {
            __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values.data()));
            __m128i step = _mm_setr_epi32(steps[0], steps[1], steps[2], 0);
            mValue = LowHalves(first, _mm_add_epi32(first, step));
            __m128i twice = _mm_add_epi32(step, step);
            mStep = LowHalves(twice, twice);
        }

        void Step() { mValue = _mm_add_epi16(mValue, mStep); }

        // As Sse2Pixels::Factors::Apply: (channel × factor) >> Stepper::Bits,
        // at most Opaque, from the product's high and low halves.
        Pair Apply(Pair color) const
        {
            __m128i low = _mm_srli_epi16(_mm_mullo_epi16(color, mValue), Stepper::Bits);
            __m128i high = _mm_slli_epi16(_mm_mulhi_epu16(color, mValue), 16 - Stepper::Bits);
            return _mm_min_epi16(_mm_or_si128(low, high), _mm_set1_epi16(short(Opaque)));
        }

    private:
        // The low 16 bits of each 32-bit lane, `first`'s four then `second`'s.
        static __m128i LowHalves(__m128i first, __m128i second)
        {
            auto signExtended = [](__m128i lanes) { return _mm_srai_epi32(_mm_slli_epi32(lanes, 16), 16); };
            return _mm_packs_epi32(signExtended(first), signExtended(second));
        }

        __m128i mValue;
        __m128i mStep;
    };

    static bool BothOpaque(Pair color)
    {
        return (_mm_movemask_epi8(_mm_cmpeq_epi16(color, _mm_set1_epi16(short(Opaque)))) & AlphaBytes) == AlphaBytes;
    }

    // True when every pixel of the row is opaque.
    static bool AllOpaque(const RowOfPairs& row)
    {
        const __m128i opaque = _mm_set1_epi16(short(Opaque));
        __m128i all = _mm_cmpeq_epi16(row.pairs[0], opaque);
        for (int pair = 1; pair < SubspanLength / 2; ++pair)
            all = _mm_and_si128(all, _mm_cmpeq_epi16(row.pairs[pair], opaque));
        return (_mm_movemask_epi8(all) & AlphaBytes) == AlphaBytes;
    }

    // Four pixels from two pairs, bytes A, R, G, B each, alpha always
    // opaque in the target, as Store puts them.
    static __m128i Packed(Pair first, Pair second)
    {
        __m128i packed = _mm_packus_epi16(Reversed(first), Reversed(second));
        return _mm_or_si128(packed, _mm_set1_epi32(int32_t(Opaque)));
    }

    static Sse2Pixels::Color First(Pair color) { return color; }
    static Sse2Pixels::Color Second(Pair color) { return _mm_srli_si128(color, 8); }

    // Both pixels, bytes A, R, G, B each, alpha always opaque in the target.
    static void Store(Pair color, uint8_t* pixels)
    {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(pixels), Packed(color, color));
    }

private:
    // The bytes of a movemask that hold the alphas, lanes 3 and 7.
    static constexpr int AlphaBytes = 0xC0C0;

    // Each pixel's channels in the order A, R, G, B.
    static Pair Reversed(Pair color)
    {
        return _mm_shufflehi_epi16(_mm_shufflelo_epi16(color, _MM_SHUFFLE(0, 1, 2, 3)), _MM_SHUFFLE(0, 1, 2, 3));
    }

    static __m128i LoadTwo(const uint32_t* texels) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels)); }

    // (256 - weight) × a + weight × b, over 256, in every lane: each
    // product and their sum stay below 2^16.
    static __m128i Blend(__m128i a, __m128i b, __m128i weights)
    {
        __m128i keep = _mm_sub_epi16(_mm_set1_epi16(short(TexelOne)), weights);
        return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, keep), _mm_mullo_epi16(b, weights)), TexelFractionBits);
    }

    // `first` in the low four lanes, `second` in the high four.
    static __m128i Weights(uint32_t first, uint32_t second)
    {
        return _mm_unpacklo_epi64(_mm_set1_epi16(short(first)), _mm_set1_epi16(short(second)));
    }
};

using Pixels = Sse2Pixels;

#else

using Pixels = ScalarPixels;

#endif

}
