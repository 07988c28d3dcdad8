#include <lxframework/Graphics.h>
#include <lxframework/Picture.h>
#include <lxframework/RGBSurface.h>
#include <lxframework/Runtime.h>

#include <carbon/Carbon.h>

#include <gtest/gtest.h>

#include <array>

using namespace lx;

namespace {

constexpr Color White { 0xFFFFFF };
constexpr Color Black { 0x000000 };
constexpr Color Red { 0xFF0000 };
constexpr Color Blue { 0x0000FF };

template <class Proc> Proc Service(const char* name) { return reinterpret_cast<Proc>(HostResolver(name)); }

Ref<Picture> Filled(int width, int height, Color color)
{
    Ref<Picture> picture = Picture::New(width, height);
    picture->Graphics()->ForeColor = color;
    Ref<RGBSurface> surface = picture->RGBSurface();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface->SetPixel(x, y, color);
    return picture;
}

Color At(const Ref<Picture>& picture, int x, int y) { return picture->RGBSurface()->Pixel(x, y); }

}

TEST(Picture, NewPictureIsOpaqueWhiteAndRefusesBadSizes)
{
    RuntimeInit();
    Ref<Picture> picture = Picture::New(3, 2);
    EXPECT_EQ(picture->Width(), 3);
    EXPECT_EQ(picture->Height(), 2);
    EXPECT_EQ(picture->Depth(), 32);
    EXPECT_EQ(At(picture, 2, 1), White);
    EXPECT_FALSE(Picture::New(0, 5));
    EXPECT_FALSE(Picture::New(5, -1));
    EXPECT_FALSE(Picture::New(Picture::MaximumSide + 1, 1));
}

TEST(Picture, GraphicsIsTheSamePortOnEveryAccess)
{
    RuntimeInit();
    Ref<Picture> picture = Picture::New(8, 8);
    picture->Graphics()->ForeColor = Red;
    picture->Graphics()->FillOval(0, 0, 8, 8);
    EXPECT_EQ(At(picture, 4, 4), Red);
}

TEST(RGBSurface, ReadsOutsideGiveBlackAndWritesOutsideAreIgnored)
{
    RuntimeInit();
    Ref<Picture> picture = Filled(4, 3, Blue);
    Ref<RGBSurface> surface = picture->RGBSurface();
    for (auto [x, y] : std::array<std::pair<int, int>, 4> { { { -1, 0 }, { 4, 0 }, { 0, 3 }, { 0, -1 } } }) {
        EXPECT_EQ(surface->Pixel(x, y), Black) << x << "," << y;
        surface->SetPixel(x, y, Red);
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(surface->Pixel(x, y), Blue);
    surface->SetPixel(3, 2, Color { 0x123456 });
    EXPECT_EQ(surface->Pixel(3, 2).rgb, 0x123456u);
}

TEST(Graphics, FillOvalIsAliasedAndStaysInsideItsRectangle)
{
    RuntimeInit();
    Ref<Picture> picture = Picture::New(20, 20);
    Ref<Graphics> g = picture->Graphics();
    g->ForeColor = Red;
    g->FillOval(2, 2, 16, 16);
    EXPECT_EQ(At(picture, 10, 10), Red);
    EXPECT_EQ(At(picture, 2, 10), Red);
    // Corners of the rectangle and everything outside it stay untouched.
    EXPECT_EQ(At(picture, 2, 2), White);
    EXPECT_EQ(At(picture, 17, 17), White);
    EXPECT_EQ(At(picture, 1, 10), White);
    EXPECT_EQ(At(picture, 18, 10), White);
    // No partial pixel on the edge: every pixel is either color, and the oval
    // is the same seen from every side.
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_TRUE(At(picture, x, y) == Red || At(picture, x, y) == White) << x << "," << y;
            EXPECT_EQ(At(picture, x, y), At(picture, 19 - x, y)) << x << "," << y;
            EXPECT_EQ(At(picture, x, y), At(picture, x, 19 - y)) << x << "," << y;
            EXPECT_EQ(At(picture, x, y), At(picture, y, x)) << x << "," << y;
        }
    }
}

TEST(Graphics, DrawPictureScalesTheSourceRectangleAndHonoursTheMask)
{
    RuntimeInit();
    Ref<Picture> icon = Filled(4, 4, Red);
    // The left half of the mask transparent (white), the right half opaque.
    Ref<Picture> mask = icon->Mask();
    EXPECT_EQ(At(mask, 0, 0), Black);
    Ref<RGBSurface> maskSurface = mask->RGBSurface();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            maskSurface->SetPixel(x, y, White);
    EXPECT_EQ(icon->Mask(), mask);

    Ref<Picture> target = Filled(16, 16, Blue);
    target->Graphics()->DrawPicture(icon.Get(), 4, 4, 8, 8, 0, 0, 4, 4);
    EXPECT_EQ(At(target, 5, 8), Blue) << "transparent half";
    EXPECT_EQ(At(target, 10, 8), Red) << "opaque half, scaled to twice the size";
    EXPECT_EQ(At(target, 11, 11), Red);
    EXPECT_EQ(At(target, 12, 8), Blue) << "outside the destination";
    EXPECT_EQ(At(target, 3, 3), Blue);
}

