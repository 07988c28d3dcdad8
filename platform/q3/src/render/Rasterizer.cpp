// The reference path: how one pixel of a textured, fogged triangle gets
// from the device's call to the frame, step by step, and what does each.
// From the spans on, the fast paths (FastSpans.cpp) take the same steps,
// faster, to the same bytes; the formats of the numbers are in Tunables.h.
//
//  1. Clip and winding. The device culls back faces, clips the triangle in
//     homogeneous space (Clipper::ClipPolygon) and projects its corners,
//     snapped to subpixels (Project). DrawTriangle drops it without area
//     and winds it one way (SignedArea), so that its edge functions are
//     positive inside.
//  2. Edges and the top-left rule: EdgesOf, integer edge functions biased
//     so that a pixel centre on an edge two triangles share goes to one.
//  3. Planes: SetUpPlanes, the plane equations of depth, 1/w and the
//     varyings over w (their indices are in Shading.h).
//  4. Mip level: LevelFor, one level of detail for the whole triangle
//     (ChooseLevel, Sampler.h); and FacingStepsOf, whether its texel
//     positions step evenly along a row.
//  5. Rows: FillTriangle, the pixels of each row inside all three edges,
//     where each edge crosses the row walked exactly (Crossing).
//  6. Spans and runs: a row's span goes to the fast paths
//     (FastSpans::Shade), which hand back any they cannot do, to ShadeSpan.
//     It shades the span in runs of SubspanLength pixels (SpanRuns), each
//     set up from the interpolants divided by w at its ends (PlainRunSteps,
//     RunSteps.h), or on a triangle facing the eye moved on from the span's
//     first run by additions (FacingRuns, RunSteps.h).
//  7. Fixed-point stepping: PixelSteps, from pixel to pixel across a run:
//     the lit color's factors and the fog (Stepper, Pixels.h), and texel
//     positions, wrapped or left for clamping (Stepped, Sampler.h).
//  8. Texel: PixelSteps::Color, four texels filtered (SampleBilinear,
//     Sampler.h) times the lit color (ScalarPixels::Factors, Pixels.h).
//  9. Depth: ShadeIfPasses, the depth test (Passes, DepthBuffer.h).
// 10. Fog, blend and store: ShadePixel (Shading.h), the recipe of one
//     pixel, which the fast paths' pixels follow too.

#include "Rasterizer.h"

#include "FastSpans.h"
#include "Pixels.h"
#include "RunSteps.h"
#include "Tunables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace q3::render {

namespace {

    // A color component from 0 to 1 as a channel. NaN, which no valid
    // input makes, still lands on a channel value.
    uint32_t ToChannel(float component)
    {
        const float value = component * float(Opaque);
        if (!(value > 0))
            return 0;
        return value < float(Opaque) ? uint32_t(value + 0.5f) : Opaque;
    }

    ScalarPixels::Color FogPixel(const TQ3ColorRGB& color)
    {
        return ScalarPixels::Make(0, ToChannel(color.r), ToChannel(color.g), ToChannel(color.b));
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

}

struct Rasterizer::Setup {
    int left { 0 };
    int top { 0 };
    int right { 0 }; // exclusive
    int bottom { 0 }; // exclusive
    // Set for every triangle drawn, so left alone until then: clearing
    // them first costs more than a small triangle's set-up.
    std::array<Edge, 3> edges;
    TriangleSpans spans;
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
    // the eye, evenly lit: its corners' colors the same to within
    // FacingColorTolerance, which interpolation keeps all over it, and 1/w
    // so nearly the same all over it that positions on the texture step
    // linearly across the screen, to within FacingTexelTolerance of a
    // texel. The backdrop behind the scene is such a triangle. `width` and `height` are those of the
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
            reach = std::max(
                { reach, std::fabs(at(i, U) - at(j, U)) * level.width, std::fabs(at(i, V) - at(j, V)) * level.height });
        }
        const double spread
            = (std::fabs(double(stepX[InverseW])) * width + std::fabs(double(stepY[InverseW])) * height) / inverseW;
        // Texels cross the screen at less than a texture a pixel.
        const double s = double(stepX[FirstVarying + U]) / inverseW * level.width;
        const double t = -double(stepX[FirstVarying + V]) / inverseW * level.height;
        if (!(spread * reach <= FacingTexelTolerance && std::fabs(s) < level.width && std::fabs(t) < level.height))
            return std::nullopt;
        double color = 0;
        for (auto [i, j] : CornerPairs) {
            for (int channel : { Red, Green, Blue })
                color = std::max(color, std::fabs(at(i, channel) - at(j, channel)));
        }
        if (!(color <= FacingColorTolerance))
            return std::nullopt;
        const double scale = double(TexelOne) * double(int64_t(1) << FacingFineBits);
        return FacingSteps { std::llround(s * scale), std::llround(t * scale) };
    }

}

