#include "render/Rasterizer.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace q3::render;

namespace {

constexpr int Size = 16;

// A triangle at one depth, in one color; corners in pixels.
std::array<ScreenVertex, 3> Flat(const float (&positions)[3][2], float depth, TQ3ColorRGB color)
{
    std::array<ScreenVertex, 3> corners;
    for (int i = 0; i < 3; ++i) {
        corners[i].x = int32_t(positions[i][0] * SubpixelScale);
        corners[i].y = int32_t(positions[i][1] * SubpixelScale);
        corners[i].depth = depth;
        corners[i].varyings[Red] = color.r;
        corners[i].varyings[Green] = color.g;
        corners[i].varyings[Blue] = color.b;
    }
    return corners;
}

// A triangle covering the whole target at one depth, in one color.
std::array<ScreenVertex, 3> Covering(float depth, TQ3ColorRGB color)
{
    constexpr float Far = 4 * Size;
    return Flat({ { -Far, -Far }, { -Far, 3 * Far }, { 3 * Far, -Far } }, depth, color);
}

void Draw(Rasterizer& rasterizer, const std::array<ScreenVertex, 3>& corners, const Shading& shading)
{
    rasterizer.DrawTriangle(corners[0], corners[1], corners[2], shading);
}

// One textured triangle on a black target `size` pixels square.
std::vector<uint8_t> DrawTextured(const std::array<ScreenVertex, 3>& corners, const DecodedTexture& texture, int size)
{
    Shading shading;
    shading.texture = &texture;
    std::vector<uint8_t> pixels(size_t(size) * size_t(size) * 4);
    Rasterizer rasterizer;
    rasterizer.Begin({ pixels.data(), size, size, size * 4 }, { 0, 0, size, size }, { 0, 0, 0 });
    Draw(rasterizer, corners, shading);
    return pixels;
}

// The red byte of the target's pixel in the middle.
class Canvas {
public:
    Canvas() { mRasterizer.Begin({ mPixels.data(), Size, Size, Size * 4 }, { 0, 0, Size, Size }, { 0, 0, 0 }); }

