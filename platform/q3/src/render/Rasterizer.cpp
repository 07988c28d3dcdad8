#include "Rasterizer.h"

#include "Pixels.h"
#include "RunSteps.h"
#include "Tunables.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace q3::render {

namespace {

    constexpr float ChannelMaximum = 255;

    // NaN, which no valid input makes, still lands on a channel value.
    uint32_t ToChannel(float value)
    {
        if (!(value > 0))
            return 0;
        return value < ChannelMaximum ? uint32_t(value + 0.5f) : Opaque;
    }

    // Whether a pixel at `depth` replaces one at `stored`.
    bool Passes(float depth, float stored, uint32_t storedOrder, const SpanShading& shading)
    {
        return depth < stored || (depth == stored && depth < DepthBuffer::Far && shading.order < storedOrder);
    }

    // Where a span's pixels keep their depths and the orders that go with them.
    struct DepthRow {
        float* depths { nullptr };
        uint32_t* orders { nullptr };

        DepthRow operator+(int pixels) const { return { depths + pixels, orders + pixels }; }
        void Set(int pixel, float depth, uint32_t order) const
        {
            depths[pixel] = depth;
            orders[pixel] = order;
        }
    };

    Pixels::Color FogColor(const TQ3ColorRGB& color)
    {
        return Pixels::Make(0, ToChannel(color.r * ChannelMaximum), ToChannel(color.g * ChannelMaximum),
            ToChannel(color.b * ChannelMaximum));
    }

    int64_t FloorDivide(int64_t numerator, int64_t denominator)
    {
        int64_t quotient = numerator / denominator;
        return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1 : quotient;
    }

    // The first pixel whose centre lies at or after a subpixel coordinate.
    int FirstPixelAtOrAfter(int32_t subpixel)
    {
        return int(FloorDivide(int64_t(subpixel) - SubpixelScale / 2 + SubpixelScale - 1, SubpixelScale));
    }

}

// One edge as an integer function of the pixel, positive inside. Its value
// is biased by one below zero for edges that are neither top nor left, so
// that a pixel centre on an edge shared by two triangles goes to just one.
struct Edge {
    int64_t stepX;
    int64_t stepY;
    int64_t atOrigin; // at the centre of the bounding box's top-left pixel
};

namespace {

    // Where an edge meets a row, walked exactly from row to row with
    // integers alone. With `period` the edge's change per pixel in size,
    // its value at the row's first pixel is kept as
    // period × whole + excess, excess in [0, period): the edge is inside
    // from pixel -whole on when rising to the right (stepX > 0) and up to
    // pixel whole when falling. A vertical edge has no crossing: its period
    // is 1, and whole is its value, the same all along the row.
    class Crossing {
    public:
        explicit Crossing(const Edge& edge)
            : mPeriod(std::max<int64_t>(edge.stepX < 0 ? -edge.stepX : edge.stepX, 1))
        {
            mWhole = FloorDivide(edge.atOrigin, mPeriod);
            mExcess = edge.atOrigin - mWhole * mPeriod;
            mRowWhole = FloorDivide(edge.stepY, mPeriod);
            mRowExcess = edge.stepY - mRowWhole * mPeriod;
        }

        // The first pixel inside a rising edge, or the last inside a
        // falling one, in this row.
        int64_t FirstInside() const { return -mWhole; }
        int64_t LastInside() const { return mWhole; }
        // For a vertical edge: whether the whole row is inside.
        bool RowInside() const { return mWhole >= 0; }

        void NextRow()
        {
            mExcess += mRowExcess;
            const bool carry = mExcess >= mPeriod;
            mWhole += mRowWhole + int64_t(carry);
            mExcess -= carry ? mPeriod : 0;
        }

    private:
        int64_t mPeriod;
        int64_t mWhole;
        int64_t mExcess;
        int64_t mRowWhole;
        int64_t mRowExcess;
    };

    // Steps of texel positions are kept this much finer, so that stepping
    // across a whole span adds up to much less than a position's unit.
    constexpr int FineBits = 16;
    constexpr int64_t FineOne = int64_t(1) << FineBits;

    // How far texel positions move from pixel to pixel along a row, in
    // their units (see Sampler.h) times FineOne.
    struct FacingSteps {
        int64_t s { 0 };
        int64_t t { 0 };
    };

}

