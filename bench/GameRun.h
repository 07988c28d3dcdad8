#pragma once

// Runs the whole game in this process, as the program does, offscreen unless
// the environment names another Qt platform. The program owns the Qt
// application, so the framework reuses it run after run.

#include "game/MainWindow.h"

#include <functional>
#include <string>

namespace bench {

void EnsureQtApplication();

// Plays `scenario` once the main window has opened, then quits the game.
// Returns what stopped the game or the scenario, "" when nothing did.
std::string RunGame(const std::function<void(game::MainWindow&)>& scenario);

}