    Canvas& Draw(float depth, TQ3ColorRGB color, uint32_t order)
    {
        Shading shading;
        shading.order = order;
        ::Draw(mRasterizer, Covering(depth, color), shading);
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

// Two planes crossing on a slanted line, across rows of several runs: each
// pixel shows the one nearer at its centre, wherever along a run it lies.
TEST(RasterizerDepth, CrossingSurfacesMeetWhereTheirDepthsCross)
{
    constexpr int Wide = 64;
    // Depths as planes over the pixel grid, in pixels.
    auto nearerLeft = [](double x, double) { return 0.3 + 0.4 * x / Wide; };
    auto nearerAbove = [](double x, double y) { return 0.35 + 0.1 * x / Wide + 0.3 * y / Wide; };
    auto covering = [](auto depthAt, TQ3ColorRGB color) {
        std::array<ScreenVertex, 3> corners = Covering(0, color);
        for (ScreenVertex& corner : corners)
            corner.depth = float(depthAt(double(corner.x) / SubpixelScale, double(corner.y) / SubpixelScale));
        return corners;
    };
    std::vector<uint8_t> pixels(Wide * Wide * 4);
    Rasterizer rasterizer;
    rasterizer.Begin({ pixels.data(), Wide, Wide, Wide * 4 }, { 0, 0, Wide, Wide }, { 0, 0, 0 });
    Shading shading;
    shading.order = 1;
    Draw(rasterizer, covering(nearerLeft, { 1, 0, 0 }), shading);
    shading.order = 2;
    Draw(rasterizer, covering(nearerAbove, { 0, 0, 1 }), shading);
    for (int y = 0; y < Wide; ++y) {
        for (int x = 0; x < Wide; ++x) {
            const double left = nearerLeft(x + 0.5, y + 0.5), above = nearerAbove(x + 0.5, y + 0.5);
            ASSERT_EQ(pixels[(size_t(y) * Wide + size_t(x)) * 4 + 1], left < above ? 255 : 0)
                << "pixel " << x << ", " << y << " at depths " << left << " and " << above;
        }
    }
}

// A texture at its own size, facing the eye: each pixel centre falls on a
// texel centre, so every pixel shows its texel exactly. Rows of whole runs
// read their texels as neighbours, four at a time, and put them in place
// four at a time, past what is nearer.
class OneTexelToAPixel : public ::testing::Test {
protected:
    static constexpr uint32_t TextureWidth = 2 * Size;

    OneTexelToAPixel() { UseTexels(0xFFFFFF); }

    // Random texels, their channels masked; every `clearEvery`th one, if
    // any, wholly clear.
    void UseTexels(uint32_t mask, size_t clearEvery = 0)
    {
        std::mt19937 random(29);
        for (size_t i = 0; i < mTexels.size(); ++i)
            mTexels[i] = (IsClear(i, clearEvery) ? 0 : 0xFF000000u) | (random() & mask);
        mTexture = q3::render::testing::MakeTexture(mTexels, TextureWidth, Size);
        mRasterizer.Begin({ mPixels.data(), Size, Size, Size * 4 }, { 0, 0, Size, Size }, { 0, 0, 0 });
    }

    // u = x / TextureWidth and v = -y / Size, x and y in pixels, so that
    // wrapped, pixel (x, y) lands on the centre of texel (x, y).
    void DrawTexture(float depth, uint32_t order, float light = 1)
    {
        const float positions[3][2] = { { -16, -16 }, { -16, 48 }, { 48, -16 } };
        std::array<ScreenVertex, 3> corners = Flat(positions, depth, { light, light, light });
        for (int i = 0; i < 3; ++i) {
            corners[i].varyings[U] = positions[i][0] / TextureWidth;
            corners[i].varyings[V] = -positions[i][1] / Size;
        }
        Shading shading;
        shading.texture = mTexture.get();
        shading.order = order;
        Draw(mRasterizer, corners, shading);
    }

    void DrawFlat(const std::array<ScreenVertex, 3>& corners, uint32_t order)
    {
        Shading shading;
        shading.order = order;
        Draw(mRasterizer, corners, shading);
    }

    // The pixel's red, green and blue as a texel's low three bytes.
    uint32_t Pixel(int x, int y) const
    {
        const uint8_t* pixel = mPixels.data() + (size_t(y) * Size + size_t(x)) * 4;
        return uint32_t(pixel[1]) << 16 | uint32_t(pixel[2]) << 8 | pixel[3];
    }
    uint32_t Texel(int x, int y) const { return mTexels[size_t(y) * TextureWidth + size_t(x)] & 0xFFFFFFu; }
    static bool IsClear(size_t texel, size_t clearEvery) { return clearEvery && texel % clearEvery == 0; }

    std::vector<uint32_t> mTexels = std::vector<uint32_t>(TextureWidth * Size);
    std::shared_ptr<const DecodedTexture> mTexture;
    std::vector<uint8_t> mPixels = std::vector<uint8_t>(Size * Size * 4);
    Rasterizer mRasterizer;
};

TEST_F(OneTexelToAPixel, TexelsShowAsTheyAre)
{
    DrawTexture(0, 0);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x)
            ASSERT_EQ(Pixel(x, y), Texel(x, y)) << x << ", " << y;
    }
}

// Light dims or brightens every texel; past sixteen times it does not fit
// two pixels at a time. Even channels halve exactly.
TEST_F(OneTexelToAPixel, LightScalesEveryTexel)
{
    UseTexels(0x0E0E0E);
    DrawTexture(0, 0, 0.5f);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x)
            ASSERT_EQ(Pixel(x, y), Texel(x, y) / 2) << x << ", " << y;
    }
    UseTexels(0x0E0E0E);
    DrawTexture(0, 0, 17);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x)
            ASSERT_EQ(Pixel(x, y), Texel(x, y) * 17) << x << ", " << y;
    }
}

// Where a run holds a clear texel, what lies behind shows there.
TEST_F(OneTexelToAPixel, ClearTexelsLeaveWhatIsBehind)
{
    constexpr uint32_t Blue = 0x0000FF;
    constexpr size_t ClearEvery = 3;
    UseTexels(0xFFFFFF, ClearEvery);
    DrawFlat(Covering(0.75f, { 0, 0, 1 }), 1);
    DrawTexture(0.5f, 2);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            const bool clear = IsClear(size_t(y) * TextureWidth + size_t(x), ClearEvery);
            ASSERT_EQ(Pixel(x, y), clear ? Blue : Texel(x, y)) << x << ", " << y;
        }
    }
}