void Rasterizer::Begin(const Target& target, const Pane& pane, TQ3ColorRGB clear)
{
    mDrawing = false;
    mShadedPixels = 0;
    mTarget = target;
    int paneWidth = pane.right - pane.left, paneHeight = pane.bottom - pane.top;
    bool targetUsable = target.pixels && target.width > 0 && target.height > 0
        && int64_t(target.rowBytes) >= int64_t(target.width) * PixelBytes;
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
    uint32_t pixel = PackPixel(ToChannel(clear.r), ToChannel(clear.g), ToChannel(clear.b));
    for (int y = mScissor.top; y < mScissor.bottom; ++y) {
        uint8_t* row = mTarget.pixels + size_t(y) * size_t(mTarget.rowBytes) + size_t(mScissor.left) * PixelBytes;
        std::memcpy(row, &pixel, sizeof pixel);
        // Each copy doubles what is set, from the pixels already set.
        for (size_t done = 1; done < size_t(width); done *= 2)
            std::memcpy(row + done * PixelBytes, row, std::min(done, size_t(width) - done) * PixelBytes);
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
    int32_t minX = std::min({ v[0]->x, v[1]->x, v[2]->x }), maxX = std::max({ v[0]->x, v[1]->x, v[2]->x });
    int32_t minY = std::min({ v[0]->y, v[1]->y, v[2]->y }), maxY = std::max({ v[0]->y, v[1]->y, v[2]->y });
    setup.left = std::max(FirstPixelAtOrAfter(minX), mScissor.left);
    setup.right = std::min(FirstPixelAtOrAfter(maxX + 1), mScissor.right);
    setup.top = std::max(FirstPixelAtOrAfter(minY), mScissor.top);
    setup.bottom = std::min(FirstPixelAtOrAfter(maxY + 1), mScissor.bottom);
    if (setup.left >= setup.right || setup.top >= setup.bottom)
        return;

    setup.edges = EdgesOf(v, setup.left, setup.top);
    TriangleSpans& spans = setup.spans;
    SetUpPlanes(v, setup.left, setup.top, spans.origin, spans.stepX, spans.stepY);
    spans.shading = { shading, nullptr, FogPixel(shading.fogColor) };
    if (shading.texture) {
        spans.shading.level = &LevelFor(*shading.texture, v, area);
        if (!shading.fog)
            spans.facing = FacingStepsOf(v, *spans.shading.level, spans.origin, spans.stepX, spans.stepY,
                setup.right - setup.left, setup.bottom - setup.top);
    }
    FillTriangle(setup);
}

void Rasterizer::FillTriangle(const Setup& setup)
{
    const int width = setup.right - setup.left;
    const FastSpans fast(setup.spans);
    // The pixels of a row inside all three edges: from where the last
    // rising edge turns non-negative to where the first falling one turns
    // negative. A vertical edge is inside the whole row or none of it.
    std::array<Crossing, 3> crossings { Crossing(setup.edges[0]), Crossing(setup.edges[1]), Crossing(setup.edges[2]) };

    uint64_t shaded = 0;
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

        const int x = setup.left + int(first);
        const int row = y - mScissor.top, column = x - mScissor.left;
        const RowSpan span { float(y - setup.top), float(first), int(last - first + 1),
            { mDepth.Row(row) + column, mDepth.Orders(row) + column },
            mTarget.pixels + size_t(y) * size_t(mTarget.rowBytes) + size_t(x) * PixelBytes };
        const std::optional<uint64_t> shadedFast = fast.Shade(span);
        shaded += shadedFast ? *shadedFast : ShadeSpan(setup.spans, span);
    }
    mShadedPixels += shaded;
}

namespace {

