#pragma once

#include <carbon/Carbon.h>
#include <lxframework/Value.h>

#include <QImage>
#include <QRect>

#include <cstdint>

namespace lx {

// The OS layer stores 32-bit pixels as the bytes A, R, G, B; Qt keeps native
// 0xAARRGGBB words. These copy between the two at the edge.

// The port's pixels inside `region` (clipped to the port) as an opaque image.
QImage PortToImage(CGrafPtr port, QRect region);
// The whole port.
QImage PortToImage(CGrafPtr port);
// Writes the port's pixels inside `region` into `image`, a 32-bit image of
// 0xAARRGGBB words (premultiplied or not: the pixels written are opaque)
// whose pixel (0, 0) shows the port's point `imageOrigin`; clipped to both,
// and the rest of the image is left as it was.
void CopyPortToImage(CGrafPtr port, QRect region, QImage& image, QPoint imageOrigin);
// Writes the image's colors into the port with its top-left corner at `at`,
// clipped to the port; the alpha byte becomes opaque.
void ImageToPort(const QImage& image, CGrafPtr port, QPoint at);
// The port's size, empty for null.
QRect PortRect(CGrafPtr port);

// Writes a &h00RRGGBB color into one pixel of the OS layer, opaque.
inline void StoreColor(uint8_t* pixel, Color color)
{
    pixel[0] = 0xFF;
    pixel[1] = static_cast<uint8_t>(color.rgb >> 16);
    pixel[2] = static_cast<uint8_t>(color.rgb >> 8);
    pixel[3] = static_cast<uint8_t>(color.rgb);
}

}