TEST_F(OneTexelToAPixel, WhatIsNearerStaysWithItsDepthAndOrder)
{
    // A slanted edge leaves runs partly hidden.
    constexpr uint32_t White = 0xFFFFFF, Blue = 0x0000FF;
    const float nearCorners[3][2] = { { 0, 0 }, { 0, Size }, { 11, 0 } };
    const auto nearer = Flat(nearCorners, 0.25f, { 1, 1, 1 });
    DrawFlat(nearer, 1);
    std::vector<bool> isNear(Size * Size);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x)
            isNear[size_t(y * Size + x)] = Pixel(x, y) == White;
    }
    DrawTexture(0.5f, 3);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x)
            ASSERT_EQ(Pixel(x, y), isNear[size_t(y * Size + x)] ? White : Texel(x, y)) << x << ", " << y;
    }
    // Between the two, seen only where the texture is: the texture left
    // the nearer depths alone.
    DrawFlat(Covering(0.375f, { 0, 1, 0 }), 4);
    // At the nearer one's depth, of an order between the two: it loses to
    // the nearer one, whose order the texture left alone too.
    DrawFlat(Covering(0.25f, { 0, 0, 1 }), 2);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x)
            ASSERT_EQ(Pixel(x, y), isNear[size_t(y * Size + x)] ? White : Blue) << x << ", " << y;
    }
}

// A texture a little larger than its own size, wrapped, straight and
// turned a little, facing the eye and in perspective. Runs of pixels step
// from where their first pixel's centre falls on the texture by the same
// whole number of texel units each pixel, the step to their last pixel's
// centre rounded down. Facing the eye, runs along a row find their first
// pixel by stepping from run to run, to within a unit on each axis, so
// within two levels of that.
TEST(RasterizerTexturing, TexturesShowWhereEachPixelFallsFacingTheEyeOrNot)
{
    // Rows end in a run shorter than the others.
    constexpr int Target = 60;
    constexpr uint32_t Width = 40, Height = 24;
    std::mt19937 random(37);
    std::vector<uint32_t> texels(Width * Height);
    for (uint32_t& texel : texels)
        texel = 0xFF000000u | (random() & 0xFFFFFFu);
    const auto texture = q3::render::testing::MakeTexture(texels, Width, Height);
    for (const double turn : { 0.0, 0.01 })
        for (const double perspective : { 0.0, 0.01 }) {
            // 1/w, and u and v over w, each changing evenly across the screen.
            auto inverseW = [&](double x, double y) { return 1 + perspective * (x + y / 2); };
            auto uOverW = [&](double x, double y) { return (x * 1.002 + y * turn + 3.3) / Width; };
            auto vOverW = [&](double x, double y) { return -(y * 0.998 - x * turn + 1.7) / Height; };
            auto u = [&](double x, double y) { return uOverW(x, y) / inverseW(x, y); };
            auto v = [&](double x, double y) { return vOverW(x, y) / inverseW(x, y); };
            const float positions[3][2] = { { -8, -8 }, { -8, 3 * Target }, { 3 * Target, -8 } };
            std::array<ScreenVertex, 3> corners = Flat(positions, 0.5f, { 1, 1, 1 });
            for (int i = 0; i < 3; ++i) {
                const double x = positions[i][0], y = positions[i][1];
                corners[i].inverseW = float(inverseW(x, y));
                corners[i].varyings[Red] = corners[i].varyings[Green] = corners[i].varyings[Blue] = corners[i].inverseW;
                corners[i].varyings[U] = float(uOverW(x, y));
                corners[i].varyings[V] = float(vOverW(x, y));
            }
            const std::vector<uint8_t> pixels = DrawTextured(corners, *texture, Target);
            const TextureLevel& level = texture->Level(0);
            auto wrapped = [](int64_t position, uint32_t size) {
                const int64_t period = int64_t(size) * TexelOne;
                return int32_t((position % period + period) % period);
            };
            for (int y = 0; y < Target; ++y) {
                for (int x = 0; x < Target; ++x) {
                    // Every run here is two pixels long at least.
                    const int runStart = x / SubspanLength * SubspanLength;
                    const double first = runStart + 0.5;
                    const double last = first + std::min(Target - runStart, SubspanLength) - 1;
                    const double centre = y + 0.5;
                    const int32_t s = FixedS(level, float(u(first, centre)));
                    const int32_t t = FixedT(level, float(v(first, centre)));
                    const auto stepS
                        = int32_t((u(last, centre) - u(first, centre)) * Width * TexelOne / (last - first));
                    const auto stepT
                        = int32_t((v(first, centre) - v(last, centre)) * Height * TexelOne / (last - first));
                    const int steps = x % SubspanLength;
                    const uint32_t expected = SampleBilinear(
                        level, wrapped(s + int64_t(stepS) * steps, Width), wrapped(t + int64_t(stepT) * steps, Height));
                    const uint8_t* pixel = pixels.data() + (size_t(y) * Target + size_t(x)) * 4;
                    for (int channel = 0; channel < 3; ++channel) {
                        const int wanted = int(expected >> (16 - 8 * channel)) & 0xFF;
                        ASSERT_NEAR(pixel[1 + channel], wanted, 2)
                            << x << ", " << y << ", turned " << turn << ", perspective " << perspective;
                    }
                }
            }
        }
}

