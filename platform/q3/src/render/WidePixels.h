#pragma once

// The fast paths' arithmetic on SSE2, the baseline of every x86-64
// processor: a pixel's four channels at once, two pixels side by side, and
// a run's set-up with the interpolants in two halves. Each gives the bytes
// of its plain counterpart (Pixels.h, RunSteps.h).

#include "Pixels.h"
#include "RunSteps.h"

#if defined(__SSE2__)

#include <emmintrin.h>

namespace q3::render {

namespace sse2 {

    inline __m128 Select(__m128 mask, __m128 ifTrue, __m128 ifFalse)
    {
        return _mm_or_ps(_mm_and_ps(mask, ifTrue), _mm_andnot_ps(mask, ifFalse));
    }

    inline __m128i Select(__m128 mask, __m128i ifTrue, __m128i ifFalse)
    {
        __m128i integerMask = _mm_castps_si128(mask);
        return _mm_or_si128(_mm_and_si128(integerMask, ifTrue), _mm_andnot_si128(integerMask, ifFalse));
    }

    // Stepper's conversion to fixed point, four factors at once.
    inline __m128i ToStepper(__m128 factors)
    {
        __m128 limited = _mm_min_ps(factors, _mm_set1_ps(FactorLargest));
        __m128i fixed
            = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(limited, _mm_set1_ps(float(FactorOne))), _mm_set1_ps(0.5f)));
        return _mm_and_si128(fixed, _mm_castps_si128(_mm_cmpgt_ps(factors, _mm_setzero_ps())));
    }

    // WrapToUnit, four at once.
    inline __m128 WrapToUnit(__m128 x)
    {
        const __m128 one = _mm_set1_ps(1);
        __m128 size = _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
        __m128 inRange = _mm_cmplt_ps(size, _mm_set1_ps(8388608.0f));
        __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(x));
        whole = _mm_sub_ps(whole, _mm_and_ps(_mm_cmpgt_ps(whole, x), one));
        __m128 fraction = _mm_sub_ps(x, whole);
        return _mm_and_ps(fraction, _mm_and_ps(inRange, _mm_cmplt_ps(fraction, one)));
    }

    // ToFixedTexels, four at once, each within its own limit.
    inline __m128i ToFixedTexels(__m128 texels, __m128i limits)
    {
        __m128 fixed = _mm_mul_ps(texels, _mm_set1_ps(float(TexelOne)));
        __m128 limit = _mm_cvtepi32_ps(limits);
        __m128i below = _mm_sub_epi32(_mm_setzero_si128(), limits);
        __m128i inside = Select(_mm_cmplt_ps(fixed, limit), _mm_cvttps_epi32(fixed), limits);
        return Select(_mm_cmpgt_ps(fixed, _mm_sub_ps(_mm_setzero_ps(), limit)), inside, below);
    }

}

// What a run's set-up needs of a triangle's shading, worked out once for
// the triangle, where the span loop can keep it: it stores pixels, which
// may alias anything the shading points to. For texel positions, the four
// lanes are s, t and their steps.
class Sse2RunSetUp {
public:
    explicit Sse2RunSetUp(const SpanShading& shading)
        : mOpacity(shading.opacity)
        , mFogged(shading.fog)
        , mTextured(shading.level != nullptr)
    {
        if (!mTextured)
            return;
        const bool clampS = shading.uBoundary == Boundary::Clamp;
        mClampT = shading.vBoundary == Boundary::Clamp;
        const int width = int(shading.level->width), height = int(shading.level->height);
        const int32_t periodS = width * TexelOne, periodT = height * TexelOne;
        mSizes = _mm_cvtepi32_ps(_mm_setr_epi32(width, height, width, height));
        mWrapped = _mm_castsi128_ps(_mm_setr_epi32(clampS ? 0 : -1, mClampT ? 0 : -1, 0, 0));
        mLimits = _mm_setr_epi32(clampS ? ClampReach : periodS, mClampT ? ClampReach : periodT, periodS, periodT);
        // A wrapped position stays inside its period.
        mHighest
            = _mm_setr_epi32(clampS ? INT32_MAX : periodS - 1, mClampT ? INT32_MAX : periodT - 1, INT32_MAX, INT32_MAX);
    }

