#include "GuiTestSupport.h"
#include "WindowHints.h"

#include <gtest/gtest.h>

using lx::MotifHints;
using lx::WithoutResizing;

// Words: flags (1 functions, 2 decorations), functions (1 all, 2 resize,
// 4 move, 8 minimise, 16 maximise, 32 close), decorations (1 all, 2 border,
// 4 resize handles, 8 title, 16 menu, 32 minimise, 64 maximise).
TEST(WindowHints, AFixedSizeWindowAdvertisesNeitherResizingNorMaximising)
{
    struct Row {
        const char* name;
        MotifHints hints;
        MotifHints expected;
    };
    const Row rows[] = {
        { "a titled window with every button", { 3, 0x3E, 0x7E, 0, 0 }, { 3, 0x2C, 0x3A, 0, 0 } },
        { "a window with a close box only", { 3, 0x26, 0x1E, 0, 0 }, { 3, 0x24, 0x1A, 0, 0 } },
        { "'all' lists what is not offered", { 3, 0x21, 0x09, 0, 0 }, { 3, 0x33, 0x4D, 0, 0 } },
        { "no words at all mean everything", { 0, 0, 0, 0, 0 }, { 3, 0x13, 0x45, 0, 0 } },
        { "already fixed", { 3, 0x2C, 0x3A, 0, 0 }, { 3, 0x2C, 0x3A, 0, 0 } },
    };
    for (const Row& row : rows) {
        const MotifHints result = WithoutResizing(row.hints);
        EXPECT_EQ(result.flags, row.expected.flags) << row.name;
        EXPECT_EQ(result.functions, row.expected.functions) << row.name;
        EXPECT_EQ(result.decorations, row.expected.decorations) << row.name;
    }
}

// Only on an X11 display (QT_QPA_PLATFORM=xcb, under Xvfb say).
TEST(WindowHints, AWindowThatCannotBeResizedTellsTheWindowManagerSo)
{
    class FixedWindow : public lx::Window {
    public:
        void Layout() override { SetProperties(*this, { { "Width", 120 }, { "Height", 90 }, { "Resizeable", false } }); }
    };
    lx::Ref<FixedWindow> window = OpenWindow<FixedWindow>("FixedWindow");
    const std::optional<MotifHints> hints = lx::WindowMotifHints(*lx::WidgetOf(*window));
    window->Close();
    if (!hints)
        GTEST_SKIP() << "no X11 display";
    EXPECT_EQ(*hints, WithoutResizing(*hints));
    EXPECT_TRUE(hints->functions & 0x20) << "the close box stays";
}