struct Rasterizer::Setup {
    int left { 0 };
    int top { 0 };
    int right { 0 }; // exclusive
    int bottom { 0 }; // exclusive
    // Set for every triangle drawn, so left alone until then: clearing
    // them first costs more than a small triangle's set-up.
    std::array<Edge, 3> edges;
    Interpolants origin;
    Interpolants stepX;
    Interpolants stepY;
    SpanShading shading {};
    // Set for a textured triangle facing the eye.
    std::optional<FacingSteps> facing;
};

namespace {

    using Corners = const ScreenVertex* [3];

    // The edge functions of a triangle wound so that they are positive
    // inside, from the centre of the pixel at (left, top).
    std::array<Edge, 3> EdgesOf(const Corners& v, int left, int top)
    {
        std::array<Edge, 3> edges;
        int64_t originX = int64_t(left) * SubpixelScale + SubpixelScale / 2;
        int64_t originY = int64_t(top) * SubpixelScale + SubpixelScale / 2;
        for (int i = 0; i < 3; ++i) {
            const ScreenVertex& from = *v[i];
            const ScreenVertex& to = *v[(i + 1) % 3];
            int64_t dx = to.x - from.x, dy = to.y - from.y;
            // With y pointing down, a top edge runs right along the top and a
            // left edge runs up the left side.
            bool topLeft = dy < 0 || (dy == 0 && dx > 0);
            Edge& edge = edges[i];
            edge.stepX = -dy * SubpixelScale;
            edge.stepY = dx * SubpixelScale;
            edge.atOrigin = dx * (originY - from.y) - dy * (originX - from.x) - (topLeft ? 0 : 1);
        }
        return edges;
    }

    // Plane equations of the interpolants, in pixels, from the snapped
    // positions, with their values at the centre of the pixel at (left, top).
    void SetUpPlanes(
        const Corners& v, int left, int top, Interpolants& origin, Interpolants& stepX, Interpolants& stepY)
    {
        float x0 = float(v[0]->x) / SubpixelScale, y0 = float(v[0]->y) / SubpixelScale;
        float x1 = float(v[1]->x) / SubpixelScale - x0, y1 = float(v[1]->y) / SubpixelScale - y0;
        float x2 = float(v[2]->x) / SubpixelScale - x0, y2 = float(v[2]->y) / SubpixelScale - y0;
        float inverseArea = 1 / (x1 * y2 - x2 * y1);
        auto values = [](const ScreenVertex& vertex) {
            Interpolants result;
            result[Depth] = vertex.depth;
            result[InverseW] = vertex.inverseW;
            std::copy(vertex.varyings.begin(), vertex.varyings.end(), result.begin() + FirstVarying);
            return result;
        };
        Interpolants a0 = values(*v[0]), a1 = values(*v[1]), a2 = values(*v[2]);
        float centreX = float(left) + 0.5f - x0, centreY = float(top) + 0.5f - y0;
        for (int i = 0; i < InterpolantCount; ++i) {
            float d1 = a1[i] - a0[i], d2 = a2[i] - a0[i];
            stepX[i] = (d1 * y2 - d2 * y1) * inverseArea;
            stepY[i] = (d2 * x1 - d1 * x2) * inverseArea;
            origin[i] = a0[i] + stepX[i] * centreX + stepY[i] * centreY;
        }
    }

    // One level of detail for the whole triangle, from how many texels of
    // the base level its pixels cover on average; `area` is twice the
    // triangle's, in square subpixels.
    const TextureLevel& LevelFor(const DecodedTexture& texture, const Corners& v, int64_t area)
    {
        auto uv = [](const ScreenVertex& vertex, int varying) { return vertex.varyings[varying] / vertex.inverseW; };
        float du1 = (uv(*v[1], U) - uv(*v[0], U)) * float(texture.Width());
        float dv1 = (uv(*v[1], V) - uv(*v[0], V)) * float(texture.Height());
        float du2 = (uv(*v[2], U) - uv(*v[0], U)) * float(texture.Width());
        float dv2 = (uv(*v[2], V) - uv(*v[0], V)) * float(texture.Height());
        float texelArea = std::fabs(du1 * dv2 - du2 * dv1);
        float pixelArea = float(area) / float(SubpixelScale * SubpixelScale);
        return texture.Level(ChooseLevel(texture, std::sqrt(texelArea / pixelArea)));
    }

