#include "GameRun.h"

#include "Startup.h"

#include <lxframework/AppLife.h>
#include <lxframework/Exceptions.h>

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void EnsureQtApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "game_tests";
    static char* argv[] = { name, nullptr };
    new QApplication(argc, argv);
}

void PlayWhenOpen(const std::function<void(game::MainWindow&)>& scenario)
{
    if (lx::test::QuitRequested())
        return;
    lx::Ref<lx::Window> found = lx::test::FindWindow("MainWindow");
    if (!found) {
        QTimer::singleShot(0, [scenario] { PlayWhenOpen(scenario); });
        return;
    }
    auto* window = dynamic_cast<game::MainWindow*>(found.Get());
    ASSERT_NE(window, nullptr);
    try {
        scenario(*window);
    } catch (const lx::Exception& exception) {
        ADD_FAILURE() << "the scenario raised " << exception.what();
    }
    lx::Quit(0);
}

}

int RunGame(const std::function<void(game::MainWindow&)>& scenario)
{
    EnsureQtApplication();
    QTimer::singleShot(0, [scenario] { PlayWhenOpen(scenario); });
    return game::TerraslideMain();
}

MessageCapture::MessageCapture()
{
    lx::test::CaptureMessageBoxes([this](std::string_view text) { Messages.emplace_back(text); });
}

MessageCapture::~MessageCapture() { lx::test::CaptureMessageBoxes(nullptr); }
