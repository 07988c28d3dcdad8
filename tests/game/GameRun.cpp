#include "GameRun.h"

#include "GameHarness.h"

#include <gtest/gtest.h>

int RunGame(const std::function<void(game::MainWindow&)>& scenario)
{
    harness::EnsureQtApplication("game_tests");
    const harness::GameRun run = harness::PlayGame(scenario);
    if (!run.error.empty())
        ADD_FAILURE() << run.error;
    return run.status;
}

MessageCapture::MessageCapture()
{
    lx::test::CaptureMessageBoxes([this](std::string_view text) { Messages.emplace_back(text); });
}

MessageCapture::~MessageCapture() { lx::test::CaptureMessageBoxes(nullptr); }
