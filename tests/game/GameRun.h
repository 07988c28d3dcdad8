#pragma once

// The game harness for tests. The test program owns the Qt application, so
// the modifier state stays what the test sets.

#include "game/MainWindow.h"
#include "TestHooks.h"

#include <QPoint>

#include <functional>
#include <string>
#include <vector>

// The game's exit status. The scenario runs once the main window has opened;
// the game quits after it unless the scenario quit it. An exception escaping
// the scenario fails the test.
int RunGame(const std::function<void(game::MainWindow&)>& scenario);

// Message boxes, collected instead of shown while it lives.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    std::vector<std::string> Messages;
};
