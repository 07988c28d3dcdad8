#pragma once

// A texture decoded once from a pixel map into premultiplied 32-bit texels,
// with its chain of mipmaps.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace q3::render {

// The values a pixel map's pixel type and byte order fields take.
enum class PixelType : uint32_t { RGB32 = 0, ARGB32 = 1, RGB16 = 2, ARGB16 = 3, RGB16_565 = 4, RGB24 = 5 };
enum class ByteOrder : uint32_t { Big = 0, Little = 1 };

struct PixmapData {
    std::span<const uint8_t> bytes {};
    uint32_t width { 0 };
    uint32_t height { 0 };
    uint32_t rowBytes { 0 };
    uint32_t pixelType { 0 };
    uint32_t byteOrder { 0 };
};

// One level of detail: texels 0xAARRGGBB, color premultiplied by alpha,
// row 0 the top row.
struct TextureLevel {
    uint32_t width { 0 };
    uint32_t height { 0 };
    std::vector<uint32_t> texels {};
};

class DecodedTexture {
public:
    // The largest width or height accepted.
    static constexpr uint32_t MaximumSize = 1 << 15;

    // Null when the description does not fit its bytes: an unknown pixel type
    // or byte order, a zero or oversized width or height, rows shorter than
    // the width, or fewer bytes than the rows need.
    static std::shared_ptr<const DecodedTexture> FromPixmap(const PixmapData& pixmap);

    uint32_t Width() const { return mLevels.front().width; }
    uint32_t Height() const { return mLevels.front().height; }
    // True when any texel is less than opaque.
    bool HasTransparency() const { return mHasTransparency; }

    int LevelCount() const { return static_cast<int>(mLevels.size()); }
    const TextureLevel& Level(int index) const { return mLevels[index]; }

private:
    explicit DecodedTexture(TextureLevel base);
    void BuildMipmaps();

    std::vector<TextureLevel> mLevels {};
    bool mHasTransparency { false };
};

}
