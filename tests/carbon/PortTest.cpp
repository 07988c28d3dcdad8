#include <carbon/Carbon.h>

#include <gtest/gtest.h>

#include <array>

namespace {

struct World {
    GWorldPtr world { nullptr };
    World(int16_t width, int16_t height)
    {
        const Rect bounds { 0, 0, height, width };
        EXPECT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), noErr);
        SetGWorld(world, nullptr);
    }
    ~World()
    {
        SetGWorld(nullptr, nullptr);
        DisposeGWorld(world);
    }
    std::array<uint8_t, 4> Pixel(int x, int y) const
    {
        PixMapHandle map = GetGWorldPixMap(world);
        const auto* p = reinterpret_cast<const uint8_t*>(GetPixBaseAddr(map)) + y * GetPixRowBytes(map) + x * 4;
        return { p[0], p[1], p[2], p[3] };
    }
};

using Bytes = std::array<uint8_t, 4>;

}

TEST(GWorld, StartsZeroFilledAndErasesToWhite)
{
    World w(4, 3);
    EXPECT_EQ(w.Pixel(3, 2), (Bytes { 0, 0, 0, 0 }));
    EXPECT_EQ(GetPixRowBytes(GetGWorldPixMap(w.world)), 16);
    const Rect all { 0, 0, 3, 4 };
    EraseRect(&all);
    EXPECT_EQ(w.Pixel(0, 0), (Bytes { 0xFF, 0xFF, 0xFF, 0xFF }));
    EXPECT_EQ(w.Pixel(3, 2), (Bytes { 0xFF, 0xFF, 0xFF, 0xFF }));
}

TEST(GWorld, PaintWritesAlphaRedGreenBlueInMemoryOrder)
{
    World w(2, 2);
    const RGBColor color { 0x1200, 0x3400, 0x5600 };
    RGBForeColor(&color);
    const Rect one { 0, 1, 1, 2 };
    PaintRect(&one);
    EXPECT_EQ(w.Pixel(1, 0), (Bytes { 0xFF, 0x12, 0x34, 0x56 }));
    EXPECT_EQ(w.Pixel(0, 0), (Bytes { 0, 0, 0, 0 }));
}

TEST(GWorld, DrawingIsClippedToThePort)
{
    World w(3, 3);
    const Rect huge { -100, -100, 100, 100 };
    ForeColor(whiteColor);
    PaintRect(&huge);
    EXPECT_EQ(w.Pixel(0, 0), (Bytes { 0xFF, 0xFF, 0xFF, 0xFF }));
    ForeColor(blackColor);
    PaintRect(&huge);
    EXPECT_EQ(w.Pixel(2, 2), (Bytes { 0xFF, 0, 0, 0 }));
}

TEST(GWorld, FrameDrawsTheOutlineOnly)
{
    World w(5, 5);
    const Rect all { 0, 0, 5, 5 };
    EraseRect(&all);
    Rect inner = all;
    InsetRect(&inner, 1, 1);
    ForeColor(blackColor);
    FrameRect(&inner);
    EXPECT_EQ(w.Pixel(1, 1), (Bytes { 0xFF, 0, 0, 0 }));
    EXPECT_EQ(w.Pixel(3, 2), (Bytes { 0xFF, 0, 0, 0 }));
    EXPECT_EQ(w.Pixel(2, 1), (Bytes { 0xFF, 0, 0, 0 }));
    EXPECT_EQ(w.Pixel(2, 3), (Bytes { 0xFF, 0, 0, 0 }));
    EXPECT_EQ(w.Pixel(2, 2), (Bytes { 0xFF, 0xFF, 0xFF, 0xFF }));
    EXPECT_EQ(w.Pixel(0, 0), (Bytes { 0xFF, 0xFF, 0xFF, 0xFF }));
    // A rectangle without width or height has no outline.
    for (const Rect& line : { Rect { 0, 2, 5, 2 }, Rect { 2, 0, 2, 5 } })
        FrameRect(&line);
    EXPECT_EQ(w.Pixel(2, 0), (Bytes { 0xFF, 0xFF, 0xFF, 0xFF }));
    EXPECT_EQ(w.Pixel(0, 2), (Bytes { 0xFF, 0xFF, 0xFF, 0xFF }));
}

TEST(GWorld, EmptyRectangleOrWrongDepthFails)
{
    GWorldPtr world = reinterpret_cast<GWorldPtr>(1);
    const Rect empty { 0, 0, 0, 10 };
    EXPECT_NE(NewGWorld(&world, 32, &empty, nullptr, nullptr, 0), noErr);
    EXPECT_EQ(world, nullptr);
    const Rect fine { 0, 0, 2, 2 };
    EXPECT_NE(NewGWorld(&world, 16, &fine, nullptr, nullptr, 0), noErr);
    EXPECT_EQ(world, nullptr);
}

TEST(GWorld, SideOverTheLimitFailsBeforeAnythingIsAllocated)
{
    GWorldPtr world = nullptr;
    // The sides are measured from the rectangle's own corner, wherever it lies.
    for (const Rect& longest : { Rect { 0, 0, 1, kMaxGWorldSide }, Rect { 0, 0, kMaxGWorldSide, 1 },
             Rect { 100, 100, 100 + kMaxGWorldSide, 101 } }) {
        ASSERT_EQ(NewGWorld(&world, 32, &longest, nullptr, nullptr, 0), noErr);
        EXPECT_EQ(GetPixRowBytes(GetGWorldPixMap(world)), (longest.right - longest.left) * 4);
        DisposeGWorld(world);
    }
    // Either side alone over the limit is refused, however little the whole would take.
    for (const Rect& over : { Rect { 0, 0, 1, kMaxGWorldSide + 1 }, Rect { 0, 0, kMaxGWorldSide + 1, 1 } }) {
        world = reinterpret_cast<GWorldPtr>(1);
        EXPECT_EQ(NewGWorld(&world, 32, &over, nullptr, nullptr, 0), memFullErr);
        EXPECT_EQ(world, nullptr);
    }
}

TEST(GWorld, CurrentPortIsSavedAndRestored)
{
    World outer(1, 1);
    CGrafPtr saved = nullptr;
    GDHandle device = nullptr;
    GetGWorld(&saved, &device);
    EXPECT_EQ(saved, outer.world);
    {
        World inner(1, 1);
        CGrafPtr current = nullptr;
        GetGWorld(&current, nullptr);
        EXPECT_EQ(current, inner.world);
    }
    SetGWorld(saved, device);
    // Drawing with no current port does nothing, rather than crash.
    SetGWorld(nullptr, nullptr);
    const Rect r { 0, 0, 1, 1 };
    EraseRect(&r);
    const RGBColor red { 0xFFFF, 0, 0 };
    RGBForeColor(&red);
    // Disposing the current world leaves no current port.
    GWorldPtr last = nullptr;
    ASSERT_EQ(NewGWorld(&last, 32, &r, nullptr, nullptr, 0), noErr);
    SetGWorld(last, nullptr);
    DisposeGWorld(last);
    GetGWorld(&saved, nullptr);
    EXPECT_EQ(saved, nullptr);
}

TEST(Handles, AreZeroFilledAndSized)
{
    Handle handle = NewHandle(10);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetHandleSize(handle), 10);
    HLock(handle);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ((*handle)[i], 0);
    HUnlock(handle);
    DisposeHandle(handle);
    EXPECT_EQ(NewHandle(-1), nullptr);
    DisposeHandle(nullptr);
}