    // The steps along a row of an unfogged textured triangle that faces
    // the eye, evenly lit: its corners' colors the same to within a
    // 16384th, which interpolation keeps all over it, and 1/w so nearly the
    // same all over it that positions on the texture step linearly across
    // the screen, to within a 512th of a texel. The backdrop behind the
    // scene is such a triangle. `width` and `height` are those of the
    // triangle's bounding box, in pixels.
    std::optional<FacingSteps> FacingStepsOf(const Corners& v, const TextureLevel& level, const Interpolants& origin,
        const Interpolants& stepX, const Interpolants& stepY, double width, double height)
    {
        const double inverseW = origin[InverseW];
        if (!(inverseW > 0))
            return std::nullopt;
        // The corners' values, divided by w.
        std::array<double, 3> w;
        for (int corner = 0; corner < 3; ++corner)
            w[corner] = 1 / double(v[corner]->inverseW);
        auto at = [&](int corner, int varying) { return v[corner]->varyings[varying] * w[corner]; };
        constexpr std::pair<int, int> CornerPairs[] = { { 0, 1 }, { 0, 2 }, { 1, 2 } };
        // Positions first: most triangles in perspective fail on them, and
        // need not have their light compared.
        double reach = 0;
        for (auto [i, j] : CornerPairs) {
            reach = std::max({ reach, std::fabs(at(i, U) - at(j, U)) * level.width,
                std::fabs(at(i, V) - at(j, V)) * level.height });
        }
        const double spread
            = (std::fabs(double(stepX[InverseW])) * width + std::fabs(double(stepY[InverseW])) * height) / inverseW;
        // Texels cross the screen at less than a texture a pixel.
        const double s = double(stepX[FirstVarying + U]) / inverseW * level.width;
        const double t = -double(stepX[FirstVarying + V]) / inverseW * level.height;
        if (!(spread * reach <= 1.0 / 512 && std::fabs(s) < level.width && std::fabs(t) < level.height))
            return std::nullopt;
        double color = 0;
        for (auto [i, j] : CornerPairs) {
            for (int channel : { Red, Green, Blue })
                color = std::max(color, std::fabs(at(i, channel) - at(j, channel)));
        }
        if (!(color <= 1.0 / 16384))
            return std::nullopt;
        const double scale = double(TexelOne) * double(FineOne);
        return FacingSteps { std::llround(s * scale), std::llround(t * scale) };
    }

}

void Rasterizer::Begin(const Target& target, const Pane& pane, TQ3ColorRGB clear)
{
    mDrawing = false;
    mTarget = target;
    int paneWidth = pane.right - pane.left, paneHeight = pane.bottom - pane.top;
    bool targetUsable = target.pixels && target.width > 0 && target.height > 0
        && int64_t(target.rowBytes) >= int64_t(target.width) * 4;
    if (!targetUsable || paneWidth <= 0 || paneHeight <= 0 || paneWidth > MaximumPaneSize
        || paneHeight > MaximumPaneSize)
        return;
    mScissor = { std::max(pane.left, 0), std::max(pane.top, 0), std::min(pane.right, target.width),
        std::min(pane.bottom, target.height) };
    if (mScissor.left >= mScissor.right || mScissor.top >= mScissor.bottom)
        return;
    mPaneLeft = float(pane.left);
    mPaneTop = float(pane.top);
    mPaneWidth = float(paneWidth);
    mPaneHeight = float(paneHeight);
    mDrawing = true;

    int width = mScissor.right - mScissor.left, height = mScissor.bottom - mScissor.top;
    mDepth.Reset(width, height);
    uint32_t pixel = PackPixel(
        ToChannel(clear.r * ChannelMaximum), ToChannel(clear.g * ChannelMaximum), ToChannel(clear.b * ChannelMaximum));
    for (int y = mScissor.top; y < mScissor.bottom; ++y) {
        uint8_t* row = mTarget.pixels + size_t(y) * size_t(mTarget.rowBytes) + size_t(mScissor.left) * 4;
        std::memcpy(row, &pixel, sizeof pixel);
        // Each copy doubles what is set, from the pixels already set.
        for (size_t done = 1; done < size_t(width); done *= 2)
            std::memcpy(row + done * 4, row, std::min(done, size_t(width) - done) * 4);
    }
}

