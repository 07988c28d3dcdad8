// The game started where no 3D plug-in can be found: this program lives in a
// folder of its own, without a plugins folder beside it.

#include "GameRun.h"

#include "globe/GlobeBitCreation.h"

#include <lxframework/Runtime.h>
#include <lxframework/Slider.h>

#include <gtest/gtest.h>

TEST(MissingLibrary, ShowsTheMessageAfterTheTitleAndExitsAsAFailure)
{
    std::vector<std::string> seen;
    lx::test::CaptureMessageBoxes([&](std::string_view text) {
        lx::Ref<lx::Window> window = lx::test::FindWindow("MainWindow");
        ASSERT_TRUE(window);
        seen.push_back(window->Title());
        seen.emplace_back(text);
        auto slider = lx::Cast<lx::Slider>(lx::RuntimeWindowControlByName(window.Get(), "SliderSize"));
        seen.push_back(std::to_string(slider->Value()));
        seen.push_back(lx::test::QuitRequested() ? "quitting" : "running");
    });
    bool scenarioRan = false;
    const int status = RunGame([&](game::MainWindow&) { scenarioRan = true; });
    lx::test::CaptureMessageBoxes(nullptr);

    EXPECT_EQ(status, 1);
    EXPECT_FALSE(scenarioRan);
    const std::vector<std::string> expected { "Terraslide",
        "The needed Quesa library can not be found.  This application will now quit.", "90", "running" };
    EXPECT_EQ(seen, expected);
    for (const auto& mesh : globe::GlobeBitCreation::GlobeBits)
        EXPECT_FALSE(mesh);
}
