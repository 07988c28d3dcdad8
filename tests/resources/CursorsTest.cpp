#include "ResourceManifest.h"

#include <gtest/gtest.h>

using namespace testresources;

namespace {

constexpr int CursorNumbers[] = { 168, 169 };

bool IsOutlineOrFill(QRgb pixel)
{
    const QRgb color = pixel & RGB_MASK;
    return qAlpha(pixel) == 255 && (color == (qRgb(0, 0, 0) & RGB_MASK) || color == (qRgb(255, 255, 255) & RGB_MASK));
}

}

TEST(Cursors, AreBlackOutlinedWhiteHandsOnTransparency)
{
    const Manifest manifest = ReadManifest();
    for (int number : CursorNumbers) {
        SCOPED_TRACE(number);
        const Entry* entry = manifest.Find(Kind::Cursor, number);
        ASSERT_NE(entry, nullptr);
        const QImage cursor = LoadImage(*entry).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(cursor.isNull());
        int transparent = 0;
        int black = 0;
        for (int y = 0; y < cursor.height(); ++y) {
            for (int x = 0; x < cursor.width(); ++x) {
                const QRgb pixel = cursor.pixel(x, y);
                transparent += qAlpha(pixel) == 0;
                black += pixel == qRgba(0, 0, 0, 255);
                EXPECT_TRUE(qAlpha(pixel) == 0 || IsOutlineOrFill(pixel)) << "at " << x << ", " << y;
            }
        }
        EXPECT_GT(transparent, 0);
        EXPECT_GT(black, 0);
    }
}

TEST(Cursors, HotSpotLiesOnTheHand)
{
    const Manifest manifest = ReadManifest();
    for (int number : CursorNumbers) {
        SCOPED_TRACE(number);
        const Entry* entry = manifest.Find(Kind::Cursor, number);
        ASSERT_NE(entry, nullptr);
        const QImage cursor = LoadImage(*entry).convertToFormat(QImage::Format_ARGB32);
        ASSERT_TRUE(cursor.valid(entry->hotSpotX, entry->hotSpotY));
        EXPECT_EQ(qAlpha(cursor.pixel(entry->hotSpotX, entry->hotSpotY)), 255);
    }
}
