#include "PictureImage.h"
#include "PortImage.h"

#include <lxframework/Graphics.h>
#include <lxframework/Picture.h>
#include <lxframework/Runtime.h>

#include <QPainter>

#include <climits>

// The picture services a plug-in finds through the resolver. Like every host
// service they let no C++ exception out and answer null for bad arguments.

namespace lx {

namespace {

    constexpr int BytesPerPixel32 = 4;
    constexpr int BytesPerPixel24 = 3;

    Picture* AsPicture(LxObject* object) { return object ? dynamic_cast<Picture*>(FromLx(object)) : nullptr; }

    void LockPictureDescription(LxObject* object, LxPictureDescription* description) noexcept
    {
        Picture* picture = AsPicture(object);
        if (!picture || !description)
            return;
        ++picture->DescriptionLocks;
        *description = { picture->Width(), picture->Height(), picture->Depth() };
    }

    void UnlockPictureDescription(LxObject* object) noexcept
    {
        if (Picture* picture = AsPicture(object); picture && picture->DescriptionLocks > 0)
            --picture->DescriptionLocks;
    }

    // Draws the picture scaled into the rectangle of the current port: a plain
    // opaque copy, whatever the mask and Transparent say.
    void DrawPicturePrimitive(LxObject* object, const LxRect* rect, LxInteger) noexcept
    {
        Picture* picture = AsPicture(object);
        CGrafPtr port = nullptr;
        GetGWorld(&port, nullptr);
        if (!picture || !rect || !port || rect->right <= rect->left || rect->bottom <= rect->top)
            return;
        try {
            const QSize size(rect->right - rect->left, rect->bottom - rect->top);
            const QImage scaled = ToImage(*picture).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            ImageToPort(scaled, port, QPoint(rect->left, rect->top));
        } catch (...) {
            DebugLog("a picture could not be drawn into the current port");
        }
    }

    LxObject* NewPicture(LxInteger width, LxInteger height, LxInteger depth) noexcept
    {
        try {
            return ToLx(Picture::New(width, height, depth).Leak());
        } catch (...) {
            return nullptr;
        }
    }

    // A new picture holding a copy of the pixels. Pixels of the 3D library
    // with alpha (LxPictureFormatARGB32) keep it as the picture's mask; the
    // others make an opaque picture.
    LxObject* BuildPictureFromBuffer(
        LxInteger width, LxInteger height, LxInteger format, const void* base, LxInteger rowBytes) noexcept
    {
        const int bytesPerPixel = format == LxPictureFormatRGB24 ? BytesPerPixel24 : BytesPerPixel32;
        const bool known
            = format == LxPictureFormatRGB24 || format == LxPictureFormatARGB32 || format == LxPictureFormatOffscreen32;
        if (!known || !base || width <= 0 || height <= 0 || width > Picture::MaximumSide
            || height > Picture::MaximumSide || rowBytes < width * bytesPerPixel)
            return nullptr;
        const bool keepAlpha = format == LxPictureFormatARGB32;
        try {
            QImage image(width, height, keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
            for (int y = 0; y < height; ++y) {
                const auto* source = static_cast<const uint8_t*>(base) + static_cast<std::size_t>(y) * rowBytes;
                auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < width; ++x, source += bytesPerPixel) {
                    // 24-bit pixels are R, G, B; 32-bit ones A (or unused), R, G, B.
                    const uint8_t* rgb = bytesPerPixel == BytesPerPixel24 ? source : source + 1;
                    target[x] = qRgba(rgb[0], rgb[1], rgb[2], keepAlpha ? source[0] : 255);
                }
            }
            return ToLx((keepAlpha ? PictureFromImageWithAlpha(image) : PictureFromImage(image)).Leak());
        } catch (...) {
            return nullptr;
        }
    }

    LxObject* GetPictureMask(LxObject* object, LxBoolean create) noexcept
    {
        Picture* picture = AsPicture(object);
        if (!picture)
            return nullptr;
        try {
            return ToLx((create ? picture->Mask() : picture->ExistingMask()).Leak());
        } catch (...) {
            return nullptr;
        }
    }

    void SelectGraphics(LxObject* object) noexcept
    {
        auto* graphics = object ? dynamic_cast<Graphics*>(FromLx(object)) : nullptr;
        if (graphics)
            SetGWorld(graphics->Port(), nullptr);
    }

}

void RegisterPictureServices()
{
    RegisterHostService("lockPictureDescription", reinterpret_cast<LxFunction>(&LockPictureDescription));
    RegisterHostService("unlockPictureDescription", reinterpret_cast<LxFunction>(&UnlockPictureDescription));
    RegisterHostService("drawPicturePrimitive", reinterpret_cast<LxFunction>(&DrawPicturePrimitive));
    RegisterHostService("newPicture", reinterpret_cast<LxFunction>(&NewPicture));
    RegisterHostService("VANTBuildPictureFromBuffer", reinterpret_cast<LxFunction>(&BuildPictureFromBuffer));
    RegisterHostService("VANTGetPictureMask", reinterpret_cast<LxFunction>(&GetPictureMask));
    RegisterHostService("SelectGraphics", reinterpret_cast<LxFunction>(&SelectGraphics));
}

}
