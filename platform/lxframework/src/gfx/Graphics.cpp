#include "PictureImage.h"
#include "PortImage.h"

#include <lxframework/Graphics.h>
#include <lxframework/Picture.h>

#include <QPainter>

namespace lx {

namespace {
    // Paints into `region` of the port: the pixels there are copied out, drawn
    // on with a painter whose origin is the port's, and written back.
    template <class Draw> void PaintRegion(GWorldPtr port, QRect region, Draw draw)
    {
        region &= PortRect(port);
        if (region.isEmpty())
            return;
        QImage image = PortToImage(port, region);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.translate(-region.topLeft());
            draw(painter);
        }
        ImageToPort(image, port, region.topLeft());
    }
}

int32_t Graphics::Width() const { return PortRect(mPort).width(); }

int32_t Graphics::Height() const { return PortRect(mPort).height(); }

void Graphics::DrawPicture(Picture* picture, int32_t x, int32_t y)
{
    if (picture)
        DrawPicture(picture, x, y, picture->Width(), picture->Height(), 0, 0, picture->Width(), picture->Height());
}

void Graphics::DrawPicture(Picture* picture, int32_t destinationX, int32_t destinationY, int32_t destinationWidth,
    int32_t destinationHeight, int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight)
{
    if (!picture || !mPort || destinationWidth <= 0 || destinationHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const QImage source = ToImageWithAlpha(*picture);
    const QRect destination(destinationX, destinationY, destinationWidth, destinationHeight);
    PaintRegion(mPort, destination, [&](QPainter& painter) {
        painter.drawImage(destination, source, QRect(sourceX, sourceY, sourceWidth, sourceHeight));
    });
}

void Graphics::FillOval(int32_t x, int32_t y, int32_t width, int32_t height)
{
    const QRect region = QRect(x, y, width, height) & PortRect(mPort);
    if (!mPort || width <= 0 || height <= 0 || region.isEmpty())
        return;
    // A pixel belongs to the oval when its centre lies inside the ellipse that
    // the rectangle bounds, so the oval is symmetric and never half-covers a pixel.
    const double centreX = x + width / 2.0;
    const double centreY = y + height / 2.0;
    const double radiusX = width / 2.0;
    const double radiusY = height / 2.0;
    PixMapHandle map = GetPortPixMap(mPort);
    char* base = GetPixBaseAddr(map);
    const int32_t rowBytes = GetPixRowBytes(map);
    for (int row = region.top(); row <= region.bottom(); ++row) {
        const double dy = (row + 0.5 - centreY) / radiusY;
        auto* pixel = reinterpret_cast<uint8_t*>(base + row * rowBytes + region.left() * 4);
        for (int column = region.left(); column <= region.right(); ++column, pixel += 4) {
            const double dx = (column + 0.5 - centreX) / radiusX;
            if (dx * dx + dy * dy > 1.0)
                continue;
            StoreColor(pixel, ForeColor);
        }
    }
}

}
