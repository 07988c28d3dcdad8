#include "AboutTestSupport.h"

#include <about/AboutWinSetup.h>

#include <gtest/gtest.h>

using game::AboutWinSetup::VersionText;

TEST(AppVersion, FinalReleasesShowTheThreeNumbersAndEarlierStagesTheirLetter)
{
    struct Row {
        const char* name;
        int32_t stage;
        const char* expected;
    };
    for (const Row& row : { Row { "development", 0, "Version  1.0.2 d3" }, Row { "alpha", 1, "Version  1.0.2 a3" },
             Row { "beta", 2, "Version  1.0.2 b3" }, Row { "final", 3, "Version  1.0.2" },
             Row { "unknown stage", 7, "Version  1.0.2" } }) {
        EXPECT_EQ(VersionText({ .Major = 1, .Minor = 0, .Bug = 2, .Stage = row.stage, .NonRelease = 3 }), row.expected)
            << row.name;
    }
}
