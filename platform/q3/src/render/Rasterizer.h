#pragma once

// The rasteriser: projects clipped vertices onto the pane and fills
// triangles with a depth test. Lines and points are drawn as thin quads
// through the same triangle loop. A triangle is set up with integer edges,
// filled row by row, and each row's span is drawn by the fast paths
// (FastSpans.h) or, when they hand it back, by the reference path, pixel
// by pixel.
//
// The reference path is the fast paths' scalar twin: it takes the same
// steps in plain integers, one pixel at a time, and draws the same bytes,
// so that it shows what the fast paths compute and checks that they do.
// The reference build (TERRASLIDE_REFERENCE_RASTER) draws with it alone.
// Rasterizer.cpp opens with a walk of one pixel through it.

#include "Clipper.h"
#include "DepthBuffer.h"
#include "Device.h"
#include "Shading.h"

namespace q3::render {

// A projected vertex: position snapped to subpixels, depth from 0 at hither
// to 1 at yon, and 1/w with the varyings already divided by w, so that all
// of them interpolate linearly across the screen.
struct ScreenVertex {
    int32_t x { 0 };
    int32_t y { 0 };
    float depth { 0 };
    float inverseW { 1 };
    std::array<float, VaryingCount> varyings {};
};

class Rasterizer {
public:
    // Starts a frame and clears the pane's visible part. Until the next
    // Begin, nothing is drawn if the target or the pane cannot be drawn in.
    void Begin(const Target& target, const Pane& pane, TQ3ColorRGB clear);
    bool IsDrawing() const { return mDrawing; }

    // The vertex must lie inside the clipped volume (guard band included).
    ScreenVertex Project(const ClipVertex& vertex) const;

    // Twice the area in square subpixels: negative for a triangle that is
    // counter-clockwise as seen, which is the front.
    static int64_t SignedArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);

    void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const Shading& shading);
    void DrawLine(const ScreenVertex& a, const ScreenVertex& b, const Shading& shading);
    void DrawPoint(const ScreenVertex& point, const Shading& shading);

    // How many pixels passed the depth test and were shaded since Begin,
    // whether they showed or not: the work hidden surfaces cost.
    uint64_t ShadedPixels() const { return mShadedPixels; }

private:
    struct Setup;
    void FillTriangle(const Setup& setup);
    static uint64_t ShadeSpan(const TriangleSpans& triangle, const RowSpan& span);

    Target mTarget {};
    // The pane's extent in pixels, for the projection.
    float mPaneLeft { 0 };
    float mPaneTop { 0 };
    float mPaneWidth { 0 };
    float mPaneHeight { 0 };
    // The part of the pane inside the target: the only pixels ever written.
    Pane mScissor {};
    bool mDrawing { false };
    DepthBuffer mDepth {};
    uint64_t mShadedPixels { 0 };
};

}
