#include "PortImage.h"

#include <cstring>

namespace lx {

namespace {
    constexpr int BytesPerPixel = 4;
    constexpr uint8_t Opaque = 0xFF;
}

QRect PortRect(CGrafPtr port)
{
    PixMapHandle map = GetPortPixMap(port);
    if (!map || !*map || !(*map)->baseAddr)
        return {};
    const Rect& bounds = (*map)->bounds;
    return QRect(0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

QImage PortToImage(CGrafPtr port) { return PortToImage(port, PortRect(port)); }

QImage PortToImage(CGrafPtr port, QRect region)
{
    region &= PortRect(port);
    if (region.isEmpty())
        return {};
    PixMapHandle map = GetPortPixMap(port);
    const char* base = GetPixBaseAddr(map);
    const int32_t rowBytes = GetPixRowBytes(map);
    QImage image(region.size(), QImage::Format_RGB32);
    for (int y = 0; y < region.height(); ++y) {
        const auto* source
            = reinterpret_cast<const uint8_t*>(base + (region.top() + y) * rowBytes + region.left() * BytesPerPixel);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < region.width(); ++x, source += BytesPerPixel)
            target[x] = qRgb(source[1], source[2], source[3]);
    }
    return image;
}

void ImageToPort(const QImage& image, CGrafPtr port, QPoint at)
{
    const QRect region = QRect(at, image.size()) & PortRect(port);
    if (region.isEmpty())
        return;
    const QImage converted = image.convertToFormat(QImage::Format_RGB32);
    PixMapHandle map = GetPortPixMap(port);
    char* base = GetPixBaseAddr(map);
    const int32_t rowBytes = GetPixRowBytes(map);
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(converted.constScanLine(y - at.y()));
        auto* target = reinterpret_cast<uint8_t*>(base + y * rowBytes + region.left() * BytesPerPixel);
        for (int x = region.left(); x <= region.right(); ++x, target += BytesPerPixel) {
            const QRgb pixel = source[x - at.x()];
            target[0] = Opaque;
            target[1] = static_cast<uint8_t>(qRed(pixel));
            target[2] = static_cast<uint8_t>(qGreen(pixel));
            target[3] = static_cast<uint8_t>(qBlue(pixel));
        }
    }
}

}