ScreenVertex Rasterizer::Project(const ClipVertex& vertex) const
{
    ScreenVertex result;
    result.inverseW = 1 / vertex.w;
    float x = vertex.x * result.inverseW, y = vertex.y * result.inverseW;
    result.x = int32_t(std::lrint((mPaneLeft + (x + 1) * 0.5f * mPaneWidth) * SubpixelScale));
    result.y = int32_t(std::lrint((mPaneTop + (1 - y) * 0.5f * mPaneHeight) * SubpixelScale));
    result.depth = -vertex.z * result.inverseW;
    for (int i = 0; i < VaryingCount; ++i)
        result.varyings[i] = vertex.varyings[i] * result.inverseW;
    return result;
}

int64_t Rasterizer::SignedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    return int64_t(b.x - a.x) * int64_t(c.y - a.y) - int64_t(c.x - a.x) * int64_t(b.y - a.y);
}

void Rasterizer::DrawTriangle(
    const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const Shading& shading)
{
    if (!mDrawing)
        return;
    // Only a broken projection comes this far out; refusing it keeps the
    // edge arithmetic below far from overflowing.
    for (const ScreenVertex* vertex : { &a, &b, &c }) {
        if (std::abs(vertex->x) > CoordinateLimit || std::abs(vertex->y) > CoordinateLimit)
            return;
    }
    int64_t area = SignedArea(a, b, c);
    if (area == 0)
        return;
    // Wind every triangle one way so that the edge functions are positive inside.
    const ScreenVertex* v[3] = { &a, &b, &c };
    if (area < 0) {
        std::swap(v[1], v[2]);
        area = -area;
    }

    Setup setup;
    setup.shading.fogged = shading.fog;
    setup.shading.fogColor = FogColor(shading.fogColor);
    setup.shading.order = shading.order;
    int32_t minX = std::min({ v[0]->x, v[1]->x, v[2]->x }), maxX = std::max({ v[0]->x, v[1]->x, v[2]->x });
    int32_t minY = std::min({ v[0]->y, v[1]->y, v[2]->y }), maxY = std::max({ v[0]->y, v[1]->y, v[2]->y });
    setup.left = std::max(FirstPixelAtOrAfter(minX), mScissor.left);
    setup.right = std::min(FirstPixelAtOrAfter(maxX + 1), mScissor.right);
    setup.top = std::max(FirstPixelAtOrAfter(minY), mScissor.top);
    setup.bottom = std::min(FirstPixelAtOrAfter(maxY + 1), mScissor.bottom);
    if (setup.left >= setup.right || setup.top >= setup.bottom)
        return;

    setup.edges = EdgesOf(v, setup.left, setup.top);
    SetUpPlanes(v, setup.left, setup.top, setup.origin, setup.stepX, setup.stepY);
    setup.shading.uBoundary = shading.uBoundary;
    setup.shading.vBoundary = shading.vBoundary;
    setup.shading.opacity = shading.opacity;
    if (shading.texture) {
        setup.shading.level = &LevelFor(*shading.texture, v, area);
        if (!shading.fog)
            setup.facing = FacingStepsOf(v, *setup.shading.level, setup.origin, setup.stepX, setup.stepY,
                setup.right - setup.left, setup.bottom - setup.top);
    }

    if (setup.shading.level)
        shading.fog ? FillTriangle<true, true>(setup) : FillTriangle<true, false>(setup);
    else
        shading.fog ? FillTriangle<false, true>(setup) : FillTriangle<false, false>(setup);
}

