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
