#include "render/Rasterizer.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace q3::render;

namespace {

constexpr int Size = 16;

// A triangle covering the whole target at one depth, in one color.
std::array<ScreenVertex, 3> Covering(float depth, TQ3ColorRGB color)
{
    std::array<ScreenVertex, 3> corners;
    const int32_t far = 4 * Size * SubpixelScale;
    const int32_t positions[3][2] = { { -far, -far }, { -far, 3 * far }, { 3 * far, -far } };
    for (int i = 0; i < 3; ++i) {
        corners[i].x = positions[i][0];
        corners[i].y = positions[i][1];
        corners[i].depth = depth;
        corners[i].varyings[Red] = color.r;
        corners[i].varyings[Green] = color.g;
        corners[i].varyings[Blue] = color.b;
    }
    return corners;
}

// The red byte of the target's pixel in the middle.
class Canvas {
public:
    Canvas() { mRasterizer.Begin({ mPixels.data(), Size, Size, Size * 4 }, { 0, 0, Size, Size }, { 0, 0, 0 }); }

    Canvas& Draw(float depth, TQ3ColorRGB color, uint32_t order)
    {
        Shading shading;
        shading.order = order;
        auto corners = Covering(depth, color);
        mRasterizer.DrawTriangle(corners[0], corners[1], corners[2], shading);
        return *this;
    }

    int MiddleRed() const { return mPixels[(Size / 2 * Size + Size / 2) * 4 + 1]; }

private:
    std::vector<uint8_t> mPixels = std::vector<uint8_t>(Size * Size * 4);
    Rasterizer mRasterizer {};
};

}

TEST(RasterizerDepth, AtEqualDepthTheEarlierOrderWinsWhateverCameFirst)
{
    const TQ3ColorRGB bright { 1, 1, 1 }, dim { 0.5f, 0.5f, 0.5f };
    EXPECT_EQ(Canvas().Draw(0.5f, bright, 1).Draw(0.5f, dim, 2).MiddleRed(), 255);
    EXPECT_EQ(Canvas().Draw(0.5f, dim, 2).Draw(0.5f, bright, 1).MiddleRed(), 255);
    // Of one order, the first drawn stays.
    EXPECT_EQ(Canvas().Draw(0.5f, dim, 3).Draw(0.5f, bright, 3).MiddleRed(), 127);
    // Nearer still wins over an earlier order, and nothing ties the far plane.
    EXPECT_EQ(Canvas().Draw(0.5f, dim, 2).Draw(0.25f, bright, 5).MiddleRed(), 255);
    EXPECT_EQ(Canvas().Draw(1.0f, bright, 0).MiddleRed(), 0);
}

// A texture at its own size, facing the eye: each pixel centre falls on a
// texel centre, so every pixel shows its texel exactly. Rows of whole runs
// read their texels as neighbours, four at a time.
TEST(RasterizerTexturing, TexelsOneToAPixelShowAsTheyAre)
{
    constexpr uint32_t TextureWidth = 2 * Size;
    std::mt19937 random(29);
    std::vector<uint32_t> texels(TextureWidth * Size);
    for (uint32_t& texel : texels)
        texel = 0xFF000000u | (random() & 0xFFFFFFu);
    const auto texture = q3::render::testing::MakeTexture(texels, TextureWidth, Size);

    // u = x / TextureWidth and v = -y / Size, x and y in pixels, so that
    // wrapped, pixel (x, y) lands on the centre of texel (x, y).
    std::array<ScreenVertex, 3> corners;
    const float positions[3][2] = { { -16, -16 }, { -16, 48 }, { 48, -16 } };
    for (int i = 0; i < 3; ++i) {
        corners[i].x = int32_t(positions[i][0] * SubpixelScale);
        corners[i].y = int32_t(positions[i][1] * SubpixelScale);
        corners[i].varyings = { 1, 1, 1, positions[i][0] / TextureWidth, -positions[i][1] / Size, 1 };
    }
    Shading shading;
    shading.texture = texture.get();
    std::vector<uint8_t> pixels(Size * Size * 4);
    Rasterizer rasterizer;
    rasterizer.Begin({ pixels.data(), Size, Size, Size * 4 }, { 0, 0, Size, Size }, { 0, 0, 0 });
    rasterizer.DrawTriangle(corners[0], corners[1], corners[2], shading);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            const uint32_t texel = texels[size_t(y) * TextureWidth + size_t(x)];
            const uint8_t* pixel = pixels.data() + (size_t(y) * Size + size_t(x)) * 4;
            ASSERT_EQ(pixel[1], (texel >> 16) & 0xFF) << x << ", " << y;
            ASSERT_EQ(pixel[2], (texel >> 8) & 0xFF) << x << ", " << y;
            ASSERT_EQ(pixel[3], texel & 0xFF) << x << ", " << y;
        }
    }
}

// The pixels a triangle covers, row by row, are exactly those whose centres
// lie inside all three edges, an edge's own centres going to the triangle
// on its top or left: checked pixel by pixel against the edge functions for
// triangles of every slant, size and place, most reaching past the target.
TEST(RasterizerCoverage, RowsHoldExactlyThePixelsInsideAllThreeEdges)
{
    std::mt19937 random(31);
    auto coordinate = [&](int trial) {
        const int32_t reach = trial % 4 == 0 ? (1 << 20) : 3 * Size * SubpixelScale;
        return int32_t(random() % uint32_t(2 * reach)) - reach / 2;
    };
    for (int trial = 0; trial < 3000; ++trial) {
        std::array<ScreenVertex, 3> corners;
        for (ScreenVertex& corner : corners) {
            corner.x = coordinate(trial);
            corner.y = coordinate(trial);
            corner.varyings = { 1, 1, 1, 0, 0, 1 };
        }
        // Some edges straight across or down.
        if (trial % 5 == 1)
            corners[1].y = corners[0].y;
        if (trial % 5 == 2)
            corners[2].x = corners[1].x;
        std::vector<uint8_t> pixels(Size * Size * 4);
        Rasterizer rasterizer;
        rasterizer.Begin({ pixels.data(), Size, Size, Size * 4 }, { 0, 0, Size, Size }, { 0, 0, 0 });
        rasterizer.DrawTriangle(corners[0], corners[1], corners[2], Shading {});

        // Wound so that inside is where every edge function is positive.
        const ScreenVertex* v[3] = { &corners[0], &corners[1], &corners[2] };
        if (Rasterizer::SignedArea(corners[0], corners[1], corners[2]) < 0)
            std::swap(v[1], v[2]);
        const bool empty = Rasterizer::SignedArea(corners[0], corners[1], corners[2]) == 0;
        for (int y = 0; y < Size; ++y) {
            for (int x = 0; x < Size; ++x) {
                const int64_t centreX = int64_t(x) * SubpixelScale + SubpixelScale / 2;
                const int64_t centreY = int64_t(y) * SubpixelScale + SubpixelScale / 2;
                bool inside = !empty;
                for (int i = 0; i < 3; ++i) {
                    const ScreenVertex &from = *v[i], &to = *v[(i + 1) % 3];
                    const int64_t dx = to.x - from.x, dy = to.y - from.y;
                    const int64_t value = dx * (centreY - from.y) - dy * (centreX - from.x);
                    const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
                    inside = inside && (value > 0 || (value == 0 && topLeft));
                }
                const bool drawn = pixels[(size_t(y) * Size + size_t(x)) * 4 + 1] != 0;
                ASSERT_EQ(drawn, inside) << "trial " << trial << " at " << x << ", " << y;
            }
        }
    }
}