template <bool Textured, bool Fogged> void Rasterizer::FillTriangle(const Setup& setup)
{
    const int width = setup.right - setup.left;
    const RunSetUp runSetUp(setup.shading);
    // The pixels of a row inside all three edges: from where the last
    // rising edge turns non-negative to where the first falling one turns
    // negative. A vertical edge is inside the whole row or none of it.
    std::array<Crossing, 3> crossings { Crossing(setup.edges[0]), Crossing(setup.edges[1]), Crossing(setup.edges[2]) };

    for (int y = setup.top; y < setup.bottom; ++y) {
        int64_t first = 0, last = width - 1;
        for (int i = 0; i < 3; ++i) {
            const int64_t stepX = setup.edges[i].stepX;
            if (stepX > 0)
                first = std::max(first, crossings[i].FirstInside());
            else if (stepX < 0)
                last = std::min(last, crossings[i].LastInside());
            else if (!crossings[i].RowInside())
                last = -1;
            crossings[i].NextRow();
        }
        if (first > last)
            continue;

        SpanInterpolants span(setup.origin, setup.stepY, setup.stepX, float(y - setup.top), float(first));

        const int x = setup.left + int(first);
        const int row = y - mScissor.top, column = x - mScissor.left;
        const DepthRow depthRow { mDepth.Row(row) + column, mDepth.Orders(row) + column };
        uint8_t* pixelRow = mTarget.pixels + size_t(y) * size_t(mTarget.rowBytes) + size_t(x) * 4;
        ShadeSpan<Textured, Fogged>(
            setup, runSetUp, span, int(last - first + 1), depthRow.depths, depthRow.orders, pixelRow);
    }
}

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

        Pixels::Color Sample() const
        {
            return Pixels::Sample(level, OnTexture(s, level.width, uBoundary), OnTexture(t, level.height, vBoundary));
        }
        void Step()
        {
            s = uBoundary == Boundary::Clamp ? s + stepS : WrapFixed(s + stepS, int32_t(level.width) * TexelOne);
            t = vBoundary == Boundary::Clamp ? t + stepT : WrapFixed(t + stepT, int32_t(level.height) * TexelOne);
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

        Pixels::Color Sample() const { return Pixels::SampleInside(texels, width, s, t); }
        void Step()
        {
            s += uint32_t(stepS);
            t += uint32_t(stepT);
        }
    };

    // No texture: the lit color alone.
    struct White {
        Pixels::Color Sample() const { return Pixels::Make(Opaque, Opaque, Opaque, Opaque); }
        void Step() { }
    };

    // White light on an opaque surface, as on an unlit texture, leaves the
    // texels as they are.
    bool Modulates(const RunSteps& steps)
    {
#if defined(__SSE2__)
        // Stepper::IsConstantOne of the four channels at once.
        const __m128i factors = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps.factors.data()));
        const __m128i factorSteps = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps.factorSteps.data()));
        const __m128i same = _mm_and_si128(
            _mm_cmpeq_epi32(factors, _mm_set1_epi32(Stepper::One)), _mm_cmpeq_epi32(factorSteps, _mm_setzero_si128()));
        return _mm_movemask_epi8(same) != 0xFFFF;
#else
        for (int channel = 0; channel < 4; ++channel) {
            if (!Stepper::Fixed(steps.factors[channel], steps.factorSteps[channel]).IsConstantOne())
                return true;
        }
        return false;
#endif
    }

    // Puts a shaded pixel that passed the depth test in place. `fogClear`
    // is the fog factor, in 1/Stepper::One, for a fogged span.
    template <bool Fogged>
    void Finish(Pixels::Color color, uint32_t fogClear, const SpanShading& shading, float runDepth, DepthRow stored,
        uint8_t* pixel)
    {
        uint32_t alpha = Pixels::Alpha(color);
        if (alpha == 0)
            return;
        if constexpr (Fogged) {
            uint32_t fogged = (Stepper::One - fogClear) * alpha / Opaque;
            color = Pixels::Fog(color, fogClear, fogged, shading.fogColor);
        }
        // A pixel not quite opaque blends over what is there and leaves the
        // depth, so that whatever lies behind still shows through.
        if (alpha != Opaque)
            color = Pixels::Over(color, Opaque - alpha, pixel);
        else
            stored.Set(0, runDepth, shading.order);
        Pixels::Store(color, pixel);
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
#if defined(__SSE2__)
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
            nearer |= unsigned(Passes(depths[i], stored.depths[i], stored.orders[i], shading)) << i;
        }
        return nearer & inRun;
