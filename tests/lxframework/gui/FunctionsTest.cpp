#include "TestHooks.h"

#include <lxframework/AppLife.h>
#include <lxframework/Functions.h>
#include <lxframework/Keyboard.h>
#include <lxframework/UserMessages.h>
#include <lxframework/WaitCursor.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lx;

TEST(Rnd, StaysInTheHalfOpenUnitInterval)
{
    test::SeedRnd(12345);
    double lowest = 1, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const double value = Rnd();
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        ASSERT_LE(ToInteger(value * 27.0), 26);
    }
    EXPECT_LT(lowest, 0.001);
    EXPECT_GT(highest, 0.999);
}

TEST(Rnd, SameSeedSameSequence)
{
    test::SeedRnd(7);
    const double first = Rnd();
    test::SeedRnd(7);
    EXPECT_EQ(Rnd(), first);
}

TEST(ToInteger, TruncatesTowardZeroAndSaturates)
{
    struct Case {
        const char* name;
        double value;
        int32_t expected;
    };
    const Case cases[] = {
        { "positive fraction", 26.99, 26 },
        { "negative fraction", -2.7, -2 },
        { "NaN", std::numeric_limits<double>::quiet_NaN(), 0 },
        { "above the range", 3e9, std::numeric_limits<int32_t>::max() },
        { "below the range", -3e9, std::numeric_limits<int32_t>::min() },
        { "plus infinity", std::numeric_limits<double>::infinity(), std::numeric_limits<int32_t>::max() },
        { "minus infinity", -std::numeric_limits<double>::infinity(), std::numeric_limits<int32_t>::min() },
        { "largest integer", 2147483647.0, std::numeric_limits<int32_t>::max() },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToInteger(c.value), c.expected) << c.name;
}

TEST(Str, FormatsWithoutLocaleAndWithSevenDigits)
{
    EXPECT_EQ(Str(42), "42");
    EXPECT_EQ(Str(-7), "-7");
    EXPECT_EQ(Str(2.0 / 3.0), "0.6666667");
    EXPECT_EQ(Str(1.5), "1.5");
    EXPECT_EQ(Str(100.0), "100");
}

TEST(Text, LenCountsCharactersAndChrMakesThem)
{
    EXPECT_EQ(Len(""), 0);
    EXPECT_EQ(Len("\xC2\xA9 2008"), 6);
    EXPECT_EQ(Chr(13), "\r");
    EXPECT_EQ(Chr(0xA9), "\xC2\xA9");
    // Where two bytes give way to three, and three to four.
    EXPECT_EQ(Chr(0x7FF), "\xDF\xBF");
    EXPECT_EQ(Chr(0x800), "\xE0\xA0\x80");
    EXPECT_EQ(Chr(0x20AC), "\xE2\x82\xAC");
    EXPECT_EQ(Chr(0xFFFF), "\xEF\xBF\xBF");
    EXPECT_EQ(Chr(0x10000), "\xF0\x90\x80\x80");
    EXPECT_EQ(Len(Chr(0x1F30D)), 1);
    // The last code point, and none past it.
    EXPECT_EQ(Chr(0x10FFFF), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Chr(0x110000), "");
    EXPECT_EQ(Chr(-1), "");
    EXPECT_EQ(EndOfLine, "\n");
}

TEST(RGB, ClampsEachComponent)
{
    EXPECT_EQ(RGB(255, 128, 0).rgb, 0xFF8000u);
    EXPECT_EQ(RGB(300, -5, 16).rgb, 0xFF0010u);
}

TEST(ShowURL, OpensOnlyWebAddresses)
{
    std::vector<std::string> opened;
    test::CaptureShownURLs([&](std::string_view url) { opened.emplace_back(url); });
    ShowURL("https://example.org/terraslide");
    ShowURL("http://example.org");
    ShowURL("file:///etc/passwd");
    ShowURL("javascript:alert(1)");
    ShowURL("not a url");
    test::CaptureShownURLs(nullptr);
    const std::vector<std::string> expected { "https://example.org/terraslide", "http://example.org" };
    EXPECT_EQ(opened, expected);
}

TEST(Input, ControlKeyFollowsTheLatestModifiers)
{
    test::KeyModifiers(Qt::ControlModifier);
    EXPECT_TRUE(Keyboard::AsyncControlKey());
    test::KeyModifiers(Qt::NoModifier);
    EXPECT_FALSE(Keyboard::AsyncControlKey());
}

TEST(WaitCursor, DisableHidesItAndEnableAllowsItAgain)
{
    EXPECT_TRUE(test::AutoWaitCursorEnabled());
    DisableAutoWaitCursor();
    EXPECT_FALSE(test::AutoWaitCursorEnabled());
    RuntimeYield();
    EXPECT_FALSE(test::WaitCursorShown());
    EnableAutoWaitCursor();
    EXPECT_TRUE(test::AutoWaitCursorEnabled());
}
