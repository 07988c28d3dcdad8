#include "PictureImage.h"
#include "PortImage.h"

#include <lxframework/Graphics.h>
#include <lxframework/Picture.h>
#include <lxframework/RGBSurface.h>
#include <lxframework/Runtime.h>

#include <QPainter>

namespace lx {

namespace {
    constexpr QRgb White = 0xFFFFFFFF;
    constexpr QRgb OpaqueBlack = 0xFF000000;
    constexpr int FullAlpha = 255;
}

Picture::~Picture()
{
    // Whoever still holds the port keeps a harmless, empty one.
    if (mGraphics)
        mGraphics->Detach();
    DisposeGWorld(mWorld);
}

Ref<Picture> Picture::New(int32_t width, int32_t height, int32_t depth)
{
    if (width <= 0 || height <= 0 || width > MaximumSide || height > MaximumSide)
        return nullptr;
    const Rect bounds { 0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width) };
    GWorldPtr world = nullptr;
    if (NewGWorld(&world, DefaultDepth, &bounds, nullptr, nullptr, 0) != noErr)
        return nullptr;
    Ref<Picture> picture = lx::New<Picture>();
    picture->mWorld = world;
    picture->mDepth = depth;
    // A new picture is opaque white: erase with the world's white background.
    CGrafPtr savedPort = nullptr;
    GDHandle savedDevice = nullptr;
    GetGWorld(&savedPort, &savedDevice);
    SetGWorld(world, nullptr);
    EraseRect(&bounds);
    SetGWorld(savedPort, savedDevice);
    return picture;
}

Ref<Picture> PictureFromImage(const QImage& image)
{
    Ref<Picture> picture = Picture::New(image.width(), image.height());
    if (picture)
        ImageToPort(image, picture->World(), QPoint(0, 0));
    return picture;
}

Ref<Picture> PictureFromImageWithAlpha(const QImage& image)
{
    QImage colors = image.convertToFormat(QImage::Format_ARGB32);
    QImage mask(colors.size(), QImage::Format_RGB32);
    bool opaque = true;
    for (int y = 0; y < colors.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(colors.scanLine(y));
        auto* maskPixels = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < colors.width(); ++x) {
            // The mask is black where opaque and white where transparent.
            const int level = FullAlpha - qAlpha(pixels[x]);
            opaque = opaque && level == 0;
            maskPixels[x] = qRgb(level, level, level);
            pixels[x] |= OpaqueBlack;
        }
    }
    Ref<Picture> picture = PictureFromImage(colors);
    if (picture && !opaque) {
        if (Ref<Picture> maskPicture = picture->Mask())
            ImageToPort(mask, maskPicture->World(), QPoint(0, 0));
    }
    return picture;
}

int32_t Picture::Width() const { return PortRect(mWorld).width(); }

int32_t Picture::Height() const { return PortRect(mWorld).height(); }

Ref<Graphics> Picture::Graphics()
{
    if (!mGraphics) {
        mGraphics = lx::New<lx::Graphics>();
        mGraphics->Attach(mWorld);
    }
    return mGraphics;
}

Ref<RGBSurface> Picture::RGBSurface()
{
    Ref<lx::RGBSurface> surface = lx::New<lx::RGBSurface>();
    surface->Attach(Ref<Picture>(this));
    return surface;
}

Ref<Picture> Picture::Mask()
{
    if (!mMask) {
        mMask = New(Width(), Height());
        if (mMask) {
            QImage black(Width(), Height(), QImage::Format_RGB32);
            black.fill(OpaqueBlack);
            ImageToPort(black, mMask->mWorld, QPoint(0, 0));
        }
    }
    return mMask;
}

QImage ToImage(const Picture& picture) { return PortToImage(picture.World()); }

QImage ToImageWithAlpha(const Picture& picture)
{
    QImage image = ToImage(picture).convertToFormat(QImage::Format_ARGB32);
    QImage mask;
    if (Ref<Picture> existing = picture.ExistingMask())
        mask = ToImage(*existing).scaled(image.size());
    for (int y = 0; y < image.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* maskPixels = mask.isNull() ? nullptr : reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            int alpha = maskPixels ? FullAlpha - qRed(maskPixels[x]) : FullAlpha;
            if (picture.Transparent == 1 && pixels[x] == White)
                alpha = 0;
            pixels[x] = qRgba(qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]), alpha);
        }
    }
    return image;
}

}
