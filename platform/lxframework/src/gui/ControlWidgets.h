#pragma once

#include "GuiInternal.h"
#include "PresentPacer.h"
#include "Widgets.h"

#include <lxframework/RectControl.h>

#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace lx {

class EditField;

// Keeps a control alive as long as its widget exists (it is the widget's
// child) and turns the widget's hover events into the control's MouseMove and
// MouseExit.
class ControlLink : public QObject {
public:
    ControlLink(RectControl& control, QWidget& widget, QWidget* mouseSource);
    static RectControl* ControlOf(const QWidget* widget);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Ref<RectControl> mControl;
    QWidget* mWidget = nullptr;
};

// The widget of a plug-in control. It calls the behaviour slots: redraw inside
// its paint, press, drag and release for the mouse. Its pixels come from the
// window's port, where the plug-in draws, converted straight into what the
// widget shows.
class PluginControlWidget : public QWidget {
public:
    PluginControlWidget(RectControl& control, QWidget* parent);

    // The plug-in flushed `windowRect` of the port: shows it now, at the
    // display's pace. Inside this widget's own paint the paint shows it itself.
    void Present(const QRect& windowRect);
    int PresentCount() const { return mPresentCount; }
    // The control's pixels as last shown, null while it is hidden.
    QImage Shown() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    RectControl& Control() const;
    QPoint WindowPoint(const QPoint& local) const;
    void CallMouseSlot(int slot, const QPoint& local);
    // Shows the port's pixels under `rect`, in this widget's coordinates.
    void ShowPort(QPainter& painter, const Window& window, const QRect& rect);

    // The control outlives its widget: the widget's link holds it.
    RectControl* mControl = nullptr;
    bool mPainting = false;
    bool mPresentOnly = false;
    bool mTracking = false;
    int mPresentCount = 0;
    PresentPacer mPacer;
};

struct RectControl::QtSide {
    QPointer<QWidget> widget;
    QRect bounds;

    // Members of RectControl, so they may hand the framework's Qt code the
    // control's side and its font settings.
    static QtSide& Of(const RectControl& control) { return *control.mQt; }
    static QFont Font(const RectControl& control);
};

// The font of a text control's settings.
inline QFont ControlFont(const RectControl& control) { return RectControl::QtSide::Font(control); }

// The widget that shows the control, made for its class as a child of the
// window's content: the framework's own controls each have their kind of
// widget; a plug-in control is hosted by a PluginControlWidget.
QWidget* CreateControlWidget(RectControl& control, QWidget* parent);
QWidget* CreateEditFieldWidget(EditField& field, QWidget* parent);

}