// Facing the eye, a texture repeated more times across a pixel than its
// positions can count still draws every pixel, from its texels.
TEST(RasterizerTexturing, ATextureRepeatedPastCountingStillDraws)
{
    const std::vector<uint32_t> texels { 0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u };
    const auto texture = q3::render::testing::MakeTexture(texels, 2, 2);
    const float positions[3][2] = { { -8, -8 }, { -8, 3 * Size }, { 3 * Size, -8 } };
    std::array<ScreenVertex, 3> corners = Flat(positions, 0.5f, { 1, 1, 1 });
    for (int i = 0; i < 3; ++i) {
        corners[i].varyings[U] = positions[i][0] * 1e15f;
        corners[i].varyings[V] = positions[i][1] * 1e15f;
    }
    const std::vector<uint8_t> pixels = DrawTextured(corners, *texture, Size);
    for (int i = 0; i < Size * Size; ++i)
        ASSERT_GE(pixels[size_t(i) * 4 + 1], 0x10) << i;
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
        const int32_t anywhere = int32_t(random() % uint32_t(2 * reach)) - reach / 2;
        // Some corners on pixel centres, so that edges pass through them.
        if (trial % 7 == 3)
            return anywhere / SubpixelScale * SubpixelScale + SubpixelScale / 2;
        return anywhere;
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

namespace {

// Every pixel of a row lies right of a vertical left edge at the first
// pixel's centre, where the color is exactly `left`; it rises by `perPixel`
// to the right. The texture, one gray level all over, is read at one place.
std::vector<uint8_t> LitGray(uint8_t gray, float left, float perPixel)
{
    const std::vector<uint32_t> texels(16, 0xFF000000u | gray * 0x010101u);
    const auto texture = q3::render::testing::MakeTexture(texels, 4, 4);
    const float positions[3][2] = { { 0.5f, -Size }, { 0.5f, 2 * Size }, { Size + 0.5f, Size / 2 } };
    std::array<ScreenVertex, 3> corners = Flat(positions, 0, { left, left, left });
    const float right = left + perPixel * Size;
    corners[2].varyings[Red] = corners[2].varyings[Green] = corners[2].varyings[Blue] = right;
    for (ScreenVertex& corner : corners) {
        corner.varyings[U] = 0.5f;
        corner.varyings[V] = 0.5f;
    }
    return DrawTextured(corners, *texture, Size);
}

int RedAt(const std::vector<uint8_t>& pixels, int x, int y) { return pixels[(size_t(y) * Size + size_t(x)) * 4 + 1]; }

}

// A run that starts at white light but dims along the way scales its
// texels, and so do the runs after it.
TEST(RasterizerLighting, LightFallingFromWhiteDimsTheTexels)
{
    const auto pixels = LitGray(128, 1, -1.0f / 32);
    EXPECT_EQ(RedAt(pixels, 0, Size / 2), 128);
    for (int x = 1; x < Size; ++x)
        EXPECT_NEAR(RedAt(pixels, x, Size / 2), 128 * (1 - x / 32.0), 1) << x;
}

// Light brightening a texel more than sixteen times within a run.
TEST(RasterizerLighting, LightPassingSixteenTimesWithinARunKeepsBrightening)
{
    const auto pixels = LitGray(10, 15.5f, 0.2f);
    for (int x = 0; x < 8; ++x)
        EXPECT_NEAR(RedAt(pixels, x, Size / 2), 10 * (15.5 + 0.2 * x), 1) << x;
}
