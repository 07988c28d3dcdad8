#include "FastSpans.h"

// Where the fast paths are off, FastSpans hands every span back: the
// reference build compiles them out, so that it draws with the reference
// path alone.
#if defined(__SSE2__) && !defined(TERRASLIDE_REFERENCE_RASTER)

#include "Tunables.h"

#include <algorithm>
#include <bit>

namespace q3::render {

namespace {

    // Texel positions across a run that reaches past an edge: wrapped at
    // every step, or stepped freely and clamped onto the texture where read.
    struct EdgeWalk {
        const TextureLevel& level;
        Boundary uBoundary { Boundary::Wrap };
        Boundary vBoundary { Boundary::Wrap };
        int32_t s { 0 };
        int32_t t { 0 };
        int32_t stepS { 0 };
        int32_t stepT { 0 };

        Sse2Pixels::Color Sample() const
        {
            return Sse2Pixels::Sample(
                level, OnTexture(s, level.width, uBoundary), OnTexture(t, level.height, vBoundary));
        }
        void Step()
        {
            s = Stepped(s, stepS, level.width, uBoundary);
            t = Stepped(t, stepT, level.height, vBoundary);
        }
    };

    // Texel positions across a run that never needs wrapping, kept half a
    // texel back, where the first texel of each bilinear pair starts. The
    // texels are held by address, so that stores to the target, which may
    // alias anything, do not make the loop read the level again.
    struct InsideWalk {
        const uint32_t* texels { nullptr };
        size_t width { 0 };
        uint32_t s { 0 };
        uint32_t t { 0 };
        int32_t stepS { 0 };
        int32_t stepT { 0 };

        // The walk of a run whose texels stay inside the level.
        static InsideWalk Of(const TextureLevel& level, const RunSteps& steps)
        {
            return { level.texels.data(), level.width, uint32_t(steps.s - TexelOne / 2),
                uint32_t(steps.t - TexelOne / 2), steps.stepS, steps.stepT };
        }

        Sse2Pixels::Color Sample() const { return Sse2Pixels::SampleInside(texels, width, s, t); }
        void Step()
        {
            s += uint32_t(stepS);
            t += uint32_t(stepT);
        }
    };

    // No texture: the lit color alone.
    struct White {
        Sse2Pixels::Color Sample() const { return Sse2Pixels::Make(Opaque, Opaque, Opaque, Opaque); }
        void Step() { }
    };

