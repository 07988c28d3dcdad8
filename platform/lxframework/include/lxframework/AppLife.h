#pragma once

#include <lxframework/Application.h>
#include <lxframework/Exceptions.h>
#include <lxframework/Ref.h>

#include <cstdint>

namespace lx {

// Start-up and shutdown. RuntimeInit (Runtime.h) comes first; then the game
// loads plug-ins, binds its entry points, registers its application object,
// and calls RuntimeRun, which raises the application's Open from inside the
// event loop and returns when the application quits. An exception that
// escapes a handler ends the loop and is thrown from RuntimeRun; the game hands
// it to RuntimeUnhandledException. RuntimeExit returns the exit status.
void RuntimeRegisterAppObject(const Ref<Application>& app);
Ref<Application> getAppObject();
void RuntimeRun();
void RuntimeUnhandledException(const Exception& exception);
int RuntimeExit();

// Ends the application after the current handler returns: every window
// closes, then RuntimeRun returns. The first code given becomes the exit
// status; later calls do nothing.
void Quit(int32_t code = 0);

// Lets the framework do its background work inside a long handler. It never
// delivers user input.
void RuntimeYield();

}