    // Where a run's pixels are, one after another: the factors of the lit
    // color, the fog and the texel position, each stepped linearly from
    // the run's first pixel. Texel positions wrap at every step, or step
    // freely and are clamped onto the texture where read.
    class PixelSteps {
    public:
        PixelSteps(const RunSteps& steps, const SpanShading& shading)
            : mShading(shading)
            , mFactors(steps.factors, steps.factorSteps)
            , mFog(Stepper::Fixed(steps.fog, steps.fogStep))
            , mS(steps.s)
            , mT(steps.t)
            , mStepS(steps.stepS)
            , mStepT(steps.stepT)
        {
        }

        // The texel here, or white without a texture, times the lit color.
        ScalarPixels::Color Color() const
        {
            const TextureLevel* level = mShading.level;
            if (!level)
                return mFactors.Apply(ScalarPixels::Make(Opaque, Opaque, Opaque, Opaque));
            return mFactors.Apply(ScalarPixels::Sample(*level, OnTexture(mS, level->width, mShading.uBoundary),
                OnTexture(mT, level->height, mShading.vBoundary)));
        }
        // How much of the color the fog leaves, in 1/FactorOne.
        uint32_t FogClear() const { return mFog.Fraction(); }

        void Next()
        {
            mFactors.Step();
            mFog.Step();
            if (const TextureLevel* level = mShading.level) {
                mS = Stepped(mS, mStepS, level->width, mShading.uBoundary);
                mT = Stepped(mT, mStepT, level->height, mShading.vBoundary);
            }
        }

    private:
        const SpanShading& mShading;
        ScalarPixels::Factors mFactors;
        Stepper mFog;
        int32_t mS;
        int32_t mT;
        int32_t mStepS;
        int32_t mStepT;
    };

    // Shades one pixel at `depth` (see ShadePixel) if it passes the depth
    // test; true when it passed.
    bool ShadeIfPasses(const SpanShading& shading, const PixelSteps& at, float depth, DepthRow stored, uint8_t* pixel)
    {
        if (!Passes(depth, stored.depths[0], stored.orders[0], shading.order))
            return false;
        if (shading.fog)
            ShadePixel<ScalarPixels, true>(at.Color(), at.FogClear(), shading, depth, stored, pixel);
        else
            ShadePixel<ScalarPixels, false>(at.Color(), 0, shading, depth, stored, pixel);
        return true;
    }

    // Where each run of a span starts and how it steps: divided by w at
    // its ends, or, on a triangle facing the eye, moved on by additions
    // from the span's first run.
    class SpanRuns {
    public:
        SpanRuns(const TriangleSpans& triangle, const RowSpan& span)
            : mShading(triangle.shading)
            , mInterpolants(triangle.origin, triangle.stepY, triangle.stepX, span.row, span.column)
        {
            if (triangle.facing)
                mFacing.emplace(
                    mInterpolants.Run(std::min(span.count, SubspanLength), mShading), *triangle.facing, mShading);
        }

        float FirstDepth() const { return mInterpolants.FirstDepth(); }
        RunSteps Steps(int length) const { return mFacing ? mFacing->Steps() : mInterpolants.Run(length, mShading); }
        void Next(int length) { mFacing ? mFacing->Next() : mInterpolants.Advance(length); }

    private:
        const SpanShading& mShading;
        SpanInterpolants mInterpolants;
        std::optional<FacingRuns> mFacing {};
    };

}

// The reference span: runs of SubspanLength pixels, each set up at its
// ends (see RunSteps.h), and each pixel of a run shaded by itself. Depths
// step from run to run by whole runs, as the fast paths step them.
// Returns how many pixels were shaded.
uint64_t Rasterizer::ShadeSpan(const TriangleSpans& triangle, const RowSpan& span)
{
    const float depthStep = triangle.stepX[Depth];
    SpanRuns runs(triangle, span);
    float depth = runs.FirstDepth();
    uint64_t shaded = 0;
    for (int done = 0; done < span.count; done += SubspanLength) {
        const int length = std::min(span.count - done, SubspanLength);
        PixelSteps at(runs.Steps(length), triangle.shading);
        for (int i = 0; i < length; ++i) {
            shaded += ShadeIfPasses(triangle.shading, at, depth + depthStep * float(i), span.stored + (done + i),
                span.pixels + size_t(done + i) * PixelBytes);
            at.Next();
        }
        depth += depthStep * float(length);
        runs.Next(length);
    }
    return shaded;
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
