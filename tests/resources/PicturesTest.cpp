#include "ResourceManifest.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace testresources;

namespace {

constexpr int StarsNumber = 168;
constexpr int EarthMapNumber = 169;
constexpr int GlobeMaskNumber = 170;
constexpr int GlobeIconNumber = 171;

QImage Picture(int number)
{
    const Manifest manifest = ReadManifest();
    const Entry* entry = manifest.Find(Kind::Picture, number);
    return entry ? LoadImage(*entry).convertToFormat(QImage::Format_RGB32) : QImage();
}

int Brightest(QRgb pixel) { return std::max({ qRed(pixel), qGreen(pixel), qBlue(pixel) }); }

// The map's pixel at a latitude and longitude in degrees, for a map with the
// north at the top row and longitude -180 at the left edge.
QRgb MapPixel(const QImage& map, double latitude, double longitude)
{
    const int x = static_cast<int>((longitude + 180.0) / 360.0 * map.width());
    const int y = static_cast<int>((90.0 - latitude) / 180.0 * map.height());
    return map.pixel(x, y);
}

bool IsOcean(QRgb pixel)
{
    constexpr int OceanBlueMargin = 20;
    return qBlue(pixel) > qRed(pixel) + OceanBlueMargin && qBlue(pixel) > qGreen(pixel);
}

int MaskValue(const QImage& mask, int x, int y) { return qRed(mask.pixel(x, y)); }

}

TEST(StarField, HasNoPureWhitePixel)
{
    const QImage stars = Picture(StarsNumber);
    ASSERT_FALSE(stars.isNull());
    for (int y = 0; y < stars.height(); ++y) {
        for (int x = 0; x < stars.width(); ++x)
            ASSERT_NE(stars.pixel(x, y) & RGB_MASK, qRgb(255, 255, 255) & RGB_MASK) << "at " << x << ", " << y;
    }
}

TEST(StarField, IsMostlyDarkSkyWithBrightAndFaintStars)
{
    constexpr int SkyLimit = 24;
    constexpr int BrightStar = 200;
    constexpr int FaintStar = 60;
    const QImage stars = Picture(StarsNumber);
    ASSERT_FALSE(stars.isNull());
    int sky = 0;
    int bright = 0;
    int faint = 0;
    for (int y = 0; y < stars.height(); ++y) {
        for (int x = 0; x < stars.width(); ++x) {
            const int value = Brightest(stars.pixel(x, y));
            sky += value < SkyLimit;
            bright += value >= BrightStar;
            faint += value >= FaintStar && value < BrightStar / 2;
        }
    }
    const int total = stars.width() * stars.height();
    EXPECT_GT(sky, total * 9 / 10);
    EXPECT_GT(bright, 100);
    EXPECT_GT(faint, bright);
}

TEST(EarthMap, HasTheNorthAtTheTopAndTheDateLineAtTheEdges)
{
    const QImage map = Picture(EarthMapNumber);
    ASSERT_FALSE(map.isNull());
    // India and the ocean south of it tell north from south; the mid-Pacific
    // and the Congo basin tell where longitude starts.
    EXPECT_FALSE(IsOcean(MapPixel(map, 20, 78)));
    EXPECT_TRUE(IsOcean(MapPixel(map, -20, 78)));
    EXPECT_TRUE(IsOcean(MapPixel(map, 0, -150)));
    EXPECT_FALSE(IsOcean(MapPixel(map, 0, 25)));
}

TEST(GlobeMask, IsBlackAtTheCentreWhiteAtTheCornersGreyAlongTheEdge)
{
    const QImage mask = Picture(GlobeMaskNumber);
    ASSERT_FALSE(mask.isNull());
    const int last = mask.width() - 1;
    EXPECT_EQ(MaskValue(mask, mask.width() / 2, mask.height() / 2), 0);
    EXPECT_EQ(MaskValue(mask, 0, 0), 255);
    EXPECT_EQ(MaskValue(mask, last, 0), 255);
    EXPECT_EQ(MaskValue(mask, 0, last), 255);
    EXPECT_EQ(MaskValue(mask, last, last), 255);
    // Most pixels along the disc's rim are partly covered.
    constexpr int RimPixels = 100;
    int grey = 0;
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const int value = MaskValue(mask, x, y);
            grey += value > 0 && value < 255;
        }
    }
    EXPECT_GE(grey, RimPixels) << "the disc's edge is not antialiased";
}

TEST(GlobeMask, IsGreyscale)
{
    const QImage mask = Picture(GlobeMaskNumber);
    ASSERT_FALSE(mask.isNull());
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb pixel = mask.pixel(x, y);
            ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << "at " << x << ", " << y;
        }
    }
}

TEST(GlobeIcon, ShowsTheGlobeOnAPlainBackgroundWhereTheMaskIsTransparent)
{
    const QImage icon = Picture(GlobeIconNumber);
    const QImage mask = Picture(GlobeMaskNumber);
    ASSERT_FALSE(icon.isNull());
    ASSERT_EQ(icon.size(), mask.size());
    const QRgb background = icon.pixel(0, 0);
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            if (MaskValue(mask, x, y) == 255) {
                ASSERT_EQ(icon.pixel(x, y), background) << "at " << x << ", " << y;
            }
        }
    }
    EXPECT_NE(icon.pixel(icon.width() / 2, icon.height() / 2), background);
}
