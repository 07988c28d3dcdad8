// Shrinks the equirectangular earth map to the size the globe textures with.
// Each output pixel is the plain average of the block of source pixels it
// covers, so the source must be a whole multiple of the output size.

#include "ToolSupport.h"

#include <cstdio>

namespace {

constexpr int MapWidth = 512;
constexpr int MapHeight = 256;

QRgb BlockAverage(const QImage& source, int left, int top, int factor)
{
    int red = 0;
    int green = 0;
    int blue = 0;
    for (int y = top; y < top + factor; ++y) {
        for (int x = left; x < left + factor; ++x) {
            const QRgb pixel = source.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
        }
    }
    const int count = factor * factor;
    return qRgb((red + count / 2) / count, (green + count / 2) / count, (blue + count / 2) / count);
}

QImage Shrink(const QImage& source, int factor)
{
    QImage map(MapWidth, MapHeight, QImage::Format_RGB32);
    for (int y = 0; y < MapHeight; ++y) {
        for (int x = 0; x < MapWidth; ++x)
            map.setPixel(x, y, BlockAverage(source, x * factor, y * factor, factor));
    }
    return map;
}

}

int main(int argc, char** argv)
{
    if (!tools::HasArguments(argc, argv, 2, "earth.jpg map.png"))
        return 2;
    const QImage source = tools::LoadRgb(argv[1]);
    if (source.isNull())
        return 1;
    const int factor = source.width() / MapWidth;
    if (factor < 1 || source.width() != factor * MapWidth || source.height() != factor * MapHeight) {
        std::fprintf(stderr, "%s is %d x %d, not a whole multiple of %d x %d\n", argv[1], source.width(),
            source.height(), MapWidth, MapHeight);
        return 1;
    }
    return tools::SavePng(Shrink(source, factor), argv[2]) ? 0 : 1;
}
