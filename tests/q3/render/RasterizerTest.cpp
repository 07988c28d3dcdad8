#include "render/Rasterizer.h"

#include <gtest/gtest.h>

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
