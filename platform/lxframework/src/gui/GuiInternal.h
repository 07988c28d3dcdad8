#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>

#include <QFont>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QApplication;
class QInputEvent;

namespace lx {

class RectControl;
class Window;

// The Qt application object, made on first need with a program name only, so
// no command-line option is ever interpreted.
QApplication* EnsureApplication();

// Runs one event's framework and application code. Nothing escapes into Qt:
// an exception ends the event loop and RuntimeRun throws it.
void Dispatch(const std::function<void()>& body);

// UTF-8 to Qt with "\r\n" and "\r" made into "\n", and back.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

// A text control's font: "System" is the application font, "SmallSystem" a
// smaller one; sizes are pixels, 0 the font's default.
QFont FrameworkFont(const std::string& family, int size, bool bold, bool italic, bool underline);

// Input state the framework tracks from mouse and key events.
void NotePress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

// Recomputes the application-wide cursor: wait cursor, then the application's.
void UpdateApplicationCursor();
bool QuitRequested();

// The services that need windows, controls and pictures, added to the resolver.
void RegisterPictureServices();
void RegisterControlServices();
void RegisterSeparatorPlugin();

}
