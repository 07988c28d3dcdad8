#pragma once

#include <lxframework/Application.h>
#include <lxframework/Exceptions.h>
#include <lxframework/MouseCursor.h>
#include <lxframework/Ref.h>

#include <string_view>

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

// An application-modal message with an OK button; returns once dismissed.
void MsgBox(std::string_view text);
// Opens an http or https address in the user's browser; anything else is
// ignored (with a debug-log line).
void ShowURL(std::string_view url);

// The wait cursor the framework shows while a handler runs long.
void DisableAutoWaitCursor();
void EnableAutoWaitCursor();
// Lets the framework do its background work inside a long handler. It never
// delivers user input.
void RuntimeYield();

// True when the current press asks for a contextual menu: the right button, or
// the left one with Control held.
bool IsContextualClick();

namespace Keyboard {
    // Whether Control is down, as the latest key or mouse event told.
    bool AsyncControlKey();
}

namespace System {
    // One line of the system's debug log (a trailing line end is dropped).
    void DebugLog(std::string_view text);
    namespace Cursors {
        Ref<MouseCursor> FingerPointer();
    }
}

}