    // White light on an opaque surface, as on an unlit texture, leaves the
    // texels as they are.
    bool Modulates(const RunSteps& steps)
    {
        // Stepper::IsConstantOne of the four channels at once.
        const __m128i factors = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps.factors.data()));
        const __m128i factorSteps = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps.factorSteps.data()));
        const __m128i same = _mm_and_si128(
            _mm_cmpeq_epi32(factors, _mm_set1_epi32(FactorOne)), _mm_cmpeq_epi32(factorSteps, _mm_setzero_si128()));
        return _mm_movemask_epi8(same) != 0xFFFF;
    }

    // A run's depths, with the one past its end, and which of its pixels
    // pass the depth test, one bit each.
    struct RunDepths {
        using Depths = std::array<float, SubspanLength + 1>;
        alignas(16) Depths depths;
        unsigned passing { 0 };
    };

    // Which of the first `length` of SubspanLength depths pass against
    // those stored, one bit each.
    [[gnu::always_inline]] inline unsigned PassingPixels(
        const RunDepths::Depths& depths, int length, DepthRow stored, const SpanShading& shading)
    {
        const unsigned inRun = (1u << length) - 1;
        static_assert(SubspanLength == 8);
        unsigned nearer = 0, tied = 0;
        for (int first = 0; first < SubspanLength; first += 4) {
            __m128 depth = _mm_load_ps(depths.data() + first), there = _mm_loadu_ps(stored.depths + first);
            nearer |= unsigned(_mm_movemask_ps(_mm_cmplt_ps(depth, there))) << first;
            tied |= unsigned(_mm_movemask_ps(_mm_cmpeq_ps(depth, there))) << first;
        }
        // Ties are few, and settled one by one.
        for (unsigned ties = tied & inRun; ties != 0; ties &= ties - 1) {
            const int i = std::countr_zero(ties);
            nearer |= unsigned(Passes(depths[i], stored.depths[i], stored.orders[i], shading.order)) << i;
        }
        return nearer & inRun;
    }

    // The depths of a run of `length` pixels from `depth`, each the first
    // plus its distance times the step, and which of them pass; `depth`
    // moves on past the run. Every run is worked at full length, which
    // costs less than a loop that ends at a different pixel each time:
    // `stored` may be read up to SubspanLength past the run, as
    // DepthBuffer allows.
    [[gnu::always_inline]] inline RunDepths DepthsOfRun(
        float& depth, float step, int length, DepthRow stored, const SpanShading& shading)
    {
        RunDepths run;
        static_assert(SubspanLength == 8);
        const __m128 first = _mm_set1_ps(depth), steps = _mm_set1_ps(step);
        _mm_store_ps(run.depths.data(), _mm_add_ps(first, _mm_mul_ps(steps, _mm_setr_ps(0, 1, 2, 3))));
        _mm_store_ps(run.depths.data() + 4, _mm_add_ps(first, _mm_mul_ps(steps, _mm_setr_ps(4, 5, 6, 7))));
        run.depths[SubspanLength] = depth + step * float(SubspanLength);
        depth = run.depths[length];
        run.passing = PassingPixels(run.depths, length, stored, shading);
        return run;
    }

    // True when every factor of the run fits the pairs' 16-bit lanes.
    bool FitsPairs(const RunSteps& steps, int intervals)
    {
        // The four channels at once. Factors and their steps are at most
        // 2^18 in size, so that the products are exact in floats.
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps.factors.data()));
        const __m128i step = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps.factorSteps.data()));
        const __m128i last
            = _mm_add_epi32(first, _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(step), _mm_set1_ps(float(intervals)))));
        const __m128i largest = _mm_set1_epi32(Sse2PixelPairs::Factors::FactorLimit - 1);
        const __m128i outside = _mm_or_si128(_mm_cmpgt_epi32(first, largest), _mm_cmpgt_epi32(last, largest));
        return _mm_movemask_epi8(outside) == 0;
    }

    // Puts a pair of shaded pixels in place: both at once when both are
    // visible and opaque, else one by one.
    [[gnu::always_inline]] inline void FinishPair(Sse2PixelPairs::Pair color, unsigned passing, int i,
        const RunDepths& run, const SpanShading& shading, DepthRow stored, uint8_t* pixels)
    {
        using Pairs = Sse2PixelPairs;
        if (passing == 3 && Pairs::BothOpaque(color)) {
            Pairs::Store(color, pixels);
            stored.Set(i, run.depths[i], shading.order);
            stored.Set(i + 1, run.depths[i + 1], shading.order);
            return;
        }
        if (passing & 1)
            ShadePixel<Sse2Pixels, false>(Pairs::First(color), 0, shading, run.depths[i], stored + i, pixels);
        if (passing & 2)
            ShadePixel<Sse2Pixels, false>(
                Pairs::Second(color), 0, shading, run.depths[i + 1], stored + (i + 1), pixels + PixelBytes);
    }

    // Puts a whole run of opaque pixels in place where they pass the depth
    // test, four at a time.
    [[gnu::always_inline]] inline void FinishOpaqueRow(const Sse2PixelPairs::RowOfPairs& row, const RunDepths& run,
        const SpanShading& shading, DepthRow stored, uint8_t* pixels)
    {
        const __m128i lanes = _mm_setr_epi32(1, 2, 4, 8), order = _mm_set1_epi32(int32_t(shading.order));
        for (int quad = 0; quad < SubspanLength / 4; ++quad) {
            const int first = quad * 4;
            const __m128i passing = _mm_set1_epi32(int32_t(run.passing >> first));
            const __m128 mask = _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(passing, lanes), lanes));
            auto* colors = reinterpret_cast<__m128i*>(pixels + first * PixelBytes);
            auto* orders = reinterpret_cast<__m128i*>(stored.orders + first);
            const __m128i color = Sse2PixelPairs::Packed(row.pairs[quad * 2], row.pairs[quad * 2 + 1]);
            _mm_storeu_si128(colors, sse2::Select(mask, color, _mm_loadu_si128(colors)));
            _mm_storeu_ps(stored.depths + first,
                sse2::Select(mask, _mm_load_ps(run.depths.data() + first), _mm_loadu_ps(stored.depths + first)));
            _mm_storeu_si128(orders, sse2::Select(mask, order, _mm_loadu_si128(orders)));
        }
    }

    // A whole run that steps one texel along a row at each pixel, as a
    // backdrop facing the eye at its own size does, no fog.
    template <bool Modulated>
    void ShadeAlongRow(const InsideWalk& walk, const RunSteps& steps, const RunDepths& run, const SpanShading& shading,
        DepthRow stored, uint8_t* pixels)
    {
        using Pairs = Sse2PixelPairs;
        const uint32_t* texels = TopLeftTexel(walk.texels, walk.width, walk.s, walk.t);
        Pairs::RowOfPairs row = Pairs::SampleAlongRow(texels, walk.width, TexelFraction(walk.s), TexelFraction(walk.t));
        if constexpr (Modulated) {
            Pairs::Factors factors(steps.factors, steps.factorSteps);
            for (Pairs::Pair& color : row.pairs) {
                color = factors.Apply(color);
                factors.Step();
            }
        }
        if (Pairs::AllOpaque(row))
            return FinishOpaqueRow(row, run, shading, stored, pixels);
        for (int pair = 0; pair < SubspanLength / 2; ++pair)
            FinishPair(row.pairs[pair], (run.passing >> (2 * pair)) & 3, 2 * pair, run, shading, stored,
                pixels + pair * 2 * PixelBytes);
    }

    // ShadeAlongRow, lit as `modulated` says.
    [[gnu::always_inline]] inline void ShadeAlongRow(bool modulated, const InsideWalk& walk, const RunSteps& steps,
        const RunDepths& run, const SpanShading& shading, DepthRow stored, uint8_t* pixels)
    {
        modulated ? ShadeAlongRow<true>(walk, steps, run, shading, stored, pixels)
                  : ShadeAlongRow<false>(walk, steps, run, shading, stored, pixels);
    }

    // Whether a run with texels inside the level steps one texel along a
    // row at each pixel, as ShadeAlongRow wants.
    bool OneTexelAlongRow(const RunSteps& steps, int length)
    {
        return length == SubspanLength && steps.stepS == TexelOne && steps.stepT == 0;
    }

    // The common run two pixels at a time: texels from inside the level,
    // no fog. Pixels that are not both opaque and visible go one by one.
    template <bool Modulated>
    void ShadeInsidePairs(const InsideWalk& walk, const RunSteps& steps, int length, const RunDepths& run,
        const SpanShading& shading, DepthRow stored, uint8_t* pixels)
    {
        using Pairs = Sse2PixelPairs;
        Pairs::Factors factors(steps.factors, steps.factorSteps);
        uint32_t s = walk.s, t = walk.t;
        for (int i = 0; i < length; i += 2, pixels += 2 * PixelBytes) {
            // A lone last pixel is paired with itself.
            const bool lone = i + 1 == length;
            const uint32_t nextS = lone ? s : s + uint32_t(walk.stepS), nextT = lone ? t : t + uint32_t(walk.stepT);
            Pairs::Pair color = Pairs::SampleInside(walk.texels, walk.width, s, t, nextS, nextT);
            if constexpr (Modulated)
                color = factors.Apply(color);
            FinishPair(color, (run.passing >> i) & (lone ? 1 : 3), i, run, shading, stored, pixels);
            factors.Step();
            s = nextS + uint32_t(walk.stepS);
            t = nextT + uint32_t(walk.stepT);
        }
    }

    // Shades the pixels of a run that pass the depth test.
    template <bool Textured, bool Fogged>
    void ShadeRun(const SpanShading& shading, const RunSteps& steps, int length, const RunDepths& run, float* depths,
        uint32_t* orders, uint8_t* pixels)
    {
        const DepthRow stored { depths, orders };
        Stepper fog = Stepper::Fixed(steps.fog, steps.fogStep);
        const bool modulated = Modulates(steps);
        Sse2Pixels::Factors factors(steps.factors, steps.factorSteps);
        auto shade = [&](auto walk) {
            for (int i = 0; i < length; ++i, pixels += PixelBytes) {
                if (run.passing & (1u << i)) {
                    Sse2Pixels::Color color = walk.Sample();
                    if (modulated)
                        color = factors.Apply(color);
                    ShadePixel<Sse2Pixels, Fogged>(
                        color, Fogged ? fog.Fraction() : 0, shading, run.depths[i], stored + i, pixels);
                }
                factors.Step();
                if constexpr (Fogged)
                    fog.Step();
                walk.Step();
            }
        };
        if constexpr (!Textured) {
            shade(White {});
        } else {
            const TextureLevel& level = *shading.level;
            const int intervals = std::max(length - 1, 1);
            if (!StaysInside(steps.s, steps.stepS, intervals, level.width)
                || !StaysInside(steps.t, steps.stepT, intervals, level.height))
                return shade(EdgeWalk {
                    level, shading.uBoundary, shading.vBoundary, steps.s, steps.t, steps.stepS, steps.stepT });
            const InsideWalk inside = InsideWalk::Of(level, steps);
            if (!Fogged && FitsPairs(steps, intervals)) {
                if (OneTexelAlongRow(steps, length))
                    return ShadeAlongRow(modulated, inside, steps, run, shading, stored, pixels);
                return modulated ? ShadeInsidePairs<true>(inside, steps, length, run, shading, stored, pixels)
                                 : ShadeInsidePairs<false>(inside, steps, length, run, shading, stored, pixels);
            }
            shade(inside);
        }
    }

    // How many pixels of a run pass the depth test, by their bits: a
    // look-up, which the baseline x86-64 has no one instruction for.
    constexpr auto PassingCounts = [] {
        std::array<uint8_t, 1u << SubspanLength> counts {};
        for (unsigned passing = 0; passing < counts.size(); ++passing)
            counts[passing] = uint8_t(std::popcount(passing));
        return counts;
    }();

    // The span in runs of SubspanLength pixels (see RunSteps.h). Depths
    // come first, so that a run hidden at every pixel costs no division
    // and no texel.
    template <bool Textured, bool Fogged>
    uint64_t ShadeSpan(const TriangleSpans& triangle, const Sse2RunSetUp& runSetUp, const RowSpan& span)
    {
        const SpanShading& shading = triangle.shading;
        const float depthStep = triangle.stepX[Depth];
        Sse2SpanInterpolants interpolants(triangle.origin, triangle.stepY, triangle.stepX, span.row, span.column);
        DepthRow stored = span.stored;
        uint8_t* pixels = span.pixels;
        int count = span.count;
        float depth = interpolants.FirstDepth();
        uint64_t shaded = 0;
        // `shadeRun(length, run)` shades a run that shows; `nextRun(length)`
        // moves past every run.
        auto shadeRuns = [&](auto shadeRun, auto nextRun) {
            while (count > 0) {
                const int length = std::min(count, SubspanLength);
                count -= length;
                const RunDepths run = DepthsOfRun(depth, depthStep, length, stored, shading);
                if (run.passing != 0) {
                    shadeRun(length, run);
                    shaded += PassingCounts[run.passing];
                }
                nextRun(length);
                stored = stored + length;
                pixels += size_t(length) * PixelBytes;
            }
            return shaded;
        };
        if constexpr (Textured && !Fogged) {
            if (triangle.facing) {
                FacingRuns facing(
                    interpolants.Run(std::min(count, SubspanLength), runSetUp), *triangle.facing, shading);
                // The light is the same all along the span, and the step from
                // pixel to pixel: which way a run goes is mostly known at once.
                const bool alongRow
                    = OneTexelAlongRow(facing.Steps(), SubspanLength) && FitsPairs(facing.Steps(), SubspanLength - 1);
                const bool modulated = Modulates(facing.Steps());
                const TextureLevel& level = *shading.level;
                return shadeRuns(
                    [&](int length, const RunDepths& run) {
                        const RunSteps& steps = facing.Steps();
                        // Along a row, the step is one texel across and none down.
                        if (alongRow && length == SubspanLength
                            && StaysInside(steps.s, TexelOne, SubspanLength - 1, level.width)
                            && StaysInside(steps.t, 0, SubspanLength - 1, level.height))
                            return ShadeAlongRow(
                                modulated, InsideWalk::Of(level, steps), steps, run, shading, stored, pixels);
                        ShadeRun<Textured, Fogged>(shading, steps, length, run, stored.depths, stored.orders, pixels);
                    },
                    [&](int) { facing.Next(); });
            }
        }
        return shadeRuns(
            [&](int length, const RunDepths& run) {
                ShadeRun<Textured, Fogged>(
                    shading, interpolants.Run(length, runSetUp), length, run, stored.depths, stored.orders, pixels);
            },
            [&](int length) { interpolants.Advance(length); });
    }

}

FastSpans::FastSpans(const TriangleSpans& triangle)
    : mTriangle(triangle)
    , mRunSetUp(triangle.shading)
{
}

std::optional<uint64_t> FastSpans::Shade(const RowSpan& span) const
{
    const SpanShading& shading = mTriangle.shading;
    if (shading.level)
        return shading.fog ? ShadeSpan<true, true>(mTriangle, mRunSetUp, span)
                           : ShadeSpan<true, false>(mTriangle, mRunSetUp, span);
    return shading.fog ? ShadeSpan<false, true>(mTriangle, mRunSetUp, span)
                       : ShadeSpan<false, false>(mTriangle, mRunSetUp, span);
}

}

#else

namespace q3::render {

FastSpans::FastSpans(const TriangleSpans& triangle)
    : mTriangle(triangle)
#if defined(__SSE2__)
    , mRunSetUp(triangle.shading)
#endif
{
}

std::optional<uint64_t> FastSpans::Shade(const RowSpan&) const { return std::nullopt; }

}

#endif
