#include "PortImage.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lx;

namespace {

struct WorldDeleter {
    void operator()(OpaqueGrafPort* world) const { DisposeGWorld(world); }
};
using World = std::unique_ptr<OpaqueGrafPort, WorldDeleter>;

World NewWorld(int16_t width, int16_t height)
{
    GWorldPtr world = nullptr;
    const Rect bounds { 0, 0, height, width };
    NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0);
    return World(world);
}

uint8_t* PixelBytes(CGrafPtr port, int x, int y)
{
    PixMapHandle map = GetGWorldPixMap(port);
    return reinterpret_cast<uint8_t*>(GetPixBaseAddr(map)) + y * GetPixRowBytes(map) + x * 4;
}

// Every pixel a different color, with an alpha byte that is not opaque.
QRgb PatternColor(int x, int y) { return qRgb(x * 20 + 3, y * 40 + 5, (x * 7 + y * 11) & 0xFF); }

void FillWithPattern(CGrafPtr port, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = PixelBytes(port, x, y);
            const QRgb color = PatternColor(x, y);
            pixel[0] = static_cast<uint8_t>(x * 30);
            pixel[1] = static_cast<uint8_t>(qRed(color));
            pixel[2] = static_cast<uint8_t>(qGreen(color));
            pixel[3] = static_cast<uint8_t>(qBlue(color));
        }
    }
}

}

// Rows of 9 pixels go through both the four-at-a-time path and the one-by-one tail.
TEST(PortImage, PortPixelsBecomeOpaqueQtColorsAtEveryRowPosition)
{
    constexpr int Width = 11, Height = 4;
    World world = NewWorld(Width, Height);
    FillWithPattern(world.get(), Width, Height);
    const QImage image = PortToImage(world.get(), QRect(1, 1, 9, 3));
    ASSERT_EQ(image.size(), QSize(9, 3));
    for (int y = 0; y < 3; ++y) {
        // The words as stored: Qt wants the alpha byte of an RGB32 image opaque.
        const auto* words = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(words[x], PatternColor(x + 1, y + 1)) << x << "," << y;
    }
}

TEST(PortImage, CopyIntoAnImageChangesOnlyTheRegionClippedToBoth)
{
    constexpr int Width = 8, Height = 6;
    World world = NewWorld(Width, Height);
    FillWithPattern(world.get(), Width, Height);
    constexpr QRgb Untouched = 0xFF102030;
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Untouched);
    // The image shows the port from (2, 1); the region runs past the image's
    // right edge and above the port.
    const QPoint origin(2, 1);
    const QRect region(3, -1, 9, 3);
    CopyPortToImage(world.get(), region, image, origin);
    const QRect copied = region & QRect(origin, image.size()) & QRect(0, 0, Width, Height);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QPoint port = QPoint(x, y) + origin;
            const QRgb expected = copied.contains(port) ? PatternColor(port.x(), port.y()) : Untouched;
            EXPECT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(PortImage, ImageColorsEnterThePortOpaqueAndClipped)
{
    World world = NewWorld(6, 2);
    QImage image(7, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 7; ++x) {
        image.setPixel(x, 0, qRgba(x * 30, 200 - x, x + 1, 0xFF));
        image.setPixel(x, 1, qRgba(x, x * 2, x * 3, 0xFF));
    }
    ImageToPort(image, world.get(), QPoint(-1, 1));
    for (int x = 0; x < 6; ++x) {
        const uint8_t* top = PixelBytes(world.get(), x, 0);
        EXPECT_EQ(top[0] | top[1] | top[2] | top[3], 0) << "the row above the image stays as it was";
        const uint8_t* pixel = PixelBytes(world.get(), x, 1);
        const QRgb color = image.pixel(x + 1, 0);
        EXPECT_EQ(pixel[0], 0xFF);
        EXPECT_EQ(pixel[1], qRed(color));
        EXPECT_EQ(pixel[2], qGreen(color));
        EXPECT_EQ(pixel[3], qBlue(color));
    }
}
