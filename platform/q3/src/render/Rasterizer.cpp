#include "Rasterizer.h"

#include "Sampler.h"
#include "Tunables.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace Q3::Render {

namespace {

    // What the triangle loop interpolates: depth, 1/w, then the varyings over w.
    constexpr int Depth = 0;
    constexpr int InverseW = 1;
    constexpr int FirstVarying = 2;
    constexpr int InterpolantCount = FirstVarying + VaryingCount;
    using Interpolants = std::array<float, InterpolantCount>;

    constexpr float ChannelMaximum = 255;
    constexpr uint32_t Opaque = 255;

    // Pixels are stored as bytes A, R, G, B in memory order, whatever the host.
    uint32_t PackPixel(uint32_t r, uint32_t g, uint32_t b)
    {
        if constexpr (std::endian::native == std::endian::little)
            return (b << 24) | (g << 16) | (r << 8) | Opaque;
        else
            return (Opaque << 24) | (r << 16) | (g << 8) | b;
    }

    void UnpackPixel(uint32_t pixel, float& r, float& g, float& b)
    {
        if constexpr (std::endian::native == std::endian::little) {
            r = float((pixel >> 8) & 0xFF);
            g = float((pixel >> 16) & 0xFF);
            b = float(pixel >> 24);
        } else {
            r = float((pixel >> 16) & 0xFF);
            g = float((pixel >> 8) & 0xFF);
            b = float(pixel & 0xFF);
        }
    }