    // The same as PlainRunSteps, from the interpolants in two halves, first
    // and last four.
    RunSteps Steps(__m128 firstLow, __m128 firstHigh, __m128 stepLow, __m128 stepHigh, int length) const
    {
        static_assert(InterpolantCount == 8 && FirstVarying == 2);
        const __m128 lengthMinusOne = _mm_set1_ps(float(length - 1));
        const __m128 lastLow = _mm_add_ps(firstLow, _mm_mul_ps(stepLow, lengthMinusOne));
        const __m128 lastHigh = _mm_add_ps(firstHigh, _mm_mul_ps(stepHigh, lengthMinusOne));
        // w at both ends from one division: first, first, last, last.
        const __m128 w = _mm_div_ps(_mm_set1_ps(1), _mm_shuffle_ps(firstLow, lastLow, _MM_SHUFFLE(1, 1, 1, 1)));
        const __m128 firstW = _mm_shuffle_ps(w, w, _MM_SHUFFLE(0, 0, 0, 0));
        const __m128 lastW = _mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 2, 2, 2));
        alignas(16) float start[InterpolantCount], end[InterpolantCount];
        _mm_store_ps(start, _mm_mul_ps(firstLow, firstW));
        _mm_store_ps(start + 4, _mm_mul_ps(firstHigh, firstW));
        _mm_store_ps(end, _mm_mul_ps(lastLow, lastW));
        _mm_store_ps(end + 4, _mm_mul_ps(lastHigh, lastW));
        auto at = [](const float* values, int varying) { return values[FirstVarying + varying]; };

        RunSteps steps;
        const int intervals = std::max(length - 1, 1);
        const __m128 divisor = _mm_set1_ps(float(intervals));
        // The step is the difference over the intervals rounded towards
        // zero, as Stepper gives it: the difference is at most 2^18 in size,
        // so the float quotient cannot round past the next whole number.
        auto factors = [&](const float* values) {
            return sse2::ToStepper(_mm_setr_ps(at(values, Blue), at(values, Green), at(values, Red), mOpacity));
        };
        const __m128i from = factors(start), to = factors(end);
        const __m128i step = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(_mm_sub_epi32(to, from)), divisor));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(steps.factors.data()), from);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(steps.factorSteps.data()), step);
        if (mFogged) {
            Stepper fog(at(start, FogFactor), at(end, FogFactor), intervals);
            steps.fog = fog.Value();
            steps.fogStep = fog.StepSize();
        }
        if (mTextured) {
            const float u = at(start, U), v = at(start, V);
            const __m128 coordinates = _mm_setr_ps(u, mClampT ? 1 - v : -v, at(end, U) - u, v - at(end, V));
            const __m128 texels
                = _mm_div_ps(_mm_mul_ps(sse2::Select(mWrapped, sse2::WrapToUnit(coordinates), coordinates), mSizes),
                    _mm_shuffle_ps(_mm_set1_ps(1), divisor, _MM_SHUFFLE(0, 0, 0, 0)));
            __m128i fixed = sse2::ToFixedTexels(texels, mLimits);
            fixed = sse2::Select(_mm_castsi128_ps(_mm_cmpgt_epi32(fixed, mHighest)), mHighest, fixed);
            alignas(16) int32_t lanes[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes), fixed);
            steps.s = lanes[0];
            steps.t = lanes[1];
            steps.stepS = lanes[2];
            steps.stepT = lanes[3];
        }
        return steps;
    }

private:
    float mOpacity;
    bool mFogged;
    bool mTextured;
    // Set only for a textured triangle.
    bool mClampT { false };
    __m128 mSizes {};
    __m128 mWrapped {};
    __m128i mLimits {};
    __m128i mHighest {};
};

// The interpolants along a span, from its first pixel on, in two halves.
class Sse2SpanInterpolants {
public:
    Sse2SpanInterpolants(
        const Interpolants& origin, const Interpolants& stepY, const Interpolants& stepX, float row, float column)
        : mStepLow(_mm_loadu_ps(stepX.data()))
        , mStepHigh(_mm_loadu_ps(stepX.data() + 4))
    {
        const __m128 rowOffset = _mm_set1_ps(row), columnOffset = _mm_set1_ps(column);
        mLow = _mm_add_ps(_mm_add_ps(_mm_loadu_ps(origin.data()), _mm_mul_ps(_mm_loadu_ps(stepY.data()), rowOffset)),
            _mm_mul_ps(mStepLow, columnOffset));
        mHigh = _mm_add_ps(
            _mm_add_ps(_mm_loadu_ps(origin.data() + 4), _mm_mul_ps(_mm_loadu_ps(stepY.data() + 4), rowOffset)),
            _mm_mul_ps(mStepHigh, columnOffset));
    }

