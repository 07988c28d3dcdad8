#pragma once

// Where a run of up to SubspanLength pixels of a span starts and how it
// steps. The interpolants are divided by w at the run's first and last
// pixels only; in between, colors, fog and texel positions step linearly
// in fixed point. On a triangle facing the eye, runs after a span's first
// are set up by additions instead (FacingRuns). The fast paths
// (WidePixels.h) set runs up with the same numbers.

#include "Shading.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace q3::render {

struct RunSteps {
    // Stepper values and steps of the lit color's factors and the opacity,
    // in the order of a texel's channels in memory: blue, green, red, alpha.
    // The opacity is the same across the run.
    std::array<int32_t, 4> factors {};
    std::array<int32_t, 4> factorSteps {};
    // Set only for a fogged span.
    int32_t fog { 0 };
    int32_t fogStep { 0 };
    // Texel positions (see Tunables.h), set only for a textured span.
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
    if (shading.fog) {
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

// The interpolants along a span, from its first pixel on.
class SpanInterpolants {
public:
    SpanInterpolants(
        const Interpolants& origin, const Interpolants& stepY, const Interpolants& stepX, float row, float column)
        : mStepX(stepX)
    {
        for (int i = 0; i < InterpolantCount; ++i)
            mValue[i] = origin[i] + stepY[i] * row + stepX[i] * column;
    }

    // The depth at the span's first pixel.
    float FirstDepth() const { return mValue[Depth]; }
    // The set-up of a run of `length` pixels from here.
    RunSteps Run(int length, const SpanShading& shading) const
    {
        return PlainRunSteps(mValue, mStepX, length, shading);
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

// The set-ups of a span's runs on a triangle facing the eye: the first
// set up in full, every later one from it by additions, instead of a
// division at both ends of each run. Its texel positions move on by whole
// runs, wrapped as the boundaries say; its color stays.
class FacingRuns {
public:
    FacingRuns(const RunSteps& first, const FacingSteps& perPixel, const SpanShading& shading)
        : mSteps(first)
        , mS(Fine(first.s))
        , mT(Fine(first.t))
        , mRunS(perPixel.s * SubspanLength)
        , mRunT(perPixel.t * SubspanLength)
        , mPeriodS(Period(shading.uBoundary, shading.level->width))
        , mPeriodT(Period(shading.vBoundary, shading.level->height))
    {
    }

    const RunSteps& Steps() const { return mSteps; }

    // On to the next run, SubspanLength pixels on.
    void Next()
    {
        mS = Moved(mS, mRunS, mPeriodS);
        mT = Moved(mT, mRunT, mPeriodT);
        mSteps.s = int32_t(mS >> FacingFineBits);
        mSteps.t = int32_t(mT >> FacingFineBits);
    }

private:
    static constexpr int64_t FineOne = int64_t(1) << FacingFineBits;

    // A position in the middle of its unit.
    static int64_t Fine(int32_t position) { return int64_t(position) * FineOne + FineOne / 2; }
    // 0 for a clamped axis, which keeps its positions within reach.
    static int64_t Period(Boundary boundary, uint32_t size)
    {
        return boundary == Boundary::Clamp ? 0 : int64_t(size) * TexelOne * FineOne;
    }
    static int64_t Moved(int64_t position, int64_t step, int64_t period)
    {
        position += step;
        if (period == 0)
            return std::clamp(position, -int64_t(ClampReach) * FineOne, int64_t(ClampReach) * FineOne);
        if (position < 0 || position >= period) {
            position %= period;
            position += position < 0 ? period : 0;
        }
        return position;
    }

    RunSteps mSteps;
    int64_t mS;
    int64_t mT;
    int64_t mRunS;
    int64_t mRunT;
    int64_t mPeriodS;
    int64_t mPeriodT;
};

}
