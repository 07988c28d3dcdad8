#include "ControlWidgets.h"
#include "PortImage.h"

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
    ++mPresentCount;
    Window* window = Control().ControlWindow();
    if (!window)
        return;
    // Inside this widget's paint, the paint copies and shows its own rectangle.
    if (mPainting)
        return;
    CopyToFrame(*window, shown);
    if (!isVisible())
        return;
    mPacer.BeforePresent(*this);
    mPresentOnly = true;
    repaint(shown.translated(-geometry().topLeft()));
    mPresentOnly = false;
}

void PluginControlWidget::CopyToFrame(const Window& window, const QRect& windowRect)
{
    if (mFrame.size() != size()) {
        mFrame = QImage(size(), QImage::Format_RGB32);
        mFrame.fill(Qt::black);
    }
    CopyPortToImage(GetWindowPort(window.PlatformWindow()), windowRect, mFrame, geometry().topLeft());
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
    if (!mPresentOnly) {
        auto redraw = reinterpret_cast<LxBehaviourProc>(control.ObjectClass().Behaviour(LxBehaviourRedraw));
        if (redraw) {
            mPainting = true;
            Ref<RectControl> keep(&control);
            Dispatch([&] { redraw(ToLx(&control)); });
            mPainting = false;
        }
        // The window may have closed inside the redraw.
        if (!control.ControlWindow())
            return;
        CopyToFrame(*window, event->rect().translated(geometry().topLeft()));
    }
    painter.drawImage(event->rect().topLeft(), mFrame, event->rect());
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
