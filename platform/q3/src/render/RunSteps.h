#pragma once

// Where a run of up to SubspanLength pixels starts and how it steps. The
// interpolants are divided by w at the run's first and last pixels only;
// in between, colors, fog and texel positions step linearly in fixed point.
// Two implementations give the same numbers: plain floats and integers,
// which run anywhere, and SSE2, which sets up the channels side by side.

#include "Clipper.h"
#include "Pixels.h"
#include "Sampler.h"

#include <array>
#include <cstdint>

namespace q3::render {

// What the triangle loop interpolates: depth, 1/w, then the varyings over w.
constexpr int Depth = 0;
constexpr int InverseW = 1;
constexpr int FirstVarying = 2;
constexpr int InterpolantCount = FirstVarying + VaryingCount;
using Interpolants = std::array<float, InterpolantCount>;

// What stays the same along every span of a triangle.
struct SpanShading {
    const TextureLevel* level { nullptr };
    Boundary uBoundary { Boundary::Wrap };
    Boundary vBoundary { Boundary::Wrap };
    float opacity { 1 };
    bool fogged { false };
    Pixels::Color fogColor {};
    uint32_t order { 0 };
};

struct RunSteps {
    // Stepper values and steps of the lit color's factors and the opacity,
    // in the order of a texel's channels in memory: blue, green, red, alpha.
    // The opacity is the same across the run.
    std::array<int32_t, 4> factors {};
    std::array<int32_t, 4> factorSteps {};
    // Set only for a fogged span.
    int32_t fog { 0 };
    int32_t fogStep { 0 };
    // Texel positions (see Sampler.h), set only for a textured span.
    int32_t s { 0 };
    int32_t t { 0 };
    int32_t stepS { 0 };
    int32_t stepT { 0 };

    bool operator==(const RunSteps&) const = default;
};

// `first` holds the interpolants at the run's first pixel, `stepX` their
// change from one pixel to the next; `length` is from 1 to SubspanLength.
inline RunSteps PlainRunSteps(
    const Interpolants& first, const Interpolants& stepX, int length, const SpanShading& shading)
{
    // The run's ends are its first and last pixels: past the last, the
    // plane equations may leave the triangle, where 1/w can reach 0.
    Interpolants last = first;
    for (int i = InverseW; i < InterpolantCount; ++i)
        last[i] += stepX[i] * float(length - 1);
    auto dividedByW = [](const Interpolants& at) {
        std::array<float, VaryingCount> result;
        float w = 1 / at[InverseW];
        for (int k = 0; k < VaryingCount; ++k)
            result[k] = at[FirstVarying + k] * w;
        return result;
    };
    const std::array<float, VaryingCount> start = dividedByW(first), end = dividedByW(last);

    RunSteps steps;
    const int intervals = std::max(length - 1, 1);
    const Stepper factors[4] = { { start[Blue], end[Blue], intervals }, { start[Green], end[Green], intervals },
        { start[Red], end[Red], intervals }, { shading.opacity, shading.opacity, intervals } };
    for (int channel = 0; channel < 4; ++channel) {
        steps.factors[channel] = factors[channel].Value();
        steps.factorSteps[channel] = factors[channel].StepSize();
    }
    if (shading.fogged) {
        Stepper fog(start[FogFactor], end[FogFactor], intervals);
        steps.fog = fog.Value();
        steps.fogStep = fog.StepSize();
    }
    if (const TextureLevel* level = shading.level) {
        steps.s = FixedS(*level, start[U], shading.uBoundary);
        steps.t = FixedT(*level, start[V], shading.vBoundary);
        steps.stepS = ToFixedTexels(
            (end[U] - start[U]) * float(level->width) / float(intervals), int32_t(level->width) * TexelOne);
        steps.stepT = ToFixedTexels(
            (start[V] - end[V]) * float(level->height) / float(intervals), int32_t(level->height) * TexelOne);
    }
    return steps;
}

// What a run's set-up needs of a triangle's shading.
struct PlainRunSetUp {
    explicit PlainRunSetUp(const SpanShading& spanShading)
        : shading(spanShading)
    {
    }

    SpanShading shading;
};

// The interpolants along a span, from its first pixel on.
class PlainSpanInterpolants {
public:
    PlainSpanInterpolants(
        const Interpolants& origin, const Interpolants& stepY, const Interpolants& stepX, float row, float column)
        : mStepX(stepX)
    {
        for (int i = 0; i < InterpolantCount; ++i)
            mValue[i] = origin[i] + stepY[i] * row + stepX[i] * column;
    }

    // The depth at the span's first pixel.
    float FirstDepth() const { return mValue[Depth]; }
    // The set-up of a run of `length` pixels from here.
    RunSteps Run(int length, const PlainRunSetUp& setUp) const
    {
        return PlainRunSteps(mValue, mStepX, length, setUp.shading);
    }
    // Moves on by `length` pixels.
    void Advance(int length)
    {
        for (int i = 0; i < InterpolantCount; ++i)
            mValue[i] += mStepX[i] * float(length);
    }

private:
    Interpolants mValue {};
    Interpolants mStepX {};
};

#if defined(__SSE2__)

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
        __m128 limited = _mm_min_ps(factors, _mm_set1_ps(Stepper::Largest));
        __m128i fixed
            = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(limited, _mm_set1_ps(float(Stepper::One))), _mm_set1_ps(0.5f)));
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
        , mFogged(shading.fogged)
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

using RunSetUp = Sse2RunSetUp;
using SpanInterpolants = Sse2SpanInterpolants;

#else

using RunSetUp = PlainRunSetUp;
using SpanInterpolants = PlainSpanInterpolants;

#endif

}
