#include "render/DecodedTexture.h"
#include "render/Sampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace q3::render;

namespace {

struct DecodeCase {
    std::string name;
    PixelType type;
    ByteOrder order;
    std::vector<uint8_t> bytes;
    uint32_t expected; // 0xAARRGGBB, premultiplied
};

std::shared_ptr<const DecodedTexture> OnePixel(const DecodeCase& row)
{
    PixmapData pixmap { row.bytes, 1, 1, uint32_t(row.bytes.size()), uint32_t(row.type), uint32_t(row.order) };
    return DecodedTexture::FromPixmap(pixmap);
}

std::shared_ptr<const DecodedTexture> FromTexels(const std::vector<uint32_t>& texels, uint32_t width, uint32_t height)
{
    std::vector<uint8_t> bytes;
    for (uint32_t texel : texels)
        bytes.insert(bytes.end(), { uint8_t(texel >> 24), uint8_t(texel >> 16), uint8_t(texel >> 8), uint8_t(texel) });
    PixmapData pixmap { bytes, width, height, width * 4, uint32_t(PixelType::ARGB32), uint32_t(ByteOrder::Big) };
    return DecodedTexture::FromPixmap(pixmap);
}

}

TEST(TextureDecoding, EveryPixelTypeAndByteOrder)
{
    const DecodeCase cases[] = {
        { "RGB32 big ignores the first byte", PixelType::RGB32, ByteOrder::Big, { 0x00, 0x11, 0x22, 0x33 },
            0xFF112233 },
        { "RGB32 little", PixelType::RGB32, ByteOrder::Little, { 0x33, 0x22, 0x11, 0x00 }, 0xFF112233 },
        { "ARGB32 big, half transparent", PixelType::ARGB32, ByteOrder::Big, { 0x80, 0xFF, 0x00, 0x40 }, 0x80800020 },
        { "ARGB32 little", PixelType::ARGB32, ByteOrder::Little, { 0x40, 0x00, 0xFF, 0x80 }, 0x80800020 },
        { "ARGB32 fully transparent", PixelType::ARGB32, ByteOrder::Big, { 0x00, 0xFF, 0xFF, 0xFF }, 0x00000000 },
        { "RGB16 big, top values give 255", PixelType::RGB16, ByteOrder::Big, { 0x7C, 0x01 }, 0xFFFF0008 },
        { "RGB16 little", PixelType::RGB16, ByteOrder::Little, { 0x01, 0x7C }, 0xFFFF0008 },
        { "RGB16 ignores the top bit", PixelType::RGB16, ByteOrder::Big, { 0x03, 0xE0 }, 0xFF00FF00 },
        { "ARGB16 with the top bit is opaque", PixelType::ARGB16, ByteOrder::Big, { 0x83, 0xE0 }, 0xFF00FF00 },
        { "ARGB16 without it is transparent", PixelType::ARGB16, ByteOrder::Little, { 0x00, 0x7C }, 0x00000000 },
        { "RGB16 565 big", PixelType::RGB16_565, ByteOrder::Big, { 0x08, 0x21 }, 0xFF080408 },
        { "RGB16 565 little, full green", PixelType::RGB16_565, ByteOrder::Little, { 0xE0, 0x07 }, 0xFF00FF00 },
        { "RGB24 big", PixelType::RGB24, ByteOrder::Big, { 0x11, 0x22, 0x33 }, 0xFF112233 },
        { "RGB24 little", PixelType::RGB24, ByteOrder::Little, { 0x33, 0x22, 0x11 }, 0xFF112233 },
    };
    for (const DecodeCase& row : cases) {
        auto texture = OnePixel(row);
        ASSERT_TRUE(texture) << row.name;
        EXPECT_EQ(texture->Level(0).texels[0], row.expected) << row.name;
        EXPECT_EQ(texture->HasTransparency(), (row.expected >> 24) != 0xFF) << row.name;
    }
}

TEST(TextureDecoding, HonoursRowBytesAndPicksRowsTopFirst)
{
    // Two rows of one RGB24 pixel each, eight bytes apart.
    std::vector<uint8_t> bytes { 1, 2, 3, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 4, 5, 6 };
    auto texture = DecodedTexture::FromPixmap({ bytes, 1, 2, 8, uint32_t(PixelType::RGB24), uint32_t(ByteOrder::Big) });
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->Level(0).texels[0], 0xFF010203u);
    EXPECT_EQ(texture->Level(0).texels[1], 0xFF040506u);
}

TEST(TextureDecoding, RefusesDescriptionsThatDoNotFitTheirBytes)
{
    std::vector<uint8_t> bytes(64, 0);
    auto make = [&](uint32_t width, uint32_t height, uint32_t rowBytes, uint32_t type = 0, uint32_t order = 0) {
        return DecodedTexture::FromPixmap({ bytes, width, height, rowBytes, type, order });
    };
    EXPECT_FALSE(make(0, 1, 4)) << "zero width";
    EXPECT_FALSE(make(1, 0, 4)) << "zero height";
    EXPECT_FALSE(make(4, 1, 12)) << "rows shorter than the width";
    EXPECT_FALSE(make(4, 5, 16)) << "more rows than bytes";
    EXPECT_FALSE(make(1, 1, 4, 6)) << "unknown pixel type";
    EXPECT_FALSE(make(1, 1, 4, 0, 2)) << "unknown byte order";
    EXPECT_FALSE(make(1, 3, std::numeric_limits<uint32_t>::max())) << "rows far apart";
    EXPECT_FALSE(make(DecodedTexture::MaximumSize + 1, 1, 4)) << "too wide";
    EXPECT_FALSE(DecodedTexture::FromPixmap({ {}, 1, 1, 4, 0, 0 })) << "no bytes";
    // The last row needs its pixels only, not a whole stride.
    EXPECT_TRUE(make(4, 4, 16));
    EXPECT_TRUE(make(2, 3, 24));
}

