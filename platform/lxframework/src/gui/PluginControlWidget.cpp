#include "ControlWidgets.h"

#include "../gfx/PortImage.h"

#include <lxframework/Class.h>
#include <lxframework/Window.h>

#include <QMouseEvent>
#include <QPainter>

namespace lx {

PluginControlWidget::PluginControlWidget(RectControl& control, QWidget* parent)
    : QWidget(parent)
    , mControl(&control)
{
    // The plug-in draws every pixel of its rectangle.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

RectControl& PluginControlWidget::Control() const { return *mControl; }

QPoint PluginControlWidget::WindowPoint(const QPoint& local) const { return local + geometry().topLeft(); }

void PluginControlWidget::Present(const QRect& windowRect)
{
    const QRect shown = windowRect & geometry();
    if (shown.isEmpty())
        return;
    ++mPresents.count;
    if (Window* window = Control().ControlWindow())
        mPresents.frame = PortToImage(GetWindowPort(window->PlatformWindow()), geometry());
    if (mPainting || !isVisible())
        return;
    mPresentOnly = true;
    repaint(shown.translated(-geometry().topLeft()));
    mPresentOnly = false;
}

void PluginControlWidget::paintEvent(QPaintEvent* event)
{
    RectControl& control = Control();
    Window* window = control.ControlWindow();
    QPainter painter(this);
    if (!window || !control.IsOpen()) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    auto redraw = reinterpret_cast<LxBehaviourProc>(control.ObjectClass().Behaviour(LxBehaviourRedraw));
    if (!mPresentOnly && redraw) {
        mPainting = true;
        Ref<RectControl> keep(&control);
        Dispatch([&] { redraw(ToLx(&control)); });
        mPainting = false;
    }
    // The window may have closed inside the redraw.
    if (control.ControlWindow()) {
        const QRect source = event->rect().translated(geometry().topLeft());
        painter.drawImage(event->rect().topLeft(), PortToImage(GetWindowPort(window->PlatformWindow()), source));
    }
}

void PluginControlWidget::CallMouseSlot(int slot, const QPoint& local)
{
    RectControl& control = Control();
    auto mouse = reinterpret_cast<LxBehaviourMouseProc>(control.ObjectClass().Behaviour(slot));
    if (!mouse || !control.IsOpen())
        return;
    const QPoint point = WindowPoint(local);
    Ref<RectControl> keep(&control);
    Dispatch([&] { mouse(ToLx(&control), point.x(), point.y()); });
}

void PluginControlWidget::mousePressEvent(QMouseEvent* event)
{
    NotePress(event->button(), event->modifiers());
    RectControl& control = Control();
    auto press = reinterpret_cast<LxBehaviourMouseDownProc>(control.ObjectClass().Behaviour(LxBehaviourMouseDown));
    if (mTracking || !press || !control.IsOpen())
        return;
    const QPoint point = WindowPoint(event->position().toPoint());
    Ref<RectControl> keep(&control);
    bool track = false;
    Dispatch([&] { track = press(ToLx(&control), point.x(), point.y()) != 0; });
    mTracking = track && control.IsOpen();
}

void PluginControlWidget::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void PluginControlWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint local = event->position().toPoint();
    if (mTracking) {
        CallMouseSlot(LxBehaviourMouseDrag, local);
        return;
    }
    RectControl& control = Control();
    if (event->buttons() == Qt::NoButton && control.IsOpen()) {
        Ref<RectControl> keep(&control);
        Dispatch([&] { control.Event_MouseMove(local.x(), local.y()); });
    }
}

void PluginControlWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!mTracking || event->buttons() != Qt::NoButton)
        return;
    mTracking = false;
    CallMouseSlot(LxBehaviourMouseUp, event->position().toPoint());
}

}
