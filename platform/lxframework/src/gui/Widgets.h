#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

namespace lx {

class RectControl;
class Window;

// The widgets behind the framework's windows and controls: for the framework's
// own Qt code, and for tests and benchmarks that look at what the user sees.
// The public headers name none of them.

// The window's top-level widget, and the content widget its controls sit in;
// null once the window has closed.
QWidget* WidgetOf(const Window& window);
QWidget* ContentOf(const Window& window);
// The color the window's content is erased with.
QColor BackgroundOf(const Window& window);

// The control's widget, null before the control is in a window and once the
// widget is gone; and its rectangle in the window's content coordinates.
QWidget* WidgetOf(const RectControl& control);
QRect BoundsOf(const RectControl& control);

}
