#include "PortImage.h"

#include <lxframework/Picture.h>
#include <lxframework/RGBSurface.h>

namespace lx {

namespace {
    constexpr int BytesPerPixel = 4;

    // The pixel's bytes A, R, G, B, or null outside the picture.
    uint8_t* PixelAddress(const Picture* picture, int32_t x, int32_t y)
    {
        if (!picture || x < 0 || y < 0 || x >= picture->Width() || y >= picture->Height())
            return nullptr;
        PixMapHandle map = GetGWorldPixMap(picture->World());
        return reinterpret_cast<uint8_t*>(GetPixBaseAddr(map) + y * GetPixRowBytes(map) + x * BytesPerPixel);
    }
}

Color RGBSurface::Pixel(int32_t x, int32_t y) const
{
    const uint8_t* pixel = PixelAddress(mPicture.Get(), x, y);
    if (!pixel)
        return Color { 0 };
    return Color { static_cast<uint32_t>(pixel[1]) << 16 | static_cast<uint32_t>(pixel[2]) << 8 | pixel[3] };
}

void RGBSurface::SetPixel(int32_t x, int32_t y, Color color)
{
    uint8_t* pixel = PixelAddress(mPicture.Get(), x, y);
    if (!pixel)
        return;
    StoreColor(pixel, color);
}

}