    // NaN, which no valid input makes, still lands on a channel value.
    uint32_t ToChannel(float value)
    {
        if (!(value > 0))
            return 0;
        return value < ChannelMaximum ? uint32_t(value + 0.5f) : Opaque;
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
    int64_t stepX { 0 };
    int64_t stepY { 0 };
    int64_t atOrigin { 0 }; // at the centre of the bounding box's top-left pixel
    double inverseStepX { 0 };
};

struct Rasterizer::Setup {
    int left { 0 };
    int top { 0 };
    int right { 0 }; // exclusive
    int bottom { 0 }; // exclusive
    std::array<Edge, 3> edges {};
    Interpolants origin {};
    Interpolants stepX {};
    Interpolants stepY {};
    const TextureLevel* level { nullptr };
};

void Rasterizer::Begin(const Target& target, const Pane& pane, TQ3ColorRGB clear)
{
    m_drawing = false;
    m_target = target;
    int paneWidth = pane.right - pane.left, paneHeight = pane.bottom - pane.top;
    bool targetUsable = target.pixels && target.width > 0 && target.height > 0
        && int64_t(target.rowBytes) >= int64_t(target.width) * 4;
    if (!targetUsable || paneWidth <= 0 || paneHeight <= 0 || paneWidth > MaximumPaneSize
        || paneHeight > MaximumPaneSize)
        return;
    m_scissor = { std::max(pane.left, 0), std::max(pane.top, 0), std::min(pane.right, target.width),
        std::min(pane.bottom, target.height) };
    if (m_scissor.left >= m_scissor.right || m_scissor.top >= m_scissor.bottom)
        return;
    m_paneLeft = float(pane.left);
    m_paneTop = float(pane.top);
    m_paneWidth = float(paneWidth);
    m_paneHeight = float(paneHeight);
    m_drawing = true;

    int width = m_scissor.right - m_scissor.left, height = m_scissor.bottom - m_scissor.top;
    m_depth.Reset(width, height);
    uint32_t pixel = PackPixel(
        ToChannel(clear.r * ChannelMaximum), ToChannel(clear.g * ChannelMaximum), ToChannel(clear.b * ChannelMaximum));
    for (int y = m_scissor.top; y < m_scissor.bottom; ++y) {
        uint8_t* row = m_target.pixels + size_t(y) * size_t(m_target.rowBytes) + size_t(m_scissor.left) * 4;
        for (int x = 0; x < width; ++x)
            std::memcpy(row + size_t(x) * 4, &pixel, sizeof pixel);
    }
}

ScreenVertex Rasterizer::Project(const ClipVertex& vertex) const
{
    ScreenVertex result;
    result.inverseW = 1 / vertex.w;
    float x = vertex.x * result.inverseW, y = vertex.y * result.inverseW;
    result.x = int32_t(std::lrint((m_paneLeft + (x + 1) * 0.5f * m_paneWidth) * SubpixelScale));
    result.y = int32_t(std::lrint((m_paneTop + (1 - y) * 0.5f * m_paneHeight) * SubpixelScale));
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
    if (!m_drawing)
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
    setup.left = std::max(FirstPixelAtOrAfter(minX), m_scissor.left);
    setup.right = std::min(FirstPixelAtOrAfter(maxX + 1), m_scissor.right);
    setup.top = std::max(FirstPixelAtOrAfter(minY), m_scissor.top);
    setup.bottom = std::min(FirstPixelAtOrAfter(maxY + 1), m_scissor.bottom);
    if (setup.left >= setup.right || setup.top >= setup.bottom)
        return;

    int64_t originX = int64_t(setup.left) * SubpixelScale + SubpixelScale / 2;
    int64_t originY = int64_t(setup.top) * SubpixelScale + SubpixelScale / 2;
    for (int i = 0; i < 3; ++i) {
        const ScreenVertex& from = *v[i];
        const ScreenVertex& to = *v[(i + 1) % 3];
        int64_t dx = to.x - from.x, dy = to.y - from.y;
        // With y pointing down, a top edge runs right along the top and a
        // left edge runs up the left side.
        bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        Edge& edge = setup.edges[i];
        edge.stepX = -dy * SubpixelScale;
        edge.stepY = dx * SubpixelScale;
        edge.atOrigin = dx * (originY - from.y) - dy * (originX - from.x) - (topLeft ? 0 : 1);
        edge.inverseStepX = edge.stepX != 0 ? 1.0 / double(edge.stepX) : 0.0;
    }

    // Plane equations of the interpolants, in pixels, from the snapped positions.
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
    float centreX = float(setup.left) + 0.5f - x0, centreY = float(setup.top) + 0.5f - y0;
    for (int i = 0; i < InterpolantCount; ++i) {
        float d1 = a1[i] - a0[i], d2 = a2[i] - a0[i];
        setup.stepX[i] = (d1 * y2 - d2 * y1) * inverseArea;
        setup.stepY[i] = (d2 * x1 - d1 * x2) * inverseArea;
        setup.origin[i] = a0[i] + setup.stepX[i] * centreX + setup.stepY[i] * centreY;
    }

    if (shading.texture) {
        // One level of detail for the whole triangle, from how many texels
        // of the base level its pixels cover on average.
        const Texture& texture = *shading.texture;
        auto uv = [](const ScreenVertex& vertex, int varying) { return vertex.varyings[varying] / vertex.inverseW; };
        float du1 = (uv(*v[1], U) - uv(*v[0], U)) * float(texture.Width());
        float dv1 = (uv(*v[1], V) - uv(*v[0], V)) * float(texture.Height());
        float du2 = (uv(*v[2], U) - uv(*v[0], U)) * float(texture.Width());
        float dv2 = (uv(*v[2], V) - uv(*v[0], V)) * float(texture.Height());
        float texelArea = std::fabs(du1 * dv2 - du2 * dv1);
        float pixelArea = float(area) / float(SubpixelScale * SubpixelScale);
        setup.level = &texture.Level(ChooseLevel(texture, std::sqrt(texelArea / pixelArea)));
    }

    if (setup.level)
        shading.fog ? FillTriangle<true, true>(setup) : FillTriangle<true, false>(setup);
    else
        shading.fog ? FillTriangle<false, true>(setup) : FillTriangle<false, false>(setup);
}

template <bool Textured, bool Fogged> void Rasterizer::FillTriangle(const Setup& setup)
{
    const int width = setup.right - setup.left;
    std::array<int64_t, 3> rowValues;
    for (int i = 0; i < 3; ++i)
        rowValues[i] = setup.edges[i].atOrigin;
    const float fogR = m_fogColor.r * ChannelMaximum, fogG = m_fogColor.g * ChannelMaximum,
                fogB = m_fogColor.b * ChannelMaximum;

    for (int y = setup.top; y < setup.bottom; ++y) {
        // The pixels of this row inside all three edges: the span starts
        // where the last rising edge turns non-negative and ends where the
        // first falling one turns negative. A floating estimate is corrected
        // by exact integer tests, so the result is exact.
        int first = 0, last = width - 1;
        for (int i = 0; i < 3 && first <= last; ++i) {
            const Edge& edge = setup.edges[i];
            int64_t value = rowValues[i];
            auto inside = [&](int64_t x) { return value + edge.stepX * x >= 0; };
            if (edge.stepX == 0) {
                if (value < 0)
                    last = -1;
            } else if (edge.stepX > 0) {
                int64_t k = std::clamp<int64_t>(int64_t(std::ceil(-double(value) * edge.inverseStepX)), 0, width);
                while (k > 0 && inside(k - 1))
                    --k;
                while (k < width && !inside(k))
                    ++k;
                first = std::max(first, int(k));
                if (k == width)
                    last = -1;
            } else {
                int64_t k = std::clamp<int64_t>(int64_t(std::floor(-double(value) * edge.inverseStepX)), -1, width - 1);
                while (k < width - 1 && inside(k + 1))
                    ++k;
                while (k >= 0 && !inside(k))
                    --k;
                last = std::min(last, int(k));
            }
        }
        for (int i = 0; i < 3; ++i)
            rowValues[i] += setup.edges[i].stepY;
        if (first > last)
            continue;

        Interpolants value;
        float rowOffset = float(y - setup.top), columnOffset = float(first);
        for (int i = 0; i < InterpolantCount; ++i)
            value[i] = setup.origin[i] + setup.stepY[i] * rowOffset + setup.stepX[i] * columnOffset;

        int x = setup.left + first;
        float* depthRow = m_depth.Row(y - m_scissor.top) + (x - m_scissor.left);
        uint8_t* pixelRow = m_target.pixels + size_t(y) * size_t(m_target.rowBytes) + size_t(x) * 4;
        for (int count = last - first + 1; count > 0; --count, ++depthRow, pixelRow += 4) {
            if (value[Depth] < *depthRow) {
                float w = 1 / value[InverseW];
                float r = value[FirstVarying + Red] * w * ChannelMaximum;
                float g = value[FirstVarying + Green] * w * ChannelMaximum;
                float b = value[FirstVarying + Blue] * w * ChannelMaximum;
                uint32_t alpha = Opaque;
                if constexpr (Textured) {
                    uint32_t texel
                        = SampleBilinear(*setup.level, value[FirstVarying + U] * w, value[FirstVarying + V] * w);
                    alpha = texel >> 24;
                    constexpr float Unit = 1 / ChannelMaximum;
                    r *= float((texel >> 16) & 0xFF) * Unit;
                    g *= float((texel >> 8) & 0xFF) * Unit;
                    b *= float(texel & 0xFF) * Unit;
                }
                if (alpha != 0) {
                    float coverage = float(alpha) / ChannelMaximum;
                    if constexpr (Fogged) {
                        // Colours are premultiplied, so the fog is too.
                        float clear = std::clamp(value[FirstVarying + FogFactor] * w, 0.0f, 1.0f);
                        float fogged = (1 - clear) * coverage;
                        r = r * clear + fogR * fogged;
                        g = g * clear + fogG * fogged;
                        b = b * clear + fogB * fogged;
                    }
                    if (alpha != Opaque) {
                        // Blend over what is there and leave the depth, so
                        // that whatever lies behind still shows through.
                        uint32_t pixel;
                        std::memcpy(&pixel, pixelRow, sizeof pixel);
                        float behindR, behindG, behindB;
                        UnpackPixel(pixel, behindR, behindG, behindB);
                        float through = 1 - coverage;
                        r += behindR * through;
                        g += behindG * through;
                        b += behindB * through;
                    } else {
                        *depthRow = value[Depth];
                    }
                    uint32_t pixel = PackPixel(ToChannel(r), ToChannel(g), ToChannel(b));
                    std::memcpy(pixelRow, &pixel, sizeof pixel);
                }
            }
            for (int i = 0; i < InterpolantCount; ++i)
                value[i] += setup.stepX[i];
        }
    }
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
