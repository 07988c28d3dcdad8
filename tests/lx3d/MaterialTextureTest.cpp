#include "Lx3DHost.h"
#include "PictureTexture.h"

namespace {

lx::Ref<lx::Picture> TextureOf(lx::Object& material)
{
    return lx::Cast<lx::Picture>(Get<ObjectRef>(material, "Texture"));
}

ObjectRef Textured(lx::Picture& picture)
{
    ObjectRef material = NewObject("Material");
    Set(*material, "Texture", ObjectRef(&picture));
    return material;
}

// Draws a smaller mask into the picture's own: the rest of the mask stays as it was made.
void DrawMask(lx::Picture& picture, lx::Picture& mask)
{
    for (int32_t y = 0; y < mask.Height(); ++y) {
        for (int32_t x = 0; x < mask.Width(); ++x)
            SetPixel(*picture.Mask(), x, y, PixelOf(mask, x, y));
    }
}

}

TEST(Material, DiffuseColorRoundTrips)
{
    ObjectRef material = NewObject("Material");
    EXPECT_EQ(Get<lx::Color>(*material, "DiffuseColor"), lx::Color { 0xFFFFFF });
    Set<bool>(*material, "HasDiffuseColor", true);
    Set(*material, "DiffuseColor", lx::Color { 0x336699 });
    EXPECT_EQ(Get<lx::Color>(*material, "DiffuseColor"), lx::Color { 0x336699 });
}

TEST(Material, ColorWaitsUntilTheAttributeIsSwitchedOn)
{
    ObjectRef material = NewObject("Material");
    ObjectRef sharer = NewObject("Trimesh");
    SetObject(*sharer, "Material", material.Get());
    Set(*material, "DiffuseColor", lx::Color { 0x102030 });
    EXPECT_FALSE(Get<bool>(*material, "HasDiffuseColor"));
    Set<bool>(*material, "HasDiffuseColor", true);
    // The set is shared: the mesh's material sees the color now.
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
    EXPECT_EQ(texture->Width(), 3);
    EXPECT_EQ(texture->Height(), 2);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(PixelOf(*texture, x, y), PixelOf(*picture, x, y));
            EXPECT_EQ(AlphaOf(*texture, x, y), 255);
        }
    }
    EXPECT_EQ(picture->DescriptionLocks, 0);

    Set(*material, "Texture", ObjectRef());
    EXPECT_FALSE(TextureOf(*material));
}

TEST(Material, TransparentPicturesMakeWhiteSeeThrough)
{
    auto picture = NewPicture(2, 2, 0x808080);
    SetPixel(*picture, 1, 0, 0xFFFFFF);
    picture->Transparent = 1;
    auto texture = TextureOf(*Textured(*picture));
    EXPECT_EQ(AlphaOf(*texture, 0, 0), 255);
    EXPECT_EQ(AlphaOf(*texture, 1, 0), 0);

    picture->Transparent = 0;
    EXPECT_EQ(AlphaOf(*TextureOf(*Textured(*picture)), 1, 0), 255);
}

TEST(Material, MasksGiveTheAlpha)
{
    auto picture = NewPicture(2, 2, 0xFFFFFF);
    picture->Transparent = 1;
    SetPixel(*picture->Mask(), 1, 1, 0x808080);
    auto texture = TextureOf(*Textured(*picture));
    // With a mask, "Transparent" is not consulted: white stays opaque.
    EXPECT_EQ(AlphaOf(*texture, 0, 0), 255);
    EXPECT_EQ(AlphaOf(*texture, 1, 1), 127);
}

TEST(Material, PartlyDrawnMaskLeavesTheRestOpaque)
{
    auto picture = NewPicture(4, 4, 0x204060);
    DrawMask(*picture, *NewPicture(2, 2, 0xFFFFFF));
    auto texture = TextureOf(*Textured(*picture));
    EXPECT_EQ(AlphaOf(*texture, 1, 1), 0);
    EXPECT_EQ(AlphaOf(*texture, 3, 3), 255);
}

TEST(PictureTexture, SixteenBitTexelsWidenToEightBits)
{
    UseHostRegistrations();
    // Two rows of two texels, big-endian 1-5-5-5, each row padded to six
    // bytes: all channels 31, then all channels 1, and the other way round.
    const uint8_t texels[] = { 0x7F, 0xFF, 0x04, 0x21, 0, 0, 0x04, 0x21, 0x7F, 0xFF, 0, 0 };
    TQ3ShaderObject shader = lx3d::NewTextureShader(2, 2, texels, 6, kQ3EndianBig, kQ3PixelTypeRGB16);
    auto picture = lx::Cast<lx::Picture>(ObjectRef::Adopt(lx::FromLx(lx3d::TextureShaderToPicture(shader))));
    Q3Object_Dispose(shader);
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->ExistingMask());
    EXPECT_EQ(PixelOf(*picture, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(*picture, 1, 0), 0x080808u);
    EXPECT_EQ(PixelOf(*picture, 0, 1), 0x080808u);
    EXPECT_EQ(PixelOf(*picture, 1, 1), 0xFFFFFFu);
}

TEST(PictureTexture, LittleEndianTexelsAreRead)
{
    UseHostRegistrations();
    const uint8_t texels[] = { 0xFF, 0x7F };
    TQ3ShaderObject shader = lx3d::NewTextureShader(1, 1, texels, 2, kQ3EndianLittle, kQ3PixelTypeRGB16);
    auto picture = lx::Cast<lx::Picture>(ObjectRef::Adopt(lx::FromLx(lx3d::TextureShaderToPicture(shader))));
    Q3Object_Dispose(shader);
    ASSERT_TRUE(picture);
    EXPECT_EQ(PixelOf(*picture, 0, 0) >> 16, 0xFFu);
}
