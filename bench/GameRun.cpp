#include "GameRun.h"

#include "Startup.h"
#include "TestHooks.h"

#include <lxframework/AppLife.h>

#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <exception>

namespace bench {

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
            error = exception.what();
        }
        lx::Quit(0);
    }

}

void EnsureQtApplication()
{
    if (QApplication::instance())
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "terraslide_bench";
    static char* argv[] = { name, nullptr };
    new QApplication(argc, argv);
}

std::string RunGame(const std::function<void(game::MainWindow&)>& scenario)
{
    EnsureQtApplication();
    std::string error;
    QTimer::singleShot(0, [scenario, &error] { PlayWhenOpen(scenario, error); });
    const int status = game::TerraslideMain();
    if (error.empty() && status != 0)
        error = "the game exited with status " + std::to_string(status);
    return error;
}

}
