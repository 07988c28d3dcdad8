// Renders the About window's icon, an orthographic view of the earth map on a
// plain background, and its mask: black where the globe covers a pixel, white
// where it does not, grey in between along the antialiased edge.

#include "ToolSupport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int IconSize = 128;
constexpr double GlobeRadius = 62.0;
constexpr int SamplesAcross = 4;
constexpr int SamplesPerPixel = SamplesAcross * SamplesAcross;

// The view looks down on Africa and Europe.
constexpr double CentreLongitude = 15.0 * std::numbers::pi / 180.0;
constexpr double CentreLatitude = 20.0 * std::numbers::pi / 180.0;

// Light comes from the upper left and in front, so the globe looks round.
constexpr double LightX = -0.45;
constexpr double LightY = 0.5;
constexpr double LightZ = 0.74;
constexpr double Ambient = 0.3;

constexpr QRgb Background = qRgb(0, 0, 0);

struct Color {
    double red { 0 };
    double green { 0 };
    double blue { 0 };

    void Add(QRgb pixel, double scale)
    {
        red += qRed(pixel) * scale;
        green += qGreen(pixel) * scale;
        blue += qBlue(pixel) * scale;
    }
};

// Reads the map at a point of the sphere seen at (x, y, z), z towards the
// viewer. Truncation and the clamp keep the poles' rows inside the map.
QRgb MapColor(const QImage& map, double x, double y, double z)
{
    const double north = y * std::cos(CentreLatitude) + z * std::sin(CentreLatitude);
    const double front = z * std::cos(CentreLatitude) - y * std::sin(CentreLatitude);
    const double latitude = std::asin(std::clamp(north, -1.0, 1.0));
    const double longitude = CentreLongitude + std::atan2(x, front);
    const double u = (longitude / (2.0 * std::numbers::pi) + 0.5) * map.width();
    const double v = (0.5 - latitude / std::numbers::pi) * map.height();
    const int column = ((static_cast<int>(std::floor(u)) % map.width()) + map.width()) % map.width();
    const int row = std::clamp(static_cast<int>(v), 0, map.height() - 1);
    return map.pixel(column, row);
}

double Shade(double x, double y, double z)
{
    const double length = std::sqrt(LightX * LightX + LightY * LightY + LightZ * LightZ);
    const double facing = (x * LightX + y * LightY + z * LightZ) / length;
    return Ambient + (1.0 - Ambient) * std::max(0.0, facing);
}

struct RenderedPixel {
    QRgb icon { Background };
    int mask { 255 };
};

// Samples a grid inside the pixel: covered samples show the shaded map, the
// others the background; the share of covered samples makes the mask's grey.
RenderedPixel RenderPixel(const QImage& map, int px, int py)
{
    Color sum;
    int covered = 0;
    for (int sy = 0; sy < SamplesAcross; ++sy) {
        for (int sx = 0; sx < SamplesAcross; ++sx) {
            const double x = (px + (sx + 0.5) / SamplesAcross - IconSize / 2.0) / GlobeRadius;
            const double y = (IconSize / 2.0 - py - (sy + 0.5) / SamplesAcross) / GlobeRadius;
            const double squared = x * x + y * y;
            if (squared > 1.0) {
                sum.Add(Background, 1.0);
                continue;
            }
            const double z = std::sqrt(1.0 - squared);
            sum.Add(MapColor(map, x, y, z), Shade(x, y, z));
            ++covered;
        }
    }
    RenderedPixel pixel;
    pixel.icon = qRgb(static_cast<int>(std::lround(sum.red / SamplesPerPixel)),
        static_cast<int>(std::lround(sum.green / SamplesPerPixel)),
        static_cast<int>(std::lround(sum.blue / SamplesPerPixel)));
    pixel.mask = static_cast<int>(std::lround(255.0 * (SamplesPerPixel - covered) / SamplesPerPixel));
    return pixel;
}

}

int main(int argc, char** argv)
{
    if (!tools::HasArguments(argc, argv, 3, "map.png icon.png mask.png"))
        return 2;
    const QImage map = tools::LoadRgb(argv[1]);
    if (map.isNull())
        return 1;
    QImage icon(IconSize, IconSize, QImage::Format_RGB32);
    QImage mask(IconSize, IconSize, QImage::Format_Grayscale8);
    for (int y = 0; y < IconSize; ++y) {
        for (int x = 0; x < IconSize; ++x) {
            const RenderedPixel pixel = RenderPixel(map, x, y);
            icon.setPixel(x, y, pixel.icon);
            mask.setPixel(x, y, qRgb(pixel.mask, pixel.mask, pixel.mask));
        }
    }
    return tools::SavePng(icon, argv[2]) && tools::SavePng(mask, argv[3]) ? 0 : 1;
}
