#pragma once

// Hooks for the framework's tests and the game's, and for the benchmarks:
// finding windows and controls, synthetic input, captured dialogs and quit
// requests, a seeded Rnd, the presents of plug-in controls and their pacing,
// cursor identities and the wait-cursor state. Everything here is off until a test turns it on; the game never
// includes this header.

#include <lxframework/RectControl.h>
#include <lxframework/Window.h>

#include <QImage>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace lx::test {

// The open window whose title or registered class name is `name`, or nil.
Ref<Window> FindWindow(std::string_view name);

// Instead of showing message boxes and opening the browser, the framework
// hands texts and addresses to these (nil restores the real behaviour).
void CaptureMessageBoxes(std::function<void(std::string_view text)> capture);
void CaptureShownURLs(std::function<void(std::string_view url)> capture);

bool QuitRequested();
int32_t QuitCode();

void SeedRnd(uint64_t seed);

// Chooses a menu item of the window's menu bar by name, as a click would.
void ChooseMenuItem(Window& window, std::string_view itemName);

// Mouse input at a control-local point, delivered like the real thing, with
// the keyboard modifiers held meanwhile.
void MousePress(RectControl& control, QPoint point, Qt::MouseButton button = Qt::LeftButton,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void MouseMove(RectControl& control, QPoint point, Qt::MouseButtons buttons = Qt::NoButton,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void MouseRelease(RectControl& control, QPoint point, Qt::MouseButton button = Qt::LeftButton,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void KeyModifiers(Qt::KeyboardModifiers modifiers);

// How often a plug-in control's window port was flushed to the screen, and the
// control's pixels as last shown.
int PresentCount(const RectControl& control);
QImage PresentedFrame(const RectControl& control);

// Turns the pacing of presents to the display's refresh on or off, whatever
// the platform (on a display it is on, offscreen off).
void SetPresentPacing(bool on);
// The clock and the sleep the pacer uses: tests put in their own; nil restores
// the steady clock and the thread's sleep.
using PacingClock = std::function<std::chrono::nanoseconds()>;
using PacingSleep = std::function<void(std::chrono::nanoseconds)>;
void SetPacingClock(PacingClock now, PacingSleep sleep);

// Identities of the application cursor and a control's cursor; "" for none.
std::string ApplicationCursorIdentity();
bool AutoWaitCursorEnabled();
bool WaitCursorShown();
// How long a handler runs before the wait cursor shows.
void SetWaitCursorDelay(int milliseconds);

}
