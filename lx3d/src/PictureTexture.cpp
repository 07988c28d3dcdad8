#include "PictureTexture.h"

#include "HostServices.h"
#include "Lx3DUtil.h"

#include <carbon/Carbon.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

namespace lx3d {

namespace {

    constexpr uint32_t BytesPerTexel32 = 4;
    constexpr uint8_t Opaque = 255;
    constexpr int32_t OffscreenDepth = 32;
    // Five-bit channels widen to eight bits with this factor (31 gives 255).
    constexpr double FiveBitScale = 8.258;

    // A picture drawn into an off-screen buffer whose background is white.
    // The picture's description stays locked while the source lives.
    class PicturePixelSource {
    public:
        explicit PicturePixelSource(LxObject* picture)
            : mPicture(picture)
        {
            if (!picture)
                return;
            lockPictureDescription(picture, &mDescription);
            Rect bounds { 0, 0, static_cast<int16_t>(mDescription.height), static_cast<int16_t>(mDescription.width) };
            if (mDescription.width <= 0 || mDescription.height <= 0 || mDescription.width > INT16_MAX
                || mDescription.height > INT16_MAX
                || NewGWorld(&mWorld, OffscreenDepth, &bounds, nullptr, nullptr, 0) != noErr) {
                mWorld = nullptr;
                return;
            }
            mPixels = GetGWorldPixMap(mWorld);
            LockPixels(mPixels);
            CGrafPtr savedPort = nullptr;
            GDHandle savedDevice = nullptr;
            GetGWorld(&savedPort, &savedDevice);
            SetGWorld(mWorld, nullptr);
            EraseRect(&bounds);
            LxRect area { bounds.top, bounds.left, bounds.bottom, bounds.right };
            drawPicturePrimitive(picture, &area, 0);
            SetGWorld(savedPort, savedDevice);
        }

        ~PicturePixelSource()
        {
            if (mWorld) {
                UnlockPixels(mPixels);
                DisposeGWorld(mWorld);
            }
            if (mPicture)
                unlockPictureDescription(mPicture);
        }

        PicturePixelSource(const PicturePixelSource&) = delete;
        PicturePixelSource& operator=(const PicturePixelSource&) = delete;

        bool Valid() const { return mWorld != nullptr; }
        uint32_t Width() const { return uint32_t(mDescription.width); }
        uint32_t Height() const { return uint32_t(mDescription.height); }

        // Bytes A, R, G, B of one pixel; null outside the picture.
        const uint8_t* Pixel(uint32_t row, uint32_t column) const
        {
            if (!Valid() || row >= Height() || column >= Width())
                return nullptr;
            const char* base = GetPixBaseAddr(mPixels);
            return reinterpret_cast<const uint8_t*>(base + row * PixRowBytes(mPixels) + column * BytesPerTexel32);
        }

    private:
        LxObject* mPicture = nullptr;
        LxPictureDescription mDescription {};
        GWorldPtr mWorld = nullptr;
        PixMapHandle mPixels = nullptr;
    };

    void WriteTexel(uint8_t* dst, uint8_t alpha, const uint8_t* src)
    {
        dst[0] = alpha;
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = src[3];
    }

    bool IsPureWhite(const uint8_t* src) { return src[1] == Opaque && src[2] == Opaque && src[3] == Opaque; }

    // Writes one texel by the rule in force; true when it is not opaque.
    bool CopyTexel(uint8_t* dst, const uint8_t* src, const PicturePixelSource* mask, uint32_t row, uint32_t column,
        WhiteTransparency white)
    {
        if (mask) {
            // Outside a smaller mask the picture stays opaque, as under black.
            const uint8_t* m = mask->Pixel(row, column);
            uint8_t red = m ? m[1] : 0;
            WriteTexel(dst, uint8_t(Opaque - red), src);
            return red != 0;
        }
        if (white == WhiteTransparency::Transparent && IsPureWhite(src)) {
            dst[0] = dst[1] = dst[2] = dst[3] = 0;
            return true;
        }
        WriteTexel(dst, Opaque, src);
        return false;
    }

