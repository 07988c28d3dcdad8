#include <carbon/Carbon.h>

#include <gtest/gtest.h>

TEST(DebugStr, WritesTheCountedBytesOnly)
{
    // The length byte says 5, so the "XYZ" after it must not be written.
    static const unsigned char message[] = "\x05helloXYZ";
    testing::internal::CaptureStderr();
    DebugStr(message);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "hello\n");
}

TEST(DebugStr, NullIsIgnored)
{
    testing::internal::CaptureStderr();
    DebugStr(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
