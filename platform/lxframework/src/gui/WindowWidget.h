#pragma once

#include "Widgets.h"

#include <lxframework/Window.h>

#include <QPointer>
#include <QWidget>

class QMenuBar;
class QVBoxLayout;

namespace lx {

// The window's content: the coordinate space of its controls.
class ContentWidget : public QWidget {
public:
    ContentWidget(Window& window, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Window* mWindow = nullptr;
};

// The top-level widget of a window: an optional menu bar above the content.
// It holds the window object, so the object outlives every Qt event.
class WindowWidget : public QWidget {
public:
    explicit WindowWidget(Window& window);

    ContentWidget* Content() const { return mContent; }
    void SetMenuBar(QMenuBar* bar);
    QMenuBar* Bar() const { return mBar; }
    // A window that cannot be resized does not tell the window manager it can.
    void SetResizeable(bool resizeable) { mResizeable = resizeable; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Ref<Window> mWindow;
    QVBoxLayout* mLayout = nullptr;
    ContentWidget* mContent = nullptr;
    QMenuBar* mBar = nullptr;
    bool mResizeable = true;
};

struct Window::QtSide {
    QPointer<WindowWidget> widget;

    // A member of Window, so it may hand the framework's Qt code the window's side.
    static QtSide& Of(const Window& window) { return *window.mQt; }
};

}
