#pragma once

// Runs the whole game in this process, as the program does, with a scenario
// played inside its event loop once the main window is open. The caller owns
// the Qt application, so the framework reuses it run after run. Free of any
// test framework, so that the benchmarks drive the game the same way.

#include "game/MainWindow.h"

#include <functional>
#include <string>

namespace harness {

// Creates the Qt application under `programName` unless one exists.
void EnsureQtApplication(const char* programName);

struct GameRun {
    int status = 0;
    // What stopped the scenario, "" when nothing did.
    std::string error;
};

// Plays `scenario` once the main window has opened; the game quits after it
// unless the scenario quit it.
GameRun PlayGame(const std::function<void(game::MainWindow&)>& scenario);

}
