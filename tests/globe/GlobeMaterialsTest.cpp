#include "GlobeTestSupport.h"

#include "globe/GlobeBitCreation.h"

#include <gtest/gtest.h>

using namespace bindings;
using namespace globe;

namespace {

struct CapPixel {
    int32_t x = 0;
    int32_t y = 0;
    int32_t column = 0;
    int32_t northRow = 0;
    int32_t southRow = 0;
};

// Which map pixel each cap pixel shows, on a 512 x 256 map (truncation toward zero).
const CapPixel CapTable[] = {
    { 64, 0, 0, 28, 227 }, // just right of the seam above the centre
    { 63, 0, 511, 28, 227 }, // just left of it
    { 127, 63, 127, 28, 227 }, { 63, 127, 256, 28, 227 }, { 0, 0, 448, 40, 215 }, { 127, 127, 191, 40, 215 },
    { 63, 63, 448, 0, 255 }, // next to the pole: the south row would reach the map's height
    { 64, 63, 63, 0, 255 }, { 63, 64, 320, 0, 255 },
    { 64, 64, 191, 0, 255 }, // the full-turn literal is a little larger than 2 pi
};

uint32_t Encoded(int32_t column, int32_t row) { return uint32_t((column / 256) << 16 | (column % 256) << 8 | row); }

}

TEST(GlobeMaterials, CapPixelsReadTheMapAzimuthallyAndStayInside)
{
    StartGlobeRuntime();
    lx::Ref<lx::Picture> map = CoordinateMap(512, 256);
    GlobeBitCreation::PolarCaps caps = GlobeBitCreation::MakePolarCaps(*map);
    ASSERT_TRUE(caps.North && caps.South);
    EXPECT_EQ(caps.North->Width(), 128);
    EXPECT_EQ(caps.South->Height(), 128);
    for (const CapPixel& pixel : CapTable) {
        SCOPED_TRACE(testing::Message() << "cap pixel " << pixel.x << ", " << pixel.y);
        EXPECT_EQ(PixelAt(*caps.North, pixel.x, pixel.y), Encoded(pixel.column, pixel.northRow));
        EXPECT_EQ(PixelAt(*caps.South, pixel.x, pixel.y), Encoded(pixel.column, pixel.southRow));
    }
}

TEST(GlobeMaterials, SmallMapsAreReadInsideTheirEdges)
{
    StartGlobeRuntime();
    // On a map this small, rounded reads would fall off the last column and row.
    lx::Ref<lx::Picture> map = CoordinateMap(8, 4);
    GlobeBitCreation::PolarCaps caps = GlobeBitCreation::MakePolarCaps(*map);
    for (int32_t x = 0; x < 128; ++x) {
        for (int32_t y = 0; y < 128; ++y) {
            const uint32_t south = PixelAt(*caps.South, x, y);
            EXPECT_LE(south & 0xFF, 3u);
            EXPECT_LE(south >> 8, 7u);
        }
    }
    EXPECT_EQ(PixelAt(*caps.South, 63, 63), Encoded(7, 3));
}

TEST(GlobeMaterials, RingPictureIsConcentricDiscs)
{
    StartGlobeRuntime();
    lx::Ref<lx::Picture> rings = GlobeBitCreation::MakeRingPicture();
    ASSERT_EQ(rings->Width(), 256);
    // Probed along the middle row, where each fill's edge falls clear of pixel centres.
    EXPECT_EQ(PixelAt(*rings, 128, 128), 0xE04000u);
    EXPECT_EQ(PixelAt(*rings, 74, 128), 0xE04000u);
    EXPECT_EQ(PixelAt(*rings, 8, 128), 0x6A3411u);
    EXPECT_EQ(PixelAt(*rings, 16, 128), 0xFFC869u);
    EXPECT_EQ(PixelAt(*rings, 17, 128), 0xFF9E5Eu);
    EXPECT_EQ(PixelAt(*rings, 40, 128), 0xFF7030u);
    for (int32_t x = 63; x <= 73; ++x)
        EXPECT_EQ(PixelAt(*rings, x, 128), 0xFF4202u) << x;
    // Symmetric, so a wall point a hair beyond the sphere still samples the rim.
    EXPECT_EQ(PixelAt(*rings, 255 - 8, 128), 0x6A3411u);
    EXPECT_EQ(PixelAt(*rings, 128, 255 - 8), 0x6A3411u);
    EXPECT_EQ(PixelAt(*rings, 128, 8), 0x6A3411u);
}
