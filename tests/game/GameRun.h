#pragma once

// Runs the whole game in this process, as the program does, with a test's
// scenario played inside its event loop once the main window is open. The
// test program owns the Qt application, so the framework reuses it run after
// run and the modifier state stays what the test sets.

#include "MainWindow.h"
#include "TestHooks.h"

#include <QPoint>

#include <functional>
#include <string>
#include <vector>

// The game's exit status. The scenario runs once the main window has opened;
// the game quits after it unless the scenario quit it. A framework exception
// escaping the scenario fails the test.
int RunGame(const std::function<void(game::MainWindow&)>& scenario);

// Message boxes, collected instead of shown while it lives.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    std::vector<std::string> Messages;
};
