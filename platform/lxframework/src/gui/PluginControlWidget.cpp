#include "ControlWidgets.h"
#include "PortImage.h"

#include <lxframework/Class.h>
#include <lxframework/Window.h>

#include <QBackingStore>
#include <QMouseEvent>
#include <QPaintEngine>
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
    // Inside this widget's paint, the paint shows its own rectangle.
    if (mPainting || !isVisible())
        return;
    mPacer.BeforePresent(*this);
    mPresentOnly = true;
    repaint(shown.translated(-geometry().topLeft()));
    mPresentOnly = false;
}

QImage PluginControlWidget::Shown() const
{
    QBackingStore* store = backingStore();
    const auto* shown = store ? dynamic_cast<const QImage*>(store->paintDevice()) : nullptr;
    if (!shown || !isVisible())
        return {};
    const qreal scale = shown->devicePixelRatio();
    const QRect rect(mapTo(window(), QPoint(0, 0)) * scale, size() * scale);
    return shown->copy(rect).convertToFormat(QImage::Format_RGB32);
}

namespace {
    // The image the painter draws into, where its pixels are the port's own
    // layout up to the byte order, so the port can be written there directly.
    QImage* DirectTarget(QPainter& painter)
    {
        QPaintDevice* device = painter.paintEngine()->paintDevice();
        if (!device || device->devType() != QInternal::Image)
            return nullptr;
        auto* image = static_cast<QImage*>(device);
        const QImage::Format format = image->format();
        const bool opaqueWords = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
            || format == QImage::Format_ARGB32_Premultiplied;
        const bool unscaled
            = image->devicePixelRatio() == 1 && painter.deviceTransform().type() <= QTransform::TxTranslate;
        return opaqueWords && unscaled ? image : nullptr;
    }
}

void PluginControlWidget::ShowPort(QPainter& painter, const Window& window, const QRect& rect)
{
    CGrafPtr port = GetWindowPort(window.PlatformWindow());
    const QPoint portOrigin = geometry().topLeft();
    QImage* target = DirectTarget(painter);
    if (!target) {
        painter.drawImage(rect.topLeft(), PortToImage(port, rect.translated(portOrigin)));
        return;
    }
    // The backing store's image, written where the paint may draw: the
    // rectangle within the system clip, which leaves out what covers this widget.
    const QPoint deviceOrigin = painter.deviceTransform().map(QPoint(0, 0));
    QRegion allowed(rect.translated(deviceOrigin));
    const QRegion clip = painter.paintEngine()->systemClip();
    if (!clip.isEmpty())
        allowed &= clip;
    for (const QRect& part : allowed)
        CopyPortToImage(port, part.translated(portOrigin - deviceOrigin), *target, portOrigin - deviceOrigin);
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
    }
    ShowPort(painter, *window, event->rect());
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