#else
        unsigned passing = 0;
        for (int i = 0; i < length; ++i)
            passing |= unsigned(Passes(depths[i], stored.depths[i], stored.orders[i], shading)) << i;
        return passing;
#endif
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
#if defined(__SSE2__)
        static_assert(SubspanLength == 8);
        const __m128 first = _mm_set1_ps(depth), steps = _mm_set1_ps(step);
        _mm_store_ps(run.depths.data(), _mm_add_ps(first, _mm_mul_ps(steps, _mm_setr_ps(0, 1, 2, 3))));
        _mm_store_ps(run.depths.data() + 4, _mm_add_ps(first, _mm_mul_ps(steps, _mm_setr_ps(4, 5, 6, 7))));
        run.depths[SubspanLength] = depth + step * float(SubspanLength);
#else
        for (int i = 0; i <= SubspanLength; ++i)
            run.depths[i] = depth + step * float(i);
#endif
        depth = run.depths[length];
        run.passing = PassingPixels(run.depths, length, stored, shading);
        return run;
    }

#if defined(__SSE2__)

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
            Finish<false>(Pairs::First(color), 0, shading, run.depths[i], stored + i, pixels);
        if (passing & 2)
            Finish<false>(Pairs::Second(color), 0, shading, run.depths[i + 1], stored + (i + 1), pixels + 4);
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
            auto* colors = reinterpret_cast<__m128i*>(pixels + first * 4);
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
        constexpr uint32_t FractionMask = TexelOne - 1;
        const uint32_t* texels
            = walk.texels + (walk.t >> TexelFractionBits) * walk.width + (walk.s >> TexelFractionBits);
        Pairs::RowOfPairs row = Pairs::SampleAlongRow(texels, walk.width, walk.s & FractionMask, walk.t & FractionMask);
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
            FinishPair(
                row.pairs[pair], (run.passing >> (2 * pair)) & 3, 2 * pair, run, shading, stored, pixels + pair * 8);
    }

    // ShadeAlongRow, lit as `modulated` says.
    void ShadeAlongRow(bool modulated, const InsideWalk& walk, const RunSteps& steps, const RunDepths& run,
        const SpanShading& shading, DepthRow stored, uint8_t* pixels)
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
        for (int i = 0; i < length; i += 2, pixels += 8) {
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

#endif

    // Shades the pixels of a run that pass the depth test.
    template <bool Textured, bool Fogged>
    void ShadeRun(const SpanShading& shading, const RunSteps& steps, int length, const RunDepths& run, float* depths,
        uint32_t* orders, uint8_t* pixels)
    {
        const DepthRow stored { depths, orders };
        Stepper fog = Stepper::Fixed(steps.fog, steps.fogStep);
        const bool modulated = Modulates(steps);
        Pixels::Factors factors(steps.factors, steps.factorSteps);
        auto shade = [&](auto walk) {
            for (int i = 0; i < length; ++i, pixels += 4) {
                if (run.passing & (1u << i)) {
                    Pixels::Color color = walk.Sample();
                    if (modulated)
                        color = factors.Apply(color);
                    Finish<Fogged>(color, Fogged ? fog.Fraction() : 0, shading, run.depths[i], stored + i, pixels);
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
#if defined(__SSE2__)
            if (!Fogged && FitsPairs(steps, intervals)) {
                if (OneTexelAlongRow(steps, length))
                    return ShadeAlongRow(modulated, inside, steps, run, shading, stored, pixels);
                return modulated ? ShadeInsidePairs<true>(inside, steps, length, run, shading, stored, pixels)
                                 : ShadeInsidePairs<false>(inside, steps, length, run, shading, stored, pixels);
            }
#endif
            shade(inside);
        }
    }

    // The set-ups of a span's runs on a triangle facing the eye: the first
    // set up in full, every later one from it by additions, instead of a
    // division at both ends of each run. Its texel positions move on by
    // whole runs, wrapped as the boundaries say; its color stays.
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
            mSteps.s = int32_t(mS >> FineBits);
            mSteps.t = int32_t(mT >> FineBits);
        }

    private:
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

// The span is shaded in runs of SubspanLength pixels (see RunSteps.h).
// Depths come first, so that a run hidden at every pixel costs no division
// and no texel.
template <bool Textured, bool Fogged>
void Rasterizer::ShadeSpan(const Setup& setup, const RunSetUp& runSetUp, SpanInterpolants span, int count,
    float* depths, uint32_t* orders, uint8_t* pixels)
{
    DepthRow stored { depths, orders };
    const SpanShading& shading = setup.shading;
    float depth = span.FirstDepth();
    // `shadeRun(length, run)` shades a run that shows; `nextRun(length)`
    // moves past every run.
    auto shadeRuns = [&](auto shadeRun, auto nextRun) {
        while (count > 0) {
            const int length = std::min(count, SubspanLength);
            count -= length;
            const RunDepths run = DepthsOfRun(depth, setup.stepX[Depth], length, stored, shading);
            if (run.passing != 0)
                shadeRun(length, run);
            nextRun(length);
            stored = stored + length;
            pixels += size_t(length) * 4;
        }
    };
    if constexpr (Textured && !Fogged) {
        if (setup.facing) {
            FacingRuns facing(span.Run(std::min(count, SubspanLength), runSetUp), *setup.facing, shading);
#if defined(__SSE2__)
            // The light is the same all along the span, and the step from
            // pixel to pixel: which way a run goes is mostly known at once.
            const bool alongRow
                = OneTexelAlongRow(facing.Steps(), SubspanLength) && FitsPairs(facing.Steps(), SubspanLength - 1);
            const bool modulated = Modulates(facing.Steps());
            const TextureLevel& level = *shading.level;
#endif
            return shadeRuns(
                [&](int length, const RunDepths& run) {
                    const RunSteps& steps = facing.Steps();
#if defined(__SSE2__)
                    // Along a row, the step is one texel across and none down.
                    if (alongRow && length == SubspanLength
                        && StaysInside(steps.s, TexelOne, SubspanLength - 1, level.width)
                        && StaysInside(steps.t, 0, SubspanLength - 1, level.height))
                        return ShadeAlongRow(
                            modulated, InsideWalk::Of(level, steps), steps, run, shading, stored, pixels);
#endif
                    ShadeRun<Textured, Fogged>(shading, steps, length, run, stored.depths, stored.orders, pixels);
                },
                [&](int) { facing.Next(); });
        }
    }
    shadeRuns(
        [&](int length, const RunDepths& run) {
            ShadeRun<Textured, Fogged>(
                shading, span.Run(length, runSetUp), length, run, stored.depths, stored.orders, pixels);
        },
        [&](int length) { span.Advance(length); });
}

void Rasterizer::DrawLine(const ScreenVertex& a, const ScreenVertex& b, const Shading& shading)
{
    // A quad LineWidth wide around the segment, split into two triangles.
    float dx = float(b.x - a.x), dy = float(b.y - a.y);
    float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0))
        return DrawPoint(a, shading);
    float scale = LineWidth * 0.5f * SubpixelScale / length;
    auto offsetX = int32_t(std::lrint(-dy * scale)), offsetY = int32_t(std::lrint(dx * scale));
    auto shifted = [](ScreenVertex vertex, int32_t x, int32_t y) {
        vertex.x += x;
        vertex.y += y;
        return vertex;
    };
    ScreenVertex a0 = shifted(a, offsetX, offsetY), a1 = shifted(a, -offsetX, -offsetY);
    ScreenVertex b0 = shifted(b, offsetX, offsetY), b1 = shifted(b, -offsetX, -offsetY);
    DrawTriangle(a0, a1, b1, shading);
    DrawTriangle(a0, b1, b0, shading);
}

void Rasterizer::DrawPoint(const ScreenVertex& point, const Shading& shading)
{
    // A square one line width across, centred on the point.
    constexpr int32_t Half = int32_t(LineWidth * SubpixelScale) / 2;
    ScreenVertex corners[4] = { point, point, point, point };
    corners[0].x -= Half, corners[0].y -= Half;
    corners[1].x += Half, corners[1].y -= Half;
    corners[2].x += Half, corners[2].y += Half;
    corners[3].x -= Half, corners[3].y += Half;
    DrawTriangle(corners[0], corners[1], corners[2], shading);
    DrawTriangle(corners[0], corners[2], corners[3], shading);
}

}