    uint32_t BytesPerPixel(TQ3PixelType type)
    {
        switch (type) {
        case kQ3PixelTypeRGB32:
        case kQ3PixelTypeARGB32:
            return 4;
        case kQ3PixelTypeRGB24:
            return 3;
        default:
            return 2;
        }
    }

    // Texels in the order the host reads them: the most significant byte first.
    std::vector<uint8_t> InMemoryOrder(std::vector<uint8_t> bytes, const TQ3StoragePixmap& pixmap, uint32_t size)
    {
        if (pixmap.byteOrder == kQ3EndianBig)
            return bytes;
        for (uint32_t row = 0; row < pixmap.height; ++row) {
            uint8_t* texel = bytes.data() + row * pixmap.rowBytes;
            for (uint32_t column = 0; column < pixmap.width; ++column, texel += size)
                std::reverse(texel, texel + size);
        }
        return bytes;
    }

    uint8_t WidenFiveBits(uint32_t value) { return uint8_t(std::trunc((value & 0x1F) * FiveBitScale)); }

    LxObject* PictureFrom16Bit(const std::vector<uint8_t>& bytes, const TQ3StoragePixmap& pixmap)
    {
        std::vector<uint8_t> expanded(std::size_t(pixmap.width) * pixmap.height * 3);
        uint8_t* out = expanded.data();
        for (uint32_t row = 0; row < pixmap.height; ++row) {
            const uint8_t* texel = bytes.data() + row * pixmap.rowBytes;
            for (uint32_t column = 0; column < pixmap.width; ++column, texel += 2) {
                uint32_t v = pixmap.byteOrder == kQ3EndianBig ? uint32_t(texel[0]) << 8 | texel[1]
                                                              : uint32_t(texel[1]) << 8 | texel[0];
                *out++ = WidenFiveBits(v >> 10);
                *out++ = WidenFiveBits(v >> 5);
                *out++ = WidenFiveBits(v);
            }
        }
        return VANTBuildPictureFromBuffer(LxInteger(pixmap.width), LxInteger(pixmap.height), LxPictureFormatRGB24,
            expanded.data(), LxInteger(pixmap.width * 3));
    }

    // The storage must hold every row the pixmap claims, or the host would
    // read past it.
    std::vector<uint8_t> ReadTexels(const TQ3StoragePixmap& pixmap)
    {
        uint64_t needed = uint64_t(pixmap.height) * pixmap.rowBytes;
        TQ3Uns32 size = 0;
        if (Q3Storage_GetSize(pixmap.image, &size) != kQ3Success || size == 0 || size < needed
            || pixmap.rowBytes < uint64_t(pixmap.width) * BytesPerPixel(pixmap.pixelType))
            return {};
        std::vector<uint8_t> bytes(size);
        TQ3Uns32 read = 0;
        if (Q3Storage_GetData(pixmap.image, 0, size, bytes.data(), &read) != kQ3Success || read != size)
            return {};
        return bytes;
    }

    LxObject* PictureFromTexels(const TQ3StoragePixmap& pixmap)
    {
        std::vector<uint8_t> bytes = ReadTexels(pixmap);
        if (bytes.empty() || pixmap.width > INT32_MAX || pixmap.height > INT32_MAX || pixmap.rowBytes > INT32_MAX)
            return nullptr;
        auto width = LxInteger(pixmap.width);
        auto height = LxInteger(pixmap.height);
        switch (pixmap.pixelType) {
        case kQ3PixelTypeRGB32:
        case kQ3PixelTypeARGB32:
            bytes = InMemoryOrder(std::move(bytes), pixmap, 4);
            return VANTBuildPictureFromBuffer(
                width, height, LxPictureFormatARGB32, bytes.data(), LxInteger(pixmap.rowBytes));
        case kQ3PixelTypeRGB24:
            bytes = InMemoryOrder(std::move(bytes), pixmap, 3);
            return VANTBuildPictureFromBuffer(
                width, height, LxPictureFormatRGB24, bytes.data(), LxInteger(pixmap.rowBytes));
        case kQ3PixelTypeRGB16:
        case kQ3PixelTypeARGB16:
            return PictureFrom16Bit(bytes, pixmap);
        default:
            return nullptr;
        }
    }

