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
    const QImage source = picture->ToImageWithAlpha();
    const QRect destination(destinationX, destinationY, destinationWidth, destinationHeight);
    PaintRegion(mPort, destination, [&](QPainter& painter) {
        painter.drawImage(destination, source, QRect(sourceX, sourceY, sourceWidth, sourceHeight));
    });
}

void Graphics::FillOval(int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (!mPort || width <= 0 || height <= 0)
        return;
    const QRect bounds(x, y, width, height);
    PaintRegion(mPort, bounds, [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(QRgb(ForeColor.rgb)));
        painter.drawEllipse(bounds);
    });
}

}
