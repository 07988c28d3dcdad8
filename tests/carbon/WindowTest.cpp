#include <carbon/Carbon.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Flushes {
    std::vector<Rect> rects;
    WindowRef window { nullptr };
};

void Record(WindowRef window, const Rect* rect, void* context)
{
    auto* flushes = static_cast<Flushes*>(context);
    flushes->window = window;
    flushes->rects.push_back(*rect);
}

}

TEST(WindowReference, PortHasTheContentSize)
{
    WindowRef window = NewWindowReference(20, 10);
    ASSERT_NE(window, nullptr);
    PixMapHandle map = GetPortPixMap(GetWindowPort(window));
    EXPECT_EQ((*map)->bounds.right, 20);
    EXPECT_EQ((*map)->bounds.bottom, 10);
    EXPECT_EQ(GetPixRowBytes(map), 80);
    ASSERT_TRUE(SetWindowContentSize(window, 30, 5));
    EXPECT_EQ(GetPixRowBytes(GetPortPixMap(GetWindowPort(window))), 120);
    EXPECT_FALSE(SetWindowContentSize(window, 0, 5));
    // Disposing the window whose port is current leaves no current port.
    SetGWorld(GetWindowPort(window), nullptr);
    DisposeWindowReference(window);
    CGrafPtr current = nullptr;
    GetGWorld(&current, nullptr);
    EXPECT_EQ(current, nullptr);
}

TEST(WindowReference, FlushCallsTheHostHookWithTheClippedRectangle)
{
    WindowRef window = NewWindowReference(20, 10);
    Flushes flushes;
    const Rect pane { 2, 5, 40, 15 };
    FlushWindowRect(window, &pane); // no hook yet: nothing happens
    SetWindowFlushHook(window, Record, &flushes);
    FlushWindowRect(window, &pane);
    ASSERT_EQ(flushes.rects.size(), 1u);
    EXPECT_EQ(flushes.window, window);
    EXPECT_EQ(flushes.rects[0].top, 2);
    EXPECT_EQ(flushes.rects[0].bottom, 10);
    EXPECT_EQ(flushes.rects[0].right, 15);

    const Rect outside { 50, 50, 60, 60 };
    FlushWindowRect(window, &outside);
    EXPECT_EQ(flushes.rects.size(), 1u);
    DisposeWindowReference(window);
}
