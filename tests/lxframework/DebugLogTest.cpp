#include "TestSupport.h"

#include <gtest/gtest.h>

// One call is one line of the log: line ends at its end are dropped, those
// inside are kept.
TEST(DebugLog, TrailingLineEndsAreDroppedAndInnerOnesKept)
{
    DebugLogCapture log;
    lx::DebugLog("plain");
    lx::DebugLog("unix\n");
    lx::DebugLog("classic\r");
    lx::DebugLog("both\r\n\r\n");
    lx::DebugLog("two\nlines\n");
    lx::DebugLog("\n");
    EXPECT_EQ(log.Lines(), (std::vector<std::string> { "plain", "unix", "classic", "both", "two\nlines", "" }));
}