    // The depth at the span's first pixel.
    float FirstDepth() const { return _mm_cvtss_f32(mLow); }
    // The set-up of a run of `length` pixels from here.
    RunSteps Run(int length, const Sse2RunSetUp& setUp) const
    {
        return setUp.Steps(mLow, mHigh, mStepLow, mStepHigh, length);
    }
    // Moves on by `length` pixels.
    void Advance(int length)
    {
        const __m128 pixels = _mm_set1_ps(float(length));
        mLow = _mm_add_ps(mLow, _mm_mul_ps(mStepLow, pixels));
        mHigh = _mm_add_ps(mHigh, _mm_mul_ps(mStepHigh, pixels));
    }

private:
    __m128 mLow;
    __m128 mHigh;
    __m128 mStepLow;
    __m128 mStepHigh;
};

// The fast paths' pixel type, with ScalarPixels' interface, so that the
// one pixel recipe (ShadePixel, Shading.h) serves both: channels in the
// low four 16-bit lanes, blue first, as in a texel's bytes on a
// little-endian host.
struct Sse2Pixels {
    using Color = __m128i;

    static Color Make(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
    {
        return _mm_setr_epi16(short(b), short(g), short(r), short(a), 0, 0, 0, 0);
    }

    static Color Sample(const TextureLevel& level, int32_t s, int32_t t)
    {
        const BilinearTexels at = TexelsAt(level, s, t);
        auto pair = [&](const uint32_t* texels) {
            __m128i first = _mm_cvtsi32_si128(int(texels[at.column.first]));
            __m128i second = _mm_cvtsi32_si128(int(texels[at.column.second]));
            return _mm_unpacklo_epi8(first, second);
        };
        return Filter(pair(at.top), pair(at.bottom), at.column.weight, at.rowWeight);
    }

    // The same where the four texels are neighbours inside a level of
    // `width` texels a row, at positions already moved back by half a texel.
    static Color SampleInside(const uint32_t* texels, size_t width, uint32_t centredS, uint32_t centredT)
    {
        const uint32_t* top = TopLeftTexel(texels, width, centredS, centredT);
        auto pair = [](const uint32_t* texels) {
            __m128i both = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels));
            return _mm_unpacklo_epi8(both, _mm_srli_si128(both, 4));
        };
        return Filter(pair(top), pair(top + width), TexelFraction(centredS), TexelFraction(centredT));
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
            __m128i scaled = _mm_srai_epi32(_mm_madd_epi16(channels, _mm_or_si128(low, high)), FactorBits);
            return _mm_min_epi16(_mm_packs_epi32(scaled, scaled), _mm_set1_epi16(short(Opaque)));
        }

    private:
        __m128i mValue;
        __m128i mStep;
    };

    static Color Fog(Color color, uint32_t clear, uint32_t fogged, Color fog)
    {
        int32_t mix = int32_t(clear | (fogged << 16));
        __m128i weights = _mm_setr_epi32(mix, mix, mix, FactorOne);
        __m128i mixed = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(color, fog), weights), FactorBits);
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
        const uint32_t* first = TopLeftTexel(texels, width, firstS, firstT);
        const uint32_t* second = TopLeftTexel(texels, width, secondS, secondT);
        // Each row's texels as first pixel's left, second's left, first's
        // right, second's right.
        __m128i upper = _mm_unpacklo_epi32(LoadTwo(first), LoadTwo(second));
        __m128i lower = _mm_unpacklo_epi32(LoadTwo(first + width), LoadTwo(second + width));
        __m128i across = Weights(TexelFraction(firstS), TexelFraction(secondS));
        __m128i down = Weights(TexelFraction(firstT), TexelFraction(secondT));
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

        // As Sse2Pixels::Factors::Apply: (channel × factor) >> FactorBits,
        // at most Opaque, from the product's high and low halves.
        Pair Apply(Pair color) const
        {
            __m128i low = _mm_srli_epi16(_mm_mullo_epi16(color, mValue), FactorBits);
            __m128i high = _mm_slli_epi16(_mm_mulhi_epu16(color, mValue), 16 - FactorBits);
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

}

#endif