TEST(Graphics, DrawPictureAtAPointCopiesAtNaturalSizeAndClips)
{
    RuntimeInit();
    Ref<Picture> source = Filled(4, 4, Red);
    Ref<Picture> target = Picture::New(6, 6);
    target->Graphics()->DrawPicture(source.Get(), 4, 4);
    EXPECT_EQ(At(target, 3, 3), White);
    EXPECT_EQ(At(target, 4, 4), Red);
    EXPECT_EQ(At(target, 5, 5), Red);
    target->Graphics()->DrawPicture(nullptr, 0, 0);
}

TEST(Graphics, OutlivedPortDrawsNothing)
{
    RuntimeInit();
    Ref<Graphics> g;
    {
        Ref<Picture> picture = Picture::New(4, 4);
        g = picture->Graphics();
    }
    EXPECT_EQ(g->Width(), 0);
    g->FillOval(0, 0, 4, 4);
}

TEST(PictureServices, BuildFromBufferReadsEachFormat)
{
    RuntimeInit();
    auto build = Service<LxBuildPictureFromBufferProc>("VANTBuildPictureFromBuffer");
    const uint8_t argb[] = { 0x00, 0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0, 0 };
    const uint8_t rgb[] = { 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0 };
    for (LxInteger format : { 3, 4 }) {
        auto picture = Ref<Picture>::Adopt(static_cast<Picture*>(FromLx(build(2, 1, format, argb, 10))));
        ASSERT_TRUE(picture) << format;
        EXPECT_EQ(At(picture, 0, 0).rgb, 0x112233u);
        EXPECT_EQ(At(picture, 1, 0).rgb, 0x445566u);
    }
    auto picture = Ref<Picture>::Adopt(static_cast<Picture*>(FromLx(build(2, 1, 1, rgb, 8))));
    ASSERT_TRUE(picture);
    EXPECT_EQ(At(picture, 1, 0).rgb, 0x445566u);
    EXPECT_EQ(build(2, 1, 2, argb, 10), nullptr) << "unknown format";
    EXPECT_EQ(build(4, 1, 3, argb, 10), nullptr) << "rows shorter than the width";
    EXPECT_EQ(build(2, 1, 3, nullptr, 10), nullptr);
}

TEST(PictureServices, DrawPicturePrimitiveCopiesIntoTheCurrentPortScaled)
{
    RuntimeInit();
    Ref<Picture> source = Filled(2, 2, Red);
    source->RGBSurface()->SetPixel(1, 1, Blue);
    Ref<Picture> target = Picture::New(8, 8);
    // The mask is ignored by the plain copy.
    source->Mask()->Graphics()->ForeColor = White;
    source->Mask()->Graphics()->FillOval(0, 0, 2, 2);
    Service<LxSelectGraphicsProc>("SelectGraphics")(ToLx(target->Graphics().Get()));
    const LxRect rect { 2, 2, 6, 6 };
    Service<LxDrawPicturePrimitiveProc>("drawPicturePrimitive")(ToLx(source.Get()), &rect, 0);
    SetGWorld(nullptr, nullptr);
    EXPECT_EQ(At(target, 1, 1), White);
    EXPECT_EQ(At(target, 2, 2), Red);
    EXPECT_EQ(At(target, 5, 5).rgb & 0xFF, 0xFFu) << "blue corner";
    EXPECT_EQ(At(target, 6, 6), White);
}

TEST(PictureServices, DescriptionMaskAndTransparentAsThePluginSeesThem)
{
    RuntimeInit();
    auto picture
        = Ref<Picture>::Adopt(static_cast<Picture*>(FromLx(Service<LxNewPictureProc>("newPicture")(5, 7, 32))));
    ASSERT_TRUE(picture);
    LxPictureDescription description {};
    Service<LxLockPictureDescriptionProc>("lockPictureDescription")(ToLx(picture.Get()), &description);
    EXPECT_EQ(description.width, 5);
    EXPECT_EQ(description.height, 7);
    Service<LxUnlockPictureDescriptionProc>("unlockPictureDescription")(ToLx(picture.Get()));

    auto getMask = Service<LxGetPictureMaskProc>("VANTGetPictureMask");
    EXPECT_EQ(getMask(ToLx(picture.Get()), 0), nullptr) << "asking does not make one";
    auto made = Ref<Object>::Adopt(FromLx(getMask(ToLx(picture.Get()), 1)));
    EXPECT_EQ(made.Get(), picture->ExistingMask().Get());

    LxInteger transparent = -1;
    picture->Transparent = 1;
    auto getInt = Service<LxGetPropValueIntProc>("VANTGetPropValueInt");
    EXPECT_TRUE(getInt(ToLx(picture.Get()), "Transparent", &transparent));
    EXPECT_EQ(transparent, 1);
}
