#include "GameHarness.h"

#include "game/Startup.h"
#include "TestHooks.h"

#include <lxframework/AppLife.h>

#include <QApplication>
#include <QTimer>

#include <exception>

namespace harness {

namespace {

    void PlayWhenOpen(const std::function<void(game::MainWindow&)>& scenario, std::string& error)
    {
        if (lx::test::QuitRequested())
            return;
        lx::Ref<lx::Window> found = lx::test::FindWindow("MainWindow");
        if (!found) {
            QTimer::singleShot(0, [scenario, &error] { PlayWhenOpen(scenario, error); });
            return;
        }
        try {
            if (auto* window = dynamic_cast<game::MainWindow*>(found.Get()))
                scenario(*window);
            else
                error = "the main window is not the game's";
        } catch (const std::exception& exception) {
            error = std::string("the scenario raised ") + exception.what();
        }
        lx::Quit(0);
    }

}

void EnsureQtApplication(const char* programName)
{
    if (QApplication::instance())
        return;
    // Qt keeps argv for the application's life.
    static std::string name;
    name = programName;
    static int argc = 1;
    static char* argv[] = { name.data(), nullptr };
    new QApplication(argc, argv);
}

GameRun PlayGame(const std::function<void(game::MainWindow&)>& scenario)
{
    GameRun run;
    QTimer::singleShot(0, [scenario, &run] { PlayWhenOpen(scenario, run.error); });
    run.status = game::TerraslideMain();
    return run;
}

}
