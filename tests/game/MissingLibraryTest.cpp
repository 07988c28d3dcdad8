// The game started where no 3D plug-in can be found: this program lives in a
// folder of its own, without a plugins folder beside it but for the test
// that puts a damaged plug-in there.

#include "../lxframework/RaisedBy.h"
#include "../lxframework/loader/DamagedModule.h"
#include "GameRun.h"

#include "globe/GlobeBitCreation.h"
#include "globe/GlobeBitMaker.h"

#include <lxframework/Runtime.h>
#include <lxframework/Slider.h>

#include <filesystem>
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

// Without the plug-in a new vector is nil: the camera's orbit and the globe's
// mesh maker meet it as the nil object it is.
TEST(MissingLibrary, NewObjectsOfThePluginAreNilObjects)
{
    std::vector<std::string> raised;
    lx::test::CaptureMessageBoxes([&](std::string_view) {
        lx::Ref<game::MainWindow> window = lx::Cast<game::MainWindow>(lx::test::FindWindow("MainWindow"));
        ASSERT_TRUE(window);
        raised.push_back(RaisedBy([&] { window->MoveCamera(1, 1); }));
        raised.push_back(RaisedBy([] { globe::GlobeBitMaker().AddPoint(0, 0, 1.5); }));
    });
    RunGame([](game::MainWindow&) { ADD_FAILURE() << "the game went on without its plug-in"; });
    lx::test::CaptureMessageBoxes(nullptr);
    const std::vector<std::string> expected { "NilObjectException", "NilObjectException" };
    EXPECT_EQ(raised, expected);
}

TEST(MissingLibrary, DamagedPluginIsNamedOnStderrAndTheGameEndsAsWithoutOne)
{
    namespace fs = std::filesystem;
    const fs::path plugins = fs::read_symlink("/proc/self/exe").parent_path() / "plugins";
    const fs::path module = plugins / "lx3d.so";
    struct RemoveAfter {
        fs::path folder;
        ~RemoveAfter() { fs::remove_all(folder); }
    } removeAfter { plugins };
    fs::create_directories(plugins);
    // Cut short inside a loaded segment, the module would end the process as soon as it was mapped.
    damaged::WriteBytes(module, damaged::CutInsideLoadSegment(damaged::ReadBytes(LX3D_MODULE)));

    MessageCapture messages;
    testing::internal::CaptureStderr();
    const int status = RunGame([](game::MainWindow&) { ADD_FAILURE() << "the game went on without its plug-in"; });
    const std::string report = testing::internal::GetCapturedStderr();

    EXPECT_EQ(status, 1);
    const std::vector<std::string> expected { "The needed Quesa library can not be found.  This application will now quit." };
    EXPECT_EQ(messages.Messages, expected);
    EXPECT_NE(report.find(module.string() + " not loaded: a loadable segment lies outside the file"), std::string::npos)
        << report;
}
