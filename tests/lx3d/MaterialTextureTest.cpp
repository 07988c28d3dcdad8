#include "Lx3DHost.h"
#include "PictureTexture.h"

namespace {

lx::Ref<TestPicture> TextureOf(lx::Object& material)
{
    return lx::Cast<TestPicture>(Get<ObjectRef>(material, "Texture"));
}

ObjectRef Textured(TestPicture& picture)
{
    ObjectRef material = NewObject("Material");
    Set(*material, "Texture", ObjectRef(&picture));
    return material;
}

uint8_t Alpha(const TestPicture& picture, int32_t x, int32_t y) { return picture.Pixel(x, y)[0]; }

}

TEST(Material, DiffuseColourRoundTrips)
{
    ObjectRef material = NewObject("Material");
    EXPECT_EQ(Get<lx::Color>(*material, "DiffuseColor"), lx::Color { 0xFFFFFF });
    Set<bool>(*material, "HasDiffuseColor", true);
    Set(*material, "DiffuseColor", lx::Color { 0x336699 });
    EXPECT_EQ(Get<lx::Color>(*material, "DiffuseColor"), lx::Color { 0x336699 });
}

TEST(Material, ColourWaitsUntilTheAttributeIsSwitchedOn)
{
    ObjectRef material = NewObject("Material");
    ObjectRef sharer = NewObject("Trimesh");
    SetObject(*sharer, "Material", material.Get());
    Set(*material, "DiffuseColor", lx::Color { 0x102030 });
    EXPECT_FALSE(Get<bool>(*material, "HasDiffuseColor"));
    Set<bool>(*material, "HasDiffuseColor", true);
    // The set is shared: the mesh's material sees the colour now.
    ObjectRef seen = Get<ObjectRef>(*sharer, "Material");
    EXPECT_TRUE(Get<bool>(*seen, "HasDiffuseColor"));
    EXPECT_EQ(Get<lx::Color>(*seen, "DiffuseColor"), lx::Color { 0x102030 });
    Set<bool>(*material, "HasDiffuseColor", false);
    Set<bool>(*material, "HasDiffuseColor", true);
    EXPECT_EQ(Get<lx::Color>(*material, "DiffuseColor"), lx::Color { 0x102030 });
}

TEST(Material, TextureTakesThePictureAtItsSize)
{
    auto picture = NewPicture(3, 2, 0x123456);
    SetPixel(*picture, 2, 1, 0xFFFFFF);
    ObjectRef material = Textured(*picture);
    auto texture = TextureOf(*material);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->width, 3);
    EXPECT_EQ(texture->height, 2);
    EXPECT_EQ(texture->builtFormat, lx3d::PictureFormatARGB32);
    EXPECT_EQ(texture->pixels, picture->pixels);
    EXPECT_EQ(picture->descriptionLocks, 0);

    Set(*material, "Texture", ObjectRef());
    EXPECT_FALSE(TextureOf(*material));
}

TEST(Material, TransparentPicturesMakeWhiteSeeThrough)
{
    auto picture = NewPicture(2, 2, 0x808080);
    SetPixel(*picture, 1, 0, 0xFFFFFF);
    picture->transparent = 1;
    auto texture = TextureOf(*Textured(*picture));
    EXPECT_EQ(Alpha(*texture, 0, 0), 255);
    EXPECT_EQ(Alpha(*texture, 1, 0), 0);

    picture->transparent = 0;
    EXPECT_EQ(Alpha(*TextureOf(*Textured(*picture)), 1, 0), 255);
}

TEST(Material, MasksGiveTheAlpha)
{
    auto picture = NewPicture(2, 2, 0xFFFFFF);
    picture->transparent = 1;
    auto mask = NewPicture(2, 2, 0x000000);
    SetPixel(*mask, 1, 1, 0x800000);
    picture->mask = mask;
    auto texture = TextureOf(*Textured(*picture));
    // With a mask, "Transparent" is not consulted: white stays opaque.
    EXPECT_EQ(Alpha(*texture, 0, 0), 255);
    EXPECT_EQ(Alpha(*texture, 1, 1), 127);
}

TEST(Material, SmallerMaskLeavesTheRestOpaque)
{
    auto picture = NewPicture(4, 4, 0x204060);
    picture->mask = NewPicture(2, 2, 0xFF0000);
    auto texture = TextureOf(*Textured(*picture));
    EXPECT_EQ(Alpha(*texture, 1, 1), 0);
    EXPECT_EQ(Alpha(*texture, 3, 3), 255);
}

TEST(PictureTexture, SixteenBitTexelsWidenToEightBits)
{
    UseHostRegistrations();
    // Two texels, big-endian 1-5-5-5: all channels 31, then all channels 1.
    const uint8_t texels[] = { 0x7F, 0xFF, 0x04, 0x21 };
    TQ3ShaderObject shader = lx3d::NewTextureShader(2, 1, texels, 4, kQ3EndianBig, kQ3PixelTypeRGB16);
    auto picture = lx::Cast<TestPicture>(ObjectRef::Adopt(lx::FromLx(lx3d::TextureShaderToPicture(shader))));
    Q3Object_Dispose(shader);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->builtFormat, lx3d::PictureFormatRGB24);
    EXPECT_EQ(std::vector<uint8_t>(picture->Pixel(0, 0), picture->Pixel(0, 0) + 4),
        (std::vector<uint8_t> { 255, 255, 255, 255 }));
    EXPECT_EQ(
        std::vector<uint8_t>(picture->Pixel(1, 0), picture->Pixel(1, 0) + 4), (std::vector<uint8_t> { 255, 8, 8, 8 }));
}

TEST(PictureTexture, LittleEndianTexelsAreRead)
{
    UseHostRegistrations();
    const uint8_t texels[] = { 0xFF, 0x7F };
    TQ3ShaderObject shader = lx3d::NewTextureShader(1, 1, texels, 2, kQ3EndianLittle, kQ3PixelTypeRGB16);
    auto picture = lx::Cast<TestPicture>(ObjectRef::Adopt(lx::FromLx(lx3d::TextureShaderToPicture(shader))));
    Q3Object_Dispose(shader);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Pixel(0, 0)[1], 255);
}
