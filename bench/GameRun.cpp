#include "GameRun.h"

#include "GameHarness.h"

#include <cstdlib>

namespace bench {

void EnsureQtApplication()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    harness::EnsureQtApplication("terraslide_bench");
}

std::string RunGame(const std::function<void(game::MainWindow&)>& scenario)
{
    EnsureQtApplication();
    const harness::GameRun run = harness::PlayGame(scenario);
    if (run.error.empty() && run.status != 0)
        return "the game exited with status " + std::to_string(run.status);
    return run.error;
}

}