    LxObject* PictureFromPixmap(TQ3TextureObject texture)
    {
        TQ3StoragePixmap pixmap {};
        if (Q3PixmapTexture_GetPixmap(texture, &pixmap) != kQ3Success)
            return nullptr;
        // The texels are copied out of the storage, and 16-bit ones widened:
        // a texture too large for memory gives no picture.
        LxObject* picture = nullptr;
        try {
            picture = PictureFromTexels(pixmap);
        } catch (const std::bad_alloc&) {
        }
        Q3Object_Dispose(pixmap.image);
        return picture;
    }

}

TQ3ShaderObject NewTextureShaderFromPicture(
    LxObject* picture, LxObject* mask, WhiteTransparency white, uint32_t width, uint32_t height)
{
    PicturePixelSource source(picture);
    if (!source.Valid() || width == 0 || height == 0)
        return nullptr;
    std::optional<PicturePixelSource> maskSource;
    if (mask)
        maskSource.emplace(mask);
    uint64_t rowBytes = uint64_t(width) * BytesPerTexel32;
    if (rowBytes * height > UINT32_MAX)
        return nullptr;
    // A texture too large for memory is none.
    std::vector<uint8_t> texels;
    try {
        texels.resize(rowBytes * height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    bool anyTransparent = false;
    for (uint32_t row = 0; row < std::min(source.Height(), height); ++row) {
        for (uint32_t column = 0; column < std::min(source.Width(), width); ++column) {
            uint8_t* dst = texels.data() + row * rowBytes + column * BytesPerTexel32;
            if (CopyTexel(dst, source.Pixel(row, column), maskSource ? &*maskSource : nullptr, row, column, white))
                anyTransparent = true;
        }
    }
    TQ3PixelType type = anyTransparent ? kQ3PixelTypeARGB32 : kQ3PixelTypeRGB32;
    return NewTextureShader(width, height, texels.data(), uint32_t(rowBytes), kQ3EndianBig, type);
}

TQ3ShaderObject NewTextureShader(
    uint32_t width, uint32_t height, const void* pixels, uint32_t rowBytes, TQ3Endian byteOrder, TQ3PixelType pixelType)
{
    uint64_t size = uint64_t(height) * rowBytes;
    if (size > UINT32_MAX)
        return nullptr;
    TQ3StorageObject storage = Q3MemoryStorage_New(static_cast<const unsigned char*>(pixels), TQ3Uns32(size));
    if (!storage)
        return nullptr;
    TQ3StoragePixmap pixmap { storage, width, height, rowBytes, 8 * BytesPerPixel(pixelType), pixelType, kQ3EndianBig,
        byteOrder };
    TQ3TextureObject texture = Q3PixmapTexture_New(&pixmap);
    Q3Object_Dispose(storage);
    TQ3ShaderObject shader = Q3TextureShader_New(texture);
    Q3Object_Dispose(texture);
    return shader;
}

LxObject* TextureShaderToPicture(TQ3ShaderObject shader)
{
    TQ3TextureObject texture = nullptr;
    if (Q3TextureShader_GetTexture(shader, &texture) != kQ3Success)
        return nullptr;
    LxObject* picture = nullptr;
    TQ3ObjectType type = Q3Texture_GetType(texture);
    if (type == kQ3TextureTypePixmap) {
        picture = PictureFromPixmap(texture);
    } else if (type != kQ3TextureTypeMipmap) {
        TQ3Uns32 width = 0;
        TQ3Uns32 height = 0;
        Q3Texture_GetWidth(texture, &width);
        Q3Texture_GetHeight(texture, &height);
        picture = newPicture(LxInteger(width), LxInteger(height), OffscreenDepth);
    }
    Q3Object_Dispose(texture);
    return picture;
}

}
