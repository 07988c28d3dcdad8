#include "DecodedTexture.h"

#include "Tunables.h"

#include <algorithm>
#include <limits>

namespace q3::render {

namespace {

    uint32_t BytesPerPixel(PixelType type)
    {
        switch (type) {
        case PixelType::RGB32:
        case PixelType::ARGB32:
            return 4;
        case PixelType::RGB24:
            return 3;
        case PixelType::RGB16:
        case PixelType::ARGB16:
        case PixelType::RGB16_565:
            return 2;
        }
        return 0;
    }

    // Reads an unsigned value of `size` bytes stored in the given byte order.
    uint32_t ReadWord(const uint8_t* bytes, uint32_t size, ByteOrder order)
    {
        uint32_t word = 0;
        for (uint32_t i = 0; i < size; ++i) {
            uint32_t index = order == ByteOrder::Big ? i : size - 1 - i;
            word = (word << 8) | bytes[index];
        }
        return word;
    }

    // Widens a 5- or 6-bit channel so that its top value becomes 255.
    uint32_t Expand5(uint32_t value) { return (value << 3) | (value >> 2); }
    uint32_t Expand6(uint32_t value) { return (value << 2) | (value >> 4); }

    uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

    uint32_t Premultiply(uint32_t channel, uint32_t alpha) { return (channel * alpha + Opaque / 2) / Opaque; }

    uint32_t DecodeTexel(const uint8_t* bytes, PixelType type, ByteOrder order)
    {
        uint32_t a = Opaque, r = 0, g = 0, b = 0;
        uint32_t word = ReadWord(bytes, BytesPerPixel(type), order);
        switch (type) {
        case PixelType::ARGB32:
            a = word >> 24;
            [[fallthrough]];
        case PixelType::RGB32:
        case PixelType::RGB24:
            r = (word >> 16) & 0xFF;
            g = (word >> 8) & 0xFF;
            b = word & 0xFF;
            break;
        case PixelType::ARGB16:
            a = (word & 0x8000) ? Opaque : 0;
            [[fallthrough]];
        case PixelType::RGB16:
            r = Expand5((word >> 10) & 0x1F);
            g = Expand5((word >> 5) & 0x1F);
            b = Expand5(word & 0x1F);
            break;
        case PixelType::RGB16_565:
            r = Expand5((word >> 11) & 0x1F);
            g = Expand6((word >> 5) & 0x3F);
            b = Expand5(word & 0x1F);
            break;
        }
        return Pack(a, Premultiply(r, a), Premultiply(g, a), Premultiply(b, a));
    }

    bool MultiplyChecked(uint64_t a, uint64_t b, uint64_t& product)
    {
        if (a != 0 && b > std::numeric_limits<uint64_t>::max() / a)
            return false;
        product = a * b;
        return true;
    }

    // Averages up to four texels channel by channel; the colors are already
    // premultiplied, so transparent texels add no color of their own.
    uint32_t Average(const uint32_t* texels, int count)
    {
        uint32_t sum[4] = {};
        for (int i = 0; i < count; ++i) {
            for (int channel = 0; channel < 4; ++channel)
                sum[channel] += (texels[i] >> (8 * channel)) & 0xFF;
        }
        uint32_t result = 0;
        for (int channel = 0; channel < 4; ++channel)
            result |= ((sum[channel] + count / 2) / count) << (8 * channel);
        return result;
    }

    TextureLevel HalfLevel(const TextureLevel& source)
    {
        TextureLevel level;
        level.width = std::max(1u, source.width / 2);
        level.height = std::max(1u, source.height / 2);
        level.texels.resize(size_t(level.width) * level.height);
        for (uint32_t y = 0; y < level.height; ++y) {
            uint32_t y0 = std::min(2 * y, source.height - 1), y1 = std::min(2 * y + 1, source.height - 1);
            for (uint32_t x = 0; x < level.width; ++x) {
                uint32_t x0 = std::min(2 * x, source.width - 1), x1 = std::min(2 * x + 1, source.width - 1);
                const uint32_t quad[4] = { source.texels[size_t(y0) * source.width + x0],
                    source.texels[size_t(y0) * source.width + x1], source.texels[size_t(y1) * source.width + x0],
                    source.texels[size_t(y1) * source.width + x1] };
                level.texels[size_t(y) * level.width + x] = Average(quad, 4);
            }
        }
        return level;
    }

}

std::shared_ptr<const DecodedTexture> DecodedTexture::FromPixmap(const PixmapData& pixmap)
{
    if (pixmap.pixelType > uint32_t(PixelType::RGB24) || pixmap.byteOrder > uint32_t(ByteOrder::Little))
        return nullptr;
    auto type = PixelType(pixmap.pixelType);
    auto order = ByteOrder(pixmap.byteOrder);
    if (pixmap.width == 0 || pixmap.height == 0 || pixmap.width > MaximumSize || pixmap.height > MaximumSize)
        return nullptr;

    uint64_t rowLength = 0, needed = 0;
    if (!MultiplyChecked(pixmap.width, BytesPerPixel(type), rowLength) || pixmap.rowBytes < rowLength)
        return nullptr;
    // The last row needs only its pixels, not the whole stride.
    if (!MultiplyChecked(pixmap.height - 1, pixmap.rowBytes, needed) || needed + rowLength > pixmap.bytes.size())
        return nullptr;

    TextureLevel base;
    base.width = pixmap.width;
    base.height = pixmap.height;
    base.texels.resize(size_t(base.width) * base.height);
    uint32_t bytesPerPixel = BytesPerPixel(type);
    for (uint32_t y = 0; y < base.height; ++y) {
        const uint8_t* row = pixmap.bytes.data() + size_t(y) * pixmap.rowBytes;
        for (uint32_t x = 0; x < base.width; ++x)
            base.texels[size_t(y) * base.width + x] = DecodeTexel(row + size_t(x) * bytesPerPixel, type, order);
    }
    return std::shared_ptr<const DecodedTexture>(new DecodedTexture(std::move(base)));
}

DecodedTexture::DecodedTexture(TextureLevel base)
{
    for (uint32_t texel : base.texels)
        mHasTransparency |= (texel >> 24) != Opaque;
    mLevels.push_back(std::move(base));
    BuildMipmaps();
}

void DecodedTexture::BuildMipmaps()
{
    while (mLevels.back().width > 1 || mLevels.back().height > 1)
        mLevels.push_back(HalfLevel(mLevels.back()));
}

}
