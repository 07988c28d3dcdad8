#include "ResourceManifest.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace testresources;

namespace {

struct ExpectedResource {
    const char* name;
    Kind kind;
    int number;
    int width;
    int height;
};

// Everything the game fetches by number, with the size its users rely on.
const ExpectedResource ExpectedResources[] = {
    { "stars2", Kind::Picture, 168, 512, 512 },
    { "land_ocean_ice_512", Kind::Picture, 169, 512, 256 },
    { "GlobeMask", Kind::Picture, 170, 128, 128 },
    { "GlobeIcon", Kind::Picture, 171, 128, 128 },
    { "Sunset", Kind::Picture, 172, 16, 16 },
    { "test1", Kind::Picture, 173, 16, 16 },
    { "test2", Kind::Picture, 174, 16, 16 },
    { "HandCursor", Kind::Cursor, 168, 16, 16 },
    { "HandClosedCursor", Kind::Cursor, 169, 16, 16 },
};

Manifest Parse(const std::string& text)
{
    std::istringstream stream(text);
    return ParseManifest(stream);
}

}

TEST(Manifest, ParsesWithoutErrors)
{
    const Manifest manifest = ReadManifest();
    for (const std::string& error : manifest.errors)
        ADD_FAILURE() << error;
    EXPECT_FALSE(manifest.entries.empty());
}

TEST(Manifest, EveryResourceTheGameFetchesIsListedWithItsSize)
{
    const Manifest manifest = ReadManifest();
    for (const ExpectedResource& expected : ExpectedResources) {
        SCOPED_TRACE(expected.name);
        const Entry* entry = manifest.Find(expected.kind, expected.number);
        ASSERT_NE(entry, nullptr);
        const QImage image = LoadImage(*entry);
        ASSERT_FALSE(image.isNull()) << entry->file << " cannot be read";
        EXPECT_EQ(image.width(), expected.width);
        EXPECT_EQ(image.height(), expected.height);
    }
}

TEST(Manifest, EveryListedFileIsReadable)
{
    for (const Entry& entry : ReadManifest().entries)
        EXPECT_FALSE(LoadImage(entry).isNull()) << entry.file;
}

TEST(Manifest, FieldsMaySitBetweenTabsAndCarriageReturns)
{
    const Manifest manifest = Parse("# comment\n\n  \t\ncursor\t7 hand.png 3 4\r\n");
    ASSERT_TRUE(manifest.errors.empty());
    const Entry* cursor = manifest.Find(Kind::Cursor, 7);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->file, "hand.png");
    EXPECT_EQ(cursor->hotSpotX, 3);
    EXPECT_EQ(cursor->hotSpotY, 4);
}

TEST(Manifest, MalformedLinesAreReportedNotRead)
{
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        { "unknown kind", "sound 168 beep.png\n" },
        { "picture with a hot spot", "picture 168 stars.png 1 2\n" },
        { "cursor without a hot spot", "cursor 168 hand.png\n" },
        { "number with trailing letters", "picture 16a stars.png\n" },
        { "negative number", "picture -1 stars.png\n" },
        { "negative hot spot", "cursor 168 hand.png -1 8\n" },
        { "file outside the folder", "picture 168 ../stars.png\n" },
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const Manifest manifest = Parse(each.text);
        EXPECT_EQ(manifest.errors.size(), 1u);
        EXPECT_TRUE(manifest.entries.empty());
    }
}

TEST(Manifest, SecondEntryForTheSameNumberIsAnError)
{
    const Manifest manifest = Parse("picture 168 a.png\npicture 168 b.png\ncursor 168 c.png 1 1\n");
    ASSERT_EQ(manifest.errors.size(), 1u);
    EXPECT_EQ(manifest.Find(Kind::Picture, 168)->file, "a.png");
    EXPECT_NE(manifest.Find(Kind::Cursor, 168), nullptr);
}