TEST(TextureMipmaps, HalveDownToOneTexelAtAnySize)
{
    auto texture = FromTexels(std::vector<uint32_t>(5 * 3, 0xFF808080), 5, 3);
    ASSERT_TRUE(texture);
    ASSERT_EQ(texture->LevelCount(), 3);
    EXPECT_EQ(texture->Level(1).width, 2u);
    EXPECT_EQ(texture->Level(1).height, 1u);
    EXPECT_EQ(texture->Level(2).width, 1u);
    EXPECT_EQ(texture->Level(2).texels[0], 0xFF808080u);
}

TEST(TextureMipmaps, AverageWithoutTransparentColorBleeding)
{
    // Black and white average to grey; a transparent texel adds no color.
    auto checker = FromTexels({ 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000 }, 2, 2);
    ASSERT_TRUE(checker);
    EXPECT_EQ(checker->Level(1).texels[0], 0xFF808080u);
    auto holes = FromTexels({ 0x00FFFFFF, 0xFFFF0000, 0xFFFF0000, 0x00FFFFFF }, 2, 2);
    EXPECT_EQ(holes->Level(1).texels[0], 0x80800000u);
}

TEST(TextureSampling, TexelCentresGiveTheirTexels)
{
    // Columns left to right, rows top to bottom: v = 1 is the top row.
    auto texture = FromTexels({ 0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF }, 2, 2);
    const TextureLevel& level = texture->Level(0);
    EXPECT_EQ(SampleBilinear(level, 0.25f, 0.75f), 0xFF0000FFu);
    EXPECT_EQ(SampleBilinear(level, 0.75f, 0.75f), 0xFF00FF00u);
    EXPECT_EQ(SampleBilinear(level, 0.25f, 0.25f), 0xFFFF0000u);
    EXPECT_EQ(SampleBilinear(level, 0.75f, 0.25f), 0xFFFFFFFFu);
}

TEST(TextureSampling, WrapsInBothDirections)
{
    auto texture = FromTexels({ 0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF }, 2, 2);
    const TextureLevel& level = texture->Level(0);
    EXPECT_EQ(SampleBilinear(level, 1.25f, 0.75f), 0xFF0000FFu) << "past 1";
    EXPECT_EQ(SampleBilinear(level, -0.25f, 0.75f), 0xFF00FF00u) << "below 0";
    EXPECT_EQ(SampleBilinear(level, -3.75f, -1.25f), 0xFF0000FFu) << "far below 0 in u and v";
    EXPECT_EQ(SampleBilinear(level, 0.25f, 2.25f), 0xFFFF0000u) << "past 1 in v";
    // On the left edge the right column blends in half and half.
    EXPECT_EQ(SampleBilinear(level, 0.0f, 0.75f), 0xFF007F7Fu);
}

TEST(TextureSampling, ClampsInEitherDirection)
{
    auto texture = FromTexels({ 0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF }, 2, 2);
    const TextureLevel& level = texture->Level(0);
    constexpr Boundary Clamp = Boundary::Clamp, Wrap = Boundary::Wrap;
    EXPECT_EQ(SampleBilinear(level, 1.25f, 0.75f, Clamp, Clamp), 0xFF00FF00u) << "past 1 in u";
    EXPECT_EQ(SampleBilinear(level, -0.25f, 0.75f, Clamp, Clamp), 0xFF0000FFu) << "below 0 in u";
    EXPECT_EQ(SampleBilinear(level, -1e9f, -3.5f, Clamp, Clamp), 0xFFFF0000u) << "far below 0 in u and v";
    EXPECT_EQ(SampleBilinear(level, 0.25f, 2.25f, Clamp, Clamp), 0xFF0000FFu) << "past 1 in v";
    // Each axis keeps its own mode.
    EXPECT_EQ(SampleBilinear(level, 1.25f, 1.25f, Wrap, Clamp), 0xFF0000FFu);
    EXPECT_EQ(SampleBilinear(level, 1.25f, 1.25f, Clamp, Wrap), 0xFFFFFFFFu);
    // Between the edge texels' centres, inside, clamping changes nothing.
    EXPECT_EQ(SampleBilinear(level, 0.5f, 0.75f, Clamp, Clamp), SampleBilinear(level, 0.5f, 0.75f));
}

TEST(TextureSampling, OddValuesStayOnTheTexture)
{
    auto texture = FromTexels({ 0xFF102030, 0xFF102030, 0xFF102030 }, 3, 1);
    const TextureLevel& level = texture->Level(0);
    for (float u : { std::nanf(""), std::numeric_limits<float>::infinity(), -1e30f, 1e30f, 0.9999999f })
        EXPECT_EQ(SampleBilinear(level, u, u), 0xFF102030u) << u;
    EXPECT_EQ(WrapToUnit(-0.25f), 0.75f);
    EXPECT_EQ(WrapToUnit(std::nanf("")), 0.0f);
}

TEST(TextureSampling, LevelFollowsTexelsPerPixel)
{
    auto texture = FromTexels(std::vector<uint32_t>(64 * 64, 0xFF000000), 64, 64);
    EXPECT_EQ(ChooseLevel(*texture, 0.5f), 0);
    EXPECT_EQ(ChooseLevel(*texture, 1.0f), 0);
    EXPECT_EQ(ChooseLevel(*texture, 4.0f), 2);
    EXPECT_EQ(ChooseLevel(*texture, 1e9f), texture->LevelCount() - 1);
    EXPECT_EQ(ChooseLevel(*texture, std::nanf("")), 0);
}
